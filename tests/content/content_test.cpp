// The staged tree holds every picture and sound the game loads, each readable by the platform's
// loaders, at the sizes the game's rules expect; and the game loads all of it under its numbers.
#include "game/base/assets.h"
#include "game/base/frame.h"
#include "platform/dialog.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/image.h"
#include "platform/pictures.h"
#include "platform/process.h"
#include "platform/sound.h"
#include "platform/sprites.h"
#include "content/staged_game.h"
#include "support/temp_folder.h"
#include "tools/artgen/artgen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace fs = std::filesystem;

// Reads a staged picture through the game's case-blind lookup; an empty image when it fails.
static Image StagedImage(const std::string& path)
{
    SetProgramFolder(KORAX_STAGED_DATEN);
    std::string bytes;
    Image image;
    if (ReadWholeFile(path, bytes)) DecodeImage((const uint8_t*)bytes.data(), bytes.size(), image);
    return image;
}

TEST(Content, EveryPictureOfTheSizeTableIsStagedAtItsSize)
{
    ASSERT_GT(SizeTable.size(), 150u);
    for (const ArtSize& size : SizeTable) {
        Image image = StagedImage(size.path);
        EXPECT_EQ(image.width, size.width) << size.path;
        EXPECT_EQ(image.height, size.height) << size.path;
    }
}

TEST(Content, ShippedNamesDifferInCaseFromTheNamesAsked)
{
    SetProgramFolder(KORAX_STAGED_DATEN);
    EXPECT_TRUE(fs::exists(std::string(KORAX_STAGED_DATEN) + "/BMP/ICON/MAUS.bmp"));
    EXPECT_TRUE(fs::exists(std::string(KORAX_STAGED_DATEN) + "/BMP/LOGO.JPG"));
    EXPECT_EQ(FileExists("BMP\\ICON\\Maus.bmp"), 1);
    EXPECT_EQ(FileExists("BMP\\LOGO.jpg"), 1);
}

TEST(Content, SizesFollowTheGameRules)
{
    for (const char* building : {"Solarzelle", "Verb_Solarzelle", "Verbrennungsanlage", "Forschungslabor", "Radarzentrale",
                                 "Arzt", "Kaserne", "kleine-Fabrik", "Speeder-Fabrik", "Quad-Fabrik", "Panzer-Fabrik",
                                 "Roboter-Fabrik", "Gleiter-Fabrik"}) {
        ArtSize picture = SizeOf(std::string("BMP\\O\\") + building + ".bmp");
        ArtSize heights = SizeOf(std::string("BMP\\O\\") + building + "_H.bmp");
        EXPECT_EQ(picture.width % 64, 0) << building << ": a building covers width / 64 cells";
        EXPECT_TRUE(picture.width == 128 || picture.width == 192) << building;
        EXPECT_EQ(heights.width, picture.width) << building;
        EXPECT_EQ(heights.height, picture.height) << building;
    }
    for (int mask = 0; mask < 16; mask++) EXPECT_EQ(SizeOf("BMP\\O\\" + std::to_string(mask) + ".bmp").width, 64);
    EXPECT_EQ(SizeOf("BMP\\E\\Kugel-Panzer.bmp").width, 64) << "vehicles reach 16 pixels";
    EXPECT_LT(SizeOf("BMP\\E\\Infanterie.bmp").width, 64) << "troops are smaller";
    EXPECT_GE(SizeOf("BMP\\M\\M_Ionen.bmp").width, 40) << "research icons";
    ArtSize planet = SizeOf("BMP\\text9.jpg");
    EXPECT_EQ(planet.width, 864);
    EXPECT_EQ(planet.height, 432);
    for (int width : {1280, 1152, 1024, 800, 640}) {
        ArtSize strip = SizeOf(GlyphStripFile(width));
        float cell = 12.0f * float(width) / 1280.0f;
        EXPECT_EQ(strip.width, int(std::lround(120 * cell))) << width;
        EXPECT_EQ(strip.height, int(std::lround(20.0f * float(width) / 1280.0f))) << width;
    }
}

TEST(Content, SoundsAreStagedAndLoad)
{
    ASSERT_EQ(StartSoundLayer(), 1);
    SetProgramFolder(KORAX_STAGED_DATEN);
    EXPECT_EQ(LoadSound(1, "WAV\\Effekte\\bib.wav"), 1);
    EXPECT_EQ(LoadSound(21, "WAV\\Sprache\\Jawohl_Sir.MP3"), 1);
    EXPECT_EQ(LoadSound(5002, "WAV\\HGM2.wav"), 1);
    EXPECT_EQ(FileExists("TXT\\Omiczp__.ttf"), 1);
    StopLayers();
}

