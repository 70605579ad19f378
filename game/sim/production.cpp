// game/sim/production.cpp - the building pass: what buildings do every frame.
//
// A factory or lab works off its queue entry by entry: each entry is ten characters, the
// item's id in four and its time in six. Time runs at a fifth of its pace without energy,
// and a lab's runs as many times faster as its player has labs, since all of them work on the
// same research.
#include "game/base/common.h"
#include "game/base/numbers.h"
#include "game/base/tables.h"
#include "game/sim/buckets.h"
#include "game/sim/buildings.h"
#include "game/sim/effects.h"
#include "game/sim/gamestate.h"
#include "game/sim/paths.h"
#include "game/sim/research.h"
#include "game/sim/sounds.h"
#include "game/sim/units.h"
#include "game/sim/world.h"

#include <algorithm>
#include <cmath>

static std::vector<int> Nearby;
static std::vector<int> BecameTowers; // ids of the tower buildings that turned into units this pass

static Player& OwnerOf(const Building& building) { return Players[std::clamp(building.owner, 0, MaxPlayers)]; }

// ---- production ----

static void TakeNextEntry(Building& building)
{
    if (building.currentItem != 0 || building.queue.size() < 10) return;
    building.currentItem = ReadNumber(TrimSpaces(building.queue.substr(0, 4), 1));
    building.total = building.remaining = float(ReadNumber(TrimSpaces(building.queue.substr(4, 6), 1)));
    building.queue.erase(0, 10);
}

static void WorkOnItem(Building& building)
{
    if (building.typeId == 1300) return; // an incinerator makes nothing
    TakeNextEntry(building);
    if (building.remaining <= 0) return;
    float pace = GameSpeed * (OwnerOf(building).energy < 1 ? 0.2f : 1.0f);
    if (building.typeId == 1400) pace *= float(OwnerOf(building).labCount);
    building.remaining -= pace;
}

// The ground beside a factory a finished unit comes out on: where the rules put it, leaving
// across the nearest edge, unless that side opens only onto a pocket that cliffs and other
// buildings close in (a rally corner against a cliff, a lab built next to it later). A unit
// there could never leave it; it comes out instead on the widest ground beside the factory,
// at the cell nearest its rally point.
static void StepOutOfFactory(const Building& factory, Unit& unit)
{
    Unit leaving = unit;
    float dx = 0, dy = 0;
    MoveOutOfFootprint(factory, leaving, dx, dy);
    int side = RegionAt(int(std::floor(leaving.x)), int(std::floor(leaving.y)));
    int left = int(std::floor(factory.x)) - 1, top = int(std::floor(factory.y)) - 1;
    int right = left + FootprintWidth(factory) + 1, bottom = top + FootprintHeight(factory) + 1;
    auto forEachCellAround = [&](auto visit) {
        for (int x = left; x <= right; x++)
            for (int y = top; y <= bottom; y++)
                if (x == left || x == right || y == top || y == bottom) visit(x, y);
    };
    int widest = 0;
    forEachCellAround([&](int x, int y) {
        if (RegionSize(RegionAt(x, y)) > RegionSize(widest)) widest = RegionAt(x, y);
    });
    if (widest == 0 || RegionSize(side) >= RegionSize(widest)) return;
    float nearest = -1;
    forEachCellAround([&](int x, int y) {
        float d = std::hypot(float(x) + 0.5f - factory.rallyX, float(y) + 0.5f - factory.rallyY);
        if (RegionAt(x, y) != widest || (nearest >= 0 && d >= nearest)) return;
        nearest = d;
        unit.x = float(x) + 0.5f;
        unit.y = float(y) + 0.5f;
    });
}

// A finished unit steps out at the factory's middle, a hundredth of the way to the rally point,
// and drives there with the factory's stance.
static void FinishUnit(Building& building)
{
    int typeId = building.currentItem;
    float x = building.x + 1.5f + (building.rallyX - building.x - 1.5f) / 100;
    float y = building.y + 1.5f + (building.rallyY - building.y - 1.5f) / 100;
    NextObjectId += 10;
    Unit unit = MakeUnit(float(NextObjectId), typeId, building.owner, std::round(x), std::round(y), building.stance, 0);
    StepOutOfFactory(building, unit);
    unit.destX = unit.waypointX = building.rallyX;
    unit.destY = unit.waypointY = building.rallyY;
    unit.heading = float(NormalizeAngle(int(std::lround(std::atan2(building.rallyY - unit.y, building.rallyX - unit.x) / 0.017453292f))));
    unit.target = 0;
    unit.holdTarget = -1;
    unit.group = -1;
    AddUnit(unit);
    if (building.owner == LocalPlayer) PlayVoice(typeId >= 2101 && typeId <= 2199 ? 41 : 42);
    building.currentItem = 0;
}

