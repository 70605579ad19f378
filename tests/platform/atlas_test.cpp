// Atlas pages: the packer's places, and sprites drawn from a page looking as they do from
// textures of their own, on the headless (software) display.
#include "platform/atlas.h"
#include "platform/display.h"
#include "platform/pictures.h"
#include "platform/sprites.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>

TEST(AtlasPacking, PlacesNeverOverlapAndStayAlignedInsideTheirPage)
{
    std::mt19937 random(7);
    std::vector<AtlasRequest> requests;
    for (int n = 0; n < 400; n++) {
        int w = 1 + int(random() % 90), h = 1 + int(random() % 90);
        if (n % 50 == 0) w = 600; // cannot fit a page of 512 with its border
        requests.push_back(AtlasRequest{n, w, h});
    }
    const int padding = 8, alignment = 4, maxSide = 512;
    AtlasPacking packing = PackAtlas(requests, maxSide, padding, alignment);

    EXPECT_EQ(packing.placed.size(), requests.size() - 8);
    ASSERT_GE(packing.pageSides.size(), 2u);
    for (int side : packing.pageSides) {
        EXPECT_GE(side, 64);
        EXPECT_LE(side, maxSide);
        EXPECT_EQ(side & (side - 1), 0) << side;
    }
    struct Box {
        int page, left, top, right, bottom;
    };
    std::vector<Box> boxes;
    for (const AtlasPlacement& place : packing.placed) {
        const AtlasRequest& request = requests[size_t(place.number)];
        EXPECT_NE(request.width, 600);
        Box box{place.page, place.x - padding, place.y - padding, place.x + request.width + padding,
                place.y + request.height + padding};
        ASSERT_GE(place.page, 0);
        ASSERT_LT(place.page, int(packing.pageSides.size()));
        int side = packing.pageSides[size_t(place.page)];
        EXPECT_GE(box.left, 0);
        EXPECT_GE(box.top, 0);
        EXPECT_LE(box.right, side);
        EXPECT_LE(box.bottom, side);
        EXPECT_EQ(box.left % alignment, 0);
        EXPECT_EQ(box.top % alignment, 0);
        boxes.push_back(box);
    }
    for (size_t a = 0; a < boxes.size(); a++)
        for (size_t b = a + 1; b < boxes.size(); b++) {
            const Box &p = boxes[a], &q = boxes[b];
            bool apart = p.page != q.page || p.right <= q.left || q.right <= p.left || p.bottom <= q.top || q.bottom <= p.top;
            ASSERT_TRUE(apart) << "places " << a << " and " << b << " overlap";
        }

    // The same requests always pack alike, and a few small pictures take a small page.
    AtlasPacking again = PackAtlas(requests, maxSide, padding, alignment);
    ASSERT_EQ(again.placed.size(), packing.placed.size());
    for (size_t i = 0; i < again.placed.size(); i++) EXPECT_EQ(again.placed[i].x, packing.placed[i].x);
    AtlasPacking small = PackAtlas({{1, 10, 10}, {2, 12, 8}}, maxSide, padding, alignment);
    ASSERT_EQ(small.pageSides.size(), 1u);
    EXPECT_EQ(small.pageSides[0], 64);
    EXPECT_TRUE(PackAtlas({}, maxSide, padding, alignment).pageSides.empty());
}

class AtlasDrawing : public ::testing::Test {
protected:
    static constexpr int Width = 480, Height = 320;
    static void SetUpTestSuite() { ASSERT_EQ(OpenDisplay(Width, Height, 32, "Test"), 1); }
    static void TearDownTestSuite() { StopLayers(); }
    void TearDown() override
    {
        DropSpriteAtlases();
        for (int n = 1; n < 30; n++) FreePicture(n);
        SetBlendFactors(5, 6);
        SetTextureFiltering(1);
    }

