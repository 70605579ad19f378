// game/sim/units.cpp - unit records, their creation, and the unit pass.
//
// One pass a frame walks the units in list order; each unit in turn arrives, moves, takes its
// bearing for its target, plans, steers, fires, makes room for itself, looks for targets and
// does its work. A unit moved by another during the pass is where that move put it when its
// own turn comes.
#include "game/sim/units.h"

#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/base/tables.h"
#include "game/sim/buckets.h"
#include "game/sim/buildings.h"
#include "game/sim/combat.h"
#include "game/sim/effects.h"
#include "game/sim/gamestate.h"
#include "game/sim/idindex.h"
#include "game/sim/paths.h"
#include "game/sim/sounds.h"
#include "game/sim/unitscan.h"
#include "game/sim/world.h"
#include "platform/pictures.h"

#include <algorithm>
#include <cmath>

std::vector<Unit> Units;
std::vector<OrderMarker> OrderMarkers;

static IdIndex<Unit> UnitIndex;

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

void IndexUnits() { UnitIndex.Rebuild(Units); }
int FindUnit(float id) { return UnitIndex.Find(Units, (long long)id); }

// ---- small geometry ----

static float PixelDistance(float x1, float y1, float x2, float y2)
{
    float dx = (x2 - x1) * 32, dy = (y2 - y1) * 32;
    return std::sqrt(dx * dx + dy * dy);
}

// The way from one point to another in whole degrees, 0 = +x, 90 = down, from the rounded
// pixel differences; the first quadrant's angle is mirrored into the other three.
static float HeadingTowards(float fromX, float fromY, float toX, float toY, float otherwise)
{
    float dx = std::round((toX - fromX) * 32), dy = std::round((toY - fromY) * 32);
    if (dx == 0 && dy == 0) return otherwise;
    float d = std::fabs(dx) < 1e-6f ? 90.0f : std::atan(std::fabs(dy) / std::fabs(dx)) / DegreesToRadians;
    if (dx <= 0 && dy > 0) return 180 - d;
    if (dx <= 0 && dy <= 0) return 180 + d;
    if (dx > 0 && dy <= 0) return 360 - d;
    return d;
}

// How far the heading is off a desired one, the short way round: -180..180.
static float HeadingError(float heading, float desired)
{
    float error = std::fmod(desired - heading, 360.0f);
    if (error > 180) error -= 360;
    if (error <= -180) error += 360;
    return error;
}

void KeepOnMap(Unit& unit)
{
    float right = std::max(0.5f, float(MapWidth) - 0.5f), bottom = std::max(0.5f, float(MapHeight) - 0.5f);
    unit.x = std::clamp(unit.x, 0.5f, right);
    unit.y = std::clamp(unit.y, 0.5f, bottom);
}

// ---- targets ----

static int CellOf(float v) { return int(std::floor(v)); }

// The regions the unit's search spreads into, asked once for all the cells it looks at.
struct Reach {
    int regions[4] = {};
    int count = 0;
    explicit Reach(const Unit& unit) { count = StartRegions(CellOf(unit.x), CellOf(unit.y), regions); }
    int Has(int region) const { return region && std::find(regions, regions + count, region) != regions + count; }
};

// Whether an edge cell of a building has a free cell beside it that the unit's search reaches.
static int EdgeCellApproachable(const Reach& reach, int x, int y)
{
    return reach.Has(RegionAt(x, y - 1)) || reach.Has(RegionAt(x + 1, y)) || reach.Has(RegionAt(x, y + 1)) ||
           reach.Has(RegionAt(x - 1, y));
}

// The centre of the edge cell nearest to the unit that it can come to; 0 (and the point left
// alone) when there is none.
static int NearestApproachableEdge(const Unit& unit, const Reach& reach, const Building& building, float& x, float& y)
{
    int left = CellOf(building.x), top = CellOf(building.y);
    int right = left + FootprintWidth(building) - 1, bottom = top + FootprintHeight(building) - 1;
    float best = -1;
    for (int cx = left; cx <= right; cx++)
        for (int cy = top; cy <= bottom; cy++) {
            if (cx != left && cx != right && cy != top && cy != bottom) continue;
            float d = std::hypot(float(cx) + 0.5f - unit.x, float(cy) + 0.5f - unit.y);
            if ((best >= 0 && d >= best) || !EdgeCellApproachable(reach, cx, cy)) continue;
            best = d;
            x = float(cx) + 0.5f;
            y = float(cy) + 0.5f;
        }
    return best >= 0;
}

