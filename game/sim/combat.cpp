// game/sim/combat.cpp - projectiles: flight, hits and what each weapon does.
//
// A shot hits what it overlaps in a sub-step: units by their radius (width / 4), buildings by
// the circle of their centre. Damage against units is scaled by the damage table; against
// buildings it is not. The tools travel as shots too: the hammer builds and repairs, the
// collecting shot takes spice from the ground or unloads it at an incinerator, and the
// pioneer's shot takes a building over.
#include "game/sim/combat.h"

#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/base/tables.h"
#include "game/sim/buckets.h"
#include "game/sim/buildings.h"
#include "game/sim/effects.h"
#include "game/sim/gamestate.h"
#include "game/sim/sounds.h"
#include "game/sim/units.h"
#include "game/sim/world.h"

#include <algorithm>
#include <cmath>

std::vector<Projectile> Projectiles;

static std::vector<int> NearbyUnits, NearbyBuildings;

enum ShotKind { HammerShot = 3011, CollectingShot = 3012, CaptureShot = 3007 };

void AddProjectile(int shooterId, float kind, int size, int owner, float x, float y, float heading, float speed,
                   float damage, float repair, float life)
{
    Projectiles.push_back(Projectile{shooterId, kind, size, owner, x, y, heading, speed, damage, repair, life});
}

float ProjectileLife(float shotSpeed, float range)
{
    if (shotSpeed <= 0) return 0;
    return float(std::lround(100.0 / shotSpeed * range * 4));
}

static Player& PlayerOf(int owner) { return Players[std::clamp(owner, 0, MaxPlayers)]; }

// ---- units ----

// Whether a shot acts on a unit: never its own side's (the hammer only on its own side's hurt
// towers), never a collecting shot.
static int HitsUnit(const Projectile& shot, const Unit& unit)
{
    int kind = int(shot.kind);
    if (kind == CollectingShot) return 0;
    if (kind == HammerShot) return IsTower(unit) && unit.owner == shot.owner && unit.hitPoints < unit.maxHitPoints;
    return unit.owner != shot.owner;
}

// A flash where a gun's shot strikes, so that a player sees what hits.
static void ImpactFlash(const Projectile& shot)
{
    if (shot.damage > 0 && int(shot.kind) < 3007) AddImpactFlash(shot.x, shot.y, shot.damage);
}

static void HitUnit(Projectile& shot, int index)
{
    Unit& unit = Units[size_t(index)];
    int kind = int(shot.kind);
    unit.hitPoints += shot.repair;
    shot.life = 0;
    ImpactFlash(shot);
    if (kind < CaptureShot) unit.hitPoints -= shot.damage * float(EffectTable[kind - 3000][std::clamp(unit.unitClass, 0, 6)]) / 1000;
    if (unit.owner == LocalPlayer && !OnScreen(unit.x * 32, unit.y * 32) && Rnd(20) == 1) PlayVoice(74);
    // Repaired past full: the builders are done with it.
    if (kind == HammerShot && unit.hitPoints > unit.maxHitPoints) DropTargetEverywhere(unit.id);
    if (unit.hitPoints <= 0 && unit.state == 0) {
        PlayerOf(shot.owner).unitsKilled++;
        PlayerOf(unit.owner).unitsLost++;
        DropTargetEverywhere(unit.id);
        unit.state = 1;
        UnitBucketMoved(index);
    }
    unit.hitPoints = std::min(unit.hitPoints, unit.maxHitPoints);
}

// Whether the shot lies inside a unit: within 64 pixels in both axes and nearer than its radius.
static int Touches(const Projectile& shot, const UnitSpot& spot)
{
    float dx = spot.x - shot.x, dy = spot.y - shot.y;
    if (std::fabs(dx) > 64 || std::fabs(dy) > 64) return 0;
    // The square is asked first, with room to spare: most spots of a cell lie well outside.
    float squared = dx * dx + dy * dy;
    return squared <= spot.radius * spot.radius * 1.0001f + 0.01f && std::sqrt(squared) < spot.radius;
}

