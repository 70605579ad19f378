// Units on small worlds: orders, paths, steering, spacing, towers, arrivals, walls, the
// harvester's round, and the bucket grid giving the same battle as the plain walk.
#include "game/sim/buckets.h"
#include "game/sim/idindex.h"
#include "game/sim/unitscan.h"
#include "support/sim_world.h"

#include <cmath>

static float PixelGap(const Unit& a, const Unit& b) { return std::hypot(a.x - b.x, a.y - b.y) * 32; }

TEST(Units, AHeadingOf350TurnsThroughZeroToReach10)
{
    SimWorld world(FilledRows(40, 40, '.'));
    int tank = world.Add(2402, 1, 10, 20);
    Units[size_t(tank)].heading = 350;
    // A point straight ahead at 10 degrees.
    world.OrderTo(tank, 10 + 15 * std::cos(10 * 0.017453292f), 20 + 15 * std::sin(10 * 0.017453292f));
    PathfindingOn = -1;
    int passedZero = 0;
    for (int frame = 0; frame < 40; frame++) {
        world.Run(1);
        float heading = Units[size_t(tank)].heading;
        EXPECT_TRUE(heading >= 340 || heading <= 20) << "never the long way round, frame " << frame << ": " << heading;
        passedZero |= heading < 180;
    }
    EXPECT_TRUE(passedZero);
    EXPECT_NEAR(Units[size_t(tank)].heading, 10, 3);
}

// At game speed 1 a slow-turning unit turns less than half a degree a frame; it must still come
// round and reach its point (whole degrees every frame would hold it where it started).
TEST(Units, ASlowTurnerComesRoundAtGameSpeedOne)
{
    SimWorld world(FilledRows(40, 40, '.'));
    GameSpeed = 1;
    PathfindingOn = -1;
    int harvester = world.Add(2002, 1, 10.5f, 20.5f);
    Unit& unit = Units[size_t(harvester)];
    unit.heading = 0;
    unit.turnRate = 4; // at most 0.4 degrees a frame at speed 1
    unit.stance = 0;
    world.OrderTo(harvester, 10.5f, 30.5f); // straight down: a quarter turn away
    int frames = world.Run(6000, [&] { return Units[size_t(harvester)].target == -1.0f; });
    EXPECT_LT(frames, 6000) << "heading " << Units[size_t(harvester)].heading;
    EXPECT_NEAR(Units[size_t(harvester)].y, 30.5f, 0.5f);
}

// A sand field split by a cliff ridge from top to bottom, open at the bottom.
static std::vector<std::string> RidgeField()
{
    std::vector<std::string> rows = FilledRows(40, 30, '.');
    for (int y = 1; y < 22; y++) rows[size_t(y)][20] = '#';
    return rows;
}

TEST(Units, DriveAroundACliffToTheirPoint)
{
    SimWorld world(RidgeField());
    int tank = world.Add(2402, 1, 10.5f, 8.5f);
    world.OrderTo(tank, 30.5f, 8.5f);
    int frames = world.Run(3000, [&] { return Units[0].target == -1.0f; });
    EXPECT_LT(frames, 3000) << "the point order ends on arrival";
    EXPECT_LT(std::hypot(Units[size_t(tank)].x - 30.5f, Units[size_t(tank)].y - 8.5f), 0.5f);
}

TEST(Units, WithPathfindingOffTheyDriveStraightAtTheirPoint)
{
    SimWorld world(RidgeField());
    PathfindingOn = -1;
    int tank = world.Add(2402, 1, 10.5f, 8.5f);
    world.OrderTo(tank, 30.5f, 8.5f);
    world.Run(200);
    const Unit& unit = Units[size_t(tank)];
    EXPECT_TRUE(unit.path.empty()) << "no path planned";
    EXPECT_LT(unit.x, 20.0f) << "held at the ridge";
    EXPECT_NEAR(unit.y, 8.5f, 1.0f) << "straight at the point, never round the end of the ridge";
}

