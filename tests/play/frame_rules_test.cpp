// What a running frame does besides the keys: storms and their dust, the hourly shadows,
// arrivals by the hour, screenshots, removing the selection, and the night and fog drawing.
#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/play/gameloop.h"
#include "game/sim/buildings.h"
#include "game/sim/effects.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "game/view/gamedraw.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/pictures.h"
#include "platform/sprites.h"
#include "support/temp_folder.h"
#include "support/test_game.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

// A plain picture and its 3-D sprite under `number`.
static void SolidSprite(int number, int w, int h, uint32_t colour)
{
    Image image;
    MakeImage(image, w, h, colour);
    ASSERT_EQ(SetPictureImage(number, image), 1);
    ASSERT_EQ(CreateSprite3D(number), 1);
}

class FrameRules : public ::testing::Test {
protected:
    void SetUp() override
    {
        Image map;
        MakeImage(map, 30, 30, PackColour(128, 64, 0)); // all earth
        map.pixels[10 * 30 + 10] = PackColour(255, 0, 255);
        map.pixels[25 * 30 + 25] = PackColour(255, 0, 255);
        StartTestGame(map, 9);
    }
    void TearDown() override { StopTestGame(); }
    TempFolder folder;
};

TEST_F(FrameRules, StormsComeOntoTheMapAndShedDust)
{
    ASSERT_EQ(Sandstorms.size(), 1u) << "one storm at the default level";
    GameSpeed = 4;
    AdvanceWorld();
    const Sandstorm& storm = Sandstorms[0];
    EXPECT_GE(storm.x, 1);
    EXPECT_LE(storm.x, 30 * 32 + 1);
    std::vector<Effect> dust;
    for (const Effect& effect : Effects)
        if (effect.kind >= 31 && effect.kind <= 33) dust.push_back(effect);
    ASSERT_EQ(dust.size(), 2u) << "round(4 / 2) dust effects";
    EXPECT_EQ(dust[0].kind, 31);
    EXPECT_GE(dust[0].life, 100);
    EXPECT_LE(dust[0].size, 8);
}

TEST_F(FrameRules, DustThinsGrowsAndTurnsThenGoes)
{
    Sandstorms.clear();
    GameSpeed = 2;
    AddEffect(31, 4, 100, 100, 0, 90, 2.0f);
    AgeEffects();
    ASSERT_EQ(Effects.size(), 1u);
    EXPECT_FLOAT_EQ(Effects[0].life, 2.0f - 0.8f);
    EXPECT_FLOAT_EQ(Effects[0].size, 4.12f);
    EXPECT_FLOAT_EQ(Effects[0].angle, 89.5f);
    AgeEffects();
    EXPECT_TRUE(Effects.empty()) << "life below 1 is removed";
}

TEST_F(FrameRules, ShadowsFollowTheFullHour)
{
    MakeFolder("BMP\\O\\Schatten");
    Image shadow;
    MakeImage(shadow, 4, 4, PackColour(50, 50, 50));
    ASSERT_EQ(WriteWholeFile("BMP\\O\\Schatten\\Solarzelle_8.bmp", EncodeBmp24(shadow)), 1);
    GameSpeed = 4;
    TimeOfDay = 8 * 3600 - 8;
    GameFrame();
    EXPECT_EQ(PictureExists(1101), 0) << "still 7 o'clock";
    GameFrame();
    GameFrame();
    EXPECT_EQ(TimeOfDay, 8 * 3600 + 4);
    EXPECT_EQ(PictureExists(1101), 1) << "the first frame of 8 o'clock loads its shadows";
    EXPECT_EQ(PictureExists(1053), 1) << "towers borrow the solar cell's";
}

TEST_F(FrameRules, ObjectsArriveAtTheirHour)
{
    Units.push_back(MakeUnit(1, 2101, 2, 5, 5, 2, -1));
    Buildings.push_back(MakeBuilding(2, 1100, 2, 6, 6, 1));
    ElapsedSeconds = 3600;
    AdvanceWorld();
    EXPECT_EQ(Units.back().state, -1) << "not before the hour has passed";
    ElapsedSeconds = 3601;
    AdvanceWorld();
    EXPECT_EQ(Units.back().state, 0);
    EXPECT_EQ(Buildings.back().state, 0);
}

TEST_F(FrameRules, DeleteRemovesTheSelectionAndF12SavesAPicture)
{
    Units[0].selection = 2;
    InjectKey(0xD3, 1);
    GameFrame();
    InjectKey(0xD3, 0);
    GameFrame();
    EXPECT_EQ(Units.size(), 1u);
    EXPECT_EQ(Units[0].owner, 2);

    InjectKey(0x58, 1);
    GameFrame();
    InjectKey(0x58, 0);
    GameFrame();
    std::vector<std::string> pictures = ListFolder("Bild*.bmp");
    ASSERT_EQ(pictures.size(), 1u);
    ASSERT_EQ(LoadPicture(50, pictures[0]), 1);
    EXPECT_EQ(PictureWidth(50), 1024);
}

