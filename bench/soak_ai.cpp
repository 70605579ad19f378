// soak_ai - games on the free maps where the computer players play without a screen, until one
// player is left or the hours run out. A tool for us, not a part of the game: it shows whether
// the computer players build, arm, attack, finish what they start and never stand still.
//
//   soak_ai <map> <seed> <hours> [options]   one game, one line
//   soak_ai seeds <count> <hours> [options]  seeds 1..count on every free map (or map=M): a line
//                                            per game and one summary line per map
//
// Options: speed=N (game seconds a frame, default 16); idle (player 1 is a human at the screen
// who does nothing, as in a game against the computer left alone); limit=H (fail when a
// computer player stays frozen or leaves a building unfinished for H game hours); verbose
// (every half hour what each player has).
//
// A game's line: map, seed, game hours played, winner (or none), then per player units and
// buildings made, units and buildings destroyed, and for a computer player freeze=H.HH (the
// longest span with its money unchanged while it owned a harvester and a complete incinerator)
// and unfinished=H.HH (the longest span one of its buildings stood unfinished while it owned a
// construction vehicle); the game time of
// the first attack on another player, and the wall time. Exit status 1 on a stall (an hour of
// game time in which no money moved and nothing was built, produced or harvested) or when a
// span reached the limit.
#include "bench/soak_watch.h"
#include "game/base/assets.h"
#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/tables.h"
#include "game/play/gameloop.h"
#include "game/sim/buildings.h"
#include "game/sim/opponent.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "platform/files.h"
#include "platform/pictures.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

struct SoakOptions {
    float speed = 16;
    int idle = 0;        // player 1 is a human who does nothing
    double limit = 0;    // game hours a freeze or an unfinished building may last; 0: no limit
    int verbose = 0;
    int onlyMap = 0;     // seeds mode: this map only; 0 every free map
};

// What one game came to.
struct SoakResult {
    int map = 0;
    unsigned seed = 0;
    double hours = 0;
    int winner = 0;
    int stalled = 0;
    int firstAttack = -1;           // game seconds, -1 none
    int longestFreeze = 0;          // game seconds, over all computer players
    int longestUnfinished = 0;
    int units = 0, buildings = 0;   // made by all players together
    int overLimit = 0;              // computer players whose freeze or unfinished span reached the limit
};

struct Tally {
    int units = 0, buildings = 0;
};

static double Hours(int seconds) { return seconds / 3600.0; }

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
        std::printf("  %5.2fh p%d money %6d energy %3d threat %s target %d:", Hours(ElapsedSeconds), p, Players[p].money,
                    Players[p].energy, Players[p].threatMemory.c_str(), Players[p].attackTarget);
        for (const Building& b : Buildings)
            if (b.owner == p)
                std::printf(" %d@%g,%g%s%s", b.typeId, b.x, b.y, IsComplete(b) ? "" : "*", b.queue.empty() && b.currentItem <= 0 ? "" : "+");
        std::printf(" |");
        for (const Unit& u : Units)
            if (u.owner == p) std::printf(" %d(%d,%g)", int(u.typeId), u.load, u.target);
        std::printf("\n");
        for (const Unit& u : Units)
            if (u.owner == p && (IsHarvester(u) || IsBuilder(u)))
                std::printf("      %d at %.2f,%.2f dest %.2f,%.2f speed %.0f path %zu stance %d push %d\n", int(u.typeId), u.x, u.y,
                            u.destX, u.destY, u.speed, u.path.size() / 2, u.stance, u.pushCount);
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

static int SetUpGame(int map, unsigned seed, const SoakOptions& options)
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
    ShadowEffects = -1; // nobody looks: no shadow pictures to load by the hour
    SeedRandom(seed);
    LocalPlayer = 1;
    MissionMode = 0;
    MapNumber = map;
    AiPhase = 0;
    ResetGameState();
    if (!LoadMapTerrain(map)) return 0;
    // A free game against the computer; unless player 1 sits idle at the screen, it plays too.
    StartNewGame(1);
    for (int p = 1; p <= PlayerCount; p++) {
        Players[p].kind = options.idle && p == 1 ? 0 : 1;
        if (Players[p].kind == 1) Players[p].money = 17000;
    }
    GameSpeed = options.speed;
    OpponentOn = 1;
    FogOn = -1;
    return 1;
}