    // A picture with something to see in every texel: gradients, a checker and a hole.
    static void MakePicture(int number, int w, int h)
    {
        Image image;
        MakeImage(image, w, h, 0);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                bool hole = (x - w / 2) * (x - w / 2) + (y - h / 2) * (y - h / 2) < (w * h) / 40;
                uint32_t colour = PackColour(x * 255 / w, y * 255 / h, ((x / 4 + y / 4) % 2) * 200 + number * 5);
                image.pixels[size_t(y * w + x)] = hole ? 0 : (0xFF000000u | colour);
            }
        ASSERT_EQ(SetPictureImage(number, image), 1);
        ASSERT_EQ(CreateSprite3D(number), 1);
    }

    // Every way the game draws a sprite: at its size, halved, quartered, stretched, mirrored,
    // turned, bent, half see-through and added.
    static std::vector<uint32_t> DrawScene()
    {
        ClearScreen(40, 60, 80);
        BeginScene();
        float x = 2;
        for (int n = 1; n <= 6; n++) {
            float w = float(PictureWidth(n)), h = float(PictureHeight(n));
            SetSpriteSize(n, w, h);
            SetSpriteAngle(n, 0);
            DrawSprite3D(n, x, 2, 255);
            SetSpriteSize(n, w / 2, h / 2);
            DrawSprite3D(n, x, 70, 255);
            SetSpriteSize(n, w / 4, h / 4);
            DrawSprite3D(n, x, 110, 255);
            SetSpriteSize(n, -w * 0.75f, h * 0.75f);
            DrawSprite3D(n, x + w, 130, 200);
            SetSpriteAngle(n, 30);
            SetSpriteSize(n, w / 2, h / 2);
            DrawSprite3D(n, x, 190, 255);
            x += w / 2 + 6;
        }
        for (int n = 10; n < 30; n++) {
            if (!PictureExists(n)) continue;
            SetSpriteSize(n, 20, 20);
            SetSpriteAngle(n, 0);
            DrawSprite3D(n, float(2 + (n - 10) * 22), 290, 255);
        }
        SetBlendFactors(2, 2);
        SetSpriteCorners(1, 0, 0, 60, 10, 50, 40, 5, 30);
        DrawSprite3D(1, 240, 150, 180);
        SetBlendFactors(5, 6);
        EndScene();
        return Screen();
    }

    // The screen as it stands, pixel by pixel.
    static std::vector<uint32_t> Screen()
    {
        EXPECT_EQ(GrabScreen(90), 1);
        std::vector<uint32_t> pixels;
        for (int y = 0; y < Height; y++)
            for (int x = 0; x < Width; x++) pixels.push_back(uint32_t(ReadPixel(90, x, y)));
        return pixels;
    }

    // How far two screens are apart: the mean difference per channel, and the share of pixels
    // off by more than 24 in some channel.
    static void Compare(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, double& mean, double& share)
    {
        double total = 0;
        int off = 0;
        for (size_t i = 0; i < a.size(); i++) {
            int worst = 0;
            for (int shift : {0, 8, 16}) {
                int d = std::abs(int((a[i] >> shift) & 255) - int((b[i] >> shift) & 255));
                total += d;
                worst = std::max(worst, d);
            }
            off += worst > 24;
        }
        mean = total / double(3 * a.size());
        share = double(off) / double(a.size());
    }
};

