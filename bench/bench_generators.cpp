// bench/bench_generators.cpp - whole runs of the two asset generators, as on a first start.
//
// Each run works in a temporary program folder with the shipped lists and synthetic pictures of
// the shipped sizes: seven ground textures for the tiles, thirteen height images for the shadows.
#include "tools/terrashade/terrashade.h"
#include "tools/texgen/texgen.h"

#include "platform/files.h"
#include "platform/latin1.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

const char* const GroundNames[] = {"Erde", "Sand", "Wueste", "Stein", "Spice", "Smyron", "Wasser"};
const char* const PairNames[7][2] = {{"Erde", "Sand"},  {"Wueste", "Sand"}, {"Stein", "Sand"}, {"Spice", "Sand"},
                                     {"Stein", "Erde"}, {"Wueste", "Smyron"}, {"Sand", "Wasser"}};
const char* const BuildingNames[] = {"Arzt",          "Forschungslabor", "Gleiter-Fabrik",     "Kaserne",
                                     "kleine-Fabrik", "Radarzentrale",   "Panzer-Fabrik",      "Quad-Fabrik",
                                     "Solarzelle",    "Verb_Solarzelle", "Verbrennungsanlage", "Roboter-Fabrik",
                                     "Speeder-Fabrik"};

// A fresh program folder under /tmp; removed by the caller.
std::string MakeWorkFolder()
{
    char pattern[] = "/tmp/korax-bench-XXXXXX";
    std::string folder = mkdtemp(pattern) ? pattern : "/tmp/korax-bench";
    SetProgramFolder(folder);
    return folder;
}

// Deterministic noise, so every run times the same pictures.
uint32_t NextNoise(uint32_t& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// A grainy ground texture of 64 x 64.
Image GroundTexture(uint32_t seed)
{
    Image texture;
    MakeImage(texture, TileSide, TileSide, 0);
    for (uint32_t& pixel : texture.pixels) {
        int grain = int(NextNoise(seed) & 31);
        pixel = PackColour(150 + grain, 110 + grain, 60 + grain);
    }
    return texture;
}

// A building's height image: a stepped block on the ground with a tower, a raised panel row and
// bare ground around - the mix of long and short strokes of the real ones.
Image BuildingHeights(int side)
{
    Image heights;
    MakeImage(heights, side, side, PackColour(0, 0, 0));
    for (int y = 0; y < side; y++)
        for (int x = 0; x < side; x++) {
            int top = 0, bottom = 0;
            if (x > side / 8 && x < side * 7 / 8 && y > side / 8 && y < side * 7 / 8) top = 60 + (x / 16) * 10;
            if (x > side / 3 && x < side / 2 && y > side / 3 && y < side / 2) top = 250;
            if (y > side * 7 / 8 && x % 8 < 6) top = 80, bottom = 60;
            heights.pixels[size_t(y * side + x)] = PackColour(top, bottom, 0);
        }
    return heights;
}

void PrepareTexgenFolder()
{
    std::string list = "5\r\n2500\r\n";
    for (const auto& pair : PairNames) list += std::string("-\r\n") + pair[0] + "\r\n" + pair[1] + "\r\n";
    WriteWholeFile("TEX.txt", list + "\r\n\r\n");
    for (uint32_t i = 0; i < 7; i++)
        WriteWholeFile(std::string("TEX_") + GroundNames[i] + ".bmp", EncodeBmp24(GroundTexture(17 + i)));
}

void PrepareTerrashadeFolder(int side)
{
    std::string list = "Winkel des Schattenwurfs     : 45\r\nFaktor des Streckens         : 1.0\r\n";
    for (const char* name : BuildingNames) {
        list += L1("Höhenbilddatei + \"_H.bmp\"    : ") + name + "\r\n";
        WriteWholeFile(std::string(name) + "_H.bmp", EncodeBmp24(BuildingHeights(side)));
    }
    WriteWholeFile(L1("Höhen.ini"), list);
    MakeFolder("Schatten");
}

// texgen over the seven shipped pairs: 154 tiles.
void BM_TexgenSevenPairs(benchmark::State& state)
{
    std::string folder = MakeWorkFolder();
    PrepareTexgenFolder();
    for (auto _ : state) benchmark::DoNotOptimize(RunTexgen());
    RemoveFolder(folder);
}
BENCHMARK(BM_TexgenSevenPairs)->Unit(benchmark::kMillisecond);

// terrashade over the thirteen shipped buildings at one size: 182 shadow images.
void BM_TerrashadeThirteenBuildings(benchmark::State& state)
{
    std::string folder = MakeWorkFolder();
    PrepareTerrashadeFolder(int(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(RunTerrashade());
    RemoveFolder(folder);
}
BENCHMARK(BM_TerrashadeThirteenBuildings)->Arg(128)->Arg(192)->Unit(benchmark::kMillisecond);

// One shadow image of a 192 x 192 building, without the file: the drawing alone.
void BM_DrawShadow192(benchmark::State& state)
{
    FillHeightTables(BuildingHeights(192));
    Image canvas;
    int hour = 5;
    for (auto _ : state) {
        DrawShadow(hour, canvas);
        benchmark::DoNotOptimize(canvas.pixels.data());
        hour = hour == 18 ? 5 : hour + 1;
    }
}
BENCHMARK(BM_DrawShadow192)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