TEST(Units, NoWayCancelsTheOrderWithTheRightVoice)
{
    std::vector<std::string> rows = FilledRows(40, 40, '.');
    for (int i = 20; i <= 28; i++) rows[20][size_t(i)] = rows[28][size_t(i)] = rows[size_t(i)][20] = rows[size_t(i)][28] = '#';
    SimWorld world(rows);
    int tank = world.Add(2402, 1, 5.5f, 5.5f);
    world.OrderTo(tank, 24.5f, 24.5f);
    world.Run(3);
    const Unit& unit = Units[size_t(tank)];
    EXPECT_EQ(unit.stance, 0);
    EXPECT_EQ(unit.target, -1.0f);
    EXPECT_EQ(unit.destX, unit.x) << "it stays where it is";
    EXPECT_TRUE(SimWorld::Played(24)) << "Wie_soll_ich_da_hinkommen";

    // An ordered attack on a unit out of reach: the other voice.
    LogPlayedSounds(1);
    int enemy = world.Add(2101, 2, 24.5f, 24.5f);
    int other = world.Add(2402, 1, 5.5f, 8.5f);
    Units[size_t(other)].target = Units[size_t(enemy)].id;
    Units[size_t(other)].holdTarget = 1;
    Units[size_t(other)].destX = 24.5f;
    Units[size_t(other)].destY = 24.5f;
    world.Run(3);
    EXPECT_EQ(Units[size_t(other)].target, -1.0f);
    EXPECT_TRUE(SimWorld::Played(28)) << "Das_ist_nicht_moeglich";
}

TEST(Units, OneSearchAFrameAndTheCacheServesTheRest)
{
    SimWorld world(RidgeField());
    for (int i = 0; i < 4; i++) world.OrderTo(world.Add(2402, 1, 10.5f + i * 5, 2.5f), 30.5f, 25.5f);
    world.OrderTo(world.Add(2402, 1, 11.5f, 3.5f), 30.5f, 25.5f); // within 3 cells of the first
    world.Run(1);
    int planned = 0;
    for (const Unit& unit : Units) planned += !unit.path.empty();
    EXPECT_EQ(planned, 2) << "the first unit's search, and the neighbour's path from the cache";
    const std::string& first = Units[0].path;
    EXPECT_EQ(first.substr(first.size() - Units[4].path.size()), Units[4].path) << "the same way (its first point is already behind it)";
    world.Run(3);
    planned = 0;
    for (const Unit& unit : Units) planned += !unit.path.empty();
    EXPECT_EQ(planned, 5) << "one more search in each further frame";
}

TEST(Units, OverlappingUnitsArePushedApartAndStayApart)
{
    SimWorld world(FilledRows(30, 30, '.'));
    int a = world.Add(2402, 1, 10.0f, 10.0f), b = world.Add(2402, 1, 10.1f, 10.05f), c = world.Add(2101, 2, 10.05f, 9.9f);
    world.Run(30);
    // Each pushes the others out to its width / 4 plus two thirds of the other's.
    EXPECT_GE(PixelGap(Units[size_t(a)], Units[size_t(b)]), 16 + 16 * 2.0f / 3 - 0.5f);
    EXPECT_GE(PixelGap(Units[size_t(a)], Units[size_t(c)]), 16 * 2.0f / 3 + 8 - 0.5f);
    for (int frame = 0; frame < 60; frame++) {
        world.Run(1);
        EXPECT_GE(PixelGap(Units[size_t(a)], Units[size_t(b)]), 26.0f) << frame;
    }
}

TEST(Units, ATowerStandsStillAndSeesOnlyWithPower)
{
    SimWorld world(FilledRows(30, 30, '.'));
    int tower = world.Add(1052, 1, 10.5f, 10.5f, 1);
    world.Add(2101, 2, 14.5f, 10.5f, 0);
    RecomputeObstacles();
    Players[1].energy = 0;
    world.Run(60);
    EXPECT_EQ(Units[size_t(tower)].target, -1.0f) << "no energy, no eyes";
    EXPECT_TRUE(Projectiles.empty());
    Players[1].energy = 2;
    float enemy = Units[1].id;
    ASSERT_LT(world.Run(200, [&] { return Units[size_t(tower)].target == enemy; }), 200) << "with power it sees";
    ASSERT_LT(world.Run(400, [] { return !Projectiles.empty(); }), 400) << "and fires";
    EXPECT_TRUE(SimWorld::Played(3002)) << "the gun's sound";
    EXPECT_EQ(Units[size_t(tower)].x, 10.5f) << "a tower never moves";
    EXPECT_EQ(Units[size_t(tower)].y, 10.5f);
    EXPECT_EQ(ObstacleGrid[10][10], -1) << "and blocks its cell";
}

