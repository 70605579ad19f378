// bench/soak_watch.h - what a soak of computer players watches after every frame: the first
// attack on another player, and how long a computer player is stuck - its money standing still
// although it has a harvester and an incinerator, or one of its buildings standing unfinished
// although it has a construction vehicle to finish it. (A player whose last vehicle fell waits
// for the money to buy a new one: that is its pace, not a builder that never finishes.)
// A tool for us, shared by soak_ai and the tests of these measures.
#pragma once

#include "game/play/gameloop.h"
#include "game/sim/buildings.h"
#include "game/sim/units.h"

#include <algorithm>
#include <map>

struct SoakPlayerWatch {
    int lastMoney = 0;
    int unchangedSince = -1;  // game second the money last moved while it could; -1 not counting
    int longestFreeze = 0;    // game seconds with money unchanged, harvester and incinerator owned
    int longestUnfinished = 0; // game seconds one of its buildings stood unfinished, a vehicle at hand
};

struct SoakWatch {
    int firstAttack = -1;      // game second a player first named another one to attack; -1 none
    int firstAttacker = 0, firstAttacked = 0;
    SoakPlayerWatch players[MaxPlayers + 1];
    std::map<int, int> unfinishedSince; // building id -> game second since it stood unfinished, a vehicle at hand
};

// Whether a player has an active construction vehicle.
inline int SoakCanBuild(int player)
{
    for (const Unit& unit : Units)
        if (unit.owner == player && unit.state == 0 && IsBuilder(unit)) return 1;
    return 0;
}

// Whether a player has what it needs to earn: an active harvester and a complete incinerator.
inline int SoakCanEarn(int player)
{
    int harvester = 0, incinerator = 0;
    for (const Unit& unit : Units) harvester |= unit.owner == player && unit.state == 0 && IsHarvester(unit);
    for (const Building& building : Buildings)
        incinerator |= building.owner == player && building.state == 0 && building.typeId == 1300 && IsComplete(building);
    return harvester && incinerator;
}

// Looks at the world after a frame.
inline void WatchSoakFrame(SoakWatch& watch)
{
    int now = ElapsedSeconds;
    for (int p = 1; p <= PlayerCount && p <= MaxPlayers; p++) {
        // Naming itself (as the player at this computer, when that is a computer too) is no attack.
        int enemy = Players[p].attackTarget;
        if (watch.firstAttack < 0 && enemy >= 1 && enemy <= PlayerCount && enemy != p) {
            watch.firstAttack = now;
            watch.firstAttacker = p;
            watch.firstAttacked = enemy;
        }
        SoakPlayerWatch& seen = watch.players[p];
        if (!SoakCanEarn(p)) seen.unchangedSince = -1;
        else if (Players[p].money != seen.lastMoney || seen.unchangedSince < 0) seen.unchangedSince = now;
        if (seen.unchangedSince >= 0) seen.longestFreeze = std::max(seen.longestFreeze, now - seen.unchangedSince);
        seen.lastMoney = Players[p].money;
    }
    int canBuild[MaxPlayers + 1] = {};
    for (int p = 1; p <= MaxPlayers; p++) canBuild[p] = SoakCanBuild(p);
    std::map<int, int> stillUnfinished;
    for (const Building& building : Buildings) {
        if (building.state != 0 || IsComplete(building) || building.owner < 1 || building.owner > MaxPlayers) continue;
        if (!canBuild[building.owner]) continue; // counted afresh once a vehicle is there
        auto known = watch.unfinishedSince.find(building.id);
        int since = known == watch.unfinishedSince.end() ? now : known->second;
        stillUnfinished[building.id] = since;
        SoakPlayerWatch& seen = watch.players[building.owner];
        seen.longestUnfinished = std::max(seen.longestUnfinished, now - since);
    }
    watch.unfinishedSince.swap(stillUnfinished);
}
