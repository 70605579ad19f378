// game/sim/effects.h - visual effects (explosions, smoke, debris, trails, sparkles, tracks,
// dust): the record, the list, their creation in drawn frames and their ageing.
#pragma once

#include <vector>

struct Effect {
    int kind = 0;        // its sprite: 18..24 explosions, debris and smoke, 31..33 sandstorm dust,
                         // 1422 sparkle, 3101..3106 shot trails, unit type + 50 tracks
    float size = 0;      // world pixels
    float x = 0, y = 0;  // world pixels
    float drift = 0;     // speed along the angle
    float angle = 0;     // degrees
    float life = 0;      // also the drawing opacity 0..255
    float cosAngle = 1, sinAngle = 0; // of the angle when it drifts, worked out once when made
};

extern std::vector<Effect> Effects; // emptied when a new game is built

void AddEffect(int kind, float size, float x, float y, float drift, float angle, float life);
// Tracks and debris lie on the ground under everything else and are drawn there, in plain
// blending; every other effect glows over the playfield.
int IsGroundMark(int kind);
// What the world shows in a drawn frame besides its objects: dying units and buildings burst
// and burn (with their sounds at state 3), incinerators that were fed smoke, hurt vehicles
// smoulder.
void EmitFrameEffects();
// Moves, grows, turns and fades the effects of a drawn frame; removes the spent ones.
void AgeEffects();
// A flash where a gun's shot strikes, sized by its damage: for the eye only, it changes nothing
// the rules decide.
void AddImpactFlash(float x, float y, float damage);
