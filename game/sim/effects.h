// game/sim/effects.h - projectiles and visual effects: records, lists and their per-frame steps.
#pragma once

#include <vector>

struct Projectile {
    float shooterId = 0;  // id of the unit or tower that fired
    int kind = 0;         // 3000 + weapon
    float size = 16;
    int owner = 0;
    float x = 0, y = 0;   // world pixels
    float heading = 0;    // degrees
    float speed = 0;      // pixels per sub-step x 10
    float damage = 0;     // "ZK"
    float repair = 0;     // "HK"
    float life = 0;       // sub-steps left
};

struct Effect {
    int kind = 0;        // sprite: 21 explosion, 19..24 smoke and debris, 31..33 sandstorm dust, ...
    float size = 0;
    float x = 0, y = 0;  // world pixels
    float drift = 0;     // speed along the angle
    float angle = 0;     // degrees
    float life = 0;      // also the drawing opacity 0..255
};

extern std::vector<Projectile> Projectiles;
extern std::vector<Effect> Effects;

void AddEffect(int kind, float size, float x, float y, float drift, float angle, float life);
// One sub-step of every projectile with its hits; the shots themselves come with combat.
void ProjectileStep();
// Moves, grows, turns and fades the effects of a drawn frame; removes the spent ones.
void AgeEffects();
