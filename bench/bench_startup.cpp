// Start-up to the end of loading, on the staged tree after its first start: every picture
// (planet slices included), every sound and the rules tables, through the dummy display.
#include "game/shell/assets.h"
#include "game/shell/frame.h"
#include "game/shell/tables.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/pictures.h"
#include "platform/process.h"
#include "platform/sound.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

// A copy of the staged tree with the first-start generation done, made once.
static std::string PreparedTree()
{
    static std::string tree;
    if (!tree.empty()) return tree;
    char pattern[] = "/tmp/korax-bench-XXXXXX";
    tree = std::string(mkdtemp(pattern)) + "/DATEN";
    fs::copy(KORAX_STAGED_DATEN, tree, fs::copy_options::recursive);
    SetProgramFolder(tree);
    StartProgram("BMP\\B\\" + ProgramFile("texgen"), 1);
    StartProgram("BMP\\O\\" + ProgramFile("terrashade"), 1);
    return tree;
}

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
