// game/sim/unitscan.cpp - spacing, target search, threat memory and the harvester's search.
//
// Every question here has a plain form (walk the whole list, nearest wins, ties to the first in
// the list) and a fast form over the bucket grid that must give the same answer: candidates
// are compared by (distance, list position), and a ring of buckets is only skipped when
// nothing in it can come nearer than what was found.
#include "game/sim/unitscan.h"

#include "game/base/common.h"
#include "game/sim/buckets.h"
#include "game/sim/buildings.h"
#include "game/sim/paths.h"
#include "game/sim/units.h"
#include "game/sim/world.h"

#include <algorithm>
#include <cmath>
#include <limits>

int ScanWithBuckets = 1;

// A building's centre in pixels, as the distances below work it out. Buildings stand still,
// so the centres gathered before the unit pass hold through it; owner and state are asked of
// the building itself, since shots and captures change them.
struct BuildingCentre {
    float x, y;
    int index;
};

static std::vector<int> UnitsOfOwner[MaxPlayers + 1];
static std::vector<BuildingCentre> BuildingsOfOwner[MaxPlayers + 1];
static std::vector<int> Nearby;

static int OwnerSlot(int owner) { return std::clamp(owner, 0, MaxPlayers); }

void PrepareUnitScan()
{
    for (int p = 0; p <= MaxPlayers; p++) {
        UnitsOfOwner[p].clear();
        BuildingsOfOwner[p].clear();
    }
    for (size_t i = 0; i < Units.size(); i++) UnitsOfOwner[OwnerSlot(Units[i].owner)].push_back(int(i));
    for (size_t i = 0; i < Buildings.size(); i++) {
        const Building& building = Buildings[i];
        BuildingsOfOwner[OwnerSlot(building.owner)].push_back(
            BuildingCentre{building.x * 32 + float(building.width / 4), building.y * 32 + float(building.height / 4), int(i)});
    }
    // From west to east, so that a search can start level with a unit and stop where the
    // distance across alone is too far.
    for (std::vector<BuildingCentre>& centres : BuildingsOfOwner)
        std::sort(centres.begin(), centres.end(), [](const BuildingCentre& a, const BuildingCentre& b) {
            return a.x < b.x || (a.x == b.x && a.index < b.index);
        });
}

// The square of the distance in pixels; its root is the distance.
static float SquaredPixelDistance(float x1, float y1, float x2, float y2)
{
    float dx = (x2 - x1) * 32, dy = (y2 - y1) * 32;
    return dx * dx + dy * dy;
}

static float PixelDistance(float x1, float y1, float x2, float y2) { return std::sqrt(SquaredPixelDistance(x1, y1, x2, y2)); }

// Whether a distance whose square is `squared` may still be below or at `limit`: a test on
// the square, with room to spare, that never turns away what the exact distance would keep.
// The scans of a crowded battle meet thousands of candidates; most fail here, without a root.
static int MayBeWithin(float squared, float limit) { return squared <= limit * limit * 1.0001f + 0.01f; }

// The square of the distance from a unit to a building's centre, in pixels.
static float SquaredDistanceToCentre(const Unit& unit, const BuildingCentre& centre)
{
    float dx = centre.x - unit.x * 32, dy = centre.y - unit.y * 32;
    return dx * dx + dy * dy;
}

static float SquaredDistanceToBuilding(const Unit& unit, const Building& building)
{
    return SquaredDistanceToCentre(unit, BuildingCentre{building.x * 32 + float(building.width / 4),
                                                        building.y * 32 + float(building.height / 4), 0});
}

static float DistanceToBuilding(const Unit& unit, const Building& building)
{
    return std::sqrt(SquaredDistanceToBuilding(unit, building));
}

// The nearest so far: by distance, then by list position.
struct Nearest {
    float distance = std::numeric_limits<float>::infinity();
    int index = -1;
    void Offer(float d, int i)
    {
        if (d < distance || (d == distance && index >= 0 && i < index)) {
            distance = d;
            index = i;
        }
    }
};