// The units touched are found first and hit in list order after: a hit changes only the unit
// hit (and the shot's life, which the touch does not ask about). A unit that died in this
// sub-step is no longer there to be hit.
static void HitUnits(Projectile& shot)
{
    NearbyUnits.clear();
    float reach = float(WidestSpot()) / 32 + 0.01f;
    int left = int(std::floor(shot.x / 32 - reach)), right = int(std::floor(shot.x / 32 + reach));
    int top = int(std::floor(shot.y / 32 - reach)), bottom = int(std::floor(shot.y / 32 + reach));
    for (int cx = std::max(left, 0); cx <= std::min(right, 256); cx++) {
        int count = 0;
        const UnitSpot* spots = SpotsInColumn(cx, top, bottom, count);
        for (int i = 0; i < count; i++)
            if (Touches(shot, spots[i])) NearbyUnits.push_back(spots[i].index);
    }
    if (NearbyUnits.size() > 1) std::sort(NearbyUnits.begin(), NearbyUnits.end());
    for (int index : NearbyUnits) {
        const Unit& unit = Units[size_t(index)];
        if (unit.state == 0 && HitsUnit(shot, unit)) HitUnit(shot, index);
    }
}

// ---- buildings ----

// The harvester that fired an unloading shot empties one load into the incinerator.
static void Unload(const Projectile& shot, Building& incinerator)
{
    int harvester = FindUnit(float(shot.shooterId));
    if (harvester < 0 || Units[size_t(harvester)].load >= 0) return;
    Unit& unit = Units[size_t(harvester)];
    unit.load++;
    Player& player = PlayerOf(unit.owner);
    int money = 100 + 20 * player.research[13]; // 734, the improved incinerator
    player.money += money;
    player.spiceMoney += money;
    incinerator.smokeTimer = 40;
    EndOrder(unit); // it takes the incinerator again and fires when it is ready
}

// The pioneer's shot: the building changes hands; its former attackers let go, and the
// pioneers of other players who came for it are gone.
static void Capture(const Projectile& shot, Building& building)
{
    for (size_t i = 0; i < Units.size(); i++) {
        Unit& unit = Units[i];
        if (unit.target != float(building.id) || unit.typeId != 2107.0f || unit.owner == building.owner) continue;
        unit.state = 4;
        UnitBucketMoved(int(i));
    }
    DropTargetEverywhere(float(building.id));
    building.owner = shot.owner;
}

static void HitBuilding(Projectile& shot, Building& building)
{
    int kind = int(shot.kind);
    int complete = IsComplete(building);
    if (kind == HammerShot && complete && building.hitPoints >= building.maxHitPoints) return;
    if (kind == CollectingShot && building.typeId != 1300) return;
    // Guns and the pioneer's shot pass their own side's buildings; the tools work on them. A
    // shot that hit its own side's buildings would make every defence wreck what it defends:
    // the guard towers behind a base's walls shoot them down, units fighting in their own base
    // blow up its buildings, and anything still going up falls at the first stray shot.
    if ((shot.damage > 0 || kind == CaptureShot) && building.owner == shot.owner) return;
    building.hitPoints += shot.repair;
    if (building.hitPoints > building.maxHitPoints) building.buildProgress += shot.repair;
    shot.life = 0;
    ImpactFlash(shot);
    building.hitPoints -= shot.damage;
    if (building.owner == LocalPlayer && kind < 3010 && !OnScreen(building.x * 32, building.y * 32) && Rnd(10) == 1) PlayVoice(72);
    // What is still being built falls at the first damaging shot.
    if (shot.damage > 0 && !complete) building.hitPoints = 0;
    if (kind == HammerShot && building.hitPoints >= building.maxHitPoints && IsComplete(building))
        DropTargetEverywhere(float(building.id));
    if (kind == CaptureShot) Capture(shot, building);
    if (kind == CollectingShot) Unload(shot, building);
    if (building.hitPoints <= 0 && building.state == 0) {
        PlayerOf(shot.owner).buildingsDestroyed++;
        PlayerOf(building.owner).buildingsLost++;
        DropTargetEverywhere(float(building.id));
        building.state = 1;
    }
    building.hitPoints = std::min(building.hitPoints, building.maxHitPoints);
    building.buildProgress = std::min(building.buildProgress, building.buildTotal);
}

static int Touches(const Projectile& shot, const Building& building)
{
    if (building.state != 0) return 0;
    float dx = building.x * 32 + float(building.width / 4) - shot.x, dy = building.y * 32 + float(building.height / 4) - shot.y;
    return std::fabs(dx) <= 128 && std::fabs(dy) <= 128 && std::sqrt(dx * dx + dy * dy) < float(building.width / 4);
}

static void HitBuildings(Projectile& shot)
{
    NearbyBuildings.clear();
    if (!MayHitBuildings(shot.x / 32, shot.y / 32)) return;
    BucketRange range = BucketsAround(shot.x / 32, shot.y / 32, float(WidestBuilding() / 4) + 1);
    for (int bx = range.left; bx <= range.right; bx++)
        for (int by = range.top; by <= range.bottom; by++)
            for (int index : BucketBuildings(bx, by))
                if (Touches(shot, Buildings[size_t(index)])) NearbyBuildings.push_back(index);
    if (NearbyBuildings.size() > 1) std::sort(NearbyBuildings.begin(), NearbyBuildings.end());
    for (int index : NearbyBuildings)
        if (Buildings[size_t(index)].state == 0) HitBuilding(shot, Buildings[size_t(index)]);
}

