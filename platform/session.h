// platform/session.h - what the user's desktop session offers the programs at start: a display
// at all, and on Wayland a seat (keyboard and pointer) and an X server beside it.
//
// Every program of the suite shows windows; started without a display (over SSH, from a text
// console) it must say so at once and end, never run unseen. SDL would quietly fall back to an
// offscreen screen there, so only a driver asked for by name (SDL_VIDEODRIVER, as the tests do)
// may be one that shows nothing.
#pragma once

#include <string>

// 1 when the environment names a display: DISPLAY or WAYLAND_DISPLAY set and not empty.
int SessionNamesDisplay();
// 1 when an X server is named (DISPLAY), which on a Wayland desktop is XWayland.
int SessionNamesX11();
// Asks the Wayland compositor named by WAYLAND_DISPLAY for its globals: 1 when it offers a seat,
// 0 when it offers none, -1 when there is no compositor to ask.
int WaylandCompositorHasSeat();

// The German message on the terminal that `program` found no display, and why; one line.
void ReportNoDisplay(const std::string& program);
// A German note on the terminal from `program`, such as which display system it runs on.
void ReportSession(const std::string& program, const std::string& text);