// Visits the buckets at Chebyshev distance `ring` around (bx, by) that lie in the grid.
template <typename F>
static void ForEachBucketInRing(int bx, int by, int ring, F visit)
{
    if (ring == 0) {
        visit(bx, by);
        return;
    }
    for (int cx = bx - ring; cx <= bx + ring; cx++) {
        if (cx < 0 || cx >= BucketSide) continue;
        for (int cy : {by - ring, by + ring})
            if (cy >= 0 && cy < BucketSide) visit(cx, cy);
    }
    for (int cy = by - ring + 1; cy <= by + ring - 1; cy++) {
        if (cy < 0 || cy >= BucketSide) continue;
        for (int cx : {bx - ring, bx + ring})
            if (cx >= 0 && cx < BucketSide) visit(cx, cy);
    }
}

// The square of the least distance in pixels from a point (cells) to any unit a bucket may
// hold. The grid's edge buckets also hold whatever lies beyond the grid.
static float SquaredDistanceToBucket(float x, float y, int bx, int by)
{
    auto gap = [](float pixel, int bucket) {
        float low = float(bucket * BucketPixels), high = float((bucket + 1) * BucketPixels);
        if (bucket > 0 && pixel < low) return low - pixel;
        if (bucket < BucketSide - 1 && pixel > high) return pixel - high;
        return 0.0f;
    };
    float dx = gap(x * 32, bx), dy = gap(y * 32, by);
    return dx * dx + dy * dy;
}

// Whether a bucket may hold a unit nearer than `limit` pixels to a point (cells). The pixel
// to spare covers distances worked out the other way round, from cells.
static int BucketMayBeWithin(float x, float y, int bx, int by, float limit)
{
    float reach = limit * 1.0001f + 1;
    return SquaredDistanceToBucket(x, y, bx, by) <= reach * reach;
}

// Rings of buckets out from a point, nearest first, while `wanted(nearest possible distance)`.
template <typename Wanted, typename F>
static void ForEachRing(float x, float y, Wanted wanted, F visit)
{
    int bx = BucketOf(x), by = BucketOf(y);
    int rings = std::max({bx, by, BucketSide - 1 - bx, BucketSide - 1 - by});
    for (int ring = 0; ring <= rings; ring++) {
        float closest = ring == 0 ? 0.0f : float((ring - 1) * BucketPixels);
        if (!wanted(closest)) return;
        ForEachBucketInRing(bx, by, ring, visit);
    }
}

// ---- spacing ----

// How far unit i reaches into unit j: its own width / 4 and two thirds of the other's (all of
// it when i is a tower, which never gives way).
static float SpacingReach(const Unit& self, float otherQuarterWidth)
{
    return float(self.width / 4) + otherQuarterWidth * (IsTower(self) ? 1.0f : 2.0f / 3.0f);
}

// Whether unit i overlaps an active unit j that can be pushed.
static int Overlaps(const Unit& self, const UnitPlace& other)
{
    if (!other.active || other.tower) return 0;
    float squared = SquaredPixelDistance(self.x, self.y, other.x, other.y), reach = SpacingReach(self, other.quarterWidth);
    return MayBeWithin(squared, reach) && std::sqrt(squared) < reach;
}

// Unit i makes room: unit j, which overlaps it, is pushed away along the line between them,
// by half the overlap (all of it when i is a tower).
static void PushAside(int i, int j)
{
    const Unit& self = Units[size_t(i)];
    Unit& other = Units[size_t(j)];
    float reach = SpacingReach(self, float(other.width / 4));
    float dx = (other.x - self.x) * 32, dy = (other.y - self.y) * 32;
    float distance = std::sqrt(dx * dx + dy * dy);
    float share = IsTower(self) ? reach - distance : (reach - distance) / 2;
    float angle = distance > 0 ? std::atan2(dy, dx) : float(Rnd(359)) * 0.017453292f;
    other.x += std::cos(angle) * share / 32;
    other.y += std::sin(angle) * share / 32;
    if (++other.pushCount > 20) {
        GiveUpPushedPath(other);
        other.x += std::cos(angle) * float(other.width) / 512;
        other.y += std::sin(angle) * float(other.width) / 512;
        // A unit jostled on its way gives up a place it cannot get to, but never a point the
        // player sent it to: that order must not vanish while he is not looking.
        int playerSentIt = other.target == 0 && other.holdTarget == 1;
        if (!playerSentIt && std::hypot(other.x - other.destX, other.y - other.destY) >= 2) {
            other.destX = other.x;
            other.destY = other.y;
        }
    }
    KeepOutOfFootprints(other);
    KeepOnMap(other);
    UnitBucketMoved(j);
}

