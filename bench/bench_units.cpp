// The unit pass and the path search at their worst: a maze that takes all 400 rounds, a
// flooded field with no way in, and a thousand units of six players on the largest free map.
#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/tables.h"
#include "game/play/gameloop.h"
#include "game/sim/buildings.h"
#include "game/sim/combat.h"
#include "game/sim/effects.h"
#include "game/sim/paths.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "platform/files.h"
#include "platform/pictures.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

static double Median(const std::vector<double>& values)
{
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    return sorted[sorted.size() / 2];
}

static void OpenGrid(int side)
{
    MapWidth = MapHeight = side;
    for (auto& column : ObstacleGrid)
        for (int& cell : column) cell = -1;
    for (int x = 1; x <= side - 2; x++)
        for (int y = 1; y <= side - 2; y++) ObstacleGrid[x][y] = 0;
}

// range(0) = 0: a serpentine maze on the largest map, whose way is far longer than 400 rounds;
// 1: an open field around a walled-in destination, so the wavefront floods everything.
static void BM_WorstCasePath(benchmark::State& state)
{
    const int side = MaxPathCoordinate + 1;
    OpenGrid(side);
    if (state.range(0) == 0) {
        for (int x = 3; x < side - 2; x += 2)
            for (int y = 1; y <= side - 2; y++)
                if (y != ((x / 2) % 2 ? 1 : side - 2)) ObstacleGrid[x][y] = -1;
    } else {
        for (int i = 100; i <= 104; i++) ObstacleGrid[i][100] = ObstacleGrid[i][104] = ObstacleGrid[100][i] = ObstacleGrid[104][i] = -1;
    }
    std::string path;
    int found = 0;
    for (auto _ : state) {
        found = SearchPath(1, 1, state.range(0) == 0 ? side - 2 : 102, state.range(0) == 0 ? side - 2 : 102, path);
        benchmark::DoNotOptimize(path);
    }
    state.counters["found"] = found;
}
BENCHMARK(BM_WorstCasePath)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ComputeStatistics("median", Median);

// The largest free map of the staged tree, with 1000 units of six players: each player's army
// around its start, half of it sent across the map, the computers set on each other.
static void SetUpBattleField()
{
    static int ready = 0;
    if (!ready) {
        SetProgramFolder(KORAX_STAGED_DATEN);
        LoadDataTables();
        std::vector<std::string> maps = ListFolder("KARTEN\\Karte*.bmp");
        LoadPicture(1, "KARTEN\\" + maps.back());
        auto size = [](int number, int side) {
            Image image;
            MakeImage(image, side, side, PackColour(90, 90, 90));
            SetPictureImage(number, image);
        };
        for (int type : {2001, 2002, 2201, 2302, 2402, 2501, 2604, 1052}) size(type, 64);
        size(2101, 32);
        ready = 1;
    }
    SetConfigurationDefaults();
    SeedRandom(1);
    LocalPlayer = 1;
    MissionMode = 0;
    MapNumber = 1;
    ResetGameState();
    LoadMapTerrain(1);
    StartNewGame(1);
    static const int types[] = {2101, 2201, 2302, 2402, 2501, 2604, 2002, 1052};
    for (int i = 0; i < 1000 - PlayerCount; i++) {
        int owner = 1 + i % PlayerCount, type = types[i % 8];
        float x = float(Players[owner].startX + Rnd(20) - 10), y = float(Players[owner].startY + Rnd(20) - 10);
        if (type == 1052) x = float(int(x)) + 0.5f, y = float(int(y)) + 0.5f;
        int index = AddUnit(MakeUnit(float(NextObjectId += 10), type, owner, x, y, type == 1052 ? 1 : 2, 0));
        if (i % 2 == 0 && type != 1052) {
            Unit& unit = Units[size_t(index)];
            unit.target = 0;
            unit.destX = float(MapWidth / 2 + Rnd(20) - 10);
            unit.destY = float(MapHeight / 2 + Rnd(20) - 10);
        }
    }
    for (int p = 1; p <= PlayerCount; p++) {
        Players[p].kind = p == 1 ? 0 : 1;
        Players[p].energy = 10;
        Players[p].attackTarget = p == 1 ? 0 : 1 + p % PlayerCount;
    }
    RecomputeObstacles();
}

