// game/sim/combat.h - shots: every weapon's effect travels as a projectile, and what a
// projectile meets decides what happens (damage, building, repair, harvest, capture).
#pragma once

#include <vector>

struct Projectile {
    int shooterId = 0;  // id of the unit or tower that fired
    float kind = 0;     // 3000 + weapon: 3001..3007, 3011 hammer, 3012 collecting
    int size = 16;      // 16 when fired; split plasma shots are 2 smaller
    int owner = 0;      // player of the shooter
    float x = 0, y = 0; // world pixels
    float heading = 0;  // degrees
    float speed = 0;    // pixels per sub-step x 10
    float damage = 0;   // "ZK"
    float repair = 0;   // "HK"
    float life = 0;     // sub-steps left
    // Not kept in files: the sub-step's move, worked out again only when heading or speed change.
    float stepX = 0, stepY = 0, stepHeading = -1e9f, stepSpeed = 0;
};

extern std::vector<Projectile> Projectiles; // all players' shots, walked by index

// Pixels past the map's edge at which a shot is gone: it can hit nothing out there, and a shot
// of the rules never flies that far (40 x its range).
constexpr float ShotReachOffMap = 4096;

void AddProjectile(int shooterId, float kind, int size, int owner, float x, float y, float heading, float speed,
                   float damage, float repair, float life);
// Sub-steps a shot of this speed lives to fly 40 x range pixels: round(100 / speed x range x 4).
float ProjectileLife(float shotSpeed, float range);
// One sub-step of every projectile with its hits.
void ProjectileStep();
// A frame's sub-steps, GameSpeed (rounded) of them: the same as as many single steps, with
// what the shots look up about units and buildings gathered once.
void ProjectileSteps(int count);