// The units to push are found first and pushed after, in list order: a push moves only the
// unit pushed, so which units overlap does not depend on the order.
void SpaceUnits(int index)
{
    const Unit& self = Units[size_t(index)];
    Nearby.clear();
    if (ScanWithBuckets) {
        BucketRange range = BucketsAround(self.x, self.y, float(self.width / 4 + WidestUnit() / 4 + 1));
        for (int cx = range.left; cx <= range.right; cx++)
            for (int cy = range.top; cy <= range.bottom; cy++)
                for (const UnitPlace& other : BucketUnits(cx, cy))
                    if (other.index != index && Overlaps(self, other)) Nearby.push_back(other.index);
        std::sort(Nearby.begin(), Nearby.end());
    } else {
        for (size_t j = 0; j < Units.size(); j++)
            if (int(j) != index && Overlaps(self, PlaceOfUnit(int(j)))) Nearby.push_back(int(j));
    }
    for (int j : Nearby) PushAside(index, j);
}

// ---- target search ----

static int AttackTargetOf(int owner)
{
    int enemy = Players[OwnerSlot(owner)].attackTarget;
    return enemy >= 1 && enemy <= MaxPlayers && enemy != owner ? enemy : 0;
}

// The nearest enemy unit: anyone within range x 64 - 31 pixels, the chosen enemy's units
// within 10000 pixels more (so they are always in reach).
static Nearest NearestEnemyUnit(const Unit& unit)
{
    int owner = unit.owner, enemy = AttackTargetOf(owner);
    float reach = unit.range * 64 + 1 - 32, chosenReach = unit.range * 64 + 10000 - 32;
    Nearest nearest;
    auto offer = [&](const UnitPlace& other) {
        if (!other.active || other.owner == owner) return;
        float limit = enemy && other.owner == enemy ? chosenReach : reach;
        float squared = SquaredPixelDistance(unit.x, unit.y, other.x, other.y);
        if (!MayBeWithin(squared, std::min(limit, nearest.distance))) return; // can neither reach nor beat the nearest
        float d = std::sqrt(squared);
        if (d < limit) nearest.Offer(d, other.index);
    };
    if (!ScanWithBuckets) {
        for (size_t j = 0; j < Units.size(); j++) offer(PlaceOfUnit(int(j)));
        return nearest;
    }
    ForEachRing(unit.x, unit.y, [&](float closest) { return closest < reach && closest <= nearest.distance; },
                [&](int cx, int cy) {
                    // Beyond the plain reach, the chosen enemy's units are all asked below
                    // when nothing nearer was found.
                    if (!BucketHasOthers(cx, cy, owner) || !BucketMayBeWithin(unit.x, unit.y, cx, cy, std::min(nearest.distance, reach)))
                        return;
                    for (const UnitPlace& other : BucketUnits(cx, cy)) offer(other);
                });
    // Beyond the plain reach only the chosen enemy's units count: those are few enough to ask all.
    if (enemy && !(nearest.distance < reach))
        for (int j : UnitsOfOwner[enemy]) offer(PlaceOfUnit(j));
    return nearest;
}

