// game/sim/buckets.cpp - the bucket grid of units.
#include "game/sim/buckets.h"

#include "game/sim/buildings.h"
#include "game/sim/units.h"
#include "game/sim/world.h"

#include <algorithm>
#include <cmath>

struct Bucket {
    std::vector<UnitPlace> units;
    int ownerCount[MaxPlayers + 1] = {}; // units per owner, owners 0..6
};

static Bucket Buckets[BucketSide][BucketSide];
// Bit `owner` set where a bucket holds a unit of that owner. The target search asks dozens of
// buckets per unit whether they hold anyone else, and most are empty: kept apart from the
// buckets, the answer is one byte of a table that stays in the cache.
static unsigned char OwnersIn[BucketSide][BucketSide];
static_assert(MaxPlayers < 8, "an owner's bit in a byte");
static std::vector<int> FilledBuckets; // bx * BucketSide + by of every bucket given a unit since the rebuild
static int WidestUnitPicture = 0;
static std::vector<int> BucketOfUnit; // bx * BucketSide + by per unit index
static std::vector<int> SlotOfUnit;   // position in its bucket per unit index
static const std::vector<int> NoBuildings;

static int OwnerSlot(int owner) { return std::clamp(owner, 0, MaxPlayers); }

int BucketOf(float cells)
{
    if (!(cells >= 0)) return 0; // also NaN
    return std::min(int(cells) / BucketCells, BucketSide - 1);
}

UnitPlace PlaceOfUnit(int index)
{
    const Unit& unit = Units[size_t(index)];
    return UnitPlace{unit.x,
                     unit.y,
                     float(unit.width / 4),
                     unit.owner,
                     index,
                     (unsigned char)(unit.state == 0),
                     (unsigned char)IsTower(unit),
                     (unsigned char)(unit.unitClass >= 1 && unit.unitClass <= 6 ? unit.unitClass : 0)};
}

static void Insert(int index, int bx, int by)
{
    Bucket& bucket = Buckets[bx][by];
    if (bucket.units.empty()) FilledBuckets.push_back(bx * BucketSide + by);
    SlotOfUnit[size_t(index)] = int(bucket.units.size());
    bucket.units.push_back(PlaceOfUnit(index));
    int owner = OwnerSlot(Units[size_t(index)].owner);
    bucket.ownerCount[owner]++;
    OwnersIn[bx][by] |= (unsigned char)(1u << owner);
    BucketOfUnit[size_t(index)] = bx * BucketSide + by;
}

// Whether unit `index` holds the slot its bucket and slot numbers say, which they do unless the
// list changed without a rebuild.
static int HoldsItsSlot(int index, int key)
{
    const Bucket& bucket = Buckets[key / BucketSide][key % BucketSide];
    size_t slot = size_t(SlotOfUnit[size_t(index)]);
    return slot < bucket.units.size() && bucket.units[slot].index == index;
}

static void Remove(int index, int key)
{
    if (!HoldsItsSlot(index, key)) return;
    Bucket& bucket = Buckets[key / BucketSide][key % BucketSide];
    size_t slot = size_t(SlotOfUnit[size_t(index)]);
    bucket.units[slot] = bucket.units.back();
    SlotOfUnit[size_t(bucket.units[slot].index)] = int(slot);
    bucket.units.pop_back();
    int owner = OwnerSlot(Units[size_t(index)].owner);
    if (--bucket.ownerCount[owner] <= 0) OwnersIn[key / BucketSide][key % BucketSide] &= (unsigned char)~(1u << owner);
}

void RebuildUnitBuckets()
{
    // Only the buckets that were given units can hold any: a battle fills a few hundred of 16,641.
    for (int key : FilledBuckets) {
        Bucket& bucket = Buckets[key / BucketSide][key % BucketSide];
        bucket.units.clear();
        std::fill(std::begin(bucket.ownerCount), std::end(bucket.ownerCount), 0);
        OwnersIn[key / BucketSide][key % BucketSide] = 0;
    }
    FilledBuckets.clear();
    BucketOfUnit.assign(Units.size(), 0);
    SlotOfUnit.assign(Units.size(), 0);
    WidestUnitPicture = 0;
    for (size_t i = 0; i < Units.size(); i++) {
        Insert(int(i), BucketOf(Units[i].x), BucketOf(Units[i].y));
        WidestUnitPicture = std::max(WidestUnitPicture, Units[i].width);
    }
}

