// platform/latin1.h - the game keeps every text as Latin-1 bytes; the OS wants UTF-8.
//
// In memory a text is a Latin-1 byte string, so fixed columns and glyph codes work on bytes.
// Source files are UTF-8, so non-ASCII literals go through L1 ("Gebäude" -> 8 bytes).
#pragma once

#include <string>

// UTF-8 -> Latin-1; a character outside Latin-1 (or a broken sequence) becomes '?'.
std::string L1(const std::string& utf8);
// Latin-1 -> UTF-8, for file names, SDL_ttf and GTK.
std::string ToUtf8(const std::string& latin1);
// 1 when the UTF-8 text can be said in Latin-1 without loss.
int FitsLatin1(const std::string& utf8);
// Lower case of one Latin-1 byte (A-Z and the accented capitals), for case-blind comparison.
unsigned char FoldCase(unsigned char c);
// 1 when two Latin-1 texts are equal ignoring letter case.
int SameIgnoringCase(const std::string& a, const std::string& b);
