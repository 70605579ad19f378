// game/base/common.cpp - angles, distances and the random source.
#include "game/base/common.h"

#include <cmath>
#include <cstdint>
#include <random>

// The standard twister's numbers from 32-bit words: std::mt19937 keeps its state in 64-bit
// words here, which makes every draw of a busy battle's trails and flashes slower for nothing.
using Twister = std::mersenne_twister_engine<std::uint32_t, 32, 624, 397, 31, 0x9908b0dfu, 11, 0xffffffffu, 7, 0x9d2c5680u, 15,
                                             0xefc60000u, 18, 1812433253u>;
static Twister RandomSource(3050u);

int NormalizeAngle(int a)
{
    a %= 360;
    return a < 0 ? a + 360 : a;
}

float Distance(int x1, int y1, int x2, int y2)
{
    double dx = double(x1) - x2, dy = double(y1) - y2;
    return float(std::sqrt(dx * dx + dy * dy));
}

int Rnd(int n)
{
    if (n <= 0) return 0;
    return int(RandomSource() % (unsigned(n) + 1u));
}

void SeedRandom(unsigned int seed) { RandomSource.seed(seed); }
