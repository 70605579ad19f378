// The picture store and drawing, on the headless display: colour keys, cutting, overlap,
// saving, and 2-D and 3-D drawing checked on the grabbed screen.
#include "platform/display.h"
#include "platform/pictures.h"
#include "platform/sprites.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

static const uint32_t Red = PackColour(200, 30, 30);
static const uint32_t Green = PackColour(30, 200, 30);
static const uint32_t Magenta = PackColour(255, 0, 255);

// Writes a w x h BMP whose pixels come from `colour(x, y)`.
template <typename F>
static void WriteBmp(const std::string& path, int w, int h, F colour)
{
    Image image;
    MakeImage(image, w, h, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) image.pixels[size_t(y * w + x)] = colour(x, y);
    ASSERT_EQ(WriteWholeFile(path, EncodeBmp24(image)), 1);
}

// A ring: a filled square with a transparent hole in the middle.
static uint32_t Ring(int x, int y) { return (x >= 2 && x < 6 && y >= 2 && y < 6) ? Magenta : Red; }

class Pictures : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(OpenDisplay(64, 48, 32, "Test"), 1); }
    static void TearDownTestSuite() { StopLayers(); }
    void SetUp() override { SetTransparentColour(255, 0, 255); }
    void TearDown() override
    {
        for (int n = 0; n < 20; n++) FreePicture(n);
        SetBlendFactors(5, 6);
    }
    int ScreenPixel(int x, int y)
    {
        EXPECT_EQ(GrabScreen(99), 1);
        return ReadPixel(99, x, y);
    }
    TempFolder folder;
};

TEST_F(Pictures, TransparentColourAtLoadTimeIsBakedIn)
{
    WriteBmp("ring.bmp", 8, 8, Ring);
    ASSERT_EQ(LoadPicture(1, "RING.BMP"), 1);
    SetTransparentColour(0, 0, 0);
    ASSERT_EQ(LoadPicture(2, "ring.bmp"), 1);

    EXPECT_EQ(PictureWidth(1), 8);
    EXPECT_EQ(ReadPixel(1, 3, 3), 0xFF00FF) << "the colour stays readable";
    EXPECT_EQ(ColourAlpha(PictureImage(1)->pixels[3 * 8 + 3]), 0);
    EXPECT_EQ(ColourAlpha(PictureImage(2)->pixels[3 * 8 + 3]), 255) << "key changed after the first load";
    EXPECT_EQ(ReadPixel(1, 8, 0), 0);
    EXPECT_EQ(ReadPixel(1, -1, 0), 0);
}

TEST_F(Pictures, KeyedDrawLeavesTheHoleOpaqueDrawDoesNot)
{
    WriteBmp("ring.bmp", 8, 8, Ring);
    ASSERT_EQ(LoadPicture(1, "ring.bmp"), 1);
    ClearScreen(0, 0, 255);
    DrawPicture(1, 10, 10, 1);
    DrawPicture(1, 30, 10, 0);
    EXPECT_EQ(ScreenPixel(10, 10), 0xC81E1E);
    EXPECT_EQ(ScreenPixel(13, 13), 0x0000FF) << "keyed: background shows through";
    EXPECT_EQ(ScreenPixel(33, 13), 0x000000) << "opaque: the key pixel is drawn (as black)";
    EXPECT_EQ(ScreenPixel(9, 9), 0x0000FF);
}

TEST_F(Pictures, MissingFilesAndNumbersDrawNothing)
{
    EXPECT_EQ(LoadPicture(3, "fehlt.bmp"), 0);
    WriteWholeFile("kaputt.bmp", "BM nonsense");
    EXPECT_EQ(LoadPicture(4, "kaputt.bmp"), 0);
    EXPECT_EQ(PictureExists(4), 0);
    EXPECT_EQ(LoadPicture(MaxPictures, "kaputt.bmp"), 0);
    ClearScreen(1, 2, 3);
    DrawPicture(3, 0, 0, 0);
    DrawPicture(-7, 0, 0, 0);
    EXPECT_EQ(CreateSprite3D(4), 0);
    DrawSprite3D(4, 0, 0, 255);
    EXPECT_EQ(ScreenPixel(0, 0), 0x010203);
}