int TargetPoint(const Unit& unit, float& x, float& y)
{
    if (unit.target <= 0) return 0;
    if (unit.target < FirstObjectId) {
        int cx = 0, cy = 0;
        if (!TileCell(int(unit.target), cx, cy)) return 0;
        x = float(cx);
        y = float(cy);
        return 1;
    }
    int other = FindUnit(unit.target);
    if (other >= 0) {
        x = Units[size_t(other)].x;
        y = Units[size_t(other)].y;
        return 1;
    }
    int found = FindBuilding(int(unit.target));
    if (found < 0) return 0;
    // The nearest cell of the building's edge, half a cell inside it.
    const Building& building = Buildings[size_t(found)];
    x = std::clamp(unit.x, building.x + 0.5f, building.x + float(FootprintWidth(building)) - 0.5f);
    y = std::clamp(unit.y, building.y + 0.5f, building.y + float(FootprintHeight(building)) - 0.5f);
    // An edge cell walled in by a neighbour (a solar cell built flush against it) cannot be
    // reached: the search would fail and the order with it, turn after turn. The nearest edge
    // cell the unit can come to serves instead.
    Reach reach(unit);
    if (!EdgeCellApproachable(reach, CellOf(x), CellOf(y))) NearestApproachableEdge(unit, reach, building, x, y);
    return 1;
}

int CanApproach(const Unit& unit, const Building& building)
{
    float x = 0, y = 0;
    return NearestApproachableEdge(unit, Reach(unit), building, x, y);
}

void EndOrder(Unit& unit)
{
    unit.target = -1;
    unit.holdTarget = -1;
    unit.path.clear();
    unit.destX = unit.waypointX = unit.x;
    unit.destY = unit.waypointY = unit.y;
}

void DropTargetEverywhere(float id)
{
    for (size_t i = 0; i < Units.size(); i++)
        if (Units[i].target == id) EndOrder(Units[i]);
}

// Units this computer steers: its player's and the computer opponents'; a network partner
// steers his own.
static int SteeredHere(const Unit& unit)
{
    return unit.owner == LocalPlayer || Players[std::clamp(unit.owner, 0, MaxPlayers)].kind == 1;
}

void TakeWorkTarget(Unit& unit, float id)
{
    unit.target = id;
    unit.path.clear();
    float x = 0, y = 0;
    if (SteeredHere(unit) && TargetPoint(unit, x, y)) {
        unit.destX = x;
        unit.destY = y;
    }
}

void GiveUpPushedPath(Unit& unit)
{
    // The unit follows a way it cannot drive from where it stands: a cached path comes from a
    // search up to three cells away, and its first leg may run into a cliff, or two units meet
    // head-on in a gap on the same path. The cache would hand out that way, or another one from
    // elsewhere, again and again; a search from its own cell starts where it is.
    if (!unit.path.empty()) unit.failedGoal = unit.pathGoal;
    unit.path.clear();
    unit.pushCount = 0;
    // A harvester pushed about on its way to a point (a crowded rally point) goes to work.
    if (IsHarvester(unit) && unit.stance == 3 && unit.target == 0) unit.target = -1;
}

// ---- the steps of one unit ----

// Waiting units come at their hour; until then they take no part in anything.
static int Arrived(Unit& unit, int index)
{
    if (unit.state >= 0) return 1;
    if (-unit.state * 3600 >= ElapsedSeconds) return 0;
    unit.state = 0;
    UnitBucketMoved(index);
    return 1;
}

static void AddOrderMarker(const Unit& unit)
{
    if (unit.selection != 2.0f || unit.target < 0) return;
    float x = unit.destX, y = unit.destY;
    if (unit.target > 0 && !TargetPoint(unit, x, y)) return;
    for (const OrderMarker& marker : OrderMarkers)
        if (marker.target == unit.target && (unit.target > 0 || (marker.x == x && marker.y == y))) return;
    int attack = unit.target > 0 && unit.typeId >= 2003.0f;
    OrderMarkers.push_back(OrderMarker{attack ? 1501 : 1502, x, y, unit.target});
}

