// game/sim/units.cpp - unit records and their creation.
#include "game/sim/units.h"

#include "game/shell/tables.h"
#include "game/sim/gameloop.h"
#include "platform/pictures.h"

std::vector<Unit> Units;

Unit MakeUnit(float id, int typeId, int owner, float x, float y, int stance, int state)
{
    UnitType row = LookupUnitType(typeId);
    WeaponType weapon = LookupWeaponType(row.weapon);
    Unit unit;
    unit.id = id;
    unit.typeId = float(typeId);
    unit.unitClass = row.armourClass;
    unit.owner = owner;
    unit.hitPoints = unit.maxHitPoints = float(row.hitPoints);
    unit.x = unit.destX = unit.waypointX = x;
    unit.y = unit.destY = unit.waypointY = y;
    unit.turnRate = float(row.turnRate);
    unit.maxSpeed = float(row.maxSpeed);
    unit.weapon = row.weapon;
    unit.range = float(weapon.range);
    unit.shotSpeed = float(weapon.shotSpeed);
    unit.firePeriod = float(weapon.firePeriod);
    unit.harvestAmount = float(weapon.harvestAmount);
    unit.damage = float(weapon.damage);
    unit.repairAmount = float(weapon.repairAmount);
    unit.stance = stance;
    unit.state = state;
    return unit;
}

int AddUnit(const Unit& unit)
{
    Units.push_back(unit);
    Unit& added = Units.back();
    added.width = PictureWidth(int(unit.typeId));
    added.height = PictureHeight(int(unit.typeId));
    return int(Units.size()) - 1;
}

void UnitPass()
{
    // Units waiting for their hour arrive; moving and fighting come with their own rules.
    // By index: the rules append units while the list is walked.
    for (size_t i = 0; i < Units.size(); i++)
        if (Units[i].state < 0 && -Units[i].state * 3600 < ElapsedSeconds) Units[i].state = 0;
}
