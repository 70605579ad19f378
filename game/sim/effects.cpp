// game/sim/effects.cpp - effects: made by the dying and the burning, aged as they are drawn.
#include "game/sim/effects.h"

#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/sim/buildings.h"
#include "game/sim/gamestate.h"
#include "game/sim/sounds.h"
#include "game/sim/units.h"
#include "game/sim/world.h"

#include <algorithm>
#include <cmath>

std::vector<Effect> Effects;

// The effects the game adds for the eye alone (flashes where shots strike, smoke over badly hurt
// vehicles) throw their own dice: a draw from the game's random numbers would shift every draw
// the rules make after it, and so the game itself.
static unsigned int CosmeticSeed = 12345;
static int CosmeticRnd(int n)
{
    CosmeticSeed = CosmeticSeed * 1103515245u + 12345u;
    return n <= 0 ? 0 : int((CosmeticSeed >> 16) % unsigned(n + 1));
}

void AddEffect(int kind, float size, float x, float y, float drift, float angle, float life)
{
    Effect effect{kind, size, x, y, drift, angle, life};
    if (drift != 0) {
        effect.cosAngle = std::cos(angle * DegreesToRadians);
        effect.sinAngle = std::sin(angle * DegreesToRadians);
    }
    Effects.push_back(effect);
}

static int IsStormDust(int kind) { return kind >= 31 && kind <= 33; }
static int IsTrack(int kind) { return kind >= 2051 && kind <= 2656; }

int IsGroundMark(int kind) { return kind == 19 || IsTrack(kind); }

// How fast each kind fades and swells, per game second. A blast is over in a moment, smoke
// hangs about, tracks and debris lie for a while.
struct Ageing {
    int first, last;
    float fade, growth;
};
static const Ageing AgeingRates[] = {
    {18, 18, 30, 0.3f},       // flash
    {19, 19, 1.2f, 0},        // debris
    {20, 20, 8, 0.25f},       // fire cloud
    {21, 21, 10, 0.3f},       // blast
    {22, 24, 2.5f, 0.12f},    // smoke
    {1422, 1422, 12, -0.05f}, // repair sparkle
    {3101, 3101, 20, 0},      // MG tracer
    {3102, 3102, 16, 0},      // shell tracer
    {3103, 3103, 25, 0},      // laser
    {3104, 3104, 6, 0.15f},   // rocket exhaust
    {3105, 3106, 11, 0.05f},  // plasma and ion glow
    {2051, 2656, 0.6f, 0},    // tracks
};

// Looked up for every effect of every frame, so the table is spread out by kind once.
static const Ageing& AgeingOf(int kind)
{
    static const Ageing other = {0, 0, 4, 0.02f};
    constexpr int Kinds = 4096;
    static const Ageing* byKind[Kinds] = {};
    static int spread = 0;
    if (!spread) {
        for (const Ageing*& rate : byKind) rate = &other;
        // Backwards, so that where rows overlap the first one holds, as a walk down the table finds.
        for (size_t row = std::size(AgeingRates); row-- > 0;)
            for (int k = AgeingRates[row].first; k <= AgeingRates[row].last; k++) byKind[k] = &AgeingRates[row];
        spread = 1;
    }
    return kind >= 0 && kind < Kinds ? *byKind[kind] : other;
}

void AgeEffects()
{
    // The effects that live on are moved up over the gone ones as the walk goes, in one pass.
    size_t kept = 0;
    for (size_t i = 0; i < Effects.size(); i++) {
        Effect effect = Effects[i];
        // Most effects (trails, tracks, flashes) stay where they were left; the rest drift
        // along their angle, which only storm dust turns.
        if (effect.drift != 0) {
            if (IsStormDust(effect.kind)) {
                effect.cosAngle = std::cos(effect.angle * DegreesToRadians);
                effect.sinAngle = std::sin(effect.angle * DegreesToRadians);
            }
            effect.x += effect.cosAngle * effect.drift * 0.02f * GameSpeed;
            effect.y += effect.sinAngle * effect.drift * 0.02f * GameSpeed;
        }
        if (IsStormDust(effect.kind)) {
            // Dust rides with its storm, swells, turns and thins out.
            size_t storm = size_t(effect.kind - 31);
            if (storm < Sandstorms.size()) {
                float direction = Sandstorms[storm].direction * DegreesToRadians;
                effect.x += std::cos(direction) * 0.1f * GameSpeed;
                effect.y += std::sin(direction) * 0.1f * GameSpeed;
            }
            effect.life -= 0.4f * GameSpeed;
            effect.size += 0.06f * GameSpeed;
            effect.angle -= 0.25f * GameSpeed;
        } else {
            const Ageing& rate = AgeingOf(effect.kind);
            effect.life -= rate.fade * GameSpeed;
            effect.size = std::max(1.0f, effect.size + rate.growth * GameSpeed);
        }
        // Written over its own place or a gone one's in any case: whether a trail lives on is a
        // toss-up from effect to effect, which a branch would guess wrong half the time.
        Effects[kept] = effect;
        kept += !(effect.life < 1);
    }
    Effects.resize(kept);
}

