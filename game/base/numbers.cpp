// game/base/numbers.cpp - number and field rules shared by the configuration and the tables.
#include "game/base/numbers.h"

#include <climits>

int ReadNumber(const std::string& text)
{
    size_t i = 0;
    int negative = 0;
    if (i < text.size() && text[i] == '-') {
        negative = 1;
        i++;
    }
    if (i == text.size()) return 0;
    long long value = 0;
    for (; i < text.size(); i++) {
        if (text[i] < '0' || text[i] > '9') return 0;
        if (value < INT_MAX) value = value * 10 + (text[i] - '0');
    }
    if (value > INT_MAX) value = INT_MAX;
    return int(negative ? -value : value);
}

std::string NumberText(long long value) { return std::to_string(value); }

std::string TrimSpaces(const std::string& text, int front)
{
    size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ') end--;
    size_t start = 0;
    if (front)
        while (start < end && text[start] == ' ') start++;
    return text.substr(start, end - start);
}

std::string FieldAt(const std::string& line, int column, int width)
{
    size_t start = size_t(column - 1);
    if (column < 1 || width <= 0 || start >= line.size()) return "";
    return line.substr(start, size_t(width));
}
