// platform/text.h - TrueType text drawn straight onto the screen, for menus and tools.
//
// Fonts are found by family name through fontconfig; " Fett" in the name asks for the bold cut.
// The program's TXT folder is searched as well, so a font shipped there is found without being
// installed. Texts are Latin-1.
#pragma once

#include <string>

// A font of `family` at `size` pixels; a handle >= 1, or 0 when no font at all could be opened
// (fontconfig falls back to the nearest family, so 0 means no fonts on the system).
int LoadFont(const std::string& family, int size);
// Draws `text` with its top-left corner at x, y in colour r, g, b; the background stays.
void DrawFontText(int font, const std::string& text, int x, int y, int r, int g, int b);
// Width in pixels of `text` in the font; 0 for an unknown font.
int TextWidth(int font, const std::string& text);
// The font file fontconfig chose for a family (UTF-8 OS path), empty when none: for tests.
std::string FontFileFor(const std::string& family);