TEST_F(Pictures, CutRectangleIsClippedToBothPictures)
{
    WriteBmp("quelle.bmp", 4, 4, [](int x, int y) { return PackColour(x * 10, y * 10, 100); });
    ASSERT_EQ(LoadPicture(1, "quelle.bmp"), 1);
    ASSERT_EQ(CreatePicture(2, 3, 3), 1);
    EXPECT_EQ(CopyPictureRect(1, 2, 2, 5, 5, 2, 1, 1), 1);
    EXPECT_EQ(ReadPixel(2, 1, 1), 0x141464);
    EXPECT_EQ(ReadPixel(2, 2, 2), 0x1E1E64);
    EXPECT_EQ(ReadPixel(2, 0, 0), 0xFF00FF) << "untouched: the creation colour";
    EXPECT_EQ(CopyPictureRect(1, 0, 0, 1, 1, 17, 0, 0), 0);
}

TEST_F(Pictures, CutInMemoryEqualsACutSavedAndLoadedBack)
{
    // Black is the key, as when the planet is cut: black pixels turn see-through, and what lies
    // beyond the source's edge comes out as the key colour.
    SetTransparentColour(0, 0, 0);
    WriteBmp("planet.bmp", 30, 20, [](int x, int y) { return (x + y) % 7 == 0 ? PackColour(0, 0, 0) : PackColour(x * 8, y * 12, 90); });
    ASSERT_EQ(LoadPicture(1, "planet.bmp"), 1);
    struct Cut {
        int x, y, w, h;
    };
    for (Cut cut : {Cut{0, 0, 24, 12}, Cut{24, 8, 24, 16}, Cut{6, 19, 24, 1}, Cut{0, 20, 24, 1}}) {
        ASSERT_EQ(CreatePicture(2, cut.w, cut.h), 1);
        CopyPictureRect(1, cut.x, cut.y, cut.w, cut.h, 2, 0, 0);
        ASSERT_EQ(SavePicture(2, "schnitt.bmp"), 1);
        ASSERT_EQ(LoadPicture(3, "schnitt.bmp"), 1);
        ASSERT_EQ(CutPicture(1, cut.x, cut.y, cut.w, cut.h, 4), 1);
        EXPECT_EQ(PictureImage(4)->width, cut.w);
        EXPECT_EQ(PictureImage(4)->pixels, PictureImage(3)->pixels) << "cut at " << cut.x << "," << cut.y;
    }
    EXPECT_EQ(CutPicture(17, 0, 0, 4, 4, 5), 0) << "no source";
    EXPECT_EQ(CutPicture(1, 0, 0, 4, 4, 1), 0) << "not into itself";
}

TEST_F(Pictures, OverlapCountsOnlyOpaquePixels)
{
    WriteBmp("ring.bmp", 8, 8, Ring);
    WriteBmp("punkt.bmp", 2, 2, [](int, int) { return Green; });
    ASSERT_EQ(LoadPicture(1, "ring.bmp"), 1);
    ASSERT_EQ(LoadPicture(2, "punkt.bmp"), 1);
    EXPECT_EQ(PicturesOverlap(1, 0, 0, 2, 3, 3), 0) << "inside the hole";
    EXPECT_EQ(PicturesOverlap(1, 0, 0, 2, 1, 3), 1) << "one column on the ring";
    EXPECT_EQ(PicturesOverlap(1, 0, 0, 2, 8, 0), 0) << "side by side";
    EXPECT_EQ(PicturesOverlap(1, 10, 10, 2, 9, 9), 1) << "corner pixels meet";
    EXPECT_EQ(PicturesOverlap(1, 0, 0, 5, 0, 0), 0);
}

TEST_F(Pictures, SavedPictureLoadsBackTheSame)
{
    WriteBmp("ring.bmp", 7, 5, [](int x, int y) { return PackColour(x * 30, y * 50, 7); });
    ASSERT_EQ(LoadPicture(1, "ring.bmp"), 1);
    ASSERT_EQ(SavePicture(1, "kopie.bmp"), 1);
    std::string bytes;
    ASSERT_EQ(ReadWholeFile("kopie.bmp", bytes), 1);
    EXPECT_EQ(bytes.size(), 54u + 5 * 24) << "7 pixels = 21 bytes, padded to 24";
    ASSERT_EQ(LoadPicture(2, "kopie.bmp"), 1);
    EXPECT_EQ(PictureImage(1)->pixels, PictureImage(2)->pixels);
}

