// Unit pictures are shared by all players; the game lays an unturned square of the owner's
// colour under each unit's centre, 16 picture pixels wide under a trooper and 24 under a
// vehicle. However the unit turns, its picture must hide the square but where its team windows
// are: solid out to the square's corners, its windows within the circle inside the square, so
// that the colour shows on the unit and the square's own edge never does.
#include "platform/files.h"
#include "platform/image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

struct WindowRow {
    const char* path;
    int percent; // the least share of the square the windows must open
};

// The troops, speeders and quads must read at a glance; every other unit shows its colour too.
const WindowRow UnitPictures[] = {
    {"BMP\\E\\Infanterie.bmp", 20},      {"BMP\\E\\Panzerfaust.bmp", 20},     {"BMP\\E\\Lasertrup.bmp", 20},
    {"BMP\\E\\Pionier.bmp", 20},         {"BMP\\E\\MG-Speeder.bmp", 20},      {"BMP\\E\\Laser-Speeder.bmp", 20},
    {"BMP\\E\\Ionen-Speeder.bmp", 20},   {"BMP\\E\\Kugel-Quad.bmp", 20},      {"BMP\\E\\Raketen-Quad.bmp", 20},
    {"BMP\\E\\Plasma-Quad.bmp", 20},     {"BMP\\E\\Kugel-Panzer.bmp", 8},     {"BMP\\E\\Laser-Panzer.bmp", 8},
    {"BMP\\E\\Raketen-Panzer.bmp", 8},   {"BMP\\E\\MG-Roboter.bmp", 8},       {"BMP\\E\\Plasma-Roboter.bmp", 8},
    {"BMP\\E\\Ionen-Roboter.bmp", 8},    {"BMP\\E\\Raketen-Gleiter.bmp", 8},  {"BMP\\E\\Plasma-Gleiter.bmp", 8},
    {"BMP\\E\\Ionen-Gleiter.bmp", 8},    {"BMP\\E\\Bagger.bmp", 8},           {"BMP\\E\\Sammler.bmp", 8},
    {"BMP\\O\\Kugel-Wachturm.bmp", 8},   {"BMP\\O\\Raketen-Wachturm.bmp", 8}, {"BMP\\O\\Ionen-Wachturm.bmp", 8},
};

Image StagedPicture(const std::string& path)
{
    SetProgramFolder(KORAX_STAGED_DATEN);
    std::string bytes;
    Image image;
    if (ReadWholeFile(path, bytes)) DecodeBmp((const uint8_t*)bytes.data(), bytes.size(), image);
    return image;
}

} // namespace

TEST(TeamWindows, EveryUnitHidesItsTeamSquareButWhereItsWindowsAre)
{
    for (const WindowRow& row : UnitPictures) {
        Image picture = StagedPicture(row.path);
        ASSERT_GT(picture.width, 0) << row.path;
        // Half the square, in picture pixels; the game may round its edge by a pixel.
        const double half = picture.width > 32 ? 12 : 8, centre = picture.width / 2.0;
        const double windowReach = half - 1.5, solidReach = half * std::sqrt(2.0) + 1.5;
        int open = 0, openOutside = 0;
        for (int y = 0; y < picture.height; y++)
            for (int x = 0; x < picture.width; x++) {
                // Black is the transparent colour of every unit picture.
                if ((picture.pixels[size_t(y * picture.width + x)] & 0xFFFFFFu) != 0) continue;
                double r = std::hypot(x + 0.5 - centre, y + 0.5 - centre);
                open += r <= windowReach;
                openOutside += r > windowReach && r <= solidReach;
            }
        EXPECT_EQ(openOutside, 0) << row.path << ": the square would show past the windows as the unit turns";
        EXPECT_GE(open * 100, row.percent * 4 * half * half) << row.path << ": " << open << " open pixels";
    }
}
