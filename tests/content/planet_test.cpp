// The planet behind the menus as the game draws it from the shipped texture: a full disc, its
// poles as round as its sides, at every turn of the globe.
#include "content/staged_game.h"
#include "game/base/assets.h"
#include "game/base/common.h"
#include "game/front/space.h"
#include "platform/image.h"
#include "platform/sprites.h"

#include <cmath>

// Screen pixels within `radius` of the planet's centre that are left black.
static int BlackInsideTheDisc(const Image& screen, float radius)
{
    const float centreX = 512 * UiScale, centreY = 384 * UiScale;
    int black = 0;
    for (int y = 0; y < screen.height; y++)
        for (int x = 0; x < screen.width; x++)
            if (std::hypot(float(x) + 0.5f - centreX, float(y) + 0.5f - centreY) <= radius)
                black += (screen.pixels[size_t(y) * size_t(screen.width) + size_t(x)] & 0xFFFFFFu) == 0;
    return black;
}

TEST_F(StagedGame, ThePlanetIsAFullDiscUpToItsPoles)
{
    LoadAssets();
    SeedRandom(7);
    BuildSpaceScene();
    // The globe turns 0.2 degrees a frame: the second look finds the pieces of the polar caps
    // half a piece further on. A missing cap leaves the top flat, black where the sphere should be.
    for (int frame = 1; frame <= 26; frame++) {
        ClearScreen(0, 0, 0);
        BeginScene();
        DrawSpaceScene();
        EndScene();
        if (frame != 1 && frame != 26) continue;
        ASSERT_EQ(GrabScreen(9998), 1);
        EXPECT_EQ(BlackInsideTheDisc(*PictureImage(9998), (PlanetRadius - 3) * UiScale), 0) << "frame " << frame;
    }
}