TEST_F(FrameRules, DeleteClosesTheWallsAndFreesTheWay)
{
    for (int x = 4; x <= 6; x++) AddBuilding(MakeBuilding(NextObjectId += 10, 1000, 1, float(x), 4, 0));
    SolidSprite(1000, 64, 64, PackColour(90, 90, 90));
    for (Building& wall : Buildings) wall.width = wall.height = 64;
    JoinWalls();
    RecomputeObstacles();
    ASSERT_EQ(ObstacleGrid[5][4], -1);
    Units[1].target = float(Buildings[1].id); // someone was aiming at the middle piece
    Buildings[1].selection = 2;
    InjectKey(0xD3, 1);
    GameFrame();
    InjectKey(0xD3, 0);
    GameFrame();
    ASSERT_EQ(Buildings.size(), 2u);
    EXPECT_EQ(Buildings[0].typeId, 1000) << "the left piece stands alone now";
    EXPECT_EQ(Buildings[1].typeId, 1000);
    EXPECT_EQ(ObstacleGrid[5][4], 0) << "the gap is open";
    EXPECT_EQ(Units[1].target, -1.0f) << "and nobody aims at what is gone";
}

TEST_F(FrameRules, DebugKeysWorkOnlyWhileF9IsHeld)
{
    int pathfinding = PathfindingOn;
    InjectKey(0x11, 1);
    GameFrame();
    InjectKey(0x11, 0);
    GameFrame();
    EXPECT_EQ(PathfindingOn, pathfinding);
    InjectKey(0x43, 1);
    InjectKey(0x11, 1);
    GameFrame();
    InjectKey(0x11, 0);
    GameFrame();
    InjectKey(0x20, 1);
    GameFrame();
    InjectKey(0x20, 0);
    GameFrame();
    InjectKey(0x43, 0);
    EXPECT_EQ(PathfindingOn, -pathfinding);
    EXPECT_EQ(FogOn, -1);
}

// Grey ground everywhere, a black darkness picture and a fog tile of its own colour.
static int GroundBrightness()
{
    for (int n = 4101; n <= 4634; n++) SolidSprite(n, 8, 8, PackColour(200, 200, 200));
    SetSpriteSize(4121, 32, 32);
    SetSpriteSize(4122, 32, 32);
    SetSpriteSize(4123, 32, 32);
    SetSpriteSize(4124, 32, 32);
    GameFrame();
    GameFrame(); // the second frame flips the first onto the screen
    EXPECT_EQ(GrabScreen(60), 1);
    int x = int((Players[1].startX * 32.0f + 40 + CamX) * DrawScale), y = int((Players[1].startY * 32.0f + CamY) * DrawScale);
    return ReadPixel(60, x, y) & 255;
}

TEST_F(FrameRules, NightDarkensTheGroundAndFogCoversTheUnseen)
{
    SolidSprite(9012, 4, 4, PackColour(2, 2, 2));
    SolidSprite(3900, 8, 8, PackColour(0, 0, 90));
    SetSpriteSize(3900, 64, 64); // as the loader sizes it: two cells
    FogOn = 1;
    TimeOfDay = 12 * 3600;
    int noon = GroundBrightness();
    TimeOfDay = 0;
    int midnight = GroundBrightness();
    EXPECT_GT(noon, 190);
    EXPECT_LT(midnight, noon / 2) << "alpha 181 of 255 at midnight";
    // Far from the start the ground is unseen: the fog tile's blue shows.
    int far = ReadPixel(60, int((20 * 32 + CamX) * DrawScale), int((2 * 32 + CamY) * DrawScale));
    EXPECT_EQ(far & 0xFFFF00, 0) << std::hex << far;
    EXPECT_GT(far & 255, 40);
}

// A trooper's picture: solid grey but for a round window in its middle.
static void WindowedTrooper(int number)
{
    Image image;
    MakeImage(image, 32, 32, PackColour(90, 90, 90));
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++)
            if ((x - 15.5f) * (x - 15.5f) + (y - 15.5f) * (y - 15.5f) < 16) image.pixels[size_t(y * 32 + x)] = 0;
    ASSERT_EQ(SetPictureImage(number, image), 1);
    ASSERT_EQ(CreateSprite3D(number), 1);
}

// Scaling may round a channel by one either way.
static bool NearColour(int pixel, uint32_t colour)
{
    for (int shift : {0, 8, 16})
        if (std::abs(((pixel >> shift) & 255) - int((colour >> shift) & 255)) > 2) return false;
    return true;
}

TEST_F(FrameRules, EachUnitShowsItsOwnersColourThroughItsWindow)
{
    WindowedTrooper(2101);
    const uint32_t colours[4] = {0, PackColour(40, 110, 230), PackColour(220, 50, 40), PackColour(60, 190, 70)};
    for (int owner = 1; owner <= 3; owner++) SolidSprite(9100 + owner, 16, 16, colours[owner]);
    FogOn = -1;
    Units.clear();
    const int headings[4] = {0, 0, 30, 215};
    for (int owner = 1; owner <= 3; owner++) {
        int index = AddUnit(MakeUnit(float(NextObjectId += 10), 2101, owner, 8.5f + 2 * owner, 12.5f, 0, 0));
        Units[size_t(index)].heading = float(headings[owner]);
    }
    GameFrame();
    GameFrame();
    ASSERT_EQ(GrabScreen(60), 1);
    for (const Unit& unit : Units) {
        int x = int((unit.x * 32 + CamX) * DrawScale), y = int((unit.y * 32 + CamY) * DrawScale);
        EXPECT_TRUE(NearColour(ReadPixel(60, x, y), colours[unit.owner])) << "owner " << unit.owner << ": " << std::hex << ReadPixel(60, x, y);
        // Beside the window, still over the square, the picture covers the colour: the square
        // lies beneath the unit.
        for (int dx : {-3, 3})
            for (int dy : {-3, 3})
                EXPECT_EQ(ReadPixel(60, x + dx, y + dy) & 0xFFFFFF, 0x5A5A5Au) << "owner " << unit.owner << " at " << dx << "," << dy;
    }
}
