// game/save/recordrules.cpp - the bounds of a record that the rules can play.
#include "game/save/recordrules.h"

#include "game/base/numbers.h"
#include "game/base/tables.h"
#include "game/sim/paths.h"

#include <algorithm>
#include <cmath>

namespace {

// Floats arrive as whole numbers; every bound is asked as "inside", so a NaN never passes.
bool Between(float value, float lo, float hi) { return value >= lo && value <= hi; }
bool Between(int value, int lo, int hi) { return value >= lo && value <= hi; }

// Hit points, damage, timers and the like: only ever added, compared and scaled.
constexpr float MostAmount = 1e6f;
// A record that has just fallen keeps the hit points its last hit left: a damage table of per
// mille values read from five characters scales a shot by up to a hundred.
constexpr float MostDamageTaken = 1e9f;
// Hit points are only added to and taken from; a scenario may make its objects all but
// unbreakable.
constexpr float MostHitPoints = 1e9f;
// Destinations, rally and way points in cells: a click just past the map's edge makes one, and
// they are clamped where they are used. Far enough out that the map is never the limit.
constexpr float MostCellReach = 4096;
// Shots and storms fly a little off the map before they fade or turn back.
constexpr float MostPixelReach = ShotReachOffMap;

bool InTable(int id) { return id >= 0 && id < CatalogueSize && CatalogueRow[id] > 0; }

bool OwnedByPlayer(int owner, const RecordBounds& bounds) { return Between(owner, 1, std::min(bounds.playerCount, MaxPlayers)); }

bool OnMap(float x, float y, const RecordBounds& bounds)
{
    return Between(x, 0.0f, float(bounds.mapWidth)) && Between(y, 0.0f, float(bounds.mapHeight));
}

bool NearMap(float x, float y, float reach, const RecordBounds& bounds)
{
    return Between(x, -reach, float(bounds.mapWidth) + reach) && Between(y, -reach, float(bounds.mapHeight) + reach);
}

// The same for world pixels.
bool NearMapInPixels(float x, float y, const RecordBounds& bounds)
{
    return Between(x, -MostPixelReach, float(bounds.mapWidth * 32) + MostPixelReach) &&
           Between(y, -MostPixelReach, float(bounds.mapHeight * 32) + MostPixelReach);
}

// Waiting for an hour (< 0), standing (0) or dying (> 0): every state the passes count through.
bool PlayableState(int state) { return Between(state, -MostHour, MostState); }

bool PlayableObjectId(float id) { return Between(id, float(FirstObjectId), float(MostObjectId)) && id == std::floor(id); }

// Weapons of the rules: none, the seven guns, the hammer and the collecting tool.
bool IsWeapon(int weapon) { return Between(weapon, 0, 7) || weapon == 11 || weapon == 12; }

// What a factory or lab is working on: nothing, a unit or a research item.
bool IsProduct(int id) { return id == 0 || IsUnitTypeId(id) || IsResearchId(id); }

} // namespace

int IsUnitTypeId(int id) { return ((id >= 2001 && id <= 2999) || IsTowerType(id)) && InTable(id); }
int IsBuildingTypeId(int id) { return (IsWall(id) && id <= 1015) || (id >= 1000 && id <= 1999 && InTable(id)); }
int IsResearchId(int id) { return id >= 700 && id <= 999 && InTable(id); }

int PlayableQueue(const std::string& queue)
{
    if (queue.size() % 10 != 0 || queue.size() > size_t(MostQueueEntries) * 10) return 0;
    for (char c : queue)
        if (c != ' ' && (c < '0' || c > '9')) return 0;
    for (size_t at = 0; at < queue.size(); at += 10) {
        int id = ReadNumber(TrimSpaces(queue.substr(at, 4), 1));
        if (id == 0 || !IsProduct(id)) return 0;
    }
    return 1;
}

int PlayablePath(const std::string& path)
{
    if (path.size() % 2 != 0 || path.size() > MostPathText) return 0;
    for (char c : path)
        if (!Between(PathCoordinate(c), 0, MaxPathCoordinate)) return 0;
    return 1;
}

