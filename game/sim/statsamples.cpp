// game/sim/statsamples.cpp - statistics samples.
#include "game/sim/statsamples.h"

#include "game/sim/buildings.h"
#include "game/sim/units.h"

std::vector<StatSample> StatTable[7];

void TakeStatisticsSample(int index)
{
    if (index < 0 || index > MostStatSamples) return;
    for (int p = 1; p <= PlayerCount && p <= MaxPlayers; p++) {
        StatSample sample;
        for (const Unit& unit : Units) sample.units += unit.owner == p;
        for (const Building& building : Buildings) sample.buildings += building.owner == p;
        sample.money = Players[p].money;
        if (StatTable[p].size() <= size_t(index)) StatTable[p].resize(size_t(index) + 1);
        StatTable[p][size_t(index)] = sample;
    }
}

void ClearStatistics()
{
    for (auto& samples : StatTable) samples.clear();
}