// ---- what burns and dies ----

// An explosion at a random point of a square of `side` world pixels around a centre.
static void Burst(float centreX, float centreY, float side)
{
    float x = centreX + float(Rnd(int(side))) - side / 2, y = centreY + float(Rnd(int(side))) - side / 2;
    AddEffect(21, float(15 + Rnd(15)), x, y, float(Rnd(20)), float(Rnd(359)), float(170 + Rnd(80)));
}

static int IsTroop(const Unit& unit) { return unit.typeId >= 2100.0f && unit.typeId <= 2200.0f; }

static void DyingUnit(const Unit& unit)
{
    float x = unit.x * 32, y = unit.y * 32;
    if (!IsTroop(unit)) {
        int count = int(std::lround(std::pow(unit.width / 64.0, 2) * 20));
        for (int i = 0; i < count; i++) Burst(x, y, float(unit.width) / 2);
    }
    if (unit.state == 3) PlayWorldSound(IsTroop(unit) ? 1211 + Rnd(1) : 1200 + Rnd(1), x, y);
}

static void DyingBuilding(const Building& building)
{
    float side = float(building.width) / 2;
    float x = building.x * 32 + side / 2, y = building.y * 32 + float(building.height) / 4;
    int count = int(std::lround(std::pow(building.width / 64.0, 2) * 10));
    for (int i = 0; i < count; i++) Burst(x, y, side);
    if (BloodEffects == 1)
        for (int i = 0; i < building.width / 64 * 3; i++)
            AddEffect(19, float(10 + Rnd(14)), x + float(Rnd(int(side))) - side / 2, y + float(Rnd(int(side))) - side / 2, 0,
                      float(Rnd(359)), 255);
    if (building.state == 3) PlayWorldSound(building.width < 150 ? 1102 : 1103, x, y);
}

// A fed incinerator sends up smoke from its chimney now and then until its timer runs out.
static void IncineratorSmoke(Building& building)
{
    if (SmokeEffects != 1 || building.typeId != 1300 || building.smokeTimer <= 0 || !IsComplete(building) || Rnd(1) != 0)
        return;
    building.smokeTimer--;
    float x = building.x * 32 + float(building.width) * 0.32f, y = building.y * 32 + float(building.height) * 0.12f;
    for (int i = 0; i < int(std::ceil(GameSpeed)); i++)
        AddEffect(Rnd(1) ? 22 : 24, float(8 + Rnd(6)), x + float(Rnd(6) - 3), y, float(8 + Rnd(10)), float(260 + Rnd(20)),
                  float(110 + Rnd(60)));
}

// A badly hurt vehicle smoulders.
static void HurtVehicleSmoke(const Unit& unit)
{
    if (SmokeEffects != 1 || unit.state != 0 || IsTroop(unit) || IsTower(unit) || unit.hitPoints >= unit.maxHitPoints * 0.4f ||
        CosmeticRnd(7) != 0)
        return;
    AddEffect(24, float(6 + CosmeticRnd(5)), unit.x * 32, unit.y * 32, float(6 + CosmeticRnd(6)), float(250 + CosmeticRnd(40)),
              float(90 + CosmeticRnd(50)));
}

void AddImpactFlash(float x, float y, float damage)
{
    AddEffect(18, std::min(26.0f, 8 + damage / 2), x, y, 0, float(CosmeticRnd(359)), 200);
}

void EmitFrameEffects()
{
    for (const Unit& unit : Units) {
        if (unit.state > 0) DyingUnit(unit);
        else HurtVehicleSmoke(unit);
    }
    for (Building& building : Buildings) {
        if (building.state > 0) DyingBuilding(building);
        else IncineratorSmoke(building);
    }
}
