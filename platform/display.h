// platform/display.h - the full-screen display: open, clear, flip at the frame rate, grab.
//
// The game draws into a target of the configured width x height; each flip presents it scaled
// and letterboxed into a desktop-sized full-screen window, so any configured mode works on any
// monitor. Everything drawn lands in that target, in the picture, 3-D sprite and text layers.
#pragma once

#include <string>

// Platform layers, each started and checked once at start-up; 1 when the layer runs.
int StartDisplayLayer();
// 1 when the display layer failed because there is no screen a player could see: no display
// in the session, only an offscreen driver not asked for by name, or a Wayland compositor
// without keyboard and mouse (where SDL would crash) and no X server beside it.
int DisplayMissing();
int StartKeyboardLayer();
int StartSpriteLayer();
int StartMouseLayer();
int StartSoundLayer();
// Shuts down every layer (display, sound); safe to call more than once.
void StopLayers();

// Opens the display of width x height; depth (16, 24, 32) is accepted and drawn in 32 bits.
// The system pointer is hidden and the mouse reports relative motion. 1 on success.
int OpenDisplay(int width, int height, int depth, const std::string& title);
// Closes the display and frees every texture; pictures stay loaded and are redrawn on reopen.
void CloseDisplay();
int DisplayIsOpen();
int ScreenWidth();  // pixels of the drawing target, 0 when closed
int ScreenHeight(); // pixels

void ClearScreen(int r, int g, int b);
// Darkens or tints a screen rectangle: a plain colour laid over it with `alpha` 0..255. Much
// cheaper than stretching a picture over the whole screen.
void ShadeRectangle(int x, int y, int w, int h, int r, int g, int b, int alpha);
// Shows the drawn frame, waiting so that the frame rate is not exceeded, and takes the
// window's events (keys, mouse, close) for the next input read.
void FlipScreen();
void SetFrameRate(int framesPerSecond);
// Test hook: with 0 the flip never waits, so a test runs a thousand frames in a second.
void SetFrameWait(int on);
// Copies the drawing target into picture `picture` (opaque, alpha 255); 1 on success.
int GrabScreen(int picture);
// Draw calls (sprite batches, picture and text copies, fills) that went into the last shown
// frame: what a frame costs the renderer, for the benchmarks and the debug overlay.
int DrawCallsLastFrame();
// 1 when the renderer honours the custom blend factors (OpenGL does; the software one does not,
// though the 3-D sprites then mix by them all the same).
int CustomBlendingWorks();
// 1 when an OpenGL renderer's name is one of Mesa's software rasterisers. On those the game
// draws with its own software renderer instead, unless SDL_RENDER_DRIVER names a renderer.
int SoftwareRasteriserName(const std::string& name);