TEST_F(Pictures, SpriteIsZoomedMirroredAndTurned)
{
    // Left half red, right half green: where each half lands tells how the quad was drawn.
    WriteBmp("halb.bmp", 8, 8, [](int x, int) { return x < 4 ? Red : Green; });
    ASSERT_EQ(LoadPicture(1, "halb.bmp"), 1);
    ASSERT_EQ(CreateSprite3D(1), 1);
    SetTextureFiltering(0);

    ClearScreen(0, 0, 0);
    SetSpriteSize(1, 16, 16);
    DrawSprite3D(1, 0, 0, 255);
    EXPECT_EQ(ScreenPixel(2, 8), 0xC81E1E);
    EXPECT_EQ(ScreenPixel(13, 8), 0x1EC81E);
    EXPECT_EQ(ScreenPixel(17, 8), 0x000000);

    ClearScreen(0, 0, 0);
    SetSpriteSize(1, -16, 16); // mirrored: spans 16 pixels to the left of x
    DrawSprite3D(1, 32, 0, 255);
    EXPECT_EQ(ScreenPixel(18, 8), 0x1EC81E);
    EXPECT_EQ(ScreenPixel(29, 8), 0xC81E1E);

    ClearScreen(0, 0, 0);
    SetSpriteSize(1, 16, 16);
    SetSpriteAngle(1, 90); // clockwise: the left half ends up on top
    DrawSprite3D(1, 0, 0, 255);
    EXPECT_EQ(ScreenPixel(8, 2), 0xC81E1E);
    EXPECT_EQ(ScreenPixel(8, 13), 0x1EC81E);

    ClearScreen(0, 0, 0);
    SetSpriteCorners(1, 0, 0, 40, 0, 40, 10, 0, 10);
    DrawSprite3D(1, 10, 20, 255);
    EXPECT_EQ(ScreenPixel(12, 25), 0xC81E1E);
    EXPECT_EQ(ScreenPixel(47, 25), 0x1EC81E);
    EXPECT_EQ(ScreenPixel(25, 32), 0x000000);
}

TEST_F(Pictures, OpacityMixesWithTheScreen)
{
    WriteBmp("weiss.bmp", 4, 4, [](int, int) { return PackColour(255, 255, 255); });
    ASSERT_EQ(LoadPicture(1, "weiss.bmp"), 1);
    ASSERT_EQ(CreateSprite3D(1), 1);
    ClearScreen(0, 0, 0);
    DrawSprite3D(1, 0, 0, 128);
    int grey = ColourRed(uint32_t(ScreenPixel(1, 1)));
    EXPECT_NEAR(grey, 128, 3);
    DrawSprite3D(1, 10, 0, 0);
    EXPECT_EQ(ScreenPixel(11, 1), 0);
}

// The night's dark layer: a colour laid over a rectangle at an opacity, cut at the screen's edge.
TEST_F(Pictures, ShadedRectangleMixesItsColourInsideItOnly)
{
    ClearScreen(200, 100, 0);
    ShadeRectangle(-10, 10, 40, 100, 20, 40, 250, 100);
    // (colour x 100 + screen x 155) / 255, rounded.
    EXPECT_EQ(ScreenPixel(0, 20), 0x814C62);
    EXPECT_EQ(ScreenPixel(29, 47), 0x814C62);
    EXPECT_EQ(ScreenPixel(30, 20), 0xC86400);
    EXPECT_EQ(ScreenPixel(5, 9), 0xC86400);
    ShadeRectangle(0, 0, 64, 48, 0, 0, 0, 255);
    EXPECT_EQ(ScreenPixel(63, 0), 0);
    ShadeRectangle(100, 100, 10, 10, 255, 255, 255, 255); // wholly off the screen
    EXPECT_EQ(ScreenPixel(63, 47), 0);
}

