// Unit pictures are shared by all players; the game lays a square of the owner's colour under
// each unit, half the picture wide and turned with it. Each picture must be solid over that
// square but for team windows that lie well inside it, so that the colour shows on the unit
// and the square's own edge never does.
#include "platform/files.h"
#include "platform/image.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct WindowRow {
    const char* path;
    int percent; // the least share of the square the windows must open
};

// The troops, speeders and quads must read at a glance; every other unit shows its colour too.
const WindowRow UnitPictures[] = {
    {"BMP\\E\\Infanterie.bmp", 25},      {"BMP\\E\\Panzerfaust.bmp", 25},    {"BMP\\E\\Lasertrup.bmp", 25},
    {"BMP\\E\\Pionier.bmp", 25},         {"BMP\\E\\MG-Speeder.bmp", 25},     {"BMP\\E\\Laser-Speeder.bmp", 25},
    {"BMP\\E\\Ionen-Speeder.bmp", 25},   {"BMP\\E\\Kugel-Quad.bmp", 25},     {"BMP\\E\\Raketen-Quad.bmp", 25},
    {"BMP\\E\\Plasma-Quad.bmp", 25},     {"BMP\\E\\Kugel-Panzer.bmp", 8},    {"BMP\\E\\Laser-Panzer.bmp", 8},
    {"BMP\\E\\Raketen-Panzer.bmp", 8},   {"BMP\\E\\MG-Roboter.bmp", 8},      {"BMP\\E\\Plasma-Roboter.bmp", 8},
    {"BMP\\E\\Ionen-Roboter.bmp", 8},    {"BMP\\E\\Raketen-Gleiter.bmp", 8}, {"BMP\\E\\Plasma-Gleiter.bmp", 8},
    {"BMP\\E\\Ionen-Gleiter.bmp", 8},    {"BMP\\E\\Bagger.bmp", 8},          {"BMP\\E\\Sammler.bmp", 8},
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

// Black is the transparent colour of every unit picture.
bool Open(const Image& picture, int x, int y) { return (picture.pixels[size_t(y * picture.width + x)] & 0xFFFFFFu) == 0; }

} // namespace

TEST(TeamWindows, EveryUnitIsSolidRoundItsTeamSquareAndOpenWithin)
{
    for (const WindowRow& row : UnitPictures) {
        Image picture = StagedPicture(row.path);
        ASSERT_GT(picture.width, 0) << row.path;
        const int low = picture.width / 4, high = 3 * picture.width / 4; // the square: low..high - 1
        int open = 0, openAtTheEdge = 0;
        // The square and a pixel round it: turned and rounded by the game, its edge may fall
        // a pixel either way, so a band of two pixels along it must stay solid.
        for (int y = low - 1; y <= high; y++)
            for (int x = low - 1; x <= high; x++) {
                if (!Open(picture, x, y)) continue;
                int inside = x > low && x < high - 1 && y > low && y < high - 1;
                openAtTheEdge += !inside;
                open += x >= low && x < high && y >= low && y < high;
            }
        EXPECT_EQ(openAtTheEdge, 0) << row.path << ": the team square's edge would show";
        EXPECT_GE(open * 100, row.percent * (high - low) * (high - low)) << row.path << ": " << open << " open pixels";
    }
}