int PlayableBuilding(const Building& b, const RecordBounds& bounds)
{
    if (!PlayableObjectId(float(b.id)) || !IsBuildingTypeId(b.typeId) || !OwnedByPlayer(b.owner, bounds)) return 0;
    // The footprint (a picture's size / 64 cells) lies on the grids the obstacles are kept in.
    if (!Between(b.width, 0, 1024) || !Between(b.height, 0, 1024) || !OnMap(b.x, b.y, bounds)) return 0;
    if (!Between(b.maxHitPoints, 0.0f, MostHitPoints) || !Between(b.hitPoints, -MostDamageTaken, MostHitPoints)) return 0;
    if (!Between(b.buildTotal, 0.0f, MostAmount) || !Between(b.buildProgress, -MostAmount, MostAmount)) return 0;
    if (!Between(b.selection, 0, 2) || !IsProduct(b.currentItem) || !PlayableQueue(b.queue)) return 0;
    if (!Between(b.remaining, -MostAmount, MostAmount) || !Between(b.total, -MostAmount, MostAmount)) return 0;
    if (!Between(b.energy, -10000, 10000) || !NearMap(b.rallyX, b.rallyY, MostCellReach, bounds)) return 0;
    // The variant is added to the type to pick the picture: the upgraded looks are 1 and 2.
    return Between(b.stance, 0, 3) && PlayableState(b.state) && Between(b.variant, 0, 2);
}

int PlayableUnit(const Unit& u, const RecordBounds& bounds)
{
    if (!PlayableObjectId(u.id) || u.typeId != std::floor(u.typeId) || !IsUnitTypeId(int(u.typeId))) return 0;
    if (!OwnedByPlayer(u.owner, bounds) || !Between(u.unitClass, 0, 6)) return 0;
    if (!Between(u.width, 0, 512) || !Between(u.height, 0, 512) || !OnMap(u.x, u.y, bounds)) return 0;
    if (!Between(u.maxHitPoints, 0.0f, MostHitPoints) || !Between(u.hitPoints, -MostDamageTaken, MostHitPoints)) return 0;
    if (!Between(u.pushCount, 0, 100000) || !Between(u.heading, -360.0f, 720.0f)) return 0;
    if (!Between(u.turnRate, 0.0f, 10000.0f) || !Between(u.turnSpeed, -10000.0f, 10000.0f)) return 0;
    if (!Between(u.maxSpeed, 0.0f, 100000.0f) || !Between(u.speed, -100000.0f, 100000.0f)) return 0;
    // A target is a ground tile's id below the first object id, an object's id, 0 for a point
    // or -1 for none.
    if (!Between(u.target, -1.0f, float(MostObjectId))) return 0;
    if (!NearMap(u.destX, u.destY, MostCellReach, bounds) || !NearMap(u.waypointX, u.waypointY, MostCellReach, bounds)) return 0;
    if (!Between(u.selection, 0.0f, 2.0f) || !IsWeapon(u.weapon)) return 0;
    // The scans and the fog walk the range cell by cell, and its shots fly 40 x range pixels.
    if (!Between(u.range, 0.0f, 64.0f) || !Between(u.shotSpeed, 0.0f, 100000.0f)) return 0;
    // The reload counts up to the fire period and starts again.
    if (!Between(u.firePeriod, 0.0f, 100000.0f) || !Between(u.reload, -MostAmount, MostAmount)) return 0;
    for (float amount : {u.harvestAmount, u.damage, u.repairAmount})
        if (!Between(amount, -MostAmount, MostAmount)) return 0;
    // A harvester collects 0..4 loads and unloads from -5 back up.
    if (!Between(u.load, -5, 4) || !Between(u.stance, 0, 3) || !PlayablePath(u.path)) return 0;
    return PlayableState(u.state) && Between(u.group, -1, 9);
}

int PlayableShot(const Projectile& p, const RecordBounds& bounds)
{
    // The kind is 3000 + the weapon that fired it; the damage table is read by it.
    if (p.kind != std::floor(p.kind) || !IsWeapon(int(p.kind) - 3000) || p.kind < 3000) return 0;
    if (!OwnedByPlayer(p.owner, bounds) || !NearMapInPixels(p.x, p.y, bounds)) return 0;
    if (!Between(p.heading, -720.0f, 720.0f) || !Between(p.speed, -100000.0f, 100000.0f)) return 0;
    if (!Between(p.damage, -MostAmount, MostAmount) || !Between(p.repair, -MostAmount, MostAmount)) return 0;
    // Its life is counted down a sub-step at a time; a shot of the rules lives a few hundred.
    return Between(p.life, -MostAmount, 100000.0f);
}

int PlayableStorm(const Sandstorm& storm, const RecordBounds& bounds)
{
    // A storm's direction wanders a few degrees at a time and is never brought back to 0..359.
    return NearMapInPixels(storm.x, storm.y, bounds) && Between(storm.direction, -MostAmount, MostAmount);
}

int PlayableDecoration(const Decoration& d, const RecordBounds& bounds)
{
    int known = d.sprite == 4901 || d.sprite == 4913 || d.sprite == 4914 || d.sprite == 4921;
    return known && Between(d.x, 0, bounds.mapWidth) && Between(d.y, 0, bounds.mapHeight);
}

int WithinMoney(long long value) { return int(std::clamp<long long>(value, -MostMoney, MostMoney)); }
