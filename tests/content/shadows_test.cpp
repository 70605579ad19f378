// The shipped height images run through the shadow maker as a first start runs it. The game
// draws each building over its own shadow, so only what falls past the plate ever shows: in the
// morning and the evening every building's shadow must reach well past its plate's side, and at
// noon it stays short.
#include "platform/files.h"
#include "platform/image.h"
#include "platform/process.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace {

const char* const ShadowCasters[13] = {"Arzt",          "Forschungslabor", "Gleiter-Fabrik",     "Kaserne",
                                       "kleine-Fabrik", "Radarzentrale",   "Panzer-Fabrik",      "Quad-Fabrik",
                                       "Solarzelle",    "Verb_Solarzelle", "Verbrennungsanlage", "Roboter-Fabrik",
                                       "Speeder-Fabrik"};

// The shadow image's border around the height image, on every side.
const int Border = 32;
// A shadow shows when it reaches this far past the plate: five pixels at the game's scale.
const int Visible = 10;

enum Side { Right, Left, Below };

// How a shadow image reaches past one side of its building's plate.
struct Reach {
    int longest = 0; // pixels past the side, at most
    int lines = 0;   // rows (columns below) in which it reaches `Visible` pixels or more
};

Image ReadBmp(const std::string& path)
{
    std::string bytes;
    Image image;
    if (ReadWholeFile(path, bytes)) DecodeBmp((const uint8_t*)bytes.data(), bytes.size(), image);
    return image;
}

bool Shaded(const Image& shadow, int x, int y)
{
    return (shadow.pixels[size_t(y) * size_t(shadow.width) + size_t(x)] & 0xFFFFFFu) != 0;
}

// The shadow past the side of a plate of plateWidth x plateHeight, line by line.
Reach ReachPast(const Image& shadow, Side side, int plateWidth, int plateHeight)
{
    Reach reach;
    int lines = side == Below ? shadow.width : shadow.height;
    for (int line = 0; line < lines; line++) {
        int past = 0;
        if (side == Right)
            for (int x = Border + plateWidth; x < shadow.width; x++) past = Shaded(shadow, x, line) ? x - Border - plateWidth + 1 : past;
        else if (side == Left)
            for (int x = Border - 1; x >= 0; x--) past = Shaded(shadow, x, line) ? Border - x : past;
        else
            for (int y = Border + plateHeight; y < shadow.height; y++) past = Shaded(shadow, line, y) ? y - Border - plateHeight + 1 : past;
        reach.longest = std::max(reach.longest, past);
        reach.lines += past >= Visible;
    }
    return reach;
}

} // namespace

TEST(ShippedShadows, FallPastThePlateMorningAndEveningAndStayShortAtNoon)
{
    TempFolder folder;
    std::filesystem::copy(std::string(KORAX_STAGED_DATEN) + "/BMP/O", folder.path, std::filesystem::copy_options::recursive);
    ASSERT_EQ(StartProgram(ProgramFile("terrashade"), 1), 1);
    for (const char* name : ShadowCasters) {
        Image plate = ReadBmp(std::string(name) + ".bmp");
        ASSERT_GT(plate.width, 0) << name;
        Image morning = ReadBmp(std::string("Schatten\\") + name + "_7.bmp");
        Image noon = ReadBmp(std::string("Schatten\\") + name + "_12.bmp");
        Image evening = ReadBmp(std::string("Schatten\\") + name + "_17.bmp");
        ASSERT_EQ(morning.width, plate.width + 2 * Border) << name;
        ASSERT_EQ(noon.width, plate.width + 2 * Border) << name;
        ASSERT_EQ(evening.width, plate.width + 2 * Border) << name;
        // The sun rises on the left: at seven in the morning shadows fall to the right, at five in
        // the evening to the left, and at noon down the screen.
        Reach east = ReachPast(morning, Right, plate.width, plate.height);
        Reach west = ReachPast(evening, Left, plate.width, plate.height);
        Reach south = ReachPast(noon, Below, plate.width, plate.height);
        EXPECT_GE(east.longest, 14) << name << " at 7 o'clock";
        EXPECT_GE(east.lines, 24) << name << " at 7 o'clock: lines of shadow past the plate";
        EXPECT_GE(west.longest, 14) << name << " at 17 o'clock";
        EXPECT_GE(west.lines, 24) << name << " at 17 o'clock: lines of shadow past the plate";
        EXPECT_LE(south.longest, 8) << name << " at noon";
        EXPECT_LE(south.longest * 2, std::min(east.longest, west.longest)) << name << " at noon";
    }
}