// Sprites mix with the screen by their blend factors as a graphics card mixes them, also on the
// software renderer: the plain blend, the added light of effects, shadows that take light away,
// added colour, the screen times the sprite, and a bent sprite's two triangles.
TEST_F(Pictures, SpritesMixByTheirBlendFactors)
{
    WriteBmp("farbe.bmp", 4, 4, [](int, int) { return PackColour(200, 100, 40); });
    ASSERT_EQ(LoadPicture(1, "farbe.bmp"), 1);
    ASSERT_EQ(CreateSprite3D(1), 1);
    auto drawn = [&](int source, int destination, int opacity, float angle) {
        ClearScreen(100, 150, 200);
        SetBlendFactors(source, destination);
        SetSpriteSize(1, 20, 20);
        SetSpriteAngle(1, angle);
        DrawSprite3D(1, 10, 10, opacity);
        SetBlendFactors(5, 6);
        return ScreenPixel(20, 20);
    };
    for (float angle : {0.0f, 30.0f}) {
        // (200, 100, 40) x 0.4 + (100, 150, 200) x 0.6
        EXPECT_EQ(drawn(5, 6, 102, angle), 0x8C8288) << angle;
        // (100, 150, 200) + (200, 100, 40) x 0.4, red stopping at 255
        EXPECT_EQ(drawn(5, 2, 102, angle), 0xB4BED8) << angle;
        EXPECT_EQ(drawn(2, 2, 255, angle), 0xFFFAF0) << angle;
        // (100, 150, 200) x (1 - 0.4)
        EXPECT_EQ(drawn(1, 6, 102, angle), 0x3C5A78) << angle;
        // (100, 150, 200) x (200, 100, 40) / 255
        EXPECT_EQ(drawn(9, 1, 255, angle), 0x4E3B1F) << angle;
    }
    // A turned effect asked for again at its size is drawn from a copy from then on.
    for (int again = 0; again < 3; again++) EXPECT_EQ(drawn(5, 2, 102, 30), 0xB4BED8) << "time " << again;
    ClearScreen(100, 150, 200);
    SetBlendFactors(2, 2);
    SetSpriteCorners(1, 0, 0, 30, 0, 30, 20, 0, 20);
    DrawSprite3D(1, 5, 5, 255);
    SetBlendFactors(5, 6);
    EXPECT_EQ(ScreenPixel(6, 6), 0xFFFAF0);
    EXPECT_EQ(ScreenPixel(33, 23), 0xFFFAF0);
    EXPECT_EQ(ScreenPixel(36, 6), 0x6496C8);
}

// Sprites laid straight into the screen's pixels wait to be laid band by band of rows; text,
// pictures and fills drawn between them must still come out in the order they were drawn, also
// where a sprite reaches across two bands.
TEST_F(Pictures, SpritesPicturesAndShadesLieInTheOrderDrawn)
{
    WriteBmp("rot.bmp", 4, 4, [](int, int) { return Red; });
    WriteBmp("gruen.bmp", 8, 8, [](int, int) { return Green; });
    WriteBmp("blau.bmp", 4, 4, [](int, int) { return PackColour(30, 30, 200); });
    ASSERT_EQ(LoadPicture(1, "rot.bmp"), 1);
    ASSERT_EQ(LoadPicture(2, "gruen.bmp"), 1);
    ASSERT_EQ(LoadPicture(3, "blau.bmp"), 1);
    ASSERT_EQ(CreateSprite3D(1), 1);
    ASSERT_EQ(CreateSprite3D(3), 1);
    SetSpriteSize(1, 40, 40);
    SetSpriteSize(3, 10, 10);
    auto rgb = [](uint32_t colour) { return int(colour & 0xFFFFFFu); };
    for (int frame = 0; frame < 2; frame++) { // the second time from the copies made the first
        ClearScreen(0, 0, 0);
        DrawSprite3D(1, 2, 2, 255);    // rows 2..41, across the screen's first two bands
        DrawPicture(2, 10, 28, 0);     // over it
        DrawSprite3D(3, 12, 30, 255);  // over the picture's lower right
        ShadeRectangle(0, 40, 64, 8, 0, 0, 0, 255);
        EXPECT_EQ(ScreenPixel(5, 5), rgb(Red)) << frame;
        EXPECT_EQ(ScreenPixel(11, 29), rgb(Green)) << frame;
        EXPECT_EQ(ScreenPixel(11, 35), rgb(Green)) << frame;
        EXPECT_EQ(ScreenPixel(13, 31), rgb(PackColour(30, 30, 200))) << frame;
        EXPECT_EQ(ScreenPixel(20, 38), rgb(PackColour(30, 30, 200))) << frame;
        EXPECT_EQ(ScreenPixel(38, 38), rgb(Red)) << frame;
        EXPECT_EQ(ScreenPixel(5, 41), 0) << frame;
    }
}
