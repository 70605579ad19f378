// bench/battle_scene.h - the big battle the frame budget is held to: the largest free map, six
// armies of 1000 units in all meeting in its middle, 200 buildings, 2000 shots in flight. The
// game's assets and tables must be loaded; the view is left over the battle.
#pragma once

#include "game/base/common.h"
#include "game/base/config.h"
#include "game/play/gameloop.h"
#include "game/sim/buildings.h"
#include "game/sim/combat.h"
#include "game/sim/effects.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "game/view/gamedraw.h"

#include <algorithm>
#include <cmath>

// Whether a footprint of w x h cells at x, y lies on open ground.
inline int BattleGroundFree(int x, int y, int w, int h)
{
    for (int cx = x; cx < x + w; cx++)
        for (int cy = y; cy < y + h; cy++)
            if (cx < 1 || cy < 1 || cx >= MapWidth - 1 || cy >= MapHeight - 1 || ObstacleGrid[cx][cy] != 0) return 0;
    return 1;
}

// Tops the shots in flight up to `count`: every weapon, fired by units of the battle.
inline void TopUpBattleShots(size_t count)
{
    while (Projectiles.size() < count && !Units.empty()) {
        const Unit& shooter = Units[size_t(Rnd(int(Units.size()) - 1))];
        int weapon = 1 + Rnd(5);
        AddProjectile(int(shooter.id), float(3000 + weapon), 16, shooter.owner, shooter.x * 32 + float(Rnd(160) - 80),
                      shooter.y * 32 + float(Rnd(160) - 80), float(Rnd(359)), float(30 + Rnd(110)), 10, 0, float(40 + Rnd(160)));
    }
}

// Tops the shots in flight up to `count` as the armies fire them: the simulation walks its
// units in order and a unit whose weapon has reloaded fires, from its front along its heading,
// with its weapon's speed, damage and flight. Reloads are out of step, so about one unit in
// four is ready when the walk comes by.
// The unit the walk of FireBattleShots comes to next; a battle staged anew starts at the first,
// so that every benchmark of it sees the same battle whatever ran before.
inline size_t BattleFireNext = 0;

inline void FireBattleShots(size_t count)
{
    for (int tries = 0; Projectiles.size() < count && !Units.empty() && tries < 100000; tries++) {
        const Unit& unit = Units[BattleFireNext++ % Units.size()];
        if (unit.weapon < 1 || unit.weapon > 7 || unit.shotSpeed <= 0 || Rnd(3) != 0) continue;
        float radians = unit.heading * DegreesToRadians;
        AddProjectile(int(unit.id), float(3000 + unit.weapon), 16, unit.owner, unit.x * 32 + std::cos(radians) * float(unit.width / 4),
                      unit.y * 32 + std::sin(radians) * float(unit.width / 4), unit.heading, unit.shotSpeed, unit.damage,
                      unit.repairAmount, ProjectileLife(unit.shotSpeed, unit.range));
    }
}

// Units and buildings are made too tough to fall, so that every frame of a run is alike.
inline void StageBigBattle()
{
    SetConfigurationDefaults();
    SeedRandom(1);
    BattleFireNext = 0;
    LocalPlayer = 1;
    MissionMode = 0;
    MapNumber = FreeMapCount; // the last free map is the largest
    StartHour = 12;
    StormSetting = 0;
    ResetGameState();
    LoadMapTerrain(MapNumber);
    StartNewGame(1);
    FogOn = -1;
    const int centreX = MapWidth / 2, centreY = MapHeight / 2;

    // 200 buildings: most at the six bases, a ring of them round the field of battle.
    static const int baseTypes[] = {1100, 1300, 1400, 1210, 1240, 1200, 1420, 1410, 1100, 1220};
    for (int p = 1, tries = 0; Buildings.size() < 160 && tries < 20000; tries++, p = 1 + p % PlayerCount) {
        int type = baseTypes[tries % 10];
        Building building = MakeBuilding(NextObjectId += 10, type, p, float(Players[p].startX + Rnd(30) - 15),
                                         float(Players[p].startY + Rnd(30) - 15), 0);
        if (!BattleGroundFree(int(building.x), int(building.y), FootprintWidth(building), FootprintHeight(building))) continue;
        AddBuilding(building);
        RecomputeObstacles();
    }
    for (int i = 0; Buildings.size() < 200 && i < 20000; i++) {
        float angle = float(i) * 9 * DegreesToRadians, radius = float(19 + i / 40 % 8);
        int x = centreX + int(std::lround(radius * std::cos(angle))), y = centreY + int(std::lround(radius * std::sin(angle)));
        Building building = MakeBuilding(NextObjectId += 10, i % 3 ? 1100 : 1000, 1 + i % PlayerCount, float(x), float(y), 0);
        if (!BattleGroundFree(x, y, FootprintWidth(building), FootprintHeight(building))) continue;
        AddBuilding(building);
        RecomputeObstacles();
    }
    for (Building& building : Buildings) {
        building.maxHitPoints = building.hitPoints = 1e9f;
        building.buildProgress = building.buildTotal;
    }
    JoinWalls();
    RecomputeObstacles();

    // 1000 units: each army fills its sixth of a disc round the middle, so that every army
    // touches two others; a third of each is sent towards the far side.
    static const int army[] = {2101, 2201, 2302, 2304, 2402, 2404, 2501, 2505, 2604, 2605, 2606, 2203, 2305, 2103, 1052};
    Units.clear();
    for (int i = 0, tries = 0; Units.size() < 1000 && tries < 100000; tries++) {
        int owner = 1 + i % std::min(PlayerCount, 6), type = army[i % 15];
        float angle = (float(owner) * 60 + float(Rnd(55))) * DegreesToRadians, radius = 2 + float(Rnd(1600)) / 100;
        float x = float(centreX) + radius * std::cos(angle), y = float(centreY) + radius * std::sin(angle);
        if (!BattleGroundFree(int(x), int(y), 1, 1)) continue;
        if (type == 1052) x = std::floor(x) + 0.5f, y = std::floor(y) + 0.5f;
        int index = AddUnit(MakeUnit(float(NextObjectId += 10), type, owner, x, y, type == 1052 ? 1 : 2, 0));
        Unit& unit = Units[size_t(index)];
        unit.maxHitPoints = unit.hitPoints = 1e9f;
        if (i % 3 == 0 && type != 1052) {
            unit.destX = float(2 * centreX) - x;
            unit.destY = float(2 * centreY) - y;
        }
        i++;
    }
    for (int p = 1; p <= PlayerCount; p++) {
        Players[p].kind = p == 1 ? 0 : 1;
        Players[p].energy = 10;
        Players[p].attackTarget = p == 1 ? 0 : 1 + p % PlayerCount;
    }
    TopUpBattleShots(2000);
    Zoom = 0.5f;
    DrawScale = UiScale * Zoom;
    CamX = 384 / Zoom - float(centreX) * 32;
    CamY = 384 / Zoom - float(centreY) * 32;
    ClampCamera();
}
