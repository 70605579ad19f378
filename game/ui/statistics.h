// game/ui/statistics.h - the samples of units, buildings and money taken during a game.
#pragma once

#include <vector>

struct StatSample {
    int units = 0;
    int buildings = 0;
    int money = 0;
};

// Samples per player (1..6), one per sample index; emptied when a new game is built.
extern std::vector<StatSample> StatTable[7];

// Counts every player's units, buildings and money into sample `index`.
void TakeStatisticsSample(int index);
void ClearStatistics();