// The nearest active building of the chosen enemy, within the chosen enemy's reach.
static Nearest NearestEnemyBuilding(const Unit& unit)
{
    Nearest nearest;
    int enemy = AttackTargetOf(unit.owner);
    if (!enemy || IsWorkVehicle(unit)) return nearest;
    float reach = unit.range * 64 + 10000 - 32;
    // The distance is asked first: most buildings are farther than the nearest found.
    auto offer = [&](float squared, int b) {
        if (!MayBeWithin(squared, std::min(reach, nearest.distance))) return;
        const Building& building = Buildings[size_t(b)];
        if (building.owner != enemy || building.state != 0) return;
        float d = std::sqrt(squared);
        if (d < reach) nearest.Offer(d, b);
    };
    if (ScanWithBuckets) {
        // Outward from the unit's column, east then west; beyond a building whose distance
        // across alone fails the test, every one farther out fails it too.
        const std::vector<BuildingCentre>& centres = BuildingsOfOwner[enemy];
        float px = unit.x * 32;
        auto start = std::lower_bound(centres.begin(), centres.end(), px,
                                      [](const BuildingCentre& centre, float x) { return centre.x < x; });
        auto tooFarAcross = [&](const BuildingCentre& centre) {
            float dx = centre.x - px;
            return !MayBeWithin(dx * dx, std::min(reach, nearest.distance));
        };
        for (auto east = start; east != centres.end() && !tooFarAcross(*east); ++east)
            offer(SquaredDistanceToCentre(unit, *east), east->index);
        for (auto west = start; west != centres.begin() && !tooFarAcross(*(west - 1)); --west)
            offer(SquaredDistanceToCentre(unit, *(west - 1)), (west - 1)->index);
    } else {
        for (size_t b = 0; b < Buildings.size(); b++) offer(SquaredDistanceToBuilding(unit, Buildings[b]), int(b));
    }
    return nearest;
}

// A builder at work looks for its own buildings that are unfinished or hurt.
static Nearest NearestRepairWork(const Unit& unit)
{
    Nearest nearest;
    float reach = unit.range * 256 - 32;
    auto offer = [&](int b) {
        const Building& building = Buildings[size_t(b)];
        if (building.owner != unit.owner || building.state != 0) return;
        if (IsComplete(building) && building.hitPoints >= building.maxHitPoints) return;
        float d = DistanceToBuilding(unit, building);
        if (d < reach) nearest.Offer(d, b);
    };
    if (ScanWithBuckets) {
        for (const BuildingCentre& centre : BuildingsOfOwner[OwnerSlot(unit.owner)]) offer(centre.index);
    } else {
        for (size_t b = 0; b < Buildings.size(); b++) offer(int(b));
    }
    return nearest;
}

void SearchTarget(int index)
{
    Unit& unit = Units[size_t(index)];
    if (unit.state != 0 || unit.stance == 0 || unit.target == 0 || unit.typeId == 2107.0f) return;
    // A harvester's targets come from its round; its collecting shot cannot harm anyone.
    if (IsHarvester(unit)) return;
    float found = 0, distance = 0;
    if (IsBuilder(unit)) {
        if (unit.stance != 3) return;
        Nearest work = NearestRepairWork(unit);
        if (work.index < 0) return;
        found = float(Buildings[size_t(work.index)].id);
        distance = work.distance;
    } else {
        // A guard tower without power stays blind.
        if (IsTower(unit) && Players[OwnerSlot(unit.owner)].energy <= 0) return;
        Nearest enemyUnit = NearestEnemyUnit(unit), enemyBuilding = NearestEnemyBuilding(unit);
        if (enemyBuilding.index >= 0 && enemyBuilding.distance < enemyUnit.distance) {
            found = float(Buildings[size_t(enemyBuilding.index)].id);
            distance = enemyBuilding.distance;
        } else if (enemyUnit.index >= 0) {
            found = Units[size_t(enemyUnit.index)].id;
            distance = enemyUnit.distance;
        }
    }
    if (found == 0 || found == unit.target || unit.holdTarget == 1) return;
    // A new target much nearer than where the unit was going: it stops and plans anew.
    if (distance < PixelDistance(unit.x, unit.y, unit.destX, unit.destY) - 128) {
        unit.path.clear();
        unit.speed = 0;
    }
    if (IsBuilder(unit)) TakeWorkTarget(unit, found);
    else unit.target = found;
}

