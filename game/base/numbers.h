// game/base/numbers.h - the number rules of every text file the game reads.
#pragma once

#include <string>

// A decimal whole number, optionally led by "-", and nothing else; anything else reads as 0.
// Too many digits saturate instead of overflowing.
int ReadNumber(const std::string& text);
// Decimal text of a number, "-" in front when negative.
std::string NumberText(long long value);
// The text without spaces at its end (and, with `front` 1, at its start).
std::string TrimSpaces(const std::string& text, int front);
// Columns `column` (1-based) .. column + width - 1 of a line; shorter lines give what there is.
std::string FieldAt(const std::string& line, int column, int width);
