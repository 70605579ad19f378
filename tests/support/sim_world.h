// tests/support/sim_world.h - a small world for the rules of the simulation: the shipped
// tables, a map drawn as rows of characters, pictures of the real sizes for every unit and
// building, and frames of the world without a screen.
#pragma once

#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/tables.h"
#include "game/sim/buildings.h"
#include "game/sim/combat.h"
#include "game/sim/effects.h"
#include "game/sim/gamestate.h"
#include "game/sim/paths.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "platform/pictures.h"
#include "platform/sound.h"
#include "support/shipped_data.h"
#include "support/temp_folder.h"
#include "support/world_rows.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// A map picture from rows of characters (world_rows.h), installed as map number 1.
inline void InstallMapRows(const std::vector<std::string>& rows) { ASSERT_EQ(SetPictureImage(1, MapImageFromRows(rows)), 1); }

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
