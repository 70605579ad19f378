// game/sim/combat.cpp - projectiles: flight, hits and what each weapon does.
#include "game/sim/combat.h"

#include "game/shell/frame.h"

#include <algorithm>
#include <cmath>

std::vector<Projectile> Projectiles;

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

void ProjectileStep()
{
    for (size_t i = 0; i < Projectiles.size(); i++) {
        Projectile& shot = Projectiles[i];
        shot.life -= 1;
        float radians = shot.heading * DegreesToRadians;
        shot.x += std::cos(radians) * shot.speed / 10;
        shot.y += std::sin(radians) * shot.speed / 10;
    }
    Projectiles.erase(std::remove_if(Projectiles.begin(), Projectiles.end(), [](const Projectile& shot) { return shot.life <= 0; }),
                      Projectiles.end());
}
