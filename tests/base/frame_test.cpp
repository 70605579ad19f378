// Screen geometry, the bitmap font on the headless display, and the frames-per-second meter.
#include "game/base/frame.h"
#include "platform/display.h"
#include "platform/latin1.h"
#include "platform/pictures.h"
#include "platform/sprites.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Geometry, ScalesFollowTheScreenWidth)
{
    int w = 0, h = 0;
    ScreenSizeFor(3, w, h);
    SetScreenGeometry(w, h);
    EXPECT_FLOAT_EQ(UiScale, 1.0f);
    EXPECT_FLOAT_EQ(FontScale, 0.8f) << "glyph cell 9.6 x 16 at 1024";
    ScreenSizeFor(5, w, h);
    EXPECT_EQ(h, 1024);
    SetScreenGeometry(w, h);
    EXPECT_FLOAT_EQ(FontScale, 1.0f) << "glyph cell 12 x 20 at 1280";
    EXPECT_FLOAT_EQ(UiScale, 1.25f);
    for (int index : {0, 6, 9, -1}) {
        ScreenSizeFor(index, w, h);
        EXPECT_EQ(w, 1024) << "an index outside the table falls back to 1024 x 768";
        EXPECT_EQ(h, 768);
    }
    EXPECT_EQ(GlyphStripFile(800), "BMP\\Zeichensatz800-.bmp");
}

// A glyph strip in which glyph g is a block of grey g + 100, so the screen shows which glyph
// went where. Cells start at round(g * w), as the font strips are drawn.
static void MakeTestGlyphStrip(float w, int h)
{
    Image strip;
    int width = int(std::lround(120 * w));
    MakeImage(strip, width, h, 0);
    for (int g = 0; g < 120; g++)
        for (int x = int(std::lround(g * w)); x < int(std::lround((g + 1) * w)) && x < width; x++)
            for (int y = 0; y < h; y++) strip.pixels[size_t(y * width + x)] = PackColour(g + 100, g + 100, g + 100);
    ASSERT_EQ(SetPictureImage(7771, strip), 1);
}

class BitmapFont : public ::testing::Test {
protected:
    void TearDown() override { StopLayers(); }
    // Draws `text` on black and gives the grabbed screen.
    const Image* Draw(const std::string& text, float x, int alignment, int box)
    {
        ClearScreen(0, 0, 0);
        BeginScene();
        DrawText(text, x, 10, alignment, box);
        EndScene();
        EXPECT_EQ(GrabScreen(90), 1);
        return PictureImage(90);
    }
    static int Grey(const Image* screen, int x, int y) { return ColourRed(screen->pixels[size_t(y * screen->width + x)]); }
};

TEST_F(BitmapFont, CellsOfNinePointSixPixelsAt1024)
{
    ASSERT_EQ(OpenDisplay(1024, 768, 32, "Test"), 1);
    SetScreenGeometry(1024, 768);
    MakeTestGlyphStrip(9.6f, 16);
    const Image* screen = Draw("AB", 100, 1, 0);
    // 'A' (65) is glyph 35, drawn at round(1 x 9.6) + 100 = 110, 9 pixels wide (round(9.6 - 1)).
    EXPECT_EQ(Grey(screen, 109, 12), 0);
    EXPECT_EQ(Grey(screen, 110, 12), 135);
    EXPECT_EQ(Grey(screen, 118, 12), 135);
    // 'B' at round(2 x 9.6) + 100 = 119.
    EXPECT_EQ(Grey(screen, 119, 12), 136);
    EXPECT_EQ(Grey(screen, 119, 10 + 15), 136) << "16 rows high";
    EXPECT_EQ(Grey(screen, 119, 10 + 16), 0);

    screen = Draw(L1("Ü"), 100, -1, 0);
    // Ending at x: round(9.6) + 100 - 9.6 = 100.4 -> 100; the umlaut sits at code 132.
    EXPECT_EQ(Grey(screen, 100, 12), 132 - 30 + 100);
    EXPECT_EQ(Grey(screen, 99, 12), 0);
}

TEST_F(BitmapFont, CellsOfTwelvePixelsAt1280AndCentring)
{
    ASSERT_EQ(OpenDisplay(1280, 1024, 32, "Test"), 1);
    SetScreenGeometry(1280, 1024);
    MakeTestGlyphStrip(12.0f, 20);
    // x = 100 layout units = 125 pixels; centred: 12 + 125 - (2 x 6 + 12) = 113.
    const Image* screen = Draw("AB", 100, 0, 0);
    EXPECT_EQ(Grey(screen, 112, 20), 0);
    EXPECT_EQ(Grey(screen, 113, 20), 135);
    EXPECT_EQ(Grey(screen, 123, 20), 135) << "11 pixels wide";
    EXPECT_EQ(Grey(screen, 124, 20), 0);
    EXPECT_EQ(Grey(screen, 125, 20), 136);
}

TEST_F(BitmapFont, BoxOnlyBehindText)
{
    ASSERT_EQ(OpenDisplay(1024, 768, 32, "Test"), 1);
    SetScreenGeometry(1024, 768);
    MakeTestGlyphStrip(9.6f, 16);
    Image white;
    MakeImage(white, 4, 4, PackColour(255, 255, 255));
    ASSERT_EQ(SetPictureImage(9012, white), 1);
    ASSERT_EQ(CreateSprite3D(9012), 1);
    const Image* screen = Draw("", 100, 1, 1);
    EXPECT_EQ(Grey(screen, 110, 12), 0) << "an empty text draws no box";
    screen = Draw("A", 100, 1, 1);
    // The box starts at round(100 + 4.8) = 105, before the first glyph at 110.
    EXPECT_GT(Grey(screen, 106, 12), 100);
    EXPECT_EQ(Grey(screen, 104, 12), 0);
}

TEST(FramesPerSecond, CountsOverASlidingWindow)
{
    FrameCounter = 0;
    FpsClock = 0;
    EXPECT_EQ(FramesPerSecond(), 0) << "nothing counted yet";
    CountFrame();
    EXPECT_EQ(FramesPerSecond(), 0) << "no clock tick yet: nothing to divide by";
    for (int i = 0; i < 299; i++) FpsClockTick(6);
    EXPECT_EQ(FpsClock, 1794);
    for (int i = 1; i < 72; i++) CountFrame();
    EXPECT_EQ(FramesPerSecond(), 40); // 72 frames in 1.794 s
    FpsClockTick(6);
    EXPECT_EQ(FpsClock, 900) << "the window halves at 1800";
    EXPECT_EQ(FrameCounter, 36);
    EXPECT_EQ(FramesPerSecond(), 40);
    // Steps as long as the sleeps really were: one that runs past 1800 halves the whole window.
    for (int i = 0; i < 10; i++) CountFrame();
    FpsClockTick(904); // 46 frames in 1.804 s
    EXPECT_EQ(FpsClock, 902);
    EXPECT_EQ(FrameCounter, 23);
    EXPECT_EQ(FramesPerSecond(), 25);
}
