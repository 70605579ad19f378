// fuzz/play_world.h - a small game for the fuzzers that play what they load: the shipped rules
// tables, a 40 x 32 map with every kind of ground, two bases at war, no screen and no sound.
//
// A record that a reader accepts but the rules cannot run only shows when it is played, so
// these fuzzers put what they read into this game, run frames of it, and then ask that what
// the game writes back is read again: the writer must never write what the reader refuses.
#pragma once

#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/tables.h"
#include "game/net/protocol.h"
#include "game/play/gameloop.h"
#include "game/save/savefile.h"
#include "game/save/saveformat.h"
#include "game/sim/buildings.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "platform/files.h"
#include "support/world_rows.h"

#include <cstdio>
#include <cstdlib>
#include <string>

// The game every input starts from, as its save file's bytes.
inline std::string BaseGame;

inline std::vector<std::string> PlayMapRows()
{
    std::vector<std::string> rows = FilledRows(40, 32, '.');
    for (int y = 3; y < 12; y++) rows[size_t(y)].replace(3, 12, std::string(12, 'E'));
    for (int y = 20; y < 29; y++) rows[size_t(y)].replace(24, 12, std::string(12, 'E'));
    for (int y = 4; y < 28; y++) rows[size_t(y)].replace(18, 4, y % 7 ? "$$$$" : "####");
    for (int y = 14; y < 18; y++) rows[size_t(y)].replace(4, 10, "::::~~::::");
    rows[5][5] = 'P';
    rows[26][33] = 'P';
    return rows;
}

// Each side: a base with an incinerator, a factory and a tower, harvesters and an army.
inline void SetOutBase(int owner, int left, int top)
{
    auto building = [&](int typeId, int x, int y) {
        AddBuilding(MakeBuilding(NextObjectId, typeId, owner, float(x), float(y), 0));
        NextObjectId += 10;
    };
    building(1300, left, top);
    building(1240, left + 4, top);
    building(1100, left, top + 4);
    building(1052, left + 3, top + 4);
    building(1000, left + 5, top + 5);
    building(1000, left + 6, top + 5);
    for (int typeId : {2002, 2002, 2001, 2101, 2107, 2203, 2304, 2402, 2505, 2604, 2605}) {
        int dx = int(NextObjectId / 10 % 7);
        AddUnit(MakeUnit(float(NextObjectId), typeId, owner, float(left + dx), float(top + 7), typeId <= 2002 ? 3 : 2, 0));
        NextObjectId += 10;
    }
}

inline void PlayFrames(int frames)
{
    for (int i = 0; i < frames; i++) SimulateFrame();
}

// The running game, saved and read back: the writer's bytes must read.
inline void WrittenGameReadsBack()
{
    SavedGame again;
    again.terrain.assign(257 * 257, 0);
    again.fog.assign(257 * 257, 1);
    if (!ParseGameState(GameStateBytes(), again)) {
        std::fprintf(stderr, "the game wrote a save its reader refuses\n");
        __builtin_trap();
    }
}

// Once per fuzzing run: the tables, the pictures' sizes, the map, and a battle under way.
inline void PreparePlayWorld()
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SetProgramFolder(KORAX_SOURCE_DATA);
    LoadDataTables();
    InstallObjectPictures();
    SetConfigurationDefaults();
    // Shadows and sounds are files and devices that this world has none of.
    ShadowEffects = -1;
    SoundEffects = VoiceEffects = -1;
    StormSetting = 2;
    SeedRandom(3);
    LocalPlayer = 1;
    MissionMode = 0;
    MapNumber = 1;
    ResetGameState();
    SetPictureImage(1, MapImageFromRows(PlayMapRows()));
    if (!LoadMapTerrain(1)) __builtin_trap();
    StartNewGame(1);
    SetOutBase(1, 4, 4);
    SetOutBase(2, 25, 21);
    Players[2].kind = 1;
    RecomputeObstacles();
    // Units apart, to their enemies, shots in the air.
    for (Unit& unit : Units)
        if (unit.typeId > 2002.0f) {
            unit.target = 0;
            unit.destX = unit.owner == 1 ? 30 : 8;
            unit.destY = unit.owner == 1 ? 24 : 8;
        }
    PlayFrames(300);
    BaseGame = GameStateBytes();
}

// Back to the base game before an input is played.
inline void StartFromBaseGame()
{
    SeedRandom(3);
    LocalPlayer = 1;
    if (!ApplyGameStateBytes(BaseGame)) __builtin_trap();
}