static int FreeMapCountInTree()
{
    SetProgramFolder(KORAX_STAGED_DATEN);
    return int(ListFolder("KARTEN\\Karte*.bmp").size());
}

static SoakResult PlayGame(int map, unsigned seed, double hours, const SoakOptions& options)
{
    SoakResult result;
    result.map = map;
    result.seed = seed;
    if (!SetUpGame(map, seed, options)) {
        result.stalled = -1;
        return result;
    }
    auto started = std::chrono::steady_clock::now();
    std::vector<Tally> made(size_t(PlayerCount + 1));
    float lastSeen = float(NextObjectId);
    int lastProgress = 0;
    std::vector<int> money(size_t(PlayerCount + 1));
    SoakWatch watch;
    while (ElapsedSeconds < hours * 3600) {
        for (int p = 1; p <= PlayerCount; p++) money[size_t(p)] = Players[p].money;
        int nextId = NextObjectId;
        double work = WorkSignature();
        SimulateFrame();
        WatchSoakFrame(watch);
        for (const Unit& unit : Units)
            if (unit.id > lastSeen && unit.owner >= 1 && unit.owner <= PlayerCount) made[size_t(unit.owner)].units++;
        for (const Building& building : Buildings)
            if (float(building.id) > lastSeen && building.owner >= 1 && building.owner <= PlayerCount) made[size_t(building.owner)].buildings++;
        lastSeen = float(NextObjectId);
        // Progress is money spent or earned, something built, going up, in production or being
        // harvested. A computer saving for its next step, or waiting for a building, is not stalled.
        int progress = NextObjectId != nextId || WorkSignature() != work;
        for (int p = 1; p <= PlayerCount; p++) progress |= Players[p].money != money[size_t(p)];
        if (progress) lastProgress = ElapsedSeconds;
        if (options.verbose && ElapsedSeconds % 1800 < GameSpeed) Report();
        int alive = 0, last = 0;
        for (int p = 1; p <= PlayerCount; p++)
            if (ObjectsOf(p) > 0) {
                alive++;
                last = p;
            }
        if (alive <= 1) {
            result.winner = last;
            break;
        }
        if (ElapsedSeconds - lastProgress > 3600) {
            result.stalled = 1;
            break;
        }
    }
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    result.hours = Hours(ElapsedSeconds);
    result.firstAttack = watch.firstAttack;
    std::printf("map %d seed %u hours %.2f winner %s", map, seed, result.hours, result.winner ? std::to_string(result.winner).c_str() : "none");
    for (int p = 1; p <= PlayerCount; p++) {
        result.units += made[size_t(p)].units;
        result.buildings += made[size_t(p)].buildings;
        std::printf(" p%d %d/%d k%d+%d", p, made[size_t(p)].units, made[size_t(p)].buildings, Players[p].unitsKilled,
                    Players[p].buildingsDestroyed);
        if (Players[p].kind != 1) {
            std::printf(" idle");
            continue;
        }
        const SoakPlayerWatch& seen = watch.players[p];
        std::printf(" freeze=%.2f unfinished=%.2f", Hours(seen.longestFreeze), Hours(seen.longestUnfinished));
        result.longestFreeze = std::max(result.longestFreeze, seen.longestFreeze);
        result.longestUnfinished = std::max(result.longestUnfinished, seen.longestUnfinished);
        if (options.limit > 0 && Hours(std::max(seen.longestFreeze, seen.longestUnfinished)) >= options.limit) result.overLimit++;
    }
    if (watch.firstAttack >= 0) std::printf(" first-attack %.2fh (p%d on p%d)", Hours(watch.firstAttack), watch.firstAttacker, watch.firstAttacked);
    else std::printf(" first-attack none");
    std::printf(" wall %.1fs%s%s\n", wall, result.stalled ? " STALL" : "", result.overLimit ? " LIMIT" : "");
    std::fflush(stdout);
    return result;
}