static void FinishItems(Building& building)
{
    if (building.remaining > 0 || building.currentItem == 0) return;
    if (building.currentItem > 1000) {
        FinishUnit(building);
    } else if (building.currentItem >= 701 && building.currentItem <= 999) {
        CompleteResearch(building.owner, building.currentItem);
        building.currentItem = 0;
    }
}

// ---- healing and pushing ----

static void Regenerate(const Building& building)
{
    if (building.typeId != 1420 || !IsComplete(building)) return;
    float cx = building.x + float(building.width) / 128, cy = building.y + float(building.height) / 128;
    UnitsNear(cx, cy, 3 * 32 + 1, Nearby);
    for (int index : Nearby) {
        Unit& unit = Units[size_t(index)];
        if (unit.state != 0 || unit.hitPoints >= unit.maxHitPoints || std::hypot(unit.x - cx, unit.y - cy) >= 3) continue;
        unit.hitPoints = std::min(unit.maxHitPoints, unit.hitPoints + 0.02f);
        if (RenderThisFrame && Rnd(9) == 0)
            AddEffect(1422, float(6 + Rnd(4)), unit.x * 32 + float(Rnd(16) - 8), unit.y * 32 + float(Rnd(16) - 8), 10, 270, 200);
    }
}

// No unit may stand inside a footprint: one that comes within a few pixels of it is moved out,
// and one pushed out too often gives up its path.
static void PushUnitsOut(const Building& building)
{
    UnitsNear(building.x + float(FootprintWidth(building)) / 2, building.y + float(FootprintHeight(building)) / 2,
              float(std::max(FootprintWidth(building), FootprintHeight(building)) * 16 + 3 * 32), Nearby);
    for (int index : Nearby) {
        Unit& unit = Units[size_t(index)];
        if (unit.state != 0 || IsTower(unit)) continue;
        if (!PushOutOfFootprint(building, unit)) continue;
        KeepOnMap(unit);
        UnitBucketMoved(index);
    }
}

// A finished guard tower becomes the gun that stands in its cell; it keeps the building's id,
// so whoever aimed at the tower still does.
static void RaiseTower(Building& building)
{
    if (!IsTowerType(building.typeId) || !IsComplete(building)) return;
    Unit tower = MakeUnit(float(building.id), building.typeId, building.owner, std::floor(building.x) + 0.5f,
                          std::floor(building.y) + 0.5f, 1, 0);
    AddUnit(tower);
    BecameTowers.push_back(building.id);
}

// ---- the pass ----

static void BuildingStep(size_t index)
{
    Building& building = Buildings[index];
    if (building.state < 0) {
        if (-building.state * 3600 < ElapsedSeconds) building.state = 0;
        else return;
    }
    if (building.typeId == 1410 && building.owner == LocalPlayer && IsComplete(building)) MinimapAvailable = 1;
    if (building.state > 0) {
        building.state++;
        return;
    }
    if (IsComplete(building)) {
        WorkOnItem(building);
        FinishItems(building);
        Regenerate(building);
    }
    PushUnitsOut(building);
    RaiseTower(building);
}

// Destroyed buildings (state 4) and the towers that became units leave the list.
static void SweepBuildings()
{
    int wallGone = 0, removed = 0;
    std::vector<float> gone;
    for (const Building& building : Buildings) {
        int tower = std::find(BecameTowers.begin(), BecameTowers.end(), building.id) != BecameTowers.end();
        if (building.state < 4 && !tower) continue;
        removed = 1;
        if (tower) continue;
        gone.push_back(float(building.id));
        wallGone |= building.typeId < 1020;
        if (building.owner == LocalPlayer && !OnScreen(building.x * 32, building.y * 32) && Rnd(2) == 0) PlayVoice(82);
    }
    if (!removed) return;
    Buildings.erase(std::remove_if(Buildings.begin(), Buildings.end(),
                                   [](const Building& b) {
                                       return b.state >= 4 || std::find(BecameTowers.begin(), BecameTowers.end(), b.id) != BecameTowers.end();
                                   }),
                    Buildings.end());
    BecameTowers.clear();
    IndexBuildings();
    IndexUnits();
    for (float id : gone) DropTargetEverywhere(id);
    if (wallGone) JoinWalls();
    RecomputeObstacles();
}

void BuildingPass()
{
    IndexBuildings();
    IndexUnits();
    RebuildUnitBuckets();
    MinimapAvailable = 0;
    BecameTowers.clear();
    // Labs speed their owner's research: counted afresh each frame, since a lab changes hands
    // without any building coming or going (a pioneer's capture, a partner's snapshot).
    CountLabs();
    for (size_t i = 0; i < Buildings.size(); i++) BuildingStep(i);
    SweepBuildings();
}
