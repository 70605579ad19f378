// game/base/fonts.cpp - the game's fonts.
#include "game/base/fonts.h"

#include "game/base/frame.h"
#include "platform/text.h"

#include <cmath>

std::string TitleFontFamily;
int LargeTitleFont = 0;
int IntroFont = 0;
int SmallMenuFont = 0;
int MenuFont = 0;

static int ScaledSize(int size) { return int(std::lround(size * UiScale)); }

void CreateFonts()
{
    LargeTitleFont = LoadFont(TitleFontFamily, ScaledSize(22));
    IntroFont = LoadFont(TitleFontFamily, ScaledSize(16));
    SmallMenuFont = LoadFont("Courier New Fett", ScaledSize(12));
    MenuFont = LoadFont("Courier New Fett", ScaledSize(17));
}
