// game/save/recordrules.h - what a building, unit, shot, storm or decoration read from a save
// file or a network message may hold.
//
// The readers check that a file or block is whole; these rules check that what it says can be
// played: every type a row of the rules tables, every owner a player of the game, every
// position on the map, every number inside the range in which the rules that use it stay
// sound (no table read outside its rows, no count that overflows, no text the file cannot carry
// back). A record outside them refuses the whole file or block: half a game is no game.
//
// The bounds are wide where a field is only arithmetic (a destination a little off the map is
// harmless and a real game makes one), and exact where a field picks something (a type, a
// weapon, a shot's kind, a player). What the game itself writes always lies inside them.
#pragma once

#include "game/sim/buildings.h"
#include "game/sim/combat.h"
#include "game/sim/units.h"
#include "game/sim/world.h"

#include <cstddef>
#include <string>

// ---- how much a file or a snapshot may claim: far above any real game ----
constexpr int MostBuildings = 20000;
constexpr int MostUnits = 50000;
constexpr int MostShots = 200000;
constexpr int MostDecorations = 100000;
constexpr int MostStorms = 3;              // the storm setting's most
constexpr int MostQueueEntries = 1000;     // a factory's queue, ten characters an entry
constexpr size_t MostPathText = 2 * 1024;  // a planned path is far shorter: 400 search rounds
constexpr int MostObjectId = 1 << 30;      // ids grow by 10 an object
constexpr int MostMoney = 1000000000;      // Euro, and the statistics counters
constexpr int MostElapsedSeconds = 1 << 30; // 34 years of game time: the clock never gets there
constexpr int MostHour = 100000;           // arrival hours; x 3600 stays a whole number
constexpr int MostState = 1 << 20;         // dying counts up from 1 to its removal at 4

// The game a record is to join.
struct RecordBounds {
    int mapWidth = 0, mapHeight = 0; // cells
    int playerCount = 0;             // owners are 1..playerCount
};

// The kinds of the rules tables (read by LoadDataTables).
int IsUnitTypeId(int id);     // a unit of Einheiten.info, or a guard tower's gun
int IsBuildingTypeId(int id); // a building of Gebaeude.info, or one of the joined wall pieces
int IsResearchId(int id);     // an item of Forschung.info

// A factory's or lab's queue: whole entries, each a product of the tables and its time in
// seconds, in digits and spaces only.
int PlayableQueue(const std::string& queue);
// A planned path: whole points, each coordinate one the path search can make.
int PlayablePath(const std::string& path);

int PlayableBuilding(const Building& building, const RecordBounds& bounds);
int PlayableUnit(const Unit& unit, const RecordBounds& bounds);
int PlayableShot(const Projectile& shot, const RecordBounds& bounds);
int PlayableStorm(const Sandstorm& storm, const RecordBounds& bounds);
int PlayableDecoration(const Decoration& decoration, const RecordBounds& bounds);

// A number the writer keeps inside what the reader takes back (money, the counters).
int WithinMoney(long long value);
