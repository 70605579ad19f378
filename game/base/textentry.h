// game/base/textentry.h - typing: the one shared line editor, and the mouse button events of
// a frame. Characters come from the system's text input (the player's keyboard layout); the
// editing keys (Backspace, Delete, arrows, Return, Escape) by their scan codes.
#pragma once

#include <string>

// The line editor all screens share.
struct TextEntryState {
    std::string text;     // being edited, Latin-1
    std::string saved;    // restored by Escape
    int cursor = 0;       // 0 = before the first character
    int maxLength = 0;    // set by the caller before editing
    int active = 0;       // 1 while editing
    int repeatCounter[256] = {}; // per scan code: frames the key has been held
};
extern TextEntryState TextEntry;

// 1 when the key went up this frame, or is held past the auto-repeat delay; counts its held frames.
int KeyTyped(int key);
void BeginTextEntry(const std::string& text);
// One frame of editing, after the keyboard was read for the frame.
void TextEntryStep();

// The mouse button event of this frame (codes 0, 10, 11, 12, 14, 20, 21, 22, 24), after the
// mouse was read for the frame.
int MouseEvent();
// Forgets held counters and pending clicks (a new screen starts clean).
void ResetMouseEvents();
