// tools/artgen/artgen.h - what every drawing file of the content maker shares.
//
// artgen writes every picture and sound of the game into the staged DATEN folder at build
// time. Output must be the same bytes on every run: no clocks, no unseeded randomness, and
// each picture seeds its own random numbers from its file name, so that adding or changing one
// picture never changes another.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

extern std::string OutputFolder; // OS path of the staged DATEN folder, ends in '/'

// ---- sizes ----------------------------------------------------------------------------------
// The one size table: every picture's size is looked up here by its game path, because sizes
// carry rules (a building covers width / 64 cells, a unit reaches width / 4).
struct ArtSize {
    const char* path; // game path as the game asks for it, e.g. "BMP\\O\\Kaserne.bmp"
    int width;
    int height;
};
extern const std::vector<ArtSize> SizeTable;
// Size of a picture from the table; artgen stops with a message when a path is missing.
ArtSize SizeOf(const std::string& path);

// ---- randomness ------------------------------------------------------------------------------
struct ArtRandom {
    uint64_t state;
};
ArtRandom SeededRandom(const std::string& name);
double RandomUnit(ArtRandom& random);              // 0 <= r < 1
double RandomRange(ArtRandom& random, double low, double high);
int RandomInt(ArtRandom& random, int low, int high); // low..high inclusive

// ---- canvases and output ----------------------------------------------------------------------
// A transparent ARGB canvas of the given size, and its drawing context.
struct Canvas {
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    int width = 0;
    int height = 0;
};
Canvas NewCanvas(int width, int height);
Canvas NewCanvasFor(const std::string& path); // sized from the size table
void FreeCanvas(Canvas& canvas);

// Writes the canvas as a 24-bit BMP at a game path under OutputFolder (folders are made).
// Pixels less than half covered become black (the game's transparent colour); the rest keep
// their full colour, and a pure black that was drawn is lifted to (2, 2, 2), so that keyed
// drawing never punches holes into a shape or leaves dark fringes around it.
void SaveKeyedBmp(Canvas& canvas, const std::string& path);
// Writes an opaque picture (terrain, backgrounds) as a 24-bit BMP; pure black is lifted too.
void SaveOpaqueBmp(Canvas& canvas, const std::string& path);
// Writes the canvas flattened onto black as a JPEG of quality 90. Black stays exactly black: the
// game loads JPEG pictures with black as the transparent colour (the logo alone with magenta),
// and a lifted black would show as a dark square.
void SaveJpeg(Canvas& canvas, const std::string& path);
// Writes raw bytes (sounds, lists) at a game path under OutputFolder.
void SaveBytes(const std::string& path, const std::string& bytes);

// Every saved picture is remembered for the contact sheet.
struct SheetEntry {
    std::string path;
    cairo_surface_t* surface; // a copy, as written
};
extern std::vector<SheetEntry> SheetEntries;
// Views made only for the contact sheet, after the pictures: never written as files.
extern std::vector<SheetEntry> PreviewEntries;
void WriteContactSheet(const std::string& pngPath);

// ---- shared drawing helpers -------------------------------------------------------------------
void SetColour(cairo_t* cr, int r, int g, int b, double alpha = 1.0);
// Fills the current path with a top-left lit gradient from `light` to `dark` over the box.
void FillLit(cairo_t* cr, double x, double y, double w, double h, const int light[3], const int dark[3]);
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);

// The four player colours (index 1..4); index 0 is neutral grey.
extern const int PlayerColours[5][3];

// Team windows. Unit pictures are shared by all players, so the game lays a square of the
// owner's colour, unturned, under each unit's centre: 16 picture pixels wide under a trooper,
// 24 under a vehicle. However the unit turns, its picture must hide that square but where its
// team windows are: it is solid out to the square's corners, a pixel and a half beyond them
// for the game's rounding, and its windows lie within the circle inside the square
// (TeamReach), cut clean through the picture, so that the colour shows as paint on the unit.
inline double TeamSquareHalf(int pictureWidth) { return pictureWidth > 32 ? 12 : 8; }
inline double TeamReach(int pictureWidth) { return TeamSquareHalf(pictureWidth) - 1.5; }
// Cuts the current path out of the picture as a team window and rims it with the dark outline;
// clears the path. The cut stays within TeamReach of the picture's centre.
void TeamWindow(cairo_t* cr, double rim = 1.3);

// ---- the drawing parts, one per file ------------------------------------------------------------
void DrawUnits();     // units.cpp: BMP\E\*, and the contact sheet's view of them as played
void DrawBuildings(); // buildings.cpp: BMP\O\* including height images and walls
void DrawIcons();     // icons.cpp: BMP\ICON\*, BMP\M\*, research icons
void DrawTerrain();   // terrain.cpp: TEX_* sources, BMP\B\* tiles and decorations
void DrawEffects();   // effects.cpp: explosions, smoke, sandstorm, logo, planet, sun, light, intro
void DrawGlyphs();    // glyphs.cpp: the bitmap font strips and the group marker
void MakeSounds();    // sounds.cpp: effects and music; voices.cpp: spoken messages
void MakeVoices();
void MakeTitleFont(); // font.cpp: TXT\Omiczp__.ttf, the title font renamed from a Debian font