static void BM_UnitPass1000(benchmark::State& state)
{
    SetUpBattleField();
    for (int frame = 0; frame < 40; frame++) UnitPass(); // under way
    for (auto _ : state) UnitPass();
    int moving = 0, targeting = 0;
    for (const Unit& unit : Units) {
        moving += unit.speed > 0;
        targeting += unit.target > 0;
    }
    state.counters["units"] = double(Units.size());
    state.counters["moving"] = moving;
    state.counters["targeting"] = targeting;
}
BENCHMARK(BM_UnitPass1000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ComputeStatistics("median", Median);

// 300 buildings of every kind at the six bases among the 1000 units: factories and labs
// working, the regeneration plants healing, every footprint keeping units out.
static void BM_BuildingPass300(benchmark::State& state)
{
    SetUpBattleField();
    static const int types[] = {1100, 1300, 1400, 1210, 1240, 1420, 1000, 1200};
    for (int i = 0; Buildings.size() < 300; i++) {
        int owner = 1 + i % PlayerCount;
        int type = types[i % 8];
        Building building = MakeBuilding(NextObjectId += 10, type, owner, float(Players[owner].startX + Rnd(40) - 20),
                                         float(Players[owner].startY + Rnd(40) - 20), 0);
        building.queue = type == 1400 ? "0712  3000" : type == 1210 ? "2101   400" : "";
        AddBuilding(building);
    }
    for (Building& building : Buildings) building.width = building.height = building.typeId == 1000 ? 64 : 128;
    for (Unit& unit : Units) unit.hitPoints = unit.maxHitPoints / 2;
    RecomputeObstacles();
    for (auto _ : state) BuildingPass();
    state.counters["buildings"] = double(Buildings.size());
    state.counters["units"] = double(Units.size());
}
BENCHMARK(BM_BuildingPass300)->Unit(benchmark::kMillisecond)->Repetitions(5)->ComputeStatistics("median", Median);

// 2000 shots of every weapon flying through the battle for one frame of 4 sub-steps, against
// 1000 units and 200 buildings. The units are made too tough to die, so every frame is alike.
static void BM_ProjectileSubsteps(benchmark::State& state)
{
    SetUpBattleField();
    for (int i = 0; Buildings.size() < 200; i++) {
        int owner = 1 + i % PlayerCount;
        static const int types[] = {1100, 1300, 1400, 1210, 1240, 1000};
        Building building = MakeBuilding(NextObjectId += 10, types[i % 6], owner, float(Players[owner].startX + Rnd(30) - 15),
                                         float(Players[owner].startY + Rnd(30) - 15), 0);
        AddBuilding(building);
    }
    for (Building& building : Buildings) {
        building.width = building.height = building.typeId == 1000 ? 64 : 128;
        building.maxHitPoints = building.hitPoints = 1e9f;
    }
    for (Unit& unit : Units) unit.maxHitPoints = unit.hitPoints = 1e9f;
    std::vector<Projectile> shots;
    for (int i = 0; i < 2000; i++) {
        const Unit& shooter = Units[size_t(Rnd(int(Units.size()) - 1))];
        int weapon = 1 + Rnd(5);
        shots.push_back(Projectile{int(shooter.id), float(3000 + weapon), 16, shooter.owner, shooter.x * 32 + float(Rnd(200) - 100),
                                   shooter.y * 32 + float(Rnd(200) - 100), float(Rnd(359)), float(30 + Rnd(110)), 10, 0, 1000});
    }
    for (auto _ : state) {
        state.PauseTiming();
        Projectiles = shots;
        Effects.clear();
        state.ResumeTiming();
        ProjectileSteps(4);
    }
    state.counters["shots left"] = double(Projectiles.size());
}
BENCHMARK(BM_ProjectileSubsteps)->Unit(benchmark::kMillisecond)->Repetitions(5)->ComputeStatistics("median", Median);

BENCHMARK_MAIN();