static void Integrate(Unit& unit, int index)
{
    if (unit.state > 0) unit.state++;
    unit.heading += unit.turnSpeed * GameSpeed;
    unit.reload += GameSpeed;
    // Most units of a battle stand and fire; for them the step is nought, and needs no angle.
    if (unit.speed != 0 || !std::isfinite(unit.heading)) {
        float radians = unit.heading * DegreesToRadians;
        unit.x += std::cos(radians) * unit.speed / 100 / 32 * GameSpeed;
        unit.y += std::sin(radians) * unit.speed / 100 / 32 * GameSpeed;
    }
    if (unit.turnSpeed > 0.1f) unit.turnSpeed -= 0.1f;
    else if (unit.turnSpeed < -0.1f) unit.turnSpeed += 0.1f;
    else unit.turnSpeed = 0;
    // The heading keeps its fraction: rounded to whole degrees every frame, a slow turn (under
    // half a degree a frame, as at game speed 1) would never leave the degree it started on.
    unit.heading = std::fmod(unit.heading, 360.0f);
    if (unit.heading < 0) unit.heading += 360.0f;
    if (unit.heading >= 360.0f) unit.heading = 0;
    unit.speed = std::max(0.0f, unit.speed);
    KeepOutOfFootprints(unit);
    KeepOnMap(unit);
    UnitBucketMoved(index);
}

// A builder is done when its building stands complete and unhurt, or its tower is repaired.
static int BuilderIsDone(const Unit& unit)
{
    int building = FindBuilding(int(unit.target));
    if (building >= 0) {
        const Building& b = Buildings[size_t(building)];
        return IsComplete(b) && b.hitPoints >= b.maxHitPoints;
    }
    int tower = FindUnit(unit.target);
    return tower >= 0 && IsTower(Units[size_t(tower)]) && Units[size_t(tower)].hitPoints >= Units[size_t(tower)].maxHitPoints;
}

// Now and then the destination follows the target, for the units this computer steers.
static void ApproachTarget(Unit& unit)
{
    if (unit.target <= 0 || !SteeredHere(unit)) return;
    if (Rnd(5) != 1) return;
    float x = 0, y = 0;
    if (!TargetPoint(unit, x, y)) {
        EndOrder(unit);
        return;
    }
    if (IsBuilder(unit) && unit.target >= FirstObjectId && BuilderIsDone(unit)) {
        if (unit.owner == LocalPlayer && FindBuilding(int(unit.target)) >= 0) PlayVoice(44);
        EndOrder(unit);
        return;
    }
    // Every unit goes for its target, in stance 1 too: "without pursuit" means it makes no plan
    // to get there and drives straight at it, so it fires at what it has picked.
    unit.destX = x;
    unit.destY = y;
}

// The unit takes a path to the destination cell `goal`.
static void FollowPath(Unit& unit, const std::string& path, int goal)
{
    unit.path = path;
    unit.pushCount = 0;
    unit.pathGoal = goal;
}

// A wavefront search when the unit has somewhere to go and no path yet; one search a frame
// for all units, any number of paths taken from the cache.
static void PlanPath(Unit& unit)
{
    if (PathfindingOn != 1 || IsTower(unit) || !unit.path.empty()) return;
    // A point order always plans; otherwise a unit plans for any far destination, target or
    // not, unless it is in stance 1.
    int wants = unit.target == 0 || (unit.stance != 1 && PixelDistance(unit.x, unit.y, unit.destX, unit.destY) > unit.range * 32);
    if (!wants) return;
    int sx = CellOf(unit.x), sy = CellOf(unit.y);
    int dx = std::clamp(CellOf(unit.destX), 0, MaxPathCoordinate), dy = std::clamp(CellOf(unit.destY), 0, MaxPathCoordinate);
    // The last step needs no search: the unit drives straight at its destination.
    if (std::abs(sx - dx) <= 1 && std::abs(sy - dy) <= 1) return;
    int goal = CellKey(dx, dy);
    const PathCacheEntry* cached = unit.failedGoal == goal ? nullptr : FindCachedPath(sx, sy, dx, dy);
    if (cached) {
        FollowPath(unit, cached->path, goal);
        return;
    }
    if (PathSearchesThisFrame >= 1) return;
    PathSearchesThisFrame++;
    std::string path;
    if (SearchPath(sx, sy, dx, dy, path)) {
        FollowPath(unit, path, goal);
        CachePath(sx, sy, dx, dy, path);
        return;
    }
    if (unit.owner == LocalPlayer) PlayVoice(unit.target > 0 ? 28 : 24);
    EndOrder(unit);
    unit.stance = 0;
}

static void ChooseWaypoint(Unit& unit)
{
    if (PathPoints(unit.path) > 1) {
        unit.waypointX = float(PathCoordinate(unit.path[0])) + 0.5f;
        unit.waypointY = float(PathCoordinate(unit.path[1])) + 0.5f;
    } else {
        unit.waypointX = unit.destX;
        unit.waypointY = unit.destY;
    }
}

