// game/sim/units.h - the units of all players: records, the list, creation, and the unit pass
// that moves, steers, plans, spaces, aims and fires them every frame.
#pragma once

#include <string>
#include <vector>

// One unit; numbers, not pointers: a target is an object id, looked up again when needed.
// The fields every scan reads of each unit it meets (owner, state, place) lie together near the
// front, so that a crowded battle's scans touch one cache line per unit.
struct Unit {
    float id = 0;            // object identifier (NextObjectId)
    float typeId = 0;        // unit type, also its sprite number; guard towers 1052/1054/1056
    int width = 0;           // sprite size in pixels, set by AddUnit
    int height = 0;
    int unitClass = 0;       // "Typ": 1 troops .. 6 gliders, the row of EffectTable
    int owner = 0;           // player number
    int state = 0;           // < 0 arrives at hour -state; 0 active; > 0 dying; 4 remove
    float hitPoints = 0;     // current "TP"
    float maxHitPoints = 0;
    float x = 0, y = 0;      // position in cells (towers: +0.5, the centre of their cell)
    int pushCount = 0;       // times pushed aside since the last path
    float heading = 0;       // degrees 0..359; 0 = +x, 90 = down the screen
    float turnSpeed = 0;     // degrees per game second, -turnRate/10..+turnRate/10
    float turnRate = 0;      // "w"
    float speed = 0;         // hundredths of a pixel per game second
    float maxSpeed = 0;      // "v"
    float target = -1;       // id of the target object; 0 = move to a point; -1 = none
    float destX = 0, destY = 0; // destination cell
    float selection = 0;     // 2 selected, 1 under the cursor, 0
    int weapon = 0;          // weapon row
    float range = 0;         // "RW", cells
    float shotSpeed = 0;     // weapon "v"
    float reload = 0;        // game seconds since the last shot
    float firePeriod = 0;    // "Sf"
    float harvestAmount = 0; // "SK"
    float damage = 0;        // "ZK"
    float repairAmount = 0;  // "HK"
    int load = 0;            // harvester: 0..4 collecting, -5..-1 unloading
    int stance = 0;          // 0 passive, 1 aggressive in place, 2 aggressive with pursuit, 3 routine work
    float waypointX = 0, waypointY = 0; // next point of the planned path
    int holdTarget = -1;     // 1 when the target was ordered and must not be replaced
    std::string path;        // planned path: two characters per point, coordinate + 35
    int pathGoal = -1;       // destination cell (x * 257 + y) of the path it follows
    int failedGoal = -1;     // a destination its path to failed: it searches its own way there
    float trackX = -100, trackY = -100, trackHeading = -100; // where the last track mark was left
    int spare = 0;
    int group = -1;          // control group 1..9, -1 none
};

// A marker of a selected unit's order, drawn over the playfield this frame.
struct OrderMarker {
    int sprite = 0;     // 1501 attack (combat units), 1502 work vehicles and point orders
    float x = 0, y = 0; // cells
    float target = 0;   // the order's target id; 0 for a point order
};

extern std::vector<Unit> Units;               // all players' units, walked by index
extern std::vector<OrderMarker> OrderMarkers; // cleared at the start of every frame

// Ids from here up are units and buildings; ground tiles are numbered below.
constexpr int FirstObjectId = 100000;

// A unit of `typeId` for `owner` at a cell, with its table rows read, facing right, no target.
Unit MakeUnit(float id, int typeId, int owner, float x, float y, int stance, int state);
// Appends a unit; its sprite size comes from its picture. Index of the new unit.
int AddUnit(const Unit& unit);
// Position in Units of the unit with this id, or -1.
int FindUnit(float id);
void IndexUnits(); // after the list was swept

// The units' share of a frame: arrivals, orders, movement, paths, spacing, targets, fire,
// harvesting, fog, tracks and removal, unit by unit in list order.
void UnitPass();

// Every unit whose target `id` was gives up that order and stays where it is.
void DropTargetEverywhere(float id);
// The unit's order ends: no target, no path, it stays where it is.
void EndOrder(Unit& unit);
// A harvester's or builder's next piece of work: the way to the last one leads elsewhere, so
// the path goes, and the destination is the new target's point at once.
void TakeWorkTarget(Unit& unit, float id);
// A unit pushed aside too often gives up its path (the pushes count in pushCount) and takes no
// cached path to that destination again.
void GiveUpPushedPath(Unit& unit);
// Whether any edge cell of a building has a free cell beside it that the unit can reach.
struct Building;
int CanApproach(const Unit& unit, const Building& building);
// Where a unit aims for its target, in cells: a ground tile's cell, a building's nearest
// edge cell, another unit's position. 0 when the target does not exist.
int TargetPoint(const Unit& unit, float& x, float& y);
// Keeps a position on the map's cells.
void KeepOnMap(Unit& unit);

// Kinds of unit by type number.
inline int IsBuilder(const Unit& unit) { return unit.typeId == 2001.0f; }
inline int IsHarvester(const Unit& unit) { return unit.typeId == 2002.0f; }
inline int IsWorkVehicle(const Unit& unit) { return unit.typeId == 2001.0f || unit.typeId == 2002.0f; }
inline int IsTower(const Unit& unit) { return unit.typeId >= 1051.0f && unit.typeId <= 1059.0f; }
