// tests/support/sim_world.h - a small world for the rules of the simulation: the shipped
// tables, a map drawn as rows of characters, pictures of the real sizes for every unit and
// building, and frames of the world without a screen.
#pragma once

#include "game/shell/common.h"
#include "game/shell/config.h"
#include "game/shell/tables.h"
#include "game/sim/buildings.h"
#include "game/sim/combat.h"
#include "game/sim/effects.h"
#include "game/sim/gameloop.h"
#include "game/sim/paths.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "platform/pictures.h"
#include "platform/sound.h"
#include "support/shipped_data.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// A map picture from rows of characters: . sand, : desert, E earth, # cliff, $ spice,
// ~ smyron, P start, x black (the unread border). Installed as map number 1.
inline void InstallMapRows(const std::vector<std::string>& rows)
{
    Image map;
    MakeImage(map, int(rows[0].size()), int(rows.size()), 0);
    for (size_t y = 0; y < rows.size(); y++)
        for (size_t x = 0; x < rows[y].size() && x < size_t(map.width); x++) {
            uint32_t colour = 0;
            switch (rows[y][x]) {
            case '.': colour = SandColour; break;
            case ':': colour = DesertColour; break;
            case 'E': colour = EarthColour; break;
            case '#': colour = CliffColour; break;
            case '$': colour = SpiceColour; break;
            case '~': colour = SmyronColour; break;
            case 'P': colour = StartColour; break;
            default: colour = 0; break;
            }
            map.pixels[y * size_t(map.width) + x] = colour | 0xFF000000u;
        }
    ASSERT_EQ(SetPictureImage(1, map), 1);
}

// Rows of one character with an unread border, `w` x `h` cells.
inline std::vector<std::string> FilledRows(int w, int h, char ground)
{
    std::vector<std::string> rows(size_t(h), "x" + std::string(size_t(w - 1), ground));
    rows[0] = std::string(size_t(w), 'x');
    return rows;
}

// Pictures of the sizes artgen draws: vehicles, towers and walls 64, troops 32, buildings 128
// or 192. Only their size matters to the rules.
inline void InstallObjectPictures()
{
    const int units[] = {2001, 2002, 2201, 2203, 2206, 2302, 2304, 2305, 2402, 2403, 2404, 2501, 2505, 2506, 2604, 2605, 2606, 1052, 1054, 1056};
    const int troops[] = {2101, 2102, 2103, 2107};
    const int small[] = {1100, 1102, 1210, 1410, 1412, 1420};
    const int large[] = {1200, 1201, 1220, 1230, 1240, 1250, 1260, 1300, 1301, 1400};
    auto install = [](int number, int side) {
        Image image;
        MakeImage(image, side, side, PackColour(90, 90, 90));
        SetPictureImage(number, image);
    };
    for (int n : units) install(n, 64);
    for (int n : troops) install(n, 32);
    for (int n : small) install(n, 128);
    for (int n : large) install(n, 192);
    for (int n = 1000; n <= 1015; n++) install(n, 64);
}

class SimWorld {
public:
    TempFolder folder;

    // A world on `rows` with `players` players (start points are not needed).
    explicit SimWorld(const std::vector<std::string>& rows, int players = 2)
    {
        for (const char* name : {"Einheiten.info", "Gebaeude.info", "Waffen.info", "Forschung.info", "Wirkung.info"})
            EXPECT_EQ(InstallShippedTable(name), 1) << name;
        LoadDataTables();
        InstallObjectPictures();
        SetConfigurationDefaults();
        StormSetting = 0;
        SoundEffects = 1;
        VoiceEffects = 1;
        SeedRandom(3);
        LocalPlayer = 1;
        MissionMode = 0;
        MapNumber = 1;
        ResetGameState();
        InstallMapRows(rows);
        EXPECT_EQ(LoadMapTerrain(1), 1);
        PlayerCount = players;
        for (int p = 1; p <= players; p++) {
            Players[p] = Player{};
            Players[p].money = 10000;
            Players[p].energy = 5;
            Players[p].threatMemory = "000000|0";
        }
        Units.clear();
        Buildings.clear();
        Projectiles.clear();
        Effects.clear();
        ClearPathCache();
        RecomputeObstacles();
        GameSpeed = 4;
        LogPlayedSounds(1);
    }
    ~SimWorld() { LogPlayedSounds(0); }

    // A unit at a cell; index into Units.
    int Add(int typeId, int owner, float x, float y, int stance = 2)
    {
        int index = AddUnit(MakeUnit(float(NextObjectId), typeId, owner, x, y, stance, 0));
        NextObjectId += 10;
        return index;
    }
    // A complete building with its top-left at a cell; index into Buildings.
    int AddComplete(int typeId, int owner, float x, float y)
    {
        int index = AddBuilding(MakeBuilding(NextObjectId, typeId, owner, x, y, 0));
        NextObjectId += 10;
        RecomputeObstacles();
        return index;
    }
    // Orders unit `index` to a point, as a click on the ground does.
    void OrderTo(int index, float x, float y)
    {
        Unit& unit = Units[size_t(index)];
        unit.target = 0;
        unit.destX = x;
        unit.destY = y;
        unit.path.clear();
    }
    // Runs the world for `frames` frames (every one drawn); stops early when `done` says so.
    int Run(int frames, const std::function<bool()>& done = nullptr)
    {
        for (int frame = 1; frame <= frames; frame++) {
            OrderMarkers.clear();
            AdvanceWorld();
            if (done && done()) return frame;
        }
        return frames;
    }
    static int Played(int sound)
    {
        for (int n : PlayedSounds())
            if (n == sound) return 1;
        return 0;
    }
};
