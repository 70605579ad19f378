// game/sim/buildings.cpp - building and player records.
#include "game/sim/buildings.h"

#include "game/base/tables.h"
#include "game/sim/gamestate.h"
#include "game/sim/idindex.h"
#include "game/sim/paths.h"
#include "game/sim/research.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "platform/pictures.h"

#include <algorithm>
#include <cmath>

std::vector<Building> Buildings;
Player Players[MaxPlayers + 1];
int PlayerCount = 0;
int ObstacleGrid[257][257];
int MinimapAvailable = 0;

// Factories hand their stance to the units they make: routine work for the work vehicle
// factory, pursuit for the combat factories.
int FactoryStance(int typeId)
{
    if (typeId == 1200) return 3;
    if (typeId > 1200 && typeId <= 1260) return 2;
    return 0;
}

Building MakeBuilding(int id, int typeId, int owner, float x, float y, int hour)
{
    BuildingType row = LookupBuildingType(typeId);
    Building building;
    building.id = id;
    building.typeId = typeId;
    building.owner = owner;
    building.hitPoints = building.maxHitPoints = float(row.hitPoints);
    building.buildProgress = building.buildTotal = float(row.buildTime);
    building.x = x;
    building.y = y;
    building.energy = row.energy;
    building.stance = FactoryStance(typeId);
    building.state = -hour;
    return building;
}

int AddBuilding(const Building& building)
{
    Buildings.push_back(building);
    Building& added = Buildings.back();
    added.width = PictureWidth(added.typeId);
    added.height = PictureHeight(added.typeId);
    added.rallyX = added.x + float(added.width / 64);
    added.rallyY = added.y + float(added.height / 64);
    return int(Buildings.size()) - 1;
}


// ---- lookups and footprints ----

static IdIndex<Building> BuildingIndex;

void IndexBuildings() { BuildingIndex.Rebuild(Buildings); }
int FindBuilding(int id) { return BuildingIndex.Find(Buildings, id); }

int FootprintWidth(const Building& building) { return std::max(1, building.width / 64); }
int FootprintHeight(const Building& building) { return std::max(1, building.height / 64); }

// ---- footprints ----

// The building standing on each cell (its id), 0 where none: kept with the obstacle grid.
static int FootprintAt[257][257];

// The margin is small on purpose: a factory's rally point lies on its far corner, and a unit
// sent there must be able to arrive.
constexpr float FootprintMargin = 4; // pixels

int MoveOutOfFootprint(const Building& building, Unit& unit, float& dx, float& dy)
{
    float left = building.x * 32, top = building.y * 32;
    float right = left + float(FootprintWidth(building) * 32), bottom = top + float(FootprintHeight(building) * 32);
    float margin = std::min(FootprintMargin, float(unit.width / 4)), px = unit.x * 32, py = unit.y * 32;
    if (px <= left - margin || px >= right + margin || py <= top - margin || py >= bottom + margin) return 0;
    // Out across the nearest edge.
    float exits[4] = {px - (left - margin), (right + margin) - px, py - (top - margin), (bottom + margin) - py};
    int side = int(std::min_element(exits, exits + 4) - exits);
    float step = (exits[side] + 0.5f) / 32;
    dx = side == 0 ? -1.0f : side == 1 ? 1.0f : 0.0f;
    dy = side == 2 ? -1.0f : side == 3 ? 1.0f : 0.0f;
    unit.x += dx * step;
    unit.y += dy * step;
    return 1;
}

int PushOutOfFootprint(const Building& building, Unit& unit)
{
    float dx = 0, dy = 0;
    if (!MoveOutOfFootprint(building, unit, dx, dy)) return 0;
    // A unit that keeps running into a building follows a way that no longer exists.
    if (++unit.pushCount > 100) {
        GiveUpPushedPath(unit);
        unit.x += dx * float(unit.width) / 512;
        unit.y += dy * float(unit.width) / 512;
    }
    return 1;
}

