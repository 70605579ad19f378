// Whole game frames on the largest free map with a few hundred units: drawn (run under Xvfb
// with SDL_VIDEODRIVER=x11 for the OpenGL renderer, or headless for the software one) and the
// simulation alone. Arguments: screen width, zoom in tenths.
#include "game/shell/assets.h"
#include "game/shell/common.h"
#include "game/shell/config.h"
#include "game/shell/frame.h"
#include "game/shell/tables.h"
#include "game/sim/buildings.h"
#include "game/sim/gameloop.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/sound.h"
#include "staged_tree.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

// The game as the player would have it after loading: every asset, the largest free map,
// each player's base filled with units.
static void SetUpGame(int width, float zoom)
{
    static int loadedWidth = 0;
    if (loadedWidth != width) {
        if (loadedWidth) StopLayers();
        SetProgramFolder(PreparedTree());
        StartDisplayLayer();
        StartSpriteLayer();
        StartSoundLayer();
        int height = width == 1280 ? 1024 : 768;
        OpenDisplay(width, height, 32, "Bench");
        SetScreenGeometry(width, height);
        SetFrameWait(0);
        LoadAssets();
        LoadDataTables();
        loadedWidth = width;
    }
    SetConfigurationDefaults();
    SeedRandom(1);
    MapNumber = FreeMapCount; // the last free map is the largest
    MissionMode = 0;
    ResetGameState();
    LoadMapTerrain(MapNumber);
    StartNewGame(1);
    static const int types[] = {2101, 2201, 2302, 2402, 2501, 2604, 2002};
    for (int i = 0; i < 300; i++) {
        int owner = 1 + i % PlayerCount;
        float x = float(Players[owner].startX + Rnd(16) - 8), y = float(Players[owner].startY + Rnd(16) - 8);
        AddUnit(MakeUnit(float(200000 + i), types[i % 7], owner, x, y, 2, 0));
    }
    Zoom = zoom;
    ZoomBy(0);
    FogOn = -1;
    StartHour = 12;
}

static void DrawnFrame(benchmark::State& state)
{
    SetUpGame(int(state.range(0)), float(state.range(1)) / 10);
    for (auto _ : state) GameFrame();
}
BENCHMARK(DrawnFrame)->Args({1024, 10})->Args({1024, 5})->Args({1280, 10})->Args({1280, 5})->Unit(benchmark::kMillisecond)->MinTime(3)->ComputeStatistics("median", [](const std::vector<double>& v) { std::vector<double> s = v; std::sort(s.begin(), s.end()); return s[s.size() / 2]; })->Repetitions(3);

static void SimulationOnly(benchmark::State& state)
{
    SetUpGame(1024, 1.0f);
    for (auto _ : state) AdvanceWorld();
}
BENCHMARK(SimulationOnly)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    StopLayers();
    return 0;
}