// ---- spice ----

static void CollectSpice(Projectile& shot)
{
    int x = int(std::floor(shot.x / 32 + 0.5f)), y = int(std::floor(shot.y / 32 + 0.5f));
    if (x < 1 || y < 1 || x > MapWidth - 2 || y > MapHeight - 2 || TerrainGrid[x][y] != SpiceColour) return;
    shot.life = 0;
    SpiceCellHarvested(x, y);
    int harvester = FindUnit(float(shot.shooterId));
    if (harvester >= 0) {
        Unit& unit = Units[size_t(harvester)];
        unit.load++;
        EndOrder(unit);
        if (unit.load > 4) unit.load = -unit.load; // full: off to the incinerator
    }
    DropTargetEverywhere(float(TileIdAt(x, y)));
}

// ---- trails and the plasma split ----

static void LeaveTrail(const Projectile& shot)
{
    float size = 8;
    switch (int(shot.kind)) {
    case 3001:
    case 3002:
    case 3004: AddEffect(int(shot.kind) + 100, size, shot.x, shot.y, 0, shot.heading, float(100 + Rnd(55))); break;
    case 3003: AddEffect(3103, size, shot.x, shot.y, 0, shot.heading, 155); break;
    case 3005:
        AddEffect(3105, size, shot.x, shot.y, float(-Rnd(30)), shot.heading + float(Rnd(100) - 50), float(55 + Rnd(100)));
        break;
    case 3006: AddEffect(3106, size, shot.x, shot.y, 0, shot.heading + float(Rnd(60) - 30), float(55 + Rnd(100))); break;
    default: break;
    }
}

// A plasma ball sometimes splits: a smaller copy veers off, and both carry 0.6 of the damage.
static void SplitPlasma(size_t index)
{
    Projectile& shot = Projectiles[index];
    if (int(shot.kind) != 3005 || shot.size < 16 || Rnd(4) != 1) return;
    Projectile copy = shot;
    copy.size = shot.size - 2;
    copy.heading = shot.heading + float(Rnd(40) - 20);
    copy.speed = shot.speed * float(5 + Rnd(5)) * 0.1f;
    shot.damage *= 0.6f;
    copy.damage = shot.damage;
    Projectiles.push_back(copy); // `shot` may move with the list: it is not used after this
}

static int FarOffMap(const Projectile& shot)
{
    float right = float(MapWidth * 32) + ShotReachOffMap, bottom = float(MapHeight * 32) + ShotReachOffMap;
    return !(shot.x >= -ShotReachOffMap && shot.y >= -ShotReachOffMap && shot.x <= right && shot.y <= bottom);
}

static void StepShots()
{
    for (size_t i = 0; i < Projectiles.size(); i++) {
        Projectile& shot = Projectiles[i];
        shot.life -= 1;
        if (shot.heading != shot.stepHeading || shot.speed != shot.stepSpeed) {
            float radians = shot.heading * DegreesToRadians;
            shot.stepX = std::cos(radians) * shot.speed / 10;
            shot.stepY = std::sin(radians) * shot.speed / 10;
            shot.stepHeading = shot.heading;
            shot.stepSpeed = shot.speed;
        }
        shot.x += shot.stepX;
        shot.y += shot.stepY;
        if (FarOffMap(shot)) shot.life = 0;
        HitUnits(shot);
        HitBuildings(shot);
        if (int(shot.kind) == CollectingShot) CollectSpice(shot);
        LeaveTrail(shot);
        SplitPlasma(i);
    }
    Projectiles.erase(std::remove_if(Projectiles.begin(), Projectiles.end(), [](const Projectile& shot) { return shot.life <= 0; }),
                      Projectiles.end());
}

// Units and buildings stand still through a frame's sub-steps and no record is added or
// removed, so their places, buckets and the id index are gathered once for all sub-steps. A
// unit or building that falls in one sub-step keeps its place in them; the hits ask for its
// state and pass it by.
void ProjectileSteps(int count)
{
    if (count <= 0) return;
    IndexUnits();
    IndexBuildings();
    FreezeUnitSpots();
    RebuildBuildingBuckets();
    for (int step = 0; step < count; step++) StepShots();
}

void ProjectileStep() { ProjectileSteps(1); }
