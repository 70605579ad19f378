// game/ui/statistics.cpp - statistics samples.
#include "game/ui/statistics.h"

#include "game/sim/buildings.h"
#include "game/sim/gameloop.h"
#include "game/sim/units.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

std::vector<StatSample> StatTable[7];

void TakeStatisticsSample(int index)
{
    if (index < 0) return;
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

int StatPlayerShown[5] = {1, 1, 1, 1, 1};
int StatSeriesShown[3] = {1, 1, 1};

namespace {

void Plot(Image& image, int x, int y, uint32_t colour)
{
    if (x >= 0 && y >= 0 && x < image.width && y < image.height) image.pixels[size_t(y) * size_t(image.width) + size_t(x)] = colour;
}

// A straight line between two pixels, both ends included.
void Line(Image& image, int x0, int y0, int x1, int y1, uint32_t colour)
{
    int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int i = 0; i <= steps; i++) {
        float t = steps ? float(i) / float(steps) : 0;
        Plot(image, int(std::lround(x0 + (x1 - x0) * t)), int(std::lround(y0 + (y1 - y0) * t)), colour);
    }
}

const int PlayerColours[5][3] = {{0, 0, 0}, {64, 64, 255}, {255, 64, 64}, {64, 255, 64}, {255, 255, 64}};

// The player's colour with its full components lowered to `full` (the darker series).
uint32_t Shade(int player, int full)
{
    int c[3];
    for (int i = 0; i < 3; i++) c[i] = PlayerColours[player][i] == 255 ? full : PlayerColours[player][i];
    return PackColour(c[0], c[1], c[2]);
}

} // namespace

Image StatisticsPlot(int screenHeight)
{
    int h = int(0.4 * screenHeight);
    int samples = std::max(0, StatSampleIndex);
    Image image;
    MakeImage(image, samples < 300 ? 400 : samples + 100, h + 20, PackColour(32, 32, 32));
    for (int p = 1; p <= std::min(PlayerCount, 4); p++) {
        if (StatPlayerShown[p] != 1) continue;
        const std::vector<StatSample>& table = StatTable[p];
        for (int i = 1; i <= samples - 1 && size_t(i) < table.size(); i++) {
            const StatSample &from = table[size_t(i - 1)], &to = table[size_t(i)];
            if (StatSeriesShown[0] == 1) Line(image, i + 49, h - 4 * from.units, i + 50, h - 4 * to.units, Shade(p, 255));
            if (StatSeriesShown[1] == 1)
                Line(image, i + 49, h - 4 * from.buildings, i + 50, h - 4 * to.buildings, Shade(p, 191));
            if (StatSeriesShown[2] == 1)
                Line(image, i + 49, h - int(std::lround(0.01 * from.money)), i + 50, h - int(std::lround(0.01 * to.money)),
                     Shade(p, 128));
        }
    }
    return image;
}

Image StatisticsAxes(int screenHeight)
{
    int h = int(0.4 * screenHeight);
    Image image;
    MakeImage(image, 400, h + 20, 0);
    uint32_t white = PackColour(255, 255, 255);
    for (int x : {50, 350}) {
        Line(image, x, 0, x, h, white);
        for (int y = h; y >= 0; y -= 50) Line(image, x - 4, y, x + 4, y, white);
    }
    Line(image, 50, h, 350, h, white);
    return image;
}
