// game/sim/buckets.cpp - the bucket grid of units.
#include "game/sim/buckets.h"

#include "game/sim/buildings.h"
#include "game/sim/units.h"

#include <algorithm>
#include <cmath>

struct Bucket {
    std::vector<int> units;
    int ownerCount[MaxPlayers + 1] = {}; // units per owner, owners 0..6
};

static Bucket Buckets[BucketSide][BucketSide];
static std::vector<int> BucketOfUnit; // bx * BucketSide + by per unit index
static const std::vector<int> NoUnits;

static int OwnerSlot(int owner) { return std::clamp(owner, 0, MaxPlayers); }

int BucketOf(float cells)
{
    if (!(cells >= 0)) return 0; // also NaN
    return std::min(int(cells) / BucketCells, BucketSide - 1);
}

static void Insert(int index, int bx, int by)
{
    Bucket& bucket = Buckets[bx][by];
    bucket.units.push_back(index);
    bucket.ownerCount[OwnerSlot(Units[size_t(index)].owner)]++;
    BucketOfUnit[size_t(index)] = bx * BucketSide + by;
}

static void Remove(int index, int key)
{
    Bucket& bucket = Buckets[key / BucketSide][key % BucketSide];
    auto found = std::find(bucket.units.begin(), bucket.units.end(), index);
    if (found == bucket.units.end()) return;
    *found = bucket.units.back();
    bucket.units.pop_back();
    bucket.ownerCount[OwnerSlot(Units[size_t(index)].owner)]--;
}

void RebuildUnitBuckets()
{
    for (auto& column : Buckets)
        for (Bucket& bucket : column) {
            bucket.units.clear();
            std::fill(std::begin(bucket.ownerCount), std::end(bucket.ownerCount), 0);
        }
    BucketOfUnit.assign(Units.size(), 0);
    for (size_t i = 0; i < Units.size(); i++) Insert(int(i), BucketOf(Units[i].x), BucketOf(Units[i].y));
}

void UnitBucketMoved(int index)
{
    if (index < 0 || size_t(index) >= BucketOfUnit.size()) return;
    const Unit& unit = Units[size_t(index)];
    int key = BucketOf(unit.x) * BucketSide + BucketOf(unit.y);
    if (key == BucketOfUnit[size_t(index)]) return;
    Remove(index, BucketOfUnit[size_t(index)]);
    Insert(index, key / BucketSide, key % BucketSide);
}

const std::vector<int>& BucketUnits(int bx, int by)
{
    if (bx < 0 || by < 0 || bx >= BucketSide || by >= BucketSide) return NoUnits;
    return Buckets[bx][by].units;
}

int BucketHasOthers(int bx, int by, int owner)
{
    if (bx < 0 || by < 0 || bx >= BucketSide || by >= BucketSide) return 0;
    const Bucket& bucket = Buckets[bx][by];
    return int(bucket.units.size()) > bucket.ownerCount[OwnerSlot(owner)];
}

void UnitsNear(float x, float y, float radius, std::vector<int>& out)
{
    out.clear();
    int reach = int(std::ceil(radius / BucketPixels));
    int bx = BucketOf(x), by = BucketOf(y);
    for (int cx = std::max(0, bx - reach); cx <= std::min(BucketSide - 1, bx + reach); cx++)
        for (int cy = std::max(0, by - reach); cy <= std::min(BucketSide - 1, by + reach); cy++) {
            const std::vector<int>& units = Buckets[cx][cy].units;
            out.insert(out.end(), units.begin(), units.end());
        }
    std::sort(out.begin(), out.end());
}
