// soak_ai - a game on a free map where every player is a computer, at the fastest game speed
// and without drawing, until one player is left or the hours run out. A tool for us, not a
// part of the game: it shows whether the computer players build, arm, attack and finish.
//
//   soak_ai <map number> <seed> <maximum game hours>
//
// One line per game: map, seed, game hours played, winner (or none), units and buildings made
// per player (with the units and buildings it destroyed), game time of the first attack, and
// the wall time. Exit status 1 on a stall: an
// hour of game time in which no money moved and nothing was built, produced or harvested.
#include "game/shell/assets.h"
#include "game/shell/common.h"
#include "game/shell/config.h"
#include "game/shell/tables.h"
#include "game/sim/buildings.h"
#include "game/sim/gameloop.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "platform/files.h"
#include "platform/pictures.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

struct Tally {
    int units = 0, buildings = 0;
};

static int ObjectsOf(int player)
{
    int count = 0;
    for (const Unit& unit : Units) count += unit.owner == player && unit.state >= 0;
    for (const Building& building : Buildings) count += building.owner == player && building.state >= 0;
    return count;
}

// What every player has, by type, with money and energy: for watching a game go wrong.
static void Report()
{
    for (int p = 1; p <= PlayerCount; p++) {
        std::printf("  %5.2fh p%d money %6d energy %3d threat %s target %d:", ElapsedSeconds / 3600.0, p, Players[p].money,
                    Players[p].energy, Players[p].threatMemory.c_str(), Players[p].attackTarget);
        for (const Building& b : Buildings)
            if (b.owner == p) std::printf(" %d%s%s", b.typeId, IsComplete(b) ? "" : "*", b.queue.empty() && b.currentItem <= 0 ? "" : "+");
        std::printf(" |");
        for (const Unit& u : Units)
            if (u.owner == p) std::printf(" %d(%d,%g)", int(u.typeId), u.load, u.target);
        std::printf("\n");
        for (const Unit& u : Units)
            if (u.owner == p && IsHarvester(u)) {
                int tx = 0, ty = 0;
                int tile = u.target > 0 && u.target < FirstObjectId && TileCell(int(u.target), tx, ty);
                float px = 0, py = 0;
                TargetPoint(u, px, py);
                std::printf("      point %.2f,%.2f reload %.0f push %d\n", px, py, u.reload, u.pushCount);
                std::printf("      harvester at %.2f,%.2f dest %.2f,%.2f speed %.0f heading %.0f path %zu stance %d tile %d,%d %s obst %d\n", u.x,
                            u.y, u.destX, u.destY, u.speed, u.heading, u.path.size() / 2, u.stance, tx, ty,
                            tile ? (TerrainGrid[tx][ty] == SpiceColour ? "spice" : "no spice") : "-", tile ? ObstacleGrid[tx][ty] : 9);
            }
    }
}

// What changes while a game goes on without any money moving: building sites, production
// and research timers, harvester loads.
static double WorkSignature()
{
    double sum = 0;
    for (const Building& b : Buildings) sum += b.buildProgress + b.remaining;
    for (const Unit& u : Units) sum += u.load * 1000.0;
    return sum;
}

static int SetUpGame(int map, unsigned seed)
{
    SetProgramFolder(KORAX_STAGED_DATEN);
    LoadDataTables();
    LoadRulePictures();
    std::vector<std::string> maps = ListFolder("KARTEN\\Karte*.bmp");
    if (map < 1 || map > int(maps.size()) || !LoadPicture(map, "KARTEN\\" + maps[size_t(map - 1)])) {
        std::fprintf(stderr, "soak_ai: no free map %d\n", map);
        return 0;
    }
    SetConfigurationDefaults();
    StormSetting = 0;
    SeedRandom(seed);
    LocalPlayer = 1;
    MissionMode = 0;
    MapNumber = map;
    ResetGameState();
    if (!LoadMapTerrain(map)) return 0;
    StartNewGame(1);
    for (int p = 1; p <= PlayerCount; p++) {
        Players[p].kind = 1;
        Players[p].money = 17000;
    }
    GameSpeed = 16;
    OpponentOn = 1;
    FogOn = -1;
    return 1;
}

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: soak_ai <map number> <seed> <maximum game hours>\n");
        return 2;
    }
    int verbose = argc > 4 && std::string(argv[4]) == "verbose";
    int map = std::atoi(argv[1]);
    unsigned seed = unsigned(std::atoi(argv[2]));
    double hours = std::atof(argv[3]);
    if (!SetUpGame(map, seed)) return 2;
    if (argc > 5) GameSpeed = float(std::atof(argv[5]));
    auto started = std::chrono::steady_clock::now();

    std::vector<Tally> made(size_t(PlayerCount + 1));
    float lastSeen = float(NextObjectId);
    int firstAttack = -1, lastProgress = 0, winner = 0, stalled = 0;
    std::vector<int> money(size_t(PlayerCount + 1));
    while (ElapsedSeconds < hours * 3600) {
        for (int p = 1; p <= PlayerCount; p++) money[size_t(p)] = Players[p].money;
        int nextId = NextObjectId;
        double work = WorkSignature();
        SimulateFrame();
        for (const Unit& unit : Units)
            if (unit.id > lastSeen && unit.owner >= 1 && unit.owner <= PlayerCount) made[size_t(unit.owner)].units++;
        for (const Building& building : Buildings)
            if (float(building.id) > lastSeen && building.owner >= 1 && building.owner <= PlayerCount) made[size_t(building.owner)].buildings++;
        lastSeen = float(NextObjectId);
        // Progress is money spent or earned, something built, going up, in production or being
        // harvested. A computer saving for its next step, or waiting for a building, is not stalled.
        int progress = NextObjectId != nextId || WorkSignature() != work;
        for (int p = 1; p <= PlayerCount; p++) {
            progress |= Players[p].money != money[size_t(p)];
            if (firstAttack < 0 && Players[p].attackTarget > 0) firstAttack = ElapsedSeconds;
        }
        if (progress) lastProgress = ElapsedSeconds;
        if (verbose && ElapsedSeconds % 1800 < 16) Report();
        int alive = 0, last = 0;
        for (int p = 1; p <= PlayerCount; p++)
            if (ObjectsOf(p) > 0) {
                alive++;
                last = p;
            }
        if (alive <= 1) {
            winner = last;
            break;
        }
        if (ElapsedSeconds - lastProgress > 3600) {
            stalled = 1;
            break;
        }
    }
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("map %d seed %u hours %.2f winner %s", map, seed, ElapsedSeconds / 3600.0,
                winner ? std::to_string(winner).c_str() : "none");
    for (int p = 1; p <= PlayerCount; p++)
        std::printf(" p%d %d/%d k%d+%d", p, made[size_t(p)].units, made[size_t(p)].buildings, Players[p].unitsKilled, Players[p].buildingsDestroyed);
    if (firstAttack >= 0) std::printf(" first-attack %.2fh", firstAttack / 3600.0);
    else std::printf(" first-attack none");
    std::printf(" wall %.1fs%s\n", wall, stalled ? " STALL" : "");
    return stalled ? 1 : 0;
}
