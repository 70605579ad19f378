// platform/input.h - keyboard and mouse, read once per frame.
//
// Keys are numbered by their PC scan code (Escape 0x01, F1 0x3B, Up 0xC8 ...), the numbering
// the game's key tables are written in. SDL's physical key positions map to them in one table,
// so the German layout falls out by position: the key right of T is 0x15, German "z".
// Tests feed the same state through the Inject calls.
#pragma once

#include <string>

constexpr int KeyCount = 256;

// Scan code for an SDL physical scancode, 0 when the key has none.
int ScanCodeFromSdl(int sdlScancode);

// Takes the events that arrived since the last read and fixes the state for this frame.
void ReadKeyboard();
int KeyHeld(int code);   // 1 while the key is down
int KeyWentUp(int code); // 1 when the key was released since the previous read
int AnyKeyHeld();
// The characters typed since the previous read, as the player's keyboard layout made them, in
// Latin-1 and in the order typed; characters outside Latin-1 and control characters are left out.
const std::string& TypedText();

void ReadMouse();
int MouseMoveX();          // pixels moved since the previous read
int MouseMoveY();
int MouseWheel();          // notches since the previous read, away from the player positive
int MouseButton(int button); // 1 while button 1 (left) or 2 (right) is held

// 1 once the window was asked to close (window manager, Alt+F4 through the system).
int WindowCloseRequested();

// Test hooks: the same changes a real key or mouse would make.
void InjectKey(int code, int down);
void InjectText(const std::string& utf8); // what the system's text input reports for a key
void InjectMouseMove(int dx, int dy);
void InjectMouseButton(int button, int down);
void InjectMouseWheel(int notches);
// Forgets every held key and button and all pending motion.
void ResetInput();