TEST(Units, WaitingUnitsArriveAtTheirHour)
{
    SimWorld world(FilledRows(20, 20, '.'));
    int late = AddUnit(MakeUnit(500000, 2402, 2, 5, 5, 2, -2));
    ElapsedSeconds = 7200;
    UnitPass();
    EXPECT_EQ(Units[size_t(late)].state, -2) << "7200 is not yet later than hour 2";
    ElapsedSeconds = 7201;
    UnitPass();
    EXPECT_EQ(Units[size_t(late)].state, 0);
}

TEST(Walls, EachWallTakesThePieceOfItsNeighbours)
{
    SimWorld world(FilledRows(20, 20, 'E'));
    int middle = world.AddComplete(1000, 1, 5, 5);
    int right = world.AddComplete(1000, 1, 6, 5);
    int below = world.AddComplete(1000, 1, 5, 6);
    JoinWalls();
    EXPECT_EQ(Buildings[size_t(middle)].typeId, 1003) << "a wall to the right and one below";
    EXPECT_EQ(Buildings[size_t(right)].typeId, 1004) << "a wall to the left";
    EXPECT_EQ(Buildings[size_t(below)].typeId, 1008) << "a wall above";
    EXPECT_EQ(ObstacleGrid[6][5], -1);
}

TEST(Obstacles, BorderCliffsFootprintsAndTowers)
{
    std::vector<std::string> rows = FilledRows(20, 20, '.');
    rows[10][10] = '#';
    SimWorld world(rows);
    world.AddComplete(1400, 1, 3, 3);
    world.AddComplete(1400, 1, 12, 3);
    world.Add(1052, 2, 15.5f, 15.5f, 1);
    RecomputeObstacles();
    EXPECT_EQ(ObstacleGrid[0][5], -1) << "border";
    EXPECT_EQ(ObstacleGrid[19][5], -1) << "cells beyond MapWidth - 2";
    EXPECT_EQ(ObstacleGrid[18][5], 0);
    EXPECT_EQ(ObstacleGrid[10][10], -1) << "the cliff";
    EXPECT_EQ(ObstacleGrid[9][9], -1) << "and the tiles whose corner it is";
    EXPECT_EQ(ObstacleGrid[5][5], -1) << "the lab's 3 x 3 footprint";
    EXPECT_EQ(ObstacleGrid[6][5], 0);
    EXPECT_EQ(ObstacleGrid[15][15], -1) << "the tower's cell";
    EXPECT_EQ(Players[1].labCount, 2);
}

TEST(Harvester, TargetsTheNearestSpiceAndCollectsWhereItStands)
{
    std::vector<std::string> rows = FilledRows(30, 30, '.');
    rows[12][14] = rows[12][15] = '$';
    rows[25][25] = '$';
    SimWorld world(rows);
    int harvester = world.Add(2002, 1, 10.5f, 12.2f, 3);
    int frames = world.Run(2000, [] { return !Projectiles.empty(); });
    ASSERT_LT(frames, 2000) << "it fires a collecting shot";
    const Unit& unit = Units[size_t(harvester)];
    EXPECT_EQ(unit.target, float(TileIdAt(14, 12))) << "the nearer of the two spice fields";
    const Projectile& shot = Projectiles[0];
    EXPECT_EQ(shot.kind, 3012.0f);
    EXPECT_FLOAT_EQ(shot.x, unit.x * 32) << "from its own position, not its front";
    EXPECT_LE(std::hypot(unit.x - 14, unit.y - 12) * 32, 31.0f);
}

TEST(ThreatMemory, WorkVehiclesAndTowersReportWhatTheySee)
{
    SimWorld world(FilledRows(40, 40, '.'));
    world.Add(2001, 1, 10, 10, 3);
    world.Add(2304, 3, 20, 10, 0);  // a quad of player 3, 320 px away
    world.Add(2604, 2, 30, 30, 0); // a glider far away
    world.Run(1);
    EXPECT_EQ(Players[1].threatMemory, "001000|3");
}

