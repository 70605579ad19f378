// game/sim/buildings.cpp - building and player records.
#include "game/sim/buildings.h"

#include "game/shell/tables.h"
#include "game/sim/gameloop.h"
#include "platform/pictures.h"

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