TEST_F(StagedGame, EveryNumberedAssetLoads)
{
    LoadAssets();
    LoadSounds();
    LoadBuildingShadows(12);
    std::vector<int> pictures = {7771, 7773, 18, 19, 20, 21, 22, 24, 31, 32, 33, 50, 51, 730, 800, 900, 1052, 1054, 1056,
                                 1100, 1102, 1300, 1400, 1410, 1412, 1420, 1422, 3900, 3999, 4999, 7001, 9000, 9001};
    for (int n = 712; n <= 716; n++) pictures.push_back(n);
    for (int n = 722; n <= 726; n++) pictures.push_back(n);
    for (int n = 731; n <= 734; n++) pictures.push_back(n);
    for (int n = 1000; n <= 1015; n++) pictures.push_back(n);
    for (int n = 1200; n <= 1260; n += 10) pictures.push_back(n);
    for (int n = 1500; n <= 1503; n++) pictures.push_back(n);
    for (int id : {2001, 2002, 2101, 2102, 2103, 2107, 2201, 2203, 2206, 2302, 2304, 2305, 2402, 2403, 2404, 2501, 2505,
                   2506, 2604, 2605, 2606}) {
        pictures.push_back(id);
        pictures.push_back(id + 50);
    }
    for (int n : {3001, 3002, 3003, 3004, 3005, 3006, 3007, 3011, 3012, 3101, 3102, 3103, 3104, 3105, 3106})
        pictures.push_back(n);
    for (int pair = 1; pair <= 6; pair++)
        for (int tile : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 21, 22, 23, 24, 31, 32, 33, 34})
            pictures.push_back(4000 + 100 * pair + tile);
    for (int n : {4000, 4001, 4002, 4003, 4010, 4011, 4012, 4013, 4901, 4913, 4914, 4921, 9020, 9021}) pictures.push_back(n);
    for (int row = 0; row < 19; row++)
        for (int column = 0; column < 37; column++) pictures.push_back(5000 + 100 * row + column);
    for (int n : {9005, 9006, 9007, 9008, 9224, 9248, 9262, 9286, 9504, 9506, 9507}) pictures.push_back(n);
    for (int n = 9009; n <= 9015; n++) pictures.push_back(n);
    for (int n = 9090; n <= 9094; n++) pictures.push_back(n);
    for (int n = 9101; n <= 9104; n++) pictures.push_back(n);
    for (int n = 9300; n <= 9305; n++) pictures.push_back(n);
    for (int n = 9500; n <= 9503; n++) pictures.push_back(n);
    for (int n : {1101, 1103, 1201, 1211, 1221, 1231, 1241, 1251, 1261, 1301, 1401, 1411, 1421, 1053, 1055, 1057})
        pictures.push_back(n);
    for (int number : pictures) EXPECT_EQ(PictureExists(number), 1) << "picture " << number;

    std::vector<int> sounds = {11, 12, 13, 14, 31, 32, 33, 41, 42, 44, 51, 52, 53, 54, 61, 71, 72, 73, 74, 82, 84, 1, 2, 3,
                               1200, 1201, 1102, 1103, 1211, 1212, 3011, 3012, 3007, 4000, 5002};
    for (int n = 21; n <= 28; n++) sounds.push_back(n);
    for (int n = 3001; n <= 3006; n++) sounds.push_back(n);
    for (int number : sounds) EXPECT_EQ(SoundExists(number), 1) << "sound " << number;

    EXPECT_EQ(PictureWidth(5000 + 100 * 18 + 36), 24) << "the last slice lies beyond the texture and still exists";
    EXPECT_EQ(PictureHeight(5000 + 100 * 18), 1);
}

TEST_F(StagedGame, MissingPictureEndsWithTheFileMessage)
{
    RemoveFile("BMP\\O\\Kaserne.bmp");
    SetMessageBoxAnswer(1);
    EXPECT_EXIT(LoadAssets(), testing::ExitedWithCode(1),
                "ZQ_TR_Procedure: ! FEHLER !  Datei \"BMP.O.Kaserne.bmp\" konnte nicht geladen werden!");
}
