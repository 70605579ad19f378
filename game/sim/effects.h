// game/sim/effects.h - visual effects (explosions, smoke, trails, marks, dust): the record, the
// list and their ageing in drawn frames.
#pragma once

#include <vector>


struct Effect {
    int kind = 0;        // sprite: 21 explosion, 19..24 smoke and debris, 31..33 sandstorm dust, ...
    float size = 0;
    float x = 0, y = 0;  // world pixels
    float drift = 0;     // speed along the angle
    float angle = 0;     // degrees
    float life = 0;      // also the drawing opacity 0..255
};

extern std::vector<Effect> Effects;

void AddEffect(int kind, float size, float x, float y, float drift, float angle, float life);
// Moves, grows, turns and fades the effects of a drawn frame; removes the spent ones.
void AgeEffects();
