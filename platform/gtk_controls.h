// platform/gtk_controls.h - one window of fixed controls for the desktop tools (GTK 3).
//
// The tools lay their windows out in pixels, so the window's client area is a fixed area and
// every control sits at its own place and size. Controls are addressed by number, like the
// game's pictures. Texts are Latin-1 and go to GTK as UTF-8. What the user does is queued as
// events and taken one at a time, so a tool's page logic reads like a message loop. Changes
// that the program itself makes (texts, check marks) queue no events.
#pragma once

#include "platform/image.h"

#include <string>

enum ControlKind {
    ButtonControl,   // push button; clicks queue ControlClicked
    CheckControl,    // check box; clicks queue ControlClicked
    FrameControl,    // frame with a title; its text is the title
    TextControl,     // static text of several lines, top left aligned
    EditControl,     // one-line edit; every change queues ControlChanged
    ProgressControl, // progress bar
    PictureControl   // a picture, see SetControlPicture
};

enum WindowEventKind {
    NoWindowEvent,
    ControlClicked, // `control` was pressed
    ControlChanged, // the text of `control` was changed by the user
    WindowClosing   // the user asked to close the window; it stays open until CloseControlWindow
};

struct WindowEvent {
    int kind = NoWindowEvent; // WindowEventKind
    int control = 0;          // the control's number, 0 for WindowClosing
};

// Starts GTK (and its message boxes, which then open centred over the window); 1 when it runs.
int StartControlWindows();
// The desktop screen's size in pixels (not the game display's); 0 before StartControlWindows.
int DesktopWidth();
int DesktopHeight();

// Opens the window, not resizable, with a client area of width x height at (x, y) on the
// screen; 1 on success. One window at a time.
int OpenControlWindow(const std::string& title, int width, int height, int x, int y);
void CloseControlWindow();
// The font of every control: a family name as the tools write it (" Fett" at the end asks for
// bold), found through fontconfig, else a bold sans; size in points.
void SetControlFont(const std::string& family, int points);

// Adds a control, hidden, at its place in the client area; 1 on success.
int AddControl(int number, int kind, int x, int y, int width, int height);
void SetControlText(int number, const std::string& text);
std::string ControlText(int number);
// The same for a field that holds a path: the text is in the system's file name bytes (UTF-8
// here), not Latin-1, so a folder in any script goes in and comes out unchanged.
void SetControlPathText(int number, const std::string& path);
std::string ControlPathText(int number);
// The button that Return presses (also from a one-line edit); it stays the default until
// another is set.
void SetDefaultControl(int number);
// Gives a shown, enabled control the keyboard focus.
void FocusControl(int number);
void ShowControl(int number, int shown);
void EnableControl(int number, int enabled);
int ControlChecked(int number);
void SetControlChecked(int number, int checked);
void SetControlProgress(int number, int value, int maximum);
void SetControlPicture(int number, const Image& picture);

// Lets the window handle what is pending, `rounds` times over, so that changes show at once.
void ProcessWindowMessages(int rounds);
// Handles pending messages and gives the oldest queued event, or NoWindowEvent.
WindowEvent TakeWindowEvent();
// Waits until an event arrives and gives it.
WindowEvent WaitWindowEvent();
// Drops the queued clicks and changes, which were meant for controls as they were before; a
// request to close the window stays queued.
void DropControlEvents();

// The system's folder browser, starting in `startFolder` (OS path). 1 and the chosen folder in
// `chosen` (OS path, no final '/') when the user picked one; 0 when cancelled.
int ChooseFolder(const std::string& title, const std::string& startFolder, std::string& chosen);
