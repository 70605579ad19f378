// game/save/saveformat.h - what a save file holds, read apart from the running game: the
// reader fills a SavedGame and says whether the whole file was good, so that a bad file never
// touches the game (and the fuzzer can read files without a screen).
#pragma once

#include "game/sim/buildings.h"
#include "game/sim/combat.h"
#include "game/sim/statsamples.h"
#include "game/sim/units.h"
#include "game/sim/world.h"

#include <cstdint>
#include <string>
#include <vector>

// Everything the file carries, apart from the running game until it is complete. Grids are
// [x * 257 + y].
struct SavedGame {
    std::vector<Building> buildings;
    std::vector<Unit> units;
    std::vector<Projectile> shots;
    float camX = 0, camY = 0;
    int mapNumber = 0, mapWidth = 0, mapHeight = 0;
    std::vector<uint32_t> terrain; // [x * 257 + y]
    int nextObjectId = 0, timeOfDay = 0;
    struct PlayerPart {
        int money = 0, energy = 0;
        int research[ResearchFlagCount] = {};
        int spice = 0, unitsKilled = 0, unitsLost = 0, buildingsDestroyed = 0, buildingsLost = 0;
        int kind = 0, startX = 0, startY = 0;
    } players[MaxPlayers + 1];
    int playerCount = 0, localPlayer = 0;
    std::vector<unsigned char> fog; // [x * 257 + y]
    int elapsedSeconds = 0, missionMode = 0;
    int sampleIndex = 0;
    std::vector<StatSample> samples[5];
    std::vector<Decoration> decorations;
    std::vector<Sandstorm> storms;
    int stormSetting = 0, difficulty = 0, dayNight = 0;
};

constexpr size_t SavedCell(int x, int y) { return size_t(x) * 257 + size_t(y); }


// The most bytes a save file can hold: every list at its most, every text at its longest. A
// larger file is no save of ours and is refused before it is read.
size_t MostSaveBytes();

// Reads a whole save file into `game`, whose terrain and fog grids hold what the cells the
// file leaves out should keep; 1 when every section was there and every value made sense.
int ParseGameState(const std::string& bytes, SavedGame& game);
// The players of a save file's game, 0 for a file that does not read.
int SavedPlayerCount(const std::string& bytes);
