// Draws one frame through a real X server - keyed 2-D pictures, zoomed, turned and bent 3-D
// sprites in three blend modes, and text - then checks pixels of the grabbed screen and leaves
// the frame as visual_check.bmp for people to look at. Run with SDL_RENDER_DRIVER=opengl it
// draws through OpenGL; without, as the game draws there.
#include "platform/display.h"
#include "platform/files.h"
#include "platform/pictures.h"
#include "platform/sprites.h"
#include "platform/text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <unistd.h>

static const int Width = 320, Height = 240;

// A picture filled by `colour(x, y)`, loaded through the transparent colour in force.
template <typename F>
static void MakePicture(int number, int w, int h, F colour)
{
    Image image;
    MakeImage(image, w, h, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) image.pixels[size_t(y * w + x)] = colour(x, y);
    std::string name = "bild" + std::to_string(number) + ".bmp";
    ASSERT_EQ(WriteWholeFile(name, EncodeBmp24(image)), 1);
    ASSERT_EQ(LoadPicture(number, name), 1);
    RemoveFile(name);
}

static int Pixel(int x, int y) { return ReadPixel(90, x, y); }

// GPU blending may round a channel either way.
static testing::AssertionResult Near(int actual, int expected)
{
    for (int shift : {0, 8, 16})
        if (abs(((actual >> shift) & 255) - ((expected >> shift) & 255)) > 2)
            return testing::AssertionFailure() << std::hex << actual << " is not near " << expected;
    return testing::AssertionSuccess();
}

TEST(Visual, OneFrameOfEveryDrawingKind)
{
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    SetProgramFolder(cwd);
    ASSERT_EQ(StartDisplayLayer(), 1);
    ASSERT_EQ(StartSpriteLayer(), 1);
    ASSERT_EQ(OpenDisplay(Width, Height, 32, "KORAX 3050 Test"), 1);
    const char* driver = std::getenv("SDL_RENDER_DRIVER");
    if (driver && std::string(driver) == "opengl")
        ASSERT_EQ(CustomBlendingWorks(), 1) << "OpenGL under Xvfb honours custom blend factors";
    else
        EXPECT_EQ(CustomBlendingWorks(), 0) << "Xvfb has only Mesa's rasteriser, which the game passes over";

    SetTransparentColour(0, 0, 0);
    // A red diamond on black (the key): keyed drawing shows only the diamond.
    MakePicture(1, 32, 32, [](int x, int y) { return (abs(x - 16) + abs(y - 16) < 14) ? PackColour(220, 40, 40) : 0u; });
    MakePicture(2, 16, 16, [](int x, int) { return x < 8 ? PackColour(40, 200, 40) : PackColour(40, 40, 200); });
    MakePicture(3, 8, 8, [](int, int) { return PackColour(0, 0, 200); });
    MakePicture(4, 8, 8, [](int, int) { return PackColour(128, 255, 128); });
    for (int n = 1; n <= 4; n++) ASSERT_EQ(CreateSprite3D(n), 1);
    int font = LoadFont("DejaVu Sans Fett", 20);
    ASSERT_GT(font, 0);

    ClearScreen(90, 70, 40);
    DrawPicture(1, 10, 10, 1);             // keyed 2-D
    DrawPicture(1, 50, 10, 0);             // opaque 2-D: black corners show
    BeginScene();
    SetSpriteSize(2, 64, 32);              // zoomed
    DrawSprite3D(2, 100, 10, 255);
    SetSpriteAngle(2, 90);                 // turned: green half on top
    DrawSprite3D(2, 180, 10, 255);
    SetSpriteCorners(2, 0, 0, 80, 10, 80, 40, 0, 30); // bent
    DrawSprite3D(2, 10, 60, 255);
    SetSpriteSize(3, 60, 40);
    SetBlendFactors(2, 2);                 // additive: blue on red gives magenta
    DrawSprite3D(1, 120, 80, 255);
    SetSpriteSize(1, 60, 60);
    DrawSprite3D(1, 200, 80, 255);
    DrawSprite3D(3, 215, 100, 255);
    SetBlendFactors(9, 1);                 // multiply: the screen times the sprite
    SetSpriteSize(4, 60, 40);
    DrawSprite3D(4, 120, 160, 255);
    SetBlendFactors(5, 6);
    SetSpriteSize(3, 40, 40);
    DrawSprite3D(3, 250, 170, 128);        // half see-through
    EndScene();
    DrawFontText(font, "KORAX 3050", 10, 200, 255, 230, 120);
    ASSERT_EQ(GrabScreen(90), 1);
    SavePicture(90, "visual_check.bmp");
    FlipScreen();

    EXPECT_EQ(Pixel(11, 11), 0x5A4628) << "keyed corner shows the background";
    EXPECT_EQ(Pixel(26, 26), 0xDC2828) << "diamond";
    EXPECT_EQ(Pixel(51, 11), 0x000000) << "opaque corner is drawn";
    EXPECT_TRUE(Near(Pixel(110, 25), 0x28C828)) << "zoomed left half";
    EXPECT_TRUE(Near(Pixel(155, 25), 0x2828C8)) << "zoomed right half";
    EXPECT_TRUE(Near(Pixel(212, 15), 0x28C828)) << "turned: left half on top";
    EXPECT_TRUE(Near(Pixel(212, 40), 0x2828C8));
    EXPECT_TRUE(Near(Pixel(20, 75), 0x28C828)) << "bent quad";
    EXPECT_TRUE(Near(Pixel(85, 95), 0x2828C8));
    EXPECT_TRUE(Near(Pixel(230, 110), 0xFF6EFF)) << "additive: background + red diamond + blue";
    EXPECT_TRUE(Near(Pixel(150, 180), 0x2D4614)) << "multiply: background x (128, 255, 128)";
    int blended = Pixel(270, 190);
    EXPECT_NEAR(blended & 255, (200 + 40) / 2, 3) << "half see-through blue over background";
    int textPixels = 0;
    for (int y = 200; y < 230; y++)
        for (int x = 10; x < 160; x++) textPixels += Pixel(x, y) == 0xFFE678;
    EXPECT_GT(textPixels, 100) << "the text was drawn";

    StopLayers();
}