// The same random battle twice: once with the bucket grid, once walking the whole list. Two
// cliff ridges run through the field, so that units are pushed off them too.
static std::vector<Unit> RandomBattle(int buckets, std::vector<std::string>& memories)
{
    std::vector<std::string> rows = FilledRows(120, 90, '.');
    for (int y = 20; y < 60; y++) rows[size_t(y)][60] = rows[size_t(y)][61] = '#';
    for (int x = 20; x < 50; x++) rows[45][size_t(x)] = rows[46][size_t(x)] = '#';
    SimWorld world(rows, 6);
    ScanWithBuckets = buckets;
    static const int types[] = {2101, 2102, 2201, 2302, 2402, 2501, 2604, 2002, 2001, 1052};
    SeedRandom(77);
    for (int i = 0; i < 400; i++) {
        int owner = 1 + Rnd(5);
        int type = types[Rnd(9)];
        float x = float(10 + Rnd(100)) + Rnd(9) / 10.0f, y = float(10 + Rnd(70)) + Rnd(9) / 10.0f;
        if (type == 1052) x = std::floor(x) + 0.5f, y = std::floor(y) + 0.5f;
        int index = world.Add(type, owner, x, y, type == 1052 ? 1 : Rnd(3));
        if (Rnd(3) == 0) world.OrderTo(index, float(10 + Rnd(100)), float(10 + Rnd(70)));
    }
    // Bases of the two players attacked, so that the attackers choose between units and buildings.
    for (int b = 0; b < 12; b++) {
        float x = float(5 + b * 9), y = b % 4 < 2 ? 2.0f : 84.0f;
        world.AddComplete(b % 3 ? 1100 : 1300, b % 2 ? 1 : 3, x, y);
        world.Add(2402, b % 2 ? 2 : 4, x + (b % 3 ? 1.6f : 0.4f), y < 50 ? 6.5f : 82.5f, 1); // an attacker at its door
    }
    Players[2].attackTarget = 1;
    Players[4].attackTarget = 3;
    RecomputeObstacles();
    SeedRandom(78);
    world.Run(80);
    ScanWithBuckets = 1;
    memories.clear();
    for (int p = 1; p <= 6; p++) memories.push_back(Players[p].threatMemory);
    return Units;
}

TEST(UnitScan, BucketsGiveTheSameBattleAsThePlainWalk)
{
    std::vector<std::string> fastMemories, plainMemories;
    std::vector<Unit> fast = RandomBattle(1, fastMemories), plain = RandomBattle(0, plainMemories);
    EXPECT_EQ(fastMemories, plainMemories) << "what the players' work vehicles and towers saw";
    ASSERT_EQ(fast.size(), plain.size());
    int moved = 0, targeted = 0, onBuildings = 0;
    for (size_t i = 0; i < fast.size(); i++) {
        ASSERT_EQ(fast[i].x, plain[i].x) << "unit " << i;
        ASSERT_EQ(fast[i].y, plain[i].y) << "unit " << i;
        ASSERT_EQ(fast[i].target, plain[i].target) << "unit " << i;
        ASSERT_EQ(fast[i].heading, plain[i].heading) << "unit " << i;
        ASSERT_EQ(fast[i].pushCount, plain[i].pushCount) << "unit " << i;
        moved += fast[i].speed > 0;
        targeted += fast[i].target > 0;
        onBuildings += fast[i].target > 0 && FindBuilding(int(fast[i].target)) >= 0;
    }
    EXPECT_GT(onBuildings, 5);
    EXPECT_GT(moved, 20) << "a battle, not a parade";
    EXPECT_GT(targeted, 50);
}

// The id index against a walk of the list: the first of a shared id, records appended since
// the index was built, a list shortened or replaced behind it, and a table that wraps round.
TEST(IdIndex, FindsWhatAWalkOfTheListFinds)
{
    struct Record {
        float id;
    };
    auto walk = [](const std::vector<Record>& list, long long id) {
        for (size_t i = 0; i < list.size(); i++)
            if ((long long)list[i].id == id) return int(i);
        return -1;
    };
    std::vector<Record> list;
    for (int i = 0; i < 1500; i++) list.push_back(Record{float(100000 + 10 * i)});
    list[700].id = list[200].id; // a shared id: the first one counts
    IdIndex<Record> index;
    index.Rebuild(list);
    auto agrees = [&](const char* when) {
        for (long long id = 99990; id <= 100000 + 10 * 1510; id += 5) ASSERT_EQ(index.Find(list, id), walk(list, id)) << when << ", id " << id;
    };
    agrees("as built");
    EXPECT_EQ(index.Find(list, 100000 + 10 * 200), 200);
    list.push_back(Record{float(100000 + 10 * 1505)});
    agrees("one appended");
    list.erase(list.begin() + 100, list.begin() + 400);
    agrees("shortened");
    for (Record& record : list) record.id += 3;
    agrees("replaced");
    list.clear();
    agrees("emptied");
    IdIndex<Record> unbuilt;
    list.push_back(Record{100010});
    EXPECT_EQ(unbuilt.Find(list, 100010), 0) << "an index never built still finds by walking";
}
