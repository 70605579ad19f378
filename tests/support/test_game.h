// tests/support/test_game.h - a free game running on the headless display, for tests that
// drive frames: shipped tables, a map picture as map 1, settings at their defaults.
#pragma once

#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/sim/gamestate.h"
#include "game/sim/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/pictures.h"
#include "support/shipped_data.h"

#include <gtest/gtest.h>

// A 40 x 30 sand map with a black border row and column and two start points.
inline Image SandMap()
{
    Image map;
    MakeImage(map, 40, 30, PackColour(255, 128, 0));
    for (int x = 0; x < 40; x++) map.pixels[size_t(x)] = PackColour(0, 0, 0);
    for (int y = 0; y < 30; y++) map.pixels[size_t(y * 40)] = PackColour(0, 0, 0);
    map.pixels[5 * 40 + 5] = PackColour(255, 0, 255);
    map.pixels[20 * 40 + 30] = PackColour(255, 0, 255);
    return map;
}

// Starts a free game on `map` at 1024 x 768 with the frame wait off.
inline void StartTestGame(const Image& map, unsigned int seed)
{
    for (const char* name : {"Einheiten.info", "Gebaeude.info", "Waffen.info"}) ASSERT_EQ(InstallShippedTable(name), 1);
    ASSERT_EQ(OpenDisplay(1024, 768, 32, "Test"), 1);
    SetScreenGeometry(1024, 768);
    SetFrameWait(0);
    SetConfigurationDefaults();
    SeedRandom(seed);
    ResetInput();
    ASSERT_EQ(SetPictureImage(1, map), 1);
    LocalPlayer = 1;
    MissionMode = 0;
    MapNumber = 1;
    Zoom = 1.0f;
    ResetGameState();
    ASSERT_EQ(LoadMapTerrain(1), 1);
    StartNewGame(1);
}

inline void StopTestGame()
{
    SetFrameWait(1);
    StopLayers();
}