int WidestUnit() { return WidestUnitPicture; }

BucketRange BucketsAround(float x, float y, float radius)
{
    float reach = radius / 32;
    return BucketRange{BucketOf(x - reach), BucketOf(y - reach), BucketOf(x + reach), BucketOf(y + reach)};
}

void UnitBucketMoved(int index)
{
    if (index < 0 || size_t(index) >= BucketOfUnit.size()) return;
    const Unit& unit = Units[size_t(index)];
    int key = BucketOf(unit.x) * BucketSide + BucketOf(unit.y), old = BucketOfUnit[size_t(index)];
    if (key == old) {
        if (HoldsItsSlot(index, old)) Buckets[old / BucketSide][old % BucketSide].units[size_t(SlotOfUnit[size_t(index)])] = PlaceOfUnit(index);
        return;
    }
    Remove(index, old);
    Insert(index, key / BucketSide, key % BucketSide);
}

std::span<const UnitPlace> BucketUnits(int bx, int by)
{
    if (bx < 0 || by < 0 || bx >= BucketSide || by >= BucketSide) return {};
    return Buckets[bx][by].units;
}

int BucketHasOthers(int bx, int by, int owner)
{
    if (bx < 0 || by < 0 || bx >= BucketSide || by >= BucketSide) return 0;
    return (OwnersIn[bx][by] & ~(1u << OwnerSlot(owner))) != 0;
}

void UnitsNear(float x, float y, float radius, std::vector<int>& out)
{
    out.clear();
    int reach = int(std::ceil(radius / BucketPixels));
    int bx = BucketOf(x), by = BucketOf(y);
    for (int cx = std::max(0, bx - reach); cx <= std::min(BucketSide - 1, bx + reach); cx++)
        for (int cy = std::max(0, by - reach); cy <= std::min(BucketSide - 1, by + reach); cy++) {
            for (const UnitPlace& place : Buckets[cx][cy].units) out.push_back(place.index);
        }
    std::sort(out.begin(), out.end());
}

static std::vector<int> BuildingBuckets[BucketSide][BucketSide];
static std::vector<int> BucketsWithBuildings; // bx * BucketSide + by of the buckets not empty
// 1 where a building's bucket lies near enough for a shot in this bucket to touch it; where
// this is 0 no building can be hit.
static unsigned char BuildingsAround[BucketSide][BucketSide];
static int WidestBuildingPicture = 0;

// A building's centre in cells: its top-left corner plus a quarter of its picture in pixels.
static float CentreCell(float corner, int size) { return corner + float(size / 4) / 32; }

void RebuildBuildingBuckets()
{
    for (int key : BucketsWithBuildings) BuildingBuckets[key / BucketSide][key % BucketSide].clear();
    BucketsWithBuildings.clear();
    for (auto& column : BuildingsAround) std::fill(std::begin(column), std::end(column), 0);
    WidestBuildingPicture = 0;
    for (size_t i = 0; i < Buildings.size(); i++) {
        const Building& building = Buildings[i];
        int bx = BucketOf(CentreCell(building.x, building.width)), by = BucketOf(CentreCell(building.y, building.height));
        if (BuildingBuckets[bx][by].empty()) BucketsWithBuildings.push_back(bx * BucketSide + by);
        BuildingBuckets[bx][by].push_back(int(i));
        WidestBuildingPicture = std::max(WidestBuildingPicture, building.width);
    }
    // A shot touches a building only nearer to its centre than a quarter of its picture, so
    // the centre's bucket lies at most ceil(that / BucketPixels) buckets from the shot's; the
    // pixel added covers distances worked out in cells and in pixels.
    int ring = int(std::ceil(float(WidestBuildingPicture / 4 + 1) / BucketPixels));
    for (int key : BucketsWithBuildings) {
        int bx = key / BucketSide, by = key % BucketSide;
        for (int x = std::max(bx - ring, 0); x <= std::min(bx + ring, BucketSide - 1); x++)
            std::fill(BuildingsAround[x] + std::max(by - ring, 0), BuildingsAround[x] + std::min(by + ring, BucketSide - 1) + 1, 1);
    }
}

