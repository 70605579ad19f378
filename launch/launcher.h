// launch/launcher.h - the launcher's rules without windows: where its seven pieces stand, how
// they slide in, follow the mouse and slide out, and what each of the five entries does.
//
// Positions are in screen pixels. (cx, cy) is where the picture's top-left corner rests.
#pragma once

#include "platform/gtk_shaped.h"

#include <string>

constexpr int PictureWidth = 350, PictureHeight = 410;
constexpr int EntryCount = 5;
constexpr int FrameMilliseconds = 30; // sleep before every frame

struct LaunchState {
    int cx = 0, cy = 0;        // rest position of the picture's top-left corner
    int upperOffset = 0;       // vertical offset of the upper part from rest; -3 cy at start
    int lowerOffset = 0;       // vertical offset of the lower part from rest; +3 cy at start
    int slide[EntryCount + 1] = {0}; // slide[k], k 1..5: entry k's horizontal offset from rest
    int leaving = 0;           // 1 once an entry was pressed
    int choice = 0;            // the entry pressed last, 1..5; 0 none
    int upperX = 0, upperY = 0; // where the upper window was last placed (the mouse is read relative to it)
};

// The two big parts' shapes (8 rectangles each, window coordinates) and the window title.
extern const WindowRect UpperShape[8];
extern const WindowRect LowerShape[8];
extern const char* const LaunchTitle;
extern const char* const HomepageAddress; // the game's forum, opened by "Homepage"

// The state before the first frame on a screen of the given size.
void StartLaunch(LaunchState& state, int screenWidth, int screenHeight);

// Frame step 3: where the upper and lower part stand for their current offsets; the upper
// part's place is kept, since the mouse is read relative to it.
void PlaceParts(LaunchState& state, int& upperX, int& upperY, int& lowerX, int& lowerY);
// Frame step 4: the parts slide together, or apart while leaving (entries too, lowest first).
void MoveParts(LaunchState& state);
// 1 when every entry stands exactly at 0 or 40 pixels.
int EntriesAtRest(const LaunchState& state);
// 1 when the frame loop may sleep until the next window event: nothing is moving.
int NothingMoves(const LaunchState& state);
// 1 when entry k lies under the mouse (mx, my, relative to the upper window).
int EntryUnderMouse(const LaunchState& state, int k, int mx, int my);
// Frame step 6 for every entry: a press chooses, the entry under the mouse moves out to 40
// pixels, the others come back.
void MoveEntries(LaunchState& state, int mx, int my, int leftDown);
// Where entry k's window stands now.
void EntryPosition(const LaunchState& state, int k, int& x, int& y);
// Frame step 7: 1 when the upper part has left the screen after a choice.
int LaunchFinished(const LaunchState& state);

// Reads DATEN\Installationsort.ini below the launcher's folder: the game's top folder as an OS
// path ending in '/'; empty when the record is missing or unusable.
std::string ReadRootFolder();
// The program that entry `choice` starts, as a path below the root folder ("" for none).
std::string ChoiceProgram(int choice);
// Carries out the choice: starts the game or the help viewer below the root folder (the
// launcher's own folder when the root is empty), or opens the forum. A program that cannot be
// started is ignored.
void CarryOutChoice(int choice, const std::string& root);
