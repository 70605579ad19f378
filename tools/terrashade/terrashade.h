// tools/terrashade/terrashade.h - the buildings' shadows for every hour of daylight.
//
// Each building has a height image N + "_H.bmp": red is the top and green the bottom of the
// building's matter on a pixel, in tenths of a height unit. For each hour the sun throws every
// pixel's matter along the sun's direction, stretched by the sun's lowness, and the shadow is
// the union of those strokes in grey on black. The canvas has a 32-pixel border all round so
// long morning and evening shadows still fit.
#pragma once

#include "platform/image.h"

#include <string>
#include <vector>

constexpr int HeightTableSide = 257; // the largest height image, in pixels per side
constexpr int MaxHeightNames = 14;   // names held from the list
constexpr int ShadowBorder = 32;     // pixels of canvas around the height image on each side
constexpr int MaxHeightUnits = 26;   // 255 tenths, rounded half to even
constexpr int LabelWidth = 30;       // characters of the fixed label before every list value
constexpr int MaxValueLength = 1000; // characters of a value taken after the label
constexpr int FirstShadowHour = 5;   // the day's first shadow; terrashade2 starts at 6
constexpr int LastShadowHour = 18;   // the day's last shadow, the sun setting in the west

// The list as last read.
extern int HeightListAngle;                 // shadow angle of the list, degrees; kept, no effect
extern double HeightListStretch;            // stretch factor of the list; kept, no effect
extern std::vector<std::string> HeightNames; // base names in list order, at most 14 (Latin-1)

// The current building, filled by FillHeightTables; indexed [x][y].
extern int TopHeight[HeightTableSide][HeightTableSide];    // top of the matter, 0..26 units
extern int BottomHeight[HeightTableSide][HeightTableSide]; // bottom of the matter, 0..26 units
extern int HeightImageWidth;  // pixels of the current height image, 0..257
extern int HeightImageHeight; // pixels

// The sun of one hour: the shadow falls along (cos angle, sin angle) with y downwards.
struct Sun {
    float angle;   // radians: 0 at 6 o'clock (to the right), pi/2 at noon (downwards)
    float stretch; // shadow length per height unit: 0.5 at noon, 1.7 at 6 and 18 o'clock
};

// The value of a list line: from the 31st character on, at most 1000, blanks cut at both ends.
std::string ListValue(const std::string& line);
// Reads Höhen.ini's text: angle, stretch, then names until an empty value; gives the count.
int ReadHeightList(const std::string& text);
// Reads the single-building layout (name, angle, stretch); 1 when a name was given.
int ReadSingleBuildingList(const std::string& text);

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
int RoundHalfEven(double value);
// Tenths of a height unit -> whole units, halves to even (25 -> 2, 35 -> 4).
int TenthsToUnits(int tenths);
// Fills the height tables from a height image; 0 (tables left empty) when it is empty or
// larger than 257 x 257.
int FillHeightTables(const Image& heightImage);

Sun SunOfHour(int hour);
// A raster line that sets its start pixel and leaves out its end pixel; pixels off the canvas
// are dropped.
void DrawRasterLine(Image& canvas, int x0, int y0, int x1, int y1, uint32_t colour);
// The shadow of the current height tables at one hour, on a fresh (W + 64) x (H + 64) canvas.
void DrawShadow(int hour, Image& canvas);

// "Schatten\" + N + "_" + hour + ".bmp", the hour without leading zero.
std::string ShadowFileName(const std::string& name, int hour);
// N + "_Schatten_" + two-digit hour + ".bmp", beside the program.
std::string SingleShadowFileName(const std::string& name, int hour);
// 1 when a list name may become part of a file name: separators would lead out of the folder.
int IsPlainBuildingName(const std::string& name);

// Loads N + "_H.bmp" and writes its shadows for the hours first..last under the given naming;
// gives the number of files written (0 when the height image is missing or too large).
int MakeBuildingShadows(const std::string& name, int firstHour, int lastHour,
                        std::string (*fileName)(const std::string& name, int hour));
// terrashade: Höhen.ini, every name, hours 5..18 into "Schatten\"; gives the files written.
int RunTerrashade();
// terrashade2: one building from the three-line Höhen.ini, hours 6..18 beside the program.
int RunTerrashade2();