// ---- threat memory ----

void RememberThreats(int index)
{
    const Unit& unit = Units[size_t(index)];
    if (unit.typeId >= 2003.0f || unit.state != 0 || unit.owner < 1 || unit.owner > MaxPlayers) return;
    // Every class seen is noted; the attacker's digit is that of the last one in the list.
    int classes = 0, last = -1;
    auto look = [&](const UnitPlace& other) {
        if (!other.active || other.owner == unit.owner) return;
        float squared = SquaredPixelDistance(unit.x, unit.y, other.x, other.y);
        if (!MayBeWithin(squared, 384) || std::sqrt(squared) >= 384) return;
        if (other.unitClass) classes |= 1 << (other.unitClass - 1);
        last = std::max(last, other.index);
    };
    if (ScanWithBuckets) {
        BucketRange range = BucketsAround(unit.x, unit.y, 384);
        for (int cx = range.left; cx <= range.right; cx++)
            for (int cy = range.top; cy <= range.bottom; cy++)
                if (BucketHasOthers(cx, cy, unit.owner) && BucketMayBeWithin(unit.x, unit.y, cx, cy, 384))
                    for (const UnitPlace& other : BucketUnits(cx, cy)) look(other);
    } else {
        for (size_t j = 0; j < Units.size(); j++) look(PlaceOfUnit(int(j)));
    }
    if (last < 0) return;
    std::string& memory = Players[unit.owner].threatMemory;
    if (memory.size() != 8) memory = "000000|0";
    for (int c = 0; c < 6; c++)
        if (classes & (1 << c)) memory[size_t(c)] = '1';
    int attacker = Units[size_t(last)].owner;
    if (attacker >= 1 && attacker <= 9) memory[7] = char('0' + attacker);
}

// ---- the harvester's search ----

int NearestSpiceTile(const Unit& unit)
{
    float best = std::numeric_limits<float>::infinity();
    int bestId = 0;
    int fromX = int(std::floor(unit.x)), fromY = int(std::floor(unit.y));
    auto offer = [&](int x, int y) {
        if (TerrainGrid[x][y] != SpiceColour) return;
        int id = TileIdAt(x, y);
        if (id == 0) return;
        float d = std::hypot(float(x) - unit.x, float(y) - unit.y);
        if (!(d < best || (d == best && id < bestId))) return;
        // Spice the harvester cannot reach (inside a ring of cliffs) would cost it its order.
        if (!CanReach(fromX, fromY, x, y)) return;
        best = d;
        bestId = id;
    };
    if (!ScanWithBuckets) {
        for (const GroundTile& tile : GroundTiles) offer(tile.x, tile.y);
        return bestId;
    }
    // Rings of cells outward; a cell in ring r is at least r - 1 cells away.
    int ux = std::clamp(int(std::floor(unit.x)), 0, 256), uy = std::clamp(int(std::floor(unit.y)), 0, 256);
    int rings = std::max({ux, uy, MapWidth - ux, MapHeight - uy});
    for (int ring = 0; ring <= rings && float(ring - 1) <= best; ring++) {
        for (int x = ux - ring; x <= ux + ring; x++) {
            if (x < 1 || x > MapWidth - 2) continue;
            int step = (x == ux - ring || x == ux + ring || ring == 0) ? 1 : std::max(1, 2 * ring);
            for (int y = uy - ring; y <= uy + ring; y += step)
                if (y >= 1 && y <= MapHeight - 2) offer(x, y);
        }
    }
    return bestId;
}

int NearestIncinerator(const Unit& unit)
{
    Nearest nearest;
    for (size_t b = 0; b < Buildings.size(); b++) {
        const Building& building = Buildings[b];
        // One walled in on every side could never be reached.
        if (building.owner == unit.owner && building.typeId == 1300 && building.state == 0 && IsComplete(building) &&
            CanApproach(unit, building))
            nearest.Offer(DistanceToBuilding(unit, building), int(b));
    }
    return nearest.index >= 0 ? Buildings[size_t(nearest.index)].id : 0;
}