// One line for the games of a map: how soon the first attack came, the longest a computer
// player stood still, what was made, who won.
static void PrintSummary(int map, const std::vector<SoakResult>& games)
{
    std::vector<double> attacks;
    int freeze = 0, unfinished = 0, stalls = 0, overLimit = 0;
    int fewestUnits = 1 << 30, mostUnits = 0, fewestBuildings = 1 << 30, mostBuildings = 0;
    std::string winners;
    for (const SoakResult& game : games) {
        if (game.firstAttack >= 0) attacks.push_back(Hours(game.firstAttack));
        freeze = std::max(freeze, game.longestFreeze);
        unfinished = std::max(unfinished, game.longestUnfinished);
        stalls += game.stalled != 0;
        overLimit += game.overLimit;
        fewestUnits = std::min(fewestUnits, game.units);
        mostUnits = std::max(mostUnits, game.units);
        fewestBuildings = std::min(fewestBuildings, game.buildings);
        mostBuildings = std::max(mostBuildings, game.buildings);
        if (!winners.empty()) winners += ',';
        winners += game.winner ? std::to_string(game.winner) : std::string("-");
    }
    std::sort(attacks.begin(), attacks.end());
    std::printf("summary map %d games %zu", map, games.size());
    if (attacks.empty()) std::printf(" first-attack none");
    else
        std::printf(" first-attack %.2f..%.2fh median %.2fh (%zu games)", attacks.front(), attacks.back(), attacks[attacks.size() / 2],
                    attacks.size());
    std::printf(" freeze=%.2f unfinished=%.2f units %d..%d buildings %d..%d winners %s stalls %d over-limit %d\n", Hours(freeze),
                Hours(unfinished), fewestUnits, mostUnits, fewestBuildings, mostBuildings, winners.c_str(), stalls, overLimit);
    std::fflush(stdout);
}

static int ReadOptions(int argc, char** argv, int first, SoakOptions& options)
{
    for (int i = first; i < argc; i++) {
        std::string option = argv[i];
        if (option == "verbose") options.verbose = 1;
        else if (option == "idle") options.idle = 1;
        else if (option.rfind("speed=", 0) == 0) options.speed = std::clamp(float(std::atof(option.c_str() + 6)), 1.0f, 16.0f);
        else if (option.rfind("limit=", 0) == 0) options.limit = std::atof(option.c_str() + 6);
        else if (option.rfind("map=", 0) == 0) options.onlyMap = std::atoi(option.c_str() + 4);
        else {
            std::fprintf(stderr, "soak_ai: unknown option %s\n", option.c_str());
            return 0;
        }
    }
    return 1;
}

int main(int argc, char** argv)
{
    SoakOptions options;
    if (argc < 4 || !ReadOptions(argc, argv, 4, options)) {
        std::fprintf(stderr, "usage: soak_ai <map> <seed> <hours> [speed=N] [idle] [limit=H] [verbose]\n"
                             "       soak_ai seeds <count> <hours> [map=M] [speed=N] [idle] [limit=H] [verbose]\n");
        return 2;
    }
    double hours = std::atof(argv[3]);
    int failed = 0;
    if (std::string(argv[1]) == "seeds") {
        int count = std::max(1, std::atoi(argv[2]));
        int maps = FreeMapCountInTree();
        for (int map = 1; map <= maps; map++) {
            if (options.onlyMap && map != options.onlyMap) continue;
            std::vector<SoakResult> games;
            for (int seed = 1; seed <= count; seed++) games.push_back(PlayGame(map, unsigned(seed), hours, options));
            PrintSummary(map, games);
            for (const SoakResult& game : games) failed |= game.stalled != 0 || game.overLimit > 0;
        }
        return failed ? 1 : 0;
    }
    SoakResult game = PlayGame(std::atoi(argv[1]), unsigned(std::atoi(argv[2])), hours, options);
    if (game.stalled < 0) return 2;
    return game.stalled || game.overLimit ? 1 : 0;
}
