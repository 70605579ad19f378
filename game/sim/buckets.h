// game/sim/buckets.h - the units sorted into buckets of 4 x 4 cells, so that spacing, target
// search, threat memory and projectile hits look only at the units near a point.
//
// The buckets follow every move inside a pass (UnitBucketMoved), so a question asked of them
// has the same answer as a walk over the whole list would give at that moment.
#pragma once

#include <vector>

constexpr int BucketCells = 4;                    // a bucket is 4 x 4 cells, 128 pixels
constexpr int BucketPixels = BucketCells * 32;
constexpr int BucketSide = 257 / BucketCells + 1; // buckets along each side of the grids

// Sorts every unit of the list into its bucket; call after the list itself changed.
void RebuildUnitBuckets();
// After unit `index` moved: it changes bucket when it left its own.
void UnitBucketMoved(int index);
// Bucket coordinate of a position in cells, clamped to the grid.
int BucketOf(float cells);
// The units of one bucket (indices into Units); empty outside the grid.
const std::vector<int>& BucketUnits(int bx, int by);
// 1 when the bucket holds a unit of another owner than `owner`.
int BucketHasOthers(int bx, int by, int owner);

// The unit indices of the buckets within `radius` pixels of a point (cells), sorted, so that
// callers meet them in list order.
void UnitsNear(float x, float y, float radius, std::vector<int>& out);
