// Whole game frames on the largest free map: a few hundred units at the bases, and the big
// battle (1000 units, 200 buildings, 2000 shots). Drawn (run under Xvfb with
// SDL_VIDEODRIVER=x11 for the OpenGL renderer, or headless for the software one) and the
// simulation alone. Arguments: screen width, zoom in tenths.
#include "game/base/assets.h"
#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/base/tables.h"
#include "game/net/delta.h"
#include "game/net/protocol.h"
#include "game/play/gameloop.h"
#include "game/save/savefile.h"
#include "game/sim/buildings.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "game/view/gamedraw.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/net.h"
#include "platform/sound.h"
#include "battle_scene.h"
#include "staged_tree.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <unistd.h>
#include <vector>

static double Median(const std::vector<double>& values)
{
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    return sorted[sorted.size() / 2];
}

// Every asset loaded for a screen of this width.
static void LoadGame(int width)
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
}

// The game as the player would have it after loading: every asset, the largest free map,
// each player's base filled with units.
static void SetUpGame(int width, float zoom)
{
    LoadGame(width);
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
BENCHMARK(DrawnFrame)->Args({1024, 10})->Args({1024, 5})->Args({1280, 10})->Args({1280, 5})->Unit(benchmark::kMillisecond)->MinTime(3)->ComputeStatistics("median", Median)->Repetitions(3);

static void SimulationOnly(benchmark::State& state)
{
    SetUpGame(1024, 1.0f);
    for (auto _ : state) AdvanceWorld();
}
BENCHMARK(SimulationOnly)->Unit(benchmark::kMicrosecond);

static void SetUpBattle(int width, float zoom)
{
    LoadGame(width);
    StageBigBattle();
    Zoom = zoom;
    ZoomBy(0);
    // Under way: the armies have found each other and the first shots have landed.
    for (int frame = 0; frame < 40; frame++) SimulateFrame();
}

// What the battle costs the simulation: every pass of a frame, no drawing.
static void BM_BattleSimulation(benchmark::State& state)
{
    SetUpBattle(1024, 0.5f);
    for (auto _ : state) {
        state.PauseTiming();
        TopUpBattleShots(2000);
        state.ResumeTiming();
        SimulateFrame();
    }
    int fighting = 0;
    for (const Unit& unit : Units) fighting += unit.target > 0;
    state.counters["units"] = double(Units.size());
    state.counters["fighting"] = fighting;
    state.counters["buildings"] = double(Buildings.size());
}
BENCHMARK(BM_BattleSimulation)->Unit(benchmark::kMillisecond)->MinTime(2)->Repetitions(3)->ComputeStatistics("median", Median);

// Where the battle's simulation time goes: each pass of the frame timed on its own, in
// milliseconds per frame. The frame's remainder (storms, energy, clock, statistics, the
// computers) is what BM_BattleSimulation adds to these.
static void BM_BattlePasses(benchmark::State& state)
{
    SetUpBattle(1024, 0.5f);
    double spent[4] = {};
    using Clock = std::chrono::steady_clock;
    auto timed = [](double& total, auto&& pass) {
        Clock::time_point start = Clock::now();
        pass();
        total += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    for (auto _ : state) {
        state.PauseTiming();
        TopUpBattleShots(2000);
        state.ResumeTiming();
        timed(spent[0], [] { WorldPass(); });
        timed(spent[1], [] { BuildingPass(); });
        timed(spent[2], [] { ProjectileSteps(int(std::lround(GameSpeed))); });
        timed(spent[3], [] { UnitPass(); });
        AgeEffects();
    }
    const char* names[4] = {"world", "buildings", "shots", "units"};
    for (int i = 0; i < 4; i++) state.counters[names[i]] = spent[i] / double(state.iterations());
}
BENCHMARK(BM_BattlePasses)->Unit(benchmark::kMillisecond)->MinTime(2);

// The whole frame of the battle with the view over it, as the player sees it.
static void BM_BattleDrawn(benchmark::State& state)
{
    SetUpBattle(int(state.range(0)), float(state.range(1)) / 10);
    for (auto _ : state) {
        state.PauseTiming();
        TopUpBattleShots(2000);
        state.ResumeTiming();
        GameFrame();
    }
    state.counters["draw calls"] = DrawCallsLastFrame();
    state.counters["shots"] = double(Projectiles.size());
    int marks = 0;
    for (const Effect& effect : Effects) marks += IsGroundMark(effect.kind);
    state.counters["ground marks"] = marks;
    state.counters["effects"] = double(Effects.size()) - marks;
}
BENCHMARK(BM_BattleDrawn)->Args({1280, 5})->Args({1024, 10})->Args({1024, 5})->Unit(benchmark::kMillisecond)->MinTime(3)->Repetitions(3)->ComputeStatistics("median", Median);

// A host's snapshot of the big battle written and read back as a client reads it: 1000 units,
// 200 buildings and 2000 shots, sent as the change to the snapshot of three frames before and
// packed, unpacked and put together again on the other side. The counter "bytes" is the size
// of the block on the wire, "full_bytes" that of the whole snapshot.
static void BM_SnapshotRoundTrip(benchmark::State& state)
{
    SetUpBattle(1024, 0.5f);
    TopUpBattleShots(2000);
    NetBlock block;
    PutGameSnapshot(block, "", 40);
    SnapshotImage base, sent, received;
    SplitSnapshot(block.bytes, false, base);
    for (int frame = 0; frame < 3; frame++) {
        FireBattleShots(2000);
        SimulateFrame();
    }
    ReceivedSnapshot snapshot;
    std::string wire, delta, raw, joined;
    // Each stage's time, in milliseconds per snapshot.
    using Clock = std::chrono::steady_clock;
    const char* stages[] = {"put", "split", "encode", "pack", "unpack", "decode", "join", "read"};
    double spent[8] = {};
    for (auto _ : state) {
        Clock::time_point times[9];
        times[0] = Clock::now();
        PutGameSnapshot(block, "", 40);
        times[1] = Clock::now();
        SplitSnapshot(block.bytes, false, sent);
        times[2] = Clock::now();
        raw = EncodeDelta(sent, &base);
        times[3] = Clock::now();
        wire = PutDelta(DeltaHeader{0, 0, 4, 1, 0}, raw);
        times[4] = Clock::now();
        DeltaHeader header;
        bool read = ReadDelta(wire, header, delta);
        times[5] = Clock::now();
        read = read && DecodeDelta(delta, &base, received);
        times[6] = Clock::now();
        joined = JoinSnapshot(received);
        times[7] = Clock::now();
        read = read && ReadGameSnapshot(joined, 2, RunningGameBounds(), snapshot);
        times[8] = Clock::now();
        if (!read) state.SkipWithError("the snapshot did not read");
        benchmark::DoNotOptimize(snapshot.units.data());
        for (int stage = 0; stage < 8; stage++)
            spent[stage] += std::chrono::duration<double, std::milli>(times[stage + 1] - times[stage]).count();
    }
    for (int stage = 0; stage < 8; stage++) state.counters[stages[stage]] = spent[stage] / double(state.iterations());
    state.counters["delta_bytes"] = double(raw.size());
    state.counters["bytes"] = double(wire.size());
    state.counters["full_bytes"] = double(block.bytes.size());
    state.counters["units"] = double(Units.size());
    state.counters["buildings"] = double(Buildings.size());
    state.counters["shots"] = double(Projectiles.size());
}
BENCHMARK(BM_SnapshotRoundTrip)->Unit(benchmark::kMillisecond)->MinTime(2)->Repetitions(3)->ComputeStatistics("median", Median);

// What a network game of the big battle puts on the line: a host and one client (player 2) in
// one process, 20 seconds of frames, each side's snapshot every frame as the change to the one
// the other acknowledged two frames before (the round trip of a home line), packed. The
// counters are the mean bytes per second each way, and what the whole snapshots of before
// cost. Argument: the units of the battle (1000, or 200 of them kept).
static void BM_SnapshotBandwidth(benchmark::State& state)
{
    SetUpBattle(1024, 0.5f);
    if (Units.size() > size_t(state.range(0))) Units.resize(size_t(state.range(0)));
    IndexUnits();
    constexpr int Frames = 20 * 40, Lag = 2;
    double toClient = 0, toHost = 0, fullToClient = 0, fullToHost = 0;
    for (auto _ : state) {
        std::vector<SharedImage> hostSent, clientSent;
        toClient = toHost = fullToClient = fullToHost = 0;
        for (int frame = 0; frame < Frames; frame++) {
            // The battle keeps two shots in the air for every unit, as the units fire them (or,
            // with the second argument, as the simulation's benchmark scatters them).
            if (state.range(1)) TopUpBattleShots(size_t(state.range(0)) * 2);
            else FireBattleShots(size_t(state.range(0)) * 2);
            SimulateFrame();
            auto send = [&](bool client, std::vector<SharedImage>& sent, double& bytes, double& full) {
                NetBlock block;
                if (client) PutClientSnapshot(block, "", 2, 40);
                else PutGameSnapshot(block, "", 40);
                auto image = std::make_shared<SnapshotImage>();
                SplitSnapshot(block.bytes, client, *image);
                const SnapshotImage* base = sent.size() > Lag ? sent[sent.size() - 1 - Lag].get() : nullptr;
                DeltaHeader header{client, 0, int(sent.size()) + 1, base ? int(sent.size()) - Lag : 0, 0};
                std::string message = PutDelta(header, EncodeDelta(*image, base));
                bytes += double(message.size());
                // What travels must be the snapshot, byte for byte, or the figures mean nothing.
                std::string delta;
                SnapshotImage received;
                if (!ReadDelta(message, header, delta) || !DecodeDelta(delta, base, received) || JoinSnapshot(received) != block.bytes)
                    state.SkipWithError("a change did not give its snapshot back");
                full += double(block.bytes.size());
                sent.push_back(image);
            };
            send(false, hostSent, toClient, fullToClient);
            send(true, clientSent, toHost, fullToHost);
        }
    }
    state.counters["host_to_client_Bps"] = toClient / 20;
    state.counters["client_to_host_Bps"] = toHost / 20;
    state.counters["full_host_to_client_Bps"] = fullToClient / 20;
    state.counters["full_client_to_host_Bps"] = fullToHost / 20;
    state.counters["units"] = double(Units.size());
}
BENCHMARK(BM_SnapshotBandwidth)->Args({1000, 0})->Args({1000, 1})->Args({200, 0})->Unit(benchmark::kSecond)->Iterations(1);

// A player coming back to the big battle: the host writes the running game, sends it over the
// loopback interface as the transfer file, and the returning client keeps it on disk and loads
// it. The counter "bytes" is the file's size.
static void BM_RejoinTransfer(benchmark::State& state)
{
    SetUpBattle(1024, 0.5f);
    TopUpBattleShots(2000);
    NetServer server;
    int port = 26000 + int(getpid() % 1000);
    if (!server.Listen(port)) return state.SkipWithError("no server");
    NetConnection client;
    if (!client.Connect("127.0.0.1", port)) return state.SkipWithError("no connection");
    int handle = 0;
    for (int i = 0; i < 2000 && handle == 0; i++) {
        NetEvent event = server.Poll();
        if (event.kind == NetEvent::NewClient) handle = event.client;
        else std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    MakeFolder("SAVE");
    size_t bytes = 0;
    for (auto _ : state) {
        std::string file = GameStateBytes();
        bytes = file.size();
        std::thread sender([&] { server.SendFile(handle, file); });
        NetEvent event;
        while ((event = client.Poll()).kind != NetEvent::File)
            if (event.kind == NetEvent::None) std::this_thread::yield();
        sender.join();
        if (!WriteWholeFile("SAVE\\_MehrspielerNWI.sav", event.bytes) || !LoadGame("_MehrspielerNWI"))
            state.SkipWithError("the transfer did not load");
    }
    RemoveFile("SAVE\\_MehrspielerNWI.sav");
    state.counters["bytes"] = double(bytes);
    state.counters["units"] = double(Units.size());
}
BENCHMARK(BM_RejoinTransfer)->Unit(benchmark::kMillisecond)->MinTime(2)->Repetitions(3)->ComputeStatistics("median", Median);

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    StopLayers();
    return 0;
}
