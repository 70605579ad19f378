// platform/gtk_shaped.h - borderless picture windows of any shape, for the launcher.
//
// Each window shows a part of one picture and is cut to a union of rectangles: outside them it
// neither draws nor takes the mouse. Windows are addressed by number (1, 2, ... in the order
// they were opened); those opened later lie above those opened earlier.
#pragma once

#include "platform/image.h"

#include <string>

struct WindowRect {
    int left, top, right, bottom; // in window pixels; right and bottom are outside
};

// Starts GTK for picture windows; 1 when a display could be opened. In a Wayland session with
// XWayland the windows go through X11, where a program may place them.
int StartPictureWindows();
// 1 when StartPictureWindows chose X11 in a Wayland session.
int PictureWindowsThroughX11();

// Opens a borderless window of width x height at the screen position (x, y) that shows
// `picture` from its point (pictureX, pictureY) on, cut to `shape` (`count` rectangles; count
// 0 keeps the whole window). The picture must outlive the window. Its number, 0 on failure.
int OpenPictureWindow(const std::string& title, const Image& picture, int pictureX, int pictureY, int width, int height,
                      const WindowRect* shape, int count, int x, int y);
void MovePictureWindow(int window, int x, int y);
// Shows every window opened so far, in the order they were opened.
void ShowPictureWindows();

// The size of the screen the windows are on.
void PictureScreenSize(int& width, int& height);
// Where the mouse pointer is on the screen, and whether the left button is held down (or was
// pressed over one of the windows since the last call).
void PointerState(int& x, int& y, int& leftDown);

// Handles up to `most` pending window events without waiting; the number handled.
int ProcessPictureEvents(int most);
// Waits until the next window event arrives and handles it.
void WaitForPictureEvent();