// Only the building pass's push counts towards the limit: this one merely keeps a unit that a
// step or a neighbour put on a footprint off it, and must not cost it its path.
void KeepOutOfFootprints(Unit& unit)
{
    if (IsTower(unit)) return;
    int x = std::clamp(int(std::floor(unit.x)), 0, 256), y = std::clamp(int(std::floor(unit.y)), 0, 256);
    if (!FootprintAt[x][y]) return;
    int found = FindBuilding(FootprintAt[x][y]);
    float dx = 0, dy = 0;
    if (found >= 0 && Buildings[size_t(found)].state >= 0) MoveOutOfFootprint(Buildings[size_t(found)], unit, dx, dy);
}

// ---- obstacles and walls ----

static int IsCliffTile(int sprite) { return (sprite >= 4301 && sprite <= 4329) || (sprite >= 4501 && sprite <= 4529); }

static void BlockCell(int x, int y, int building = 0)
{
    if (x < 0 || y < 0 || x > 256 || y > 256) return;
    ObstacleGrid[x][y] = -1;
    if (building) FootprintAt[x][y] = building;
}

void RecomputeObstacles()
{
    for (auto& column : ObstacleGrid)
        for (int& cell : column) cell = -1;
    for (auto& column : FootprintAt)
        for (int& cell : column) cell = 0;
    for (int x = 1; x <= MapWidth - 2; x++)
        for (int y = 1; y <= MapHeight - 2; y++) ObstacleGrid[x][y] = 0;
    for (const GroundTile& tile : GroundTiles)
        if (IsCliffTile(tile.sprite)) BlockCell(tile.x, tile.y);
    CountLabs();
    for (const Building& building : Buildings) {
        int left = int(std::floor(building.x)), top = int(std::floor(building.y));
        for (int x = left; x < left + FootprintWidth(building); x++)
            for (int y = top; y < top + FootprintHeight(building); y++) BlockCell(x, y, building.id);
    }
    for (const Unit& unit : Units)
        if (IsTowerType(int(unit.typeId))) BlockCell(int(std::floor(unit.x)), int(std::floor(unit.y)));
    LabelRegions();
    ClearPathCache();
}

void CountLabs()
{
    for (int p = 0; p <= MaxPlayers; p++) Players[p].labCount = 0;
    for (const Building& building : Buildings)
        if (building.typeId == 1400 && building.owner >= 0 && building.owner <= MaxPlayers) Players[building.owner].labCount++;
}

void JoinWalls()
{
    // Where the walls stand, for the neighbour test.
    static unsigned char wallAt[257][257];
    for (auto& column : wallAt)
        for (unsigned char& cell : column) cell = 0;
    auto cellOf = [](float v) { return std::clamp(int(std::floor(v)), 0, 256); };
    for (const Building& building : Buildings)
        if (IsWall(building.typeId)) wallAt[cellOf(building.x)][cellOf(building.y)] = 1;
    auto wall = [](int x, int y) { return x >= 0 && y >= 0 && x <= 256 && y <= 256 && wallAt[x][y]; };
    for (Building& building : Buildings) {
        if (!IsWall(building.typeId)) continue;
        int x = cellOf(building.x), y = cellOf(building.y);
        building.typeId = 1000 + wall(x + 1, y) * 1 + wall(x, y + 1) * 2 + wall(x - 1, y) * 4 + wall(x, y - 1) * 8;
    }
}

// ---- energy ----

void ComputeEnergy()
{
    for (Player& player : Players) player.energy = 0;
    for (const Building& building : Buildings) {
        if (building.state != 0 || !IsComplete(building) || building.owner < 1 || building.owner > MaxPlayers) continue;
        Players[building.owner].energy += building.energy;
        if (building.typeId == 1100 && HasResearch(building.owner, 732)) Players[building.owner].energy++;
    }
    for (const Unit& unit : Units)
        if (IsTower(unit) && unit.state == 0 && unit.owner >= 1 && unit.owner <= MaxPlayers) Players[unit.owner].energy--;
}

// ---- placement ----

static int OverlapsCells(int ax, int ay, int aw, int ah, int bx, int by, int bw, int bh)
{
    return ax < bx + bw && bx < ax + aw && ay < by + bh && by < ay + ah;
}

