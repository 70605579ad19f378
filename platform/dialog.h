// platform/dialog.h - message boxes: SDL's in the game, GTK's in the desktop tools.
//
// Every box also writes its title and text as one line to stderr, so a box that cannot be
// shown (no display) is never silent. Texts are Latin-1.
#pragma once

#include <string>

enum MessageButtons { MessageOk = 0, MessageOkCancel = 1, MessageYesNo = 2 };

// Shows a box and waits; 1 for OK or Yes, 0 for Cancel, No or a box that could not be shown
// (a box with only OK always gives 1).
int ShowMessageBox(const std::string& title, const std::string& text, int buttons);

// Test hook: -1 shows boxes (the default); 0 or 1 answers every box at once with that value.
// The environment variable KORAX_MESSAGEBOX_ANSWER sets it for a whole process under test.
void SetMessageBoxAnswer(int answer);

// The desktop tools install their own way of showing a box (UTF-8 texts); null for SDL's.
using MessageBoxShower = int (*)(const std::string& titleUtf8, const std::string& textUtf8, int buttons);
void SetMessageBoxShower(MessageBoxShower shower);
