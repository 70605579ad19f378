// game/front/startup.h - the game program from start to end.
#pragma once

#include <string>

extern std::string TitleFontFamily; // family of the title and intro fonts
extern std::string CreditsBanner;   // shown by the intro and the menus
// Fonts made at start-up (handles of the platform's text layer; 0 when none could be made).
extern int LargeTitleFont;
extern int IntroFont;
extern int SmallMenuFont;
extern int MenuFont;

// Makes the four fonts above for the screen's size (after the display is open).
void CreateFonts();
// Opens the full-screen display in the configured mode and sets the screen geometry; when the
// display cannot be opened the player is told so and the result is 0.
int OpenGameDisplay();
// Starts every layer, loads everything and runs the game; the program's exit status.
int RunGameProgram();
