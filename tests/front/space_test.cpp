// The space scene behind the menus: where its stars may stand and which planet pieces show.
#include "game/base/common.h"
#include "game/base/frame.h"
#include "game/front/space.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/image.h"
#include "platform/pictures.h"
#include "platform/sprites.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

static void WriteStarPicture()
{
    Image star;
    MakeImage(star, 32, 32, PackColour(255, 255, 255));
    MakeFolder("BMP");
    ASSERT_EQ(WriteWholeFile("BMP\\Stern.bmp", EncodeBmp24(star)), 1);
}

TEST(SpaceScene, StarsKeepClearOfThePlanetAndTheSun)
{
    TempFolder folder;
    WriteStarPicture();
    int leftOfPlanet = 0, belowTheSun = 0;
    for (unsigned int seed = 1; seed <= 300; seed++) {
        SeedRandom(seed);
        BuildSpaceScene();
        ASSERT_EQ(SpaceStars().size(), size_t(SpaceStarCount));
        for (const SpaceStar& star : SpaceStars()) {
            ASSERT_GE(std::hypot(star.x - 512, star.y - 384), 250.0f) << "seed " << seed;
            ASSERT_FALSE(star.x > 1024.0f * 2 / 3 && star.y < 768.0f * 2 / 3) << "seed " << seed << " " << star.x << "," << star.y;
            ASSERT_TRUE(star.x >= 0 && star.x <= 1024 && star.y >= 0 && star.y <= 768);
            leftOfPlanet += star.x < 262;
            belowTheSun += star.x > 700 && star.y > 600;
        }
    }
    // The stars still fill the rest of the sky rather than bunching in one place.
    EXPECT_GT(leftOfPlanet, 0);
    EXPECT_GT(belowTheSun, 0);
    EXPECT_EQ(StarPlaceAllowed(100, 100), 1);
    EXPECT_EQ(StarPlaceAllowed(512, 200), 0) << "on the planet's disc";
    EXPECT_EQ(StarPlaceAllowed(1000, 100), 0) << "beside the sun";
}

TEST(SpaceScene, TheSeamColumnIsNeverDrawnAndEveryOtherOneTurnsIntoView)
{
    TempFolder folder;
    WriteStarPicture();
    BuildSpaceScene();
    ASSERT_EQ(PlanetPieces().size(), 37u * 19u);
    std::set<int> shown, hidden;
    for (int step = 0; step < 1800; step++) {
        float turn = float(step) * 0.2f;
        int drawnColumns = 0;
        for (const PlanetPiece& piece : PlanetPieces()) {
            int drawn = PlanetPieceDrawn(piece, turn);
            ASSERT_FALSE(drawn && piece.column == 36) << "turn " << turn;
            (drawn ? shown : hidden).insert(piece.column);
            drawnColumns += drawn && piece.row == 9;
        }
        // Somewhat more than half the globe faces the viewer, never all of it.
        EXPECT_GE(drawnColumns, 19) << "turn " << turn;
        EXPECT_LE(drawnColumns, 21) << "turn " << turn;
    }
    EXPECT_EQ(shown.size(), 36u);
    EXPECT_EQ(hidden.size(), 37u);
}

TEST(SpaceScene, PiecesSpanTheGlobe)
{
    TempFolder folder;
    WriteStarPicture();
    BuildSpaceScene();
    for (const PlanetPiece& piece : PlanetPieces()) {
        EXPECT_EQ(piece.longitude, piece.column * 10);
        EXPECT_EQ(piece.latitude, (piece.row - 9) * 10);
    }
}

// Each star shines where its place in the 1024 x 768 layout falls on the screen, whatever the
// screen's size; the planet's disc, with nothing else loaded, stays dark.
TEST(SpaceScene, FramesDrawTheStarsAtAnyScreenSize)
{
    TempFolder folder;
    WriteStarPicture();
    for (int width : {640, 1280}) {
        int height = width * 3 / 4;
        ASSERT_EQ(OpenDisplay(width, height, 32, "Test"), 1);
        SetScreenGeometry(width, height);
        SetFrameWait(0);
        SeedRandom(7);
        BuildSpaceScene();
        for (int frame = 0; frame < 20; frame++) {
            ClearScreen(0, 0, 0);
            BeginScene();
            DrawSpaceScene();
            EndScene();
            if (frame < 19) FlipScreen();
        }
        ASSERT_EQ(GrabScreen(9990), 1);
        auto brightness = [](int colour) { return (colour & 255) + ((colour >> 8) & 255) + ((colour >> 16) & 255); };
        for (const SpaceStar& star : SpaceStars()) {
            int x = int(star.x * UiScale), y = int(star.y * UiScale);
            x = std::min(x, width - 1);
            y = std::min(y, height - 1);
            EXPECT_GT(brightness(ReadPixel(9990, x, y)), 60) << "star at " << star.x << "," << star.y << " on " << width;
        }
        EXPECT_EQ(brightness(ReadPixel(9990, width / 2, height / 2)), 0) << "the planet's middle";
        FreePicture(9990);
        SetFrameWait(1);
        StopLayers();
    }
    SetScreenGeometry(1024, 768);
}
