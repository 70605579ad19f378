// game/sim/statsamples.h - the samples of units, buildings and money taken during a game.
#pragma once

#include <vector>

struct StatSample {
    int units = 0;
    int buildings = 0;
    int money = 0;
};

// A sample is taken every 384 game seconds; the samples stop growing after this many, some
// 7000 game hours, far beyond any game played. A save file holds no more.
constexpr int MostStatSamples = 65536;

// Samples per player (1..6), one per sample index; emptied when a new game is built.
extern std::vector<StatSample> StatTable[7];

// Counts every player's units, buildings and money into sample `index`.
void TakeStatisticsSample(int index);
void ClearStatistics();
