// game/base/fonts.h - the game's fonts, made once the display is open; the front end and the
// playfield's end-of-game text draw with them.
#pragma once

#include <string>

extern std::string TitleFontFamily; // family of the title and intro fonts
// Fonts made at start-up (handles of the platform's text layer; 0 when none could be made).
extern int LargeTitleFont;
extern int IntroFont;
extern int SmallMenuFont;
extern int MenuFont;

// Makes the four fonts above for the screen's size (after the display is open).
void CreateFonts();
