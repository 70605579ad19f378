// game/ui/statistics.cpp - the statistics diagram: the plot of the samples and its axes.
#include "game/ui/statistics.h"

#include "game/sim/buildings.h"
#include "game/sim/gamestate.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

int StatPlayerShown[5] = {1, 1, 1, 1, 1};
int StatSeriesShown[3] = {1, 1, 1};

namespace {

void Plot(Image& image, int x, int y, uint32_t colour)
{
    if (x >= 0 && y >= 0 && x < image.width && y < image.height) image.pixels[size_t(y) * size_t(image.width) + size_t(x)] = colour;
}

// A straight line between two pixels, both ends included; only the part inside the image is
// walked, so a value far off the plot costs nothing.
void Line(Image& image, long long x0, long long y0, long long x1, long long y1, uint32_t colour)
{
    long long steps = std::max(std::llabs(x1 - x0), std::llabs(y1 - y0));
    if (steps == 0) {
        if (x0 >= 0 && y0 >= 0 && x0 < image.width && y0 < image.height) Plot(image, int(x0), int(y0), colour);
        return;
    }
    // The steps whose rounded point can lie inside, along each axis.
    double first = 0, last = double(steps);
    auto keep = [&](long long from, long long to, int size) {
        if (from == to) {
            if (from < 0 || from >= size) last = -1;
            return;
        }
        double a = (-0.5 - double(from)) / double(to - from) * double(steps);
        double b = (double(size) - 0.5 - double(from)) / double(to - from) * double(steps);
        first = std::max(first, std::floor(std::min(a, b)));
        last = std::min(last, std::ceil(std::max(a, b)));
    };
    keep(x0, x1, image.width);
    keep(y0, y1, image.height);
    for (long long i = (long long)first; i <= (long long)last; i++) {
        double t = double(i) / double(steps);
        long long x = std::llround(double(x0) + double(x1 - x0) * t), y = std::llround(double(y0) + double(y1 - y0) * t);
        if (x >= 0 && y >= 0 && x < image.width && y < image.height) Plot(image, int(x), int(y), colour);
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

int StatisticsPlotWidth()
{
    int samples = std::max(0, StatSampleIndex);
    return samples < 300 ? 400 : samples + 100;
}

Image StatisticsPlot(int screenHeight, int offset)
{
    long long h = (long long)(0.4 * screenHeight);
    int samples = std::max(0, StatSampleIndex);
    Image image;
    MakeImage(image, 400, int(h) + 20, PackColour(32, 32, 32));
    // Only the samples whose lines reach into the window: sample i runs from x = i + 49 to i + 50.
    int firstSample = std::max(1, offset - 50), lastSample = std::min(samples - 1, offset + 400 - 49);
    auto y = [&](long long base, long long value, double scale) { return base - (long long)std::llround(scale * double(value)); };
    for (int p = 1; p <= std::min(PlayerCount, 4); p++) {
        if (StatPlayerShown[p] != 1) continue;
        const std::vector<StatSample>& table = StatTable[p];
        for (int i = firstSample; i <= lastSample && size_t(i) < table.size(); i++) {
            const StatSample &from = table[size_t(i - 1)], &to = table[size_t(i)];
            long long x0 = i + 49 - offset, x1 = i + 50 - offset;
            if (StatSeriesShown[0] == 1) Line(image, x0, y(h, from.units, 4), x1, y(h, to.units, 4), Shade(p, 255));
            if (StatSeriesShown[1] == 1) Line(image, x0, y(h, from.buildings, 4), x1, y(h, to.buildings, 4), Shade(p, 191));
            if (StatSeriesShown[2] == 1) Line(image, x0, y(h, from.money, 0.01), x1, y(h, to.money, 0.01), Shade(p, 128));
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
