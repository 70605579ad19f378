// game/base/common.h - small helpers every part of the game uses: angles, distances, chance.
#pragma once

// Adds or subtracts 360 until 0 <= a < 360.
int NormalizeAngle(int a);
// Straight-line distance between two points given in whole numbers.
float Distance(int x1, int y1, int x2, int y2);

// The game's one random source: a whole number from 0 to n, both included (0 for n <= 0).
int Rnd(int n);
// Restarts the random source; tests seed it to replay a game exactly.
void SeedRandom(unsigned int seed);
