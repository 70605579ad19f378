// game/sim/effects.cpp - effects age as they are drawn; projectiles fly in sub-steps.
#include "game/sim/effects.h"

#include "game/shell/frame.h"
#include "game/sim/gameloop.h"
#include "game/sim/world.h"

#include <algorithm>
#include <cmath>

std::vector<Effect> Effects;

void AddEffect(int kind, float size, float x, float y, float drift, float angle, float life)
{
    Effects.push_back(Effect{kind, size, x, y, drift, angle, life});
}

static int IsStormDust(int kind) { return kind >= 31 && kind <= 33; }

void AgeEffects()
{
    for (size_t i = 0; i < Effects.size(); i++) {
        Effect& effect = Effects[i];
        float radians = effect.angle * DegreesToRadians;
        effect.x += std::cos(radians) * effect.drift * 0.02f * GameSpeed;
        effect.y += std::sin(radians) * effect.drift * 0.02f * GameSpeed;
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
            // Explosions, smoke and marks burn out faster than the slow dust.
            effect.life -= 4.0f * GameSpeed;
            effect.size += 0.02f * GameSpeed;
        }
    }
    Effects.erase(std::remove_if(Effects.begin(), Effects.end(), [](const Effect& effect) { return effect.life < 1; }),
                  Effects.end());
}
