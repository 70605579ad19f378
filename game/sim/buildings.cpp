// game/sim/buildings.cpp - building and player records.
#include "game/sim/buildings.h"

#include "game/shell/tables.h"
#include "game/sim/gameloop.h"
#include "game/sim/idindex.h"
#include "game/sim/paths.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "platform/pictures.h"

#include <algorithm>
#include <cmath>

std::vector<Building> Buildings;
Player Players[MaxPlayers + 1];
int PlayerCount = 0;
int ObstacleGrid[257][257];

// Factories hand their stance to the units they make: routine work for the work vehicle
// factory, pursuit for the combat factories.
static int FactoryStance(int typeId)
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

void BuildingPass()
{
    for (size_t i = 0; i < Buildings.size(); i++)
        if (Buildings[i].state < 0 && -Buildings[i].state * 3600 < ElapsedSeconds) Buildings[i].state = 0;
}

// ---- lookups and footprints ----

static IdIndex<Building> BuildingIndex;

void IndexBuildings() { BuildingIndex.Rebuild(Buildings); }
int FindBuilding(int id) { return BuildingIndex.Find(Buildings, id); }

int FootprintWidth(const Building& building) { return std::max(1, building.width / 64); }
int FootprintHeight(const Building& building) { return std::max(1, building.height / 64); }

// ---- obstacles and walls ----

static int IsCliffTile(int sprite) { return (sprite >= 4301 && sprite <= 4329) || (sprite >= 4501 && sprite <= 4529); }

static void BlockCell(int x, int y)
{
    if (x >= 0 && y >= 0 && x <= 256 && y <= 256) ObstacleGrid[x][y] = -1;
}

void RecomputeObstacles()
{
    for (auto& column : ObstacleGrid)
        for (int& cell : column) cell = -1;
    for (int x = 1; x <= MapWidth - 2; x++)
        for (int y = 1; y <= MapHeight - 2; y++) ObstacleGrid[x][y] = 0;
    for (const GroundTile& tile : GroundTiles)
        if (IsCliffTile(tile.sprite)) BlockCell(tile.x, tile.y);
    for (int p = 0; p <= MaxPlayers; p++) Players[p].labCount = 0;
    for (const Building& building : Buildings) {
        if (building.typeId == 1400 && building.owner >= 0 && building.owner <= MaxPlayers) Players[building.owner].labCount++;
        int left = int(std::floor(building.x)), top = int(std::floor(building.y));
        for (int x = left; x < left + FootprintWidth(building); x++)
            for (int y = top; y < top + FootprintHeight(building); y++) BlockCell(x, y);
    }
    for (const Unit& unit : Units)
        if (IsTowerType(int(unit.typeId))) BlockCell(int(std::floor(unit.x)), int(std::floor(unit.y)));
    ClearPathCache();
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
