// bench/bench_setup.cpp - the installer: unpacking the whole game from the installer the build
// packed, and packing the staged tree into an installer.
#include "setup/installation.h"
#include "setup/pack/packer.h"
#include "setup/package.h"

#include "platform/files.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

std::string FreshFolder()
{
    char pattern[] = "/tmp/korax-bench-setup-XXXXXX";
    return std::string(mkdtemp(pattern) ? pattern : "/tmp/korax-bench-setup") + "/";
}

// The whole game, as the wizard's "Start" unpacks it (without the window around it).
void UnpackWholeGame(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        std::string folder = FreshFolder();
        state.ResumeTiming();
        if (!UnpackInstaller(KORAX_SETUP_INSTALLER, folder)) state.SkipWithError("the installer did not unpack");
        state.PauseTiming();
        RemoveFolder(folder);
        state.ResumeTiming();
    }
    std::string installer;
    ReadWholeFile(KORAX_SETUP_INSTALLER, installer);
    state.counters["files"] = LastUnpack.files;
    state.counters["folders"] = LastUnpack.folders;
    state.counters["installer_MB"] = double(installer.size()) / 1e6;
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(installer.size()));
}
BENCHMARK(UnpackWholeGame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// What the build does on every run: walk the staged tree and write the installer (here always
// anew, into a scratch file).
void PackWholeTree(benchmark::State& state)
{
    std::string folder = FreshFolder();
    for (auto _ : state) {
        RemoveFile(folder + "setup");
        if (!BuildInstaller(KORAX_SETUP_PROGRAM, KORAX_STAGED_TOP, KORAX_SETUP_FRESH, folder + "setup"))
            state.SkipWithError(PackError.c_str());
    }
    state.counters["files"] = LastPack.files;
    RemoveFolder(folder);
}
BENCHMARK(PackWholeTree)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