int PlacementFaultAt(int typeId, int x, int y)
{
    int width = PictureWidth(typeId), height = PictureHeight(typeId);
    int cellsX = std::max(1, width / 64), cellsY = std::max(1, height / 64);
    int halfX = int(std::lround(width / 2.0 / 32)), halfY = int(std::lround(height / 2.0 / 32));
    if (x < 1 || y < 1 || x > MapWidth - halfX - 1 || y > MapHeight - halfY - 1) return PlacementOffMap;
    // Every tile whose position lies inside the footprint must be a full earth tile.
    for (int cx = x; cx < x + cellsX; cx++)
        for (int cy = y; cy < y + cellsY; cy++)
            if (!FullEarthAt(cx, cy)) return PlacementNotOnEarth;
    for (const Building& other : Buildings)
        if (OverlapsCells(x, y, cellsX, cellsY, int(std::floor(other.x)), int(std::floor(other.y)), FootprintWidth(other),
                          FootprintHeight(other)))
            return PlacementOccupied;
    for (const Unit& unit : Units)
        if (IsTower(unit) && OverlapsCells(x, y, cellsX, cellsY, int(std::floor(unit.x)), int(std::floor(unit.y)), 1, 1))
            return PlacementOccupied;
    return PlacementFits;
}

int AddPlacedBuilding(int owner, int typeId, int x, int y)
{
    BuildingType row = LookupBuildingType(typeId);
    Building building;
    building.id = NextObjectId;
    building.typeId = typeId;
    building.owner = owner;
    building.hitPoints = building.maxHitPoints = float(row.hitPoints);
    building.buildProgress = 1;
    building.buildTotal = float(std::max(1, row.buildTime));
    building.x = float(x);
    building.y = float(y);
    building.energy = row.energy;
    building.stance = FactoryStance(typeId);
    building.variant = VariantFor(owner, typeId);
    int index = AddBuilding(building);
    if (IsWall(typeId)) JoinWalls();
    RecomputeObstacles();
    return index;
}

int PlaceBuilding(int typeId, int x, int y)
{
    if (PlacementFaultAt(typeId, x, y) != PlacementFits) return 0;
    int cost = LookupBuildingType(typeId).price;
    Player& player = Players[std::clamp(LocalPlayer, 0, MaxPlayers)];
    if (player.money - cost < 0) return 0;
    NextObjectId += 10;
    player.money -= cost;
    AddPlacedBuilding(LocalPlayer, typeId, x, y);
    return 1;
}

// ---- selling ----

// Half the price, rounded down; every wall piece fetches half a plain wall.
static int SalePrice(int typeId)
{
    int id = IsWall(typeId) ? 1000 : typeId;
    return id >= 0 && id < CatalogueSize ? CataloguePrice[id] / 2 : 0;
}

int SaleValue()
{
    int value = 0;
    for (const Building& building : Buildings)
        if (building.selection == 2 && building.owner == LocalPlayer) value += SalePrice(building.typeId);
    for (const Unit& unit : Units)
        if (unit.selection == 2.0f && unit.owner == LocalPlayer) value += SalePrice(int(unit.typeId));
    return value;
}

void SellSelected()
{
    Players[std::clamp(LocalPlayer, 0, MaxPlayers)].money += SaleValue();
    std::vector<float> gone;
    auto sold = [](int selection, int owner) { return selection == 2 && owner == LocalPlayer; };
    for (const Building& building : Buildings)
        if (sold(building.selection, building.owner)) gone.push_back(float(building.id));
    for (const Unit& unit : Units)
        if (sold(int(unit.selection), unit.owner)) gone.push_back(unit.id);
    if (gone.empty()) return;
    Buildings.erase(std::remove_if(Buildings.begin(), Buildings.end(), [&](const Building& b) { return sold(b.selection, b.owner); }),
                    Buildings.end());
    Units.erase(std::remove_if(Units.begin(), Units.end(), [&](const Unit& u) { return sold(int(u.selection), u.owner); }), Units.end());
    IndexBuildings();
    IndexUnits();
    for (float id : gone) DropTargetEverywhere(id);
    JoinWalls();
    RecomputeObstacles();
}