// What a unit heads for this frame.
struct Bearing {
    float desired = 0;     // heading it turns to
    float toWaypoint = 0;  // pixels
    float toTarget = 0;    // pixels to the target's point
    int hasTarget = 0;     // the target exists
    int inReach = 0;       // close enough to fire at it
};

// A collecting harvester works at arm's length; everything else fires from range.
static float FireReach(const Unit& unit)
{
    return IsHarvester(unit) && unit.load >= 0 ? 31.0f : unit.range * 32 + 32;
}

static Bearing TakeBearing(const Unit& unit)
{
    Bearing bearing;
    bearing.toWaypoint = PixelDistance(unit.x, unit.y, unit.waypointX, unit.waypointY);
    bearing.desired = HeadingTowards(unit.x, unit.y, unit.waypointX, unit.waypointY, unit.heading);
    float tx = 0, ty = 0;
    if (unit.target > 0 && TargetPoint(unit, tx, ty)) {
        bearing.hasTarget = 1;
        bearing.toTarget = PixelDistance(unit.x, unit.y, tx, ty);
        bearing.inReach = bearing.toTarget <= FireReach(unit);
        // In reach, a unit turns to face its target: a tower or a unit holding its place has
        // no way to go that would point its gun there.
        if (bearing.inReach) bearing.desired = HeadingTowards(unit.x, unit.y, tx, ty, unit.heading);
    }
    return bearing;
}

static void Steer(Unit& unit, const Bearing& bearing)
{
    float error = HeadingError(unit.heading, bearing.desired);
    float limit = unit.turnRate / 10;
    if (error > 0) unit.turnSpeed = std::min(unit.turnSpeed + 0.2f, limit);
    else if (error < 0) unit.turnSpeed = std::max(unit.turnSpeed - 0.2f, -limit);
}

// Faster while there is room to stop and the unit faces its way; slower when it must stop or
// faces away from it.
static void SetSpeed(Unit& unit, const Bearing& bearing)
{
    float room = 0;
    if (unit.target > 0 && bearing.hasTarget) {
        float margin = IsHarvester(unit) && unit.stance == 3 ? unit.range * 8 : unit.range * 32;
        room = bearing.toTarget - margin;
    } else if (unit.target == 0) {
        room = bearing.toWaypoint + (PathPoints(unit.path) > 1 ? 32 : 0);
    }
    float allowed = std::sqrt(std::max(0.0f, room) * 100);
    float error = std::fabs(HeadingError(unit.heading, bearing.desired));
    // A step never goes past what is allowed: at a high game speed one step of 2 x GameSpeed is
    // more than the speed the last few pixels allow, and the unit would stop short for good.
    if (unit.speed < unit.maxSpeed && unit.speed < allowed && error < 10)
        unit.speed = std::min(unit.speed + 2 * GameSpeed, std::min(unit.maxSpeed, allowed));
    if (unit.speed > allowed || error > 90) unit.speed -= 2 * GameSpeed;
    unit.speed = std::max(0.0f, unit.speed);
}

static void ReachPoints(Unit& unit)
{
    if (!unit.path.empty()) {
        float px = float(PathCoordinate(unit.path[0])) + 0.5f, py = float(PathCoordinate(unit.path[1])) + 0.5f;
        if (PixelDistance(unit.x, unit.y, px, py) < 16) unit.path.erase(0, 2);
    }
    float toDestination = PixelDistance(unit.x, unit.y, unit.destX, unit.destY);
    if (toDestination < 8) {
        unit.speed = 0;
        if (unit.target == 0) unit.target = -1;
    }
}

static void Fire(Unit& unit, const Bearing& bearing)
{
    if (unit.target > 0 && bearing.hasTarget && bearing.inReach && unit.reload >= unit.firePeriod &&
        std::fabs(HeadingError(unit.heading, bearing.desired)) < 20) {
        float radians = unit.heading * DegreesToRadians;
        float x = unit.x * 32, y = unit.y * 32;
        // A collecting harvester works where it stands; every other gun fires from its front.
        if (!(IsHarvester(unit) && unit.load >= 0)) {
            x += std::cos(radians) * float(unit.width / 4);
            y += std::sin(radians) * float(unit.width / 4);
        }
        AddProjectile(int(unit.id), float(3000 + unit.weapon), 16, unit.owner, x, y, unit.heading, unit.shotSpeed,
                      unit.damage, unit.repairAmount, ProjectileLife(unit.shotSpeed, unit.range));
        PlayWorldSound(3000 + unit.weapon, x, y);
    }
    if (unit.reload >= unit.firePeriod) unit.reload = 0;
}