TEST_F(AtlasDrawing, SpritesFromAPageLookAsFromTheirOwnTextures)
{
    const int sizes[6][2] = {{64, 64}, {32, 32}, {40, 24}, {30, 17}, {8, 8}, {128, 48}};
    for (int n = 1; n <= 6; n++) MakePicture(n, sizes[n - 1][0], sizes[n - 1][1]);
    // Large pictures enough for several pages.
    std::vector<int> numbers;
    for (int n = 10; n < 30; n++) {
        MakePicture(n, 256, 256);
        numbers.push_back(n);
    }
    for (int n = 1; n <= 6; n++) numbers.push_back(n);
    for (int filtering : {0, 1}) {
        SetTextureFiltering(filtering);
        DropSpriteAtlases();
        std::vector<uint32_t> own = DrawScene();
        ASSERT_EQ(PackSpriteAtlas(1, numbers), 26);
        std::set<int> pages;
        for (int n : numbers) pages.insert(SpriteAtlasPage(n));
        EXPECT_GE(pages.size(), 2u);
        EXPECT_EQ(pages.count(-1), 0u);
        for (int n = 1; n <= 6; n++) EXPECT_GE(SpriteAtlasPage(n), 0);
        std::vector<uint32_t> packed = DrawScene();
        double mean = 0, share = 0;
        Compare(own, packed, mean, share);
        EXPECT_LT(mean, 1.0) << "filtering " << filtering;
        EXPECT_LT(share, 0.01) << "filtering " << filtering;
        // The scene is not empty: the pictures are on the screen.
        int drawn = 0;
        for (uint32_t pixel : packed) drawn += (pixel & 0xFFFFFF) != 0x283C50;
        EXPECT_GT(drawn, 20000);
    }
}

TEST_F(AtlasDrawing, AChangedPictureShowsItsNewPixels)
{
    MakePicture(1, 32, 32);
    MakePicture(2, 16, 16);
    ASSERT_EQ(PackSpriteAtlas(1, {1, 2}), 2);
    int page = SpriteAtlasPage(1);
    ASSERT_GE(page, 0);
    DrawScene(); // the page is on the renderer now

    // New pixels of the same size keep their place and are drawn from it.
    Image image;
    MakeImage(image, 32, 32, 0xFF10E010u);
    ASSERT_EQ(SetPictureImage(1, image), 1);
    EXPECT_EQ(SpriteAtlasPage(1), page);
    SetTextureFiltering(0);
    ClearScreen(0, 0, 0);
    SetSpriteSize(1, 32, 32);
    SetSpriteAngle(1, 0);
    DrawSprite3D(1, 10, 10, 255);
    EndScene();
    ASSERT_EQ(GrabScreen(90), 1);
    EXPECT_EQ(ReadPixel(90, 20, 20) & 0xFFFFFF, 0x10E010);

    // Another size no longer fits: the picture leaves the page and is drawn on its own.
    MakeImage(image, 48, 20, 0xFFE01010u);
    ASSERT_EQ(SetPictureImage(1, image), 1);
    EXPECT_EQ(SpriteAtlasPage(1), -1);
    EXPECT_EQ(SpriteAtlasPage(2), page);
    ClearScreen(0, 0, 0);
    SetSpriteSize(1, 48, 20);
    DrawSprite3D(1, 10, 10, 255);
    EndScene();
    ASSERT_EQ(GrabScreen(90), 1);
    EXPECT_EQ(ReadPixel(90, 50, 25) & 0xFFFFFF, 0xE01010);
    EXPECT_EQ(ReadPixel(90, 50, 35) & 0xFFFFFF, 0);
}

