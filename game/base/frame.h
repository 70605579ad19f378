// game/base/frame.h - screen geometry and the routines every screen of the game shares:
// the fatal error box, checked sprite loading, the bitmap font, the loading screen and the
// frames-per-second meter.
#pragma once

#include <atomic>
#include <string>

// Screen geometry, set once at start-up from the configuration.
extern int ScreenWidthPx;   // pixels
extern int ScreenHeightPx;  // pixels
extern float UiScale;       // screen width / 1024: layout units -> pixels
extern float FontScale;     // screen width / 1280: the glyph cell is 12 x 20 at 1.0
extern float GameScreenScale; // UiScale x 1.0, the game screen's own layout factor
constexpr float DegreesToRadians = 0.017453292f;

// Width and height of a screen mode 1..5; any other index gives 1024 x 768 (the file keeps it).
void ScreenSizeFor(int resolutionIndex, int& width, int& height);
// Sets the screen size and the scales derived from it.
void SetScreenGeometry(int width, int height);
// The glyph strip file for the screen width ("BMP\\Zeichensatz1024-.bmp").
std::string GlyphStripFile(int width);

// Frames-per-second meter: the main thread counts frames, the clock thread ages the window.
extern std::atomic<int> FrameCounter; // frames counted in the current window
extern std::atomic<int> FpsClock;     // window length estimate in ms, 900..1800
void StartFpsClock();                 // starts the clock thread (once)
void FpsClockTick(int milliseconds);  // the clock thread's step: the time since its last; tests call it directly
void CountFrame();
int FramesPerSecond();

// Closes the display, shows "! FEHLER !  " + text in a box and ends the program.
[[noreturn]] void FatalError(const std::string& text);
// Loads a picture and makes its 3-D sprite under the same number; a missing file is fatal.
// 0 (and nothing shown) when only the 3-D sprite cannot be made.
int LoadTextureSprite(int number, const std::string& file);

// One line of the bitmap font at layout position x, y: alignment -1 ends at x, 0 centres on
// x, 1 starts at x; box 1 puts a dark box behind it. Inside a 3-D scene.
void DrawText(const std::string& text, float x, float y, int alignment, int box);

// One frame of the loading screen with the bar at `percent`.
void ShowLoadingProgress(int percent);