// The harvester's round: spice while it has room, the incinerator when it is full. A point
// order within a cell of its point counts as done: others standing there (a factory's rally
// point, where each new harvester joins the last) would keep it from ever ending, and the
// harvester from ever starting its round.
static void HarvesterWork(Unit& unit)
{
    if (!IsHarvester(unit) || unit.stance != 3) return;
    if (unit.target == 0 && PixelDistance(unit.x, unit.y, unit.destX, unit.destY) < 32) unit.target = -1;
    if (unit.target != -1) return;
    int target = unit.load >= 0 ? NearestSpiceTile(unit) : NearestIncinerator(unit);
    if (target > 0) TakeWorkTarget(unit, float(target));
}

// A unit sees around the 2 x 2 cells at its feet: every cell within its range + 1 of one of them.
static void RevealAroundUnit(const Unit& unit)
{
    if (!RenderThisFrame || FogOn != 1 || unit.owner != LocalPlayer) return;
    int reach = int(unit.range) + 1, radius = std::min(12, reach);
    int left = CellOf(unit.x) - 1, top = CellOf(unit.y) - 1;
    for (int dx = -radius; dx <= radius + 1; dx++)
        for (int dy = -radius; dy <= radius + 1; dy++) {
            // Offsets from the nearest of the four foot cells, each within the radius.
            int ox = dx < 0 ? dx : dx > 1 ? dx - 1 : 0, oy = dy < 0 ? dy : dy > 1 ? dy - 1 : 0;
            if (ox >= -radius && ox <= radius && oy >= -radius && oy <= radius && ox * ox + oy * oy < reach * reach)
                MarkCellSeen(left + dx, top + dy);
        }
}

static void LeaveTrack(Unit& unit)
{
    if (!RenderThisFrame || TrackEffects != 1 || IsTower(unit) || NetworkGame) return;
    float moved = std::hypot(unit.x - unit.trackX, unit.y - unit.trackY);
    if (moved <= 0.4f && std::fabs(HeadingError(unit.heading, unit.trackHeading)) <= 30) return;
    AddEffect(int(unit.typeId) + 50, float(unit.width) / 2, unit.x * 32, unit.y * 32, 0, unit.heading, 160);
    unit.trackX = unit.x;
    unit.trackY = unit.y;
    unit.trackHeading = unit.heading;
}

static void UnitStep(int index)
{
    Unit& unit = Units[size_t(index)];
    if (!Arrived(unit, index)) return;
    AddOrderMarker(unit);
    Integrate(unit, index);
    if (unit.state > 0) return; // a dying unit only rolls on until it is removed
    ApproachTarget(unit);
    if (IsTower(unit)) {
        unit.destX = unit.x;
        unit.destY = unit.y;
    }
    PlanPath(unit);
    ChooseWaypoint(unit);
    Bearing bearing = TakeBearing(unit);
    Steer(unit, bearing);
    SetSpeed(unit, bearing);
    ReachPoints(unit);
    Fire(unit, bearing);
    SpaceUnits(index);
    SearchTarget(index);
    RememberThreats(index);
    HarvesterWork(unit);
    RevealAroundUnit(unit);
    LeaveTrack(unit);
}

// Units at state 4 (or beyond, when removed outright) leave the list; whoever aimed at them gives up.
static void SweepRemovedUnits()
{
    int towerGone = 0;
    std::vector<float> gone;
    for (const Unit& unit : Units) {
        if (unit.state < 4) continue;
        gone.push_back(unit.id);
        towerGone |= IsTower(unit);
        if (unit.owner == LocalPlayer && !OnScreen(unit.x * 32, unit.y * 32) && Rnd(2) == 0) PlayVoice(84);
    }
    if (gone.empty()) return;
    Units.erase(std::remove_if(Units.begin(), Units.end(), [](const Unit& unit) { return unit.state >= 4; }), Units.end());
    IndexUnits();
    for (float id : gone) DropTargetEverywhere(id);
    if (towerGone) RecomputeObstacles();
}

void UnitPass()
{
    IndexUnits();
    IndexBuildings();
    RebuildUnitBuckets();
    PrepareUnitScan();
    PathSearchesThisFrame = 0;
    for (size_t i = 0; i < Units.size(); i++) UnitStep(int(i));
    SweepRemovedUnits();
}
