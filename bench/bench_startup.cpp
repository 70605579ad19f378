// Start-up to the end of loading, on the staged tree after its first start: every picture
// (planet slices included), every sound and the rules tables, through the dummy display.
#include "game/base/assets.h"
#include "game/base/frame.h"
#include "game/base/tables.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/pictures.h"
#include "platform/sound.h"
#include "staged_tree.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

static void StartupToEndOfLoading(benchmark::State& state)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::string tree = PreparedTree();
    for (auto _ : state) {
        SetProgramFolder(tree);
        StartDisplayLayer();
        StartSpriteLayer();
        StartSoundLayer();
        OpenDisplay(1024, 768, 32, "Bench");
        SetScreenGeometry(1024, 768);
        SetTransparentColour(0, 0, 0);
        LoadAssets();
        LoadSounds();
        LoadDataTables();
        benchmark::DoNotOptimize(PictureExists(5000));
        StopLayers();
    }
}
BENCHMARK(StartupToEndOfLoading)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
