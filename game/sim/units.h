// game/sim/units.h - the units of all players: records, the list, creation.
#pragma once

#include <string>
#include <vector>

// One unit; numbers, not pointers: a target is an object id, looked up again when needed.
struct Unit {
    float id = 0;            // object identifier (NextObjectId)
    float typeId = 0;        // unit type, also its sprite number
    int width = 0;           // sprite size in pixels, set by AddUnit
    int height = 0;
    int unitClass = 0;       // "Typ": 1 troops .. 6 gliders, the row of EffectTable
    int owner = 0;           // player number
    float hitPoints = 0;     // current "TP"
    float maxHitPoints = 0;
    float x = 0, y = 0;      // position in cells (towers: +0.5, the centre of their cell)
    int pushCount = 0;       // times pushed aside since the last path
    float heading = 0;       // degrees 0..359; 0 = +x, 90 = down the screen
    float turnSpeed = 0;     // degrees per game second
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
    int state = 0;           // < 0 arrives at hour -state; 0 active; > 0 dying; 4 remove
    float trackX = -100, trackY = -100, trackHeading = -100; // where the last track mark was left
    int spare = 0;
    int group = -1;          // control group 1..9, -1 none
};

extern std::vector<Unit> Units; // all players' units, walked by index

// A unit of `typeId` for `owner` at a cell, with its table rows read, facing right, no target.
Unit MakeUnit(float id, int typeId, int owner, float x, float y, int stance, int state);
// Appends a unit; its sprite size comes from its picture. Index of the new unit.
int AddUnit(const Unit& unit);

// The units' share of a frame: arrivals, orders, movement, work and fire. The movement and
// combat rules fill it; until they do, units stand where they were placed.
void UnitPass();
