// game/shell/common.cpp - angles, distances and the random source.
#include "game/shell/common.h"

#include <cmath>
#include <random>

static std::mt19937 RandomSource(3050u);

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
