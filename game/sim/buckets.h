// game/sim/buckets.h - the units sorted into buckets of 2 x 2 cells, so that spacing, target
// search, threat memory and projectile hits look only at the units near a point.
//
// The buckets follow every move and every change of state inside a pass (UnitBucketMoved), so
// a question asked of them has the same answer as a walk over the whole list would give at
// that moment.
#pragma once

#include <span>
#include <vector>

constexpr int BucketCells = 2;                    // a bucket is 2 x 2 cells, 64 pixels
constexpr int BucketPixels = BucketCells * 32;
constexpr int BucketSide = 257 / BucketCells + 1; // buckets along each side of the grids

// What the scans ask of a unit they meet, kept in its bucket. A crowded battle's scans meet
// tens of thousands of units a frame: read from the buckets' own small records, they stay in
// the cache, where the units' full records would not.
struct UnitPlace {
    float x, y;              // cells
    float quarterWidth;      // width / 4 in pixels
    int owner;
    int index;               // into Units
    unsigned char active;    // 1 at state 0
    unsigned char tower;     // a guard tower
    unsigned char unitClass; // 1..6; 0 for any other class
};
// The place of unit `index` as it is now.
UnitPlace PlaceOfUnit(int index);

// Sorts every unit of the list into its bucket; call after the list itself changed.
void RebuildUnitBuckets();
// After unit `index` moved or changed state: its place follows, into another bucket when it
// left its own.
void UnitBucketMoved(int index);
// Bucket coordinate of a position in cells, clamped to the grid.
int BucketOf(float cells);
// The units of one bucket, in no order; empty outside the grid.
std::span<const UnitPlace> BucketUnits(int bx, int by);
// 1 when the bucket holds a unit of another owner than `owner`.
int BucketHasOthers(int bx, int by, int owner);

// The unit indices of the buckets within `radius` pixels of a point (cells), sorted, so that
// callers meet them in list order.
void UnitsNear(float x, float y, float radius, std::vector<int>& out);
// The range of buckets covering the square of `radius` pixels around a point (cells).
struct BucketRange {
    int left, top, right, bottom;
};
BucketRange BucketsAround(float x, float y, float radius);
// The widest unit picture in the list at the last rebuild.
int WidestUnit();

// Buildings by the bucket their centre lies in, for the projectiles' hits. They stand still
// during the sub-steps, so one sorting per sub-step serves all shots.
void RebuildBuildingBuckets();
// The building indices whose centre may lie within `reach` pixels of a world pixel, sorted.
void BuildingsNear(float px, float py, float reach, std::vector<int>& out);
// The buildings of one bucket, by the bucket of their centre.
const std::vector<int>& BucketBuildings(int bx, int by);
// The widest building's picture, for the reach of a building hit.
int WidestBuilding();
// Whether a building may lie within a shot's reach (WidestBuilding() / 4 + 1 pixels) of a
// point in cells: 0 means none can, the common answer over open ground.
int MayHitBuildings(float x, float y);

// Units seen by the shots: during the projectile sub-steps units stand still, so their places
// are frozen once per sub-step into a tight grid of single cells.
struct UnitSpot {
    float x, y;   // world pixels
    float radius; // width / 4
    int index;    // into Units
};
void FreezeUnitSpots();
// The largest radius among the frozen spots, in pixels.
float WidestSpot();
// The frozen spots in the cells top..bottom of column cx (clamped to the map); `count` of
// them from the returned pointer.
const UnitSpot* SpotsInColumn(int cx, int top, int bottom, int& count);