int MayHitBuildings(float x, float y) { return BuildingsAround[BucketOf(x)][BucketOf(y)]; }

void BuildingsNear(float px, float py, float reach, std::vector<int>& out)
{
    out.clear();
    int ring = int(std::ceil(reach / BucketPixels));
    int bx = BucketOf(px / 32), by = BucketOf(py / 32);
    for (int cx = std::max(0, bx - ring); cx <= std::min(BucketSide - 1, bx + ring); cx++)
        for (int cy = std::max(0, by - ring); cy <= std::min(BucketSide - 1, by + ring); cy++)
            out.insert(out.end(), BuildingBuckets[cx][cy].begin(), BuildingBuckets[cx][cy].end());
    std::sort(out.begin(), out.end());
}

int WidestBuilding() { return WidestBuildingPicture; }

const std::vector<int>& BucketBuildings(int bx, int by)
{
    if (bx < 0 || by < 0 || bx >= BucketSide || by >= BucketSide) return NoBuildings;
    return BuildingBuckets[bx][by];
}

static std::vector<UnitSpot> Spots;  // by cell, x before y
static std::vector<int> SpotStart;   // first spot of cell (x, y) at x * SpotRows + y; one more at the end
static std::vector<int> SpotCell;    // scratch: the cell of each active unit
static int SpotColumns = 0, SpotRows = 0; // the map's size when frozen
static float WidestSpotRadius = 0;

float WidestSpot() { return WidestSpotRadius; }

void FreezeUnitSpots()
{
    // Units are kept on the map's cells; the grid covers the map and no more.
    SpotColumns = std::clamp(MapWidth, 1, 257);
    SpotRows = std::clamp(MapHeight, 1, 257);
    SpotStart.assign(size_t(SpotColumns * SpotRows) + 1, 0);
    SpotCell.clear();
    for (const Unit& unit : Units) {
        int cx = std::clamp(int(unit.x), 0, SpotColumns - 1), cy = std::clamp(int(unit.y), 0, SpotRows - 1);
        int cell = unit.state == 0 ? cx * SpotRows + cy : -1;
        SpotCell.push_back(cell);
        if (cell >= 0) SpotStart[size_t(cell) + 1]++;
    }
    for (size_t i = 1; i < SpotStart.size(); i++) SpotStart[i] += SpotStart[i - 1];
    Spots.resize(size_t(SpotStart.back()));
    WidestSpotRadius = 0;
    static std::vector<int> next;
    next.assign(SpotStart.begin(), SpotStart.end() - 1);
    for (size_t i = 0; i < Units.size(); i++) {
        if (SpotCell[i] < 0) continue;
        const Unit& unit = Units[i];
        Spots[size_t(next[size_t(SpotCell[i])]++)] = UnitSpot{unit.x * 32, unit.y * 32, float(unit.width / 4), int(i)};
        WidestSpotRadius = std::max(WidestSpotRadius, float(unit.width / 4));
    }
}

const UnitSpot* SpotsInColumn(int cx, int top, int bottom, int& count)
{
    count = 0;
    top = std::max(top, 0);
    bottom = std::min(bottom, SpotRows - 1);
    if (cx < 0 || cx >= SpotColumns || top > bottom || SpotStart.empty()) return nullptr;
    // The cells of a column follow each other, so their spots do too.
    size_t first = size_t(cx) * size_t(SpotRows) + size_t(top), last = size_t(cx) * size_t(SpotRows) + size_t(bottom);
    count = SpotStart[last + 1] - SpotStart[first];
    return Spots.data() + SpotStart[first];
}
