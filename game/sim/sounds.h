// game/sim/sounds.h - the world's sounds: weapons, explosions and hits where they happen, and
// the voice lines that report to the player.
#pragma once

// An effect sound (with the effects option on) of something at a world pixel. With stereo on
// it is quieter the farther it is from the pointer (100 - distance / 10) and placed to its side.
void PlayWorldSound(int number, float worldX, float worldY);
// A voice line, with the voice option on.
void PlayVoice(int number);
// 1 when a world pixel lies on the visible playfield.
int OnScreen(float worldX, float worldY);