// On the software renderer sprites go straight into the screen's pixels: turned ones from
// copies turned in advance, stretched ones from copies made at their size, large and bent ones
// filled from their picture. They must look as the renderer's own quads do, also where they
// hang over the screen's edges, and a picture that changes must not leave its old copies behind. A
// copy stands up to half a pixel and half its angle step off the quad, so the pictures here are
// smooth, as the game's are, with a hard edge round a hole.
TEST_F(AtlasDrawing, TurnedCopiesLookAsTheTurnedQuadsAndFollowTheirPicture)
{
    for (int n = 1; n <= 3; n++) {
        int w = 64, h = 32 * n;
        Image image;
        MakeImage(image, w, h, 0);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                bool hole = (x - w / 2) * (x - w / 2) + (y - h / 2) * (y - h / 2) < 64;
                image.pixels[size_t(y * w + x)] = hole ? 0 : (0xFF000000u | PackColour(x * 255 / w, y * 255 / h, 40 * n));
            }
        ASSERT_EQ(SetPictureImage(n, image), 1);
        ASSERT_EQ(CreateSprite3D(n), 1);
    }
    auto scene = [] {
        ClearScreen(40, 60, 80);
        BeginScene();
        const float angles[] = {8, 92, 200, 316, 30};
        for (int n = 1; n <= 3; n++)
            for (int i = 0; i < 5; i++) {
                float scale = i % 2 ? 0.5f : 1.0f, mirror = i == 3 ? -1.0f : 1.0f;
                SetSpriteSize(n, mirror * 64 * scale, float(32 * n) * scale);
                SetSpriteAngle(n, angles[i]);
                DrawSprite3D(n, float(10 + 90 * i), float(10 + 100 * (n - 1)), i == 4 ? 160 : 255);
            }
        // Unturned but at a size the atlas has no copy of: drawn from a copy of that size.
        for (int n = 1; n <= 3; n++) {
            SetSpriteAngle(n, 0);
            SetSpriteSize(n, 40, float(20 * n));
            DrawSprite3D(n, 440, float(10 + 100 * (n - 1)), 255);
        }
        // Too large for copies: filled from the picture, fading.
        for (int i = 0; i < 3; i++) {
            SetSpriteSize(2, 300.5f + 7.25f * float(i), 13.3f + 5.5f * float(i));
            SetSpriteAngle(2, float(17 + 53 * i));
            DrawSprite3D(2, float(20 + 60 * i), 250, i ? 255 : 150);
        }
        // Bent: two triangles filled from the picture.
        SetSpriteCorners(1, 0, 0, 70, 12, 60, 50, 4, 36);
        DrawSprite3D(1, 300, 200, 200);
        // Over every edge of the screen, turned, unturned and mirrored.
        const float edges[4][2] = {{-30, 140}, {460, 150}, {200, -25}, {210, 300}};
        for (int i = 0; i < 4; i++) {
            SetSpriteSize(3, i % 2 ? -64 : 64, 48);
            SetSpriteAngle(3, i < 2 ? 0.0f : 45.0f);
            DrawSprite3D(3, edges[i][0], edges[i][1], 255);
            SetSpriteAngle(3, 33);
            SetSpriteSize(3, 300, 60);
            DrawSprite3D(3, edges[i][0] + 15, edges[i][1] + 10, i ? 255 : 120);
            SetSpriteCorners(3, -20, 0, 50, 10, 40, 40, 0, 30);
            DrawSprite3D(3, edges[i][0] + 5, edges[i][1] + 5, 255);
        }
        EndScene();
        return Screen();
    };
    SetTurnedSpriteCopies(0);
    std::vector<uint32_t> quads = scene();
    SetTurnedSpriteCopies(1);
    std::vector<uint32_t> copies = scene();
    double mean = 0, share = 0;
    Compare(quads, copies, mean, share);
    // SDL's triangle filler takes its texels up to half a texel off the pixel centres; on the
    // sprites magnified five times that shows as a level or two all over.
    EXPECT_LT(mean, 2.5);
    EXPECT_LT(share, 0.03);
    int drawn = 0;
    for (uint32_t pixel : copies) drawn += (pixel & 0xFFFFFF) != 0x283C50;
    EXPECT_GT(drawn, 15000);

    // Picture 1 turns green all over: its copies are made again.
    Image green;
    MakeImage(green, 64, 32, 0xFF00FF00u);
    ASSERT_EQ(SetPictureImage(1, green), 1);
    std::vector<uint32_t> after = scene();
    SetTurnedSpriteCopies(0);
    std::vector<uint32_t> afterQuads = scene();
    SetTurnedSpriteCopies(1);
    Compare(afterQuads, after, mean, share);
    EXPECT_LT(share, 0.03) << "the old copies of picture 1 were drawn";
}
