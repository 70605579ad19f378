// game/front/startup.h - the game program from start to end.
#pragma once

// The fonts (TitleFontFamily, CreateFonts) are made here at the start; they live on the floor
// below, where the playfield draws with them too.
#include "game/base/fonts.h"

#include <string>

extern std::string CreditsBanner;   // shown by the intro and the menus

// Opens the full-screen display in the configured mode and sets the screen geometry; when the
// display cannot be opened the player is told so and the result is 0.
int OpenGameDisplay();
// Starts every layer, loads everything and runs the game; the program's exit status.
int RunGameProgram();
