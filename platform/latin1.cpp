// platform/latin1.cpp - conversion between the game's Latin-1 texts and the OS's UTF-8.
#include "platform/latin1.h"

// Decodes one UTF-8 sequence at data[i]; gives the code point and advances i, or -1 when broken.
static long NextCodePoint(const std::string& s, size_t& i)
{
    unsigned char c = (unsigned char)s[i++];
    if (c < 0x80) return c;
    int extra = (c >= 0xF0 && c < 0xF8) ? 3 : (c >= 0xE0) ? 2 : (c >= 0xC0) ? 1 : -1;
    if (extra < 0) return -1;
    long code = c & (0x3F >> extra);
    for (int k = 0; k < extra; k++) {
        if (i >= s.size() || ((unsigned char)s[i] & 0xC0) != 0x80) return -1;
        code = (code << 6) | ((unsigned char)s[i++] & 0x3F);
    }
    return code;
}

std::string L1(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        long code = NextCodePoint(utf8, i);
        out += (code >= 0 && code <= 0xFF) ? char(code) : '?';
    }
    return out;
}

int FitsLatin1(const std::string& utf8)
{
    size_t i = 0;
    while (i < utf8.size()) {
        long code = NextCodePoint(utf8, i);
        if (code < 0 || code > 0xFF) return 0;
    }
    return 1;
}

std::string ToUtf8(const std::string& latin1)
{
    std::string out;
    out.reserve(latin1.size() + 8);
    for (unsigned char c : latin1) {
        if (c < 0x80) {
            out += char(c);
        } else {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

unsigned char FoldCase(unsigned char c)
{
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32; // À..Þ, not the multiplication sign
    return c;
}

int SameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return 0;
    for (size_t i = 0; i < a.size(); i++)
        if (FoldCase((unsigned char)a[i]) != FoldCase((unsigned char)b[i])) return 0;
    return 1;
}
