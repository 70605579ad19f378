// tests/support/world_rows.h - the pieces of a small world that need no test framework: a map
// drawn as rows of characters and pictures of the real sizes for every unit and building. The
// simulation's tests and the fuzzers that play what they load both build on them.
#pragma once

#include "game/sim/world.h"
#include "platform/image.h"
#include "platform/pictures.h"

#include <string>
#include <vector>

// A map picture from rows of characters: . sand, : desert, E earth, # cliff, $ spice,
// ~ smyron, P start, x black (the unread border).
inline Image MapImageFromRows(const std::vector<std::string>& rows)
{
    Image map;
    MakeImage(map, int(rows[0].size()), int(rows.size()), 0);
    for (size_t y = 0; y < rows.size(); y++)
        for (size_t x = 0; x < rows[y].size() && x < size_t(map.width); x++) {
            uint32_t colour = 0;
            switch (rows[y][x]) {
            case '.': colour = SandColour; break;
            case ':': colour = DesertColour; break;
            case 'E': colour = EarthColour; break;
            case '#': colour = CliffColour; break;
            case '$': colour = SpiceColour; break;
            case '~': colour = SmyronColour; break;
            case 'P': colour = StartColour; break;
            default: colour = 0; break;
            }
            map.pixels[y * size_t(map.width) + x] = colour | 0xFF000000u;
        }
    return map;
}

// Rows of one character with an unread border, `w` x `h` cells.
inline std::vector<std::string> FilledRows(int w, int h, char ground)
{
    std::vector<std::string> rows(size_t(h), "x" + std::string(size_t(w - 1), ground));
    rows[0] = std::string(size_t(w), 'x');
    return rows;
}

// Pictures of the sizes artgen draws: vehicles, towers and walls 64, troops 32, buildings 128
// or 192. Only their size matters to the rules.
inline void InstallObjectPictures()
{
    const int units[] = {2001, 2002, 2201, 2203, 2206, 2302, 2304, 2305, 2402, 2403, 2404, 2501, 2505, 2506, 2604, 2605, 2606, 1052, 1054, 1056};
    const int troops[] = {2101, 2102, 2103, 2107};
    const int small[] = {1100, 1102, 1210, 1410, 1412, 1420};
    const int large[] = {1200, 1201, 1220, 1230, 1240, 1250, 1260, 1300, 1301, 1400};
    auto install = [](int number, int side) {
        Image image;
        MakeImage(image, side, side, PackColour(90, 90, 90));
        SetPictureImage(number, image);
    };
    for (int n : units) install(n, 64);
    for (int n : troops) install(n, 32);
    for (int n : small) install(n, 128);
    for (int n : large) install(n, 192);
    for (int n = 1000; n <= 1015; n++) install(n, 64);
}

