// Rules a player meets in every game, each worked out from its own numbers: how far a unit
// looks for targets, the firing cone, the speed law, stance 1, planning, what shots spare,
// what the eye-candy may not change, and what the computer pays.
#include "game/sim/opponent.h"
#include "game/sim/unitscan.h"
#include "support/sim_world.h"

#include <cmath>

// ---- the target search ----

// A Kugel tank (range 7) looks range x 64 + 1 - 32 = 417 pixels far for anyone's units.
TEST(TargetSearch, ReachesRangeTimesSixtyFourLessThirtyOne)
{
    auto takes = [](float pixels) {
        SimWorld world(FilledRows(60, 20, '.'), 3);
        int tank = world.Add(2402, 1, 5, 10);
        int troop = world.Add(2101, 2, 5 + pixels / 32, 10, 0);
        world.Run(1);
        return Units[size_t(tank)].target == Units[size_t(troop)].id;
    };
    EXPECT_TRUE(takes(416));
    EXPECT_FALSE(takes(418));
}

// The chosen enemy's units and buildings are 10000 pixels nearer: always in reach. Other
// players' are not.
TEST(TargetSearch, TheChosenEnemyIsAlwaysInReach)
{
    SimWorld world(FilledRows(200, 30, 'E'), 3);
    Players[1].attackTarget = 2;
    int tank = world.Add(2402, 1, 5, 10);
    world.Add(2101, 3, 5 + 15, 10, 0);                  // 480 pixels: a bystander out of reach
    int far = world.Add(2101, 2, 5 + 150, 10, 0);       // 4800 pixels: the chosen enemy
    world.Run(1);
    EXPECT_EQ(Units[size_t(tank)].target, Units[size_t(far)].id);

    int base = world.AddComplete(1100, 2, 100, 20);     // nearer than its unit
    Units[size_t(tank)].holdTarget = -1;
    world.Run(1);
    EXPECT_EQ(Units[size_t(tank)].target, float(Buildings[size_t(base)].id)) << "the nearest of the enemy's objects";
    Players[1].attackTarget = 3;
    world.AddComplete(1100, 3, 150, 20);
    world.Run(1);
    EXPECT_NE(Units[size_t(tank)].target, float(Buildings[size_t(base)].id)) << "another chosen enemy, another target";
}

// ---- firing ----

// A tank that cannot turn, its target 200 pixels away straight along +x (in reach): it fires
// while its heading is less than 20 degrees off, either way, and not beyond.
TEST(Firing, OnlyWithinTwentyDegreesOfTheTarget)
{
    auto firesAt = [](float heading) {
        SimWorld world(FilledRows(40, 30, '.'));
        int tank = world.Add(2402, 1, 10, 10, 2);
        int enemy = world.Add(2402, 2, 10 + 200.0f / 32, 10, 0);
        Unit& unit = Units[size_t(tank)];
        unit.heading = heading;
        unit.turnRate = 0;
        unit.target = Units[size_t(enemy)].id;
        unit.holdTarget = 1;
        unit.reload = unit.firePeriod;
        world.Run(3);
        return !Projectiles.empty();
    };
    EXPECT_TRUE(firesAt(19));
    EXPECT_TRUE(firesAt(341));
    EXPECT_FALSE(firesAt(21));
    EXPECT_FALSE(firesAt(339));
}

// ---- the speed law ----

// Heading straight at a point 400 pixels away: the speed grows by 2 x GameSpeed a frame up to
// its "v"; near the point it may go no faster than the square root of 100 x the pixels left,
// and where it is faster it loses 2 x GameSpeed a frame.
TEST(Speed, GrowsByTwiceTheGameSpeedAndKeepsUnderTheRootOfTheWayLeft)
{
    SimWorld world(FilledRows(40, 30, '.'));
    PathfindingOn = -1;
    int tank = world.Add(2402, 1, 5.5f, 10.5f, 2);
    world.OrderTo(tank, 5.5f + 400.0f / 32, 10.5f);
    const Unit& unit = Units[size_t(tank)];
    std::vector<float> speeds;
    float previous = 0;
    for (int frame = 0; frame < 400 && unit.target == 0; frame++) {
        world.Run(1);
        float left = std::hypot(unit.destX - unit.x, unit.destY - unit.y) * 32;
        float allowed = std::sqrt(left * 100);
        if (unit.speed > previous) {
            EXPECT_LE(unit.speed, allowed + 0.01f) << "frame " << frame;
        }
        if (previous > allowed + 0.01f && unit.target == 0) {
            EXPECT_FLOAT_EQ(unit.speed, std::max(0.0f, previous - 8)) << "frame " << frame;
        }
        speeds.push_back(unit.speed);
        previous = unit.speed;
    }
    ASSERT_GE(speeds.size(), 9u);
    EXPECT_EQ(std::vector<float>(speeds.begin(), speeds.begin() + 9), (std::vector<float>{8, 16, 24, 32, 40, 48, 56, 64, 70}))
        << "2 x GameSpeed a frame up to v = 70";
    EXPECT_EQ(unit.target, -1.0f) << "it arrived";
    EXPECT_LT(std::hypot(unit.destX - unit.x, unit.destY - unit.y) * 32, 8.0f);
}

// ---- stance 1 ----

// "Aggressive, without pursuit": it takes the nearest enemy within twice its range as target and
// goes for it straight, without planning a way; it fires once it is in range.
TEST(Stances, AStanceOneTankDrivesStraightAtItsTargetAndFires)
{
    SimWorld world(FilledRows(40, 30, '.'));
    int tank = world.Add(2402, 1, 5.5f, 15.5f, 1);
    int troop = world.Add(2101, 2, 17.5f, 15.5f, 0); // 12 cells: beyond firing range, within the search
    int fired = world.Run(600, [] { return !Projectiles.empty(); });
    EXPECT_EQ(Units[size_t(tank)].target, Units[size_t(troop)].id);
    EXPECT_LT(fired, 600) << "it came into range and fired";
    EXPECT_TRUE(Units[size_t(tank)].path.empty()) << "no plan in stance 1";
    EXPECT_GT(Units[size_t(tank)].x, 6.5f) << "it drove towards the troop";
}

// ---- planning ----

// A unit with a far destination and no target plans its way there (not in stance 1).
TEST(Planning, AFarDestinationWithoutATargetIsPlanned)
{
    std::vector<std::string> rows = FilledRows(40, 30, '.');
    for (int y = 1; y < 22; y++) rows[size_t(y)][20] = '#';
    SimWorld world(rows);
    int roaming = world.Add(2402, 1, 10.5f, 8.5f, 2), holding = world.Add(2402, 1, 10.5f, 12.5f, 1);
    for (int index : {roaming, holding}) {
        Unit& unit = Units[size_t(index)];
        unit.target = -1;
        unit.destX = 30.5f;
        unit.destY = unit.y;
    }
    world.Run(2);
    EXPECT_FALSE(Units[size_t(roaming)].path.empty()) << "its way round the ridge";
    EXPECT_TRUE(Units[size_t(holding)].path.empty()) << "stance 1 never plans";
}

// ---- what shots spare ----

// A guard tower behind its own wall shoots at an enemy beyond it. Its shots pass the wall; one
// that struck would bring down the player's own defences shot by shot.
TEST(OwnBuildings, ATowerShootsOverItsOwnWall)
{
    SimWorld world(FilledRows(40, 30, 'E'));
    int tower = world.Add(1052, 1, 10.5f, 10.5f, 1);
    std::vector<int> walls;
    for (int y = 8; y <= 13; y++) walls.push_back(world.AddComplete(1000, 1, 12, float(y)));
    JoinWalls();
    int speeder = world.Add(2201, 2, 16.5f, 10.5f, 0);
    world.Run(1000, [&] { return Units[size_t(speeder)].state > 0; });
    EXPECT_GT(Units[size_t(speeder)].state, 0) << "the speeder fell";
    for (int wall : walls) EXPECT_EQ(Buildings[size_t(wall)].hitPoints, Buildings[size_t(wall)].maxHitPoints);
    (void)tower;
}

// ---- the eye-candy ----

// The flash where a shot strikes and the smoke over a badly hurt vehicle draw nothing from the
// game's random numbers: the game goes on exactly as without them.
TEST(Effects, FlashesAndSmokeChangeNoRule)
{
    SimWorld world(FilledRows(20, 20, '.'));
    int tank = world.Add(2402, 2, 5, 5, 0);
    Units[size_t(tank)].hitPoints = 50; // badly hurt: it smoulders
    SmokeEffects = 1;
    SeedRandom(99);
    int expected = Rnd(1000000);
    SeedRandom(99);
    AddProjectile(1, 3003, 16, 1, 5 * 32, 5 * 32, 0, 0, 16, 0, 2); // a laser shot: its trail draws nothing
    ProjectileStep();
    for (int frame = 0; frame < 50; frame++) EmitFrameEffects();
    ASSERT_LT(Units[size_t(tank)].hitPoints, 50) << "the shot struck";
    int flashes = 0, smoke = 0;
    for (const Effect& effect : Effects) {
        flashes += effect.kind == 18;
        smoke += effect.kind == 24;
    }
    EXPECT_EQ(flashes, 1);
    EXPECT_GT(smoke, 0);
    EXPECT_EQ(Rnd(1000000), expected) << "the game's next random number is the one it would have been";
}

// Keeping a moving unit off a footprint is no push: it costs the unit neither count nor path.
TEST(Effects, KeepingOffAFootprintIsNoPush)
{
    SimWorld world(FilledRows(20, 20, 'E'));
    world.AddComplete(1100, 2, 8, 8);
    int tank = world.Add(2402, 1, 8.2f, 9.0f, 2);
    Unit& unit = Units[size_t(tank)];
    unit.path = "AB";
    unit.pushCount = 100;
    KeepOutOfFootprints(unit);
    EXPECT_TRUE(unit.x < 8 || unit.x > 10 || unit.y < 8 || unit.y > 10) << "out of the footprint";
    EXPECT_EQ(unit.pushCount, 100);
    EXPECT_EQ(unit.path, "AB");
}

// ---- the harvester ----

// The nearest spice lies inside a closed ring of cliffs; a field farther off is open. The
// harvester goes to the open field and keeps working.
TEST(Harvester, PassesOverSpiceItCannotReach)
{
    std::vector<std::string> rows = FilledRows(44, 36, '.');
    for (int i = 14; i <= 20; i++) rows[14][size_t(i)] = rows[20][size_t(i)] = rows[size_t(i)][14] = rows[size_t(i)][20] = '#';
    rows[17][17] = '$';
    for (int y = 28; y < 31; y++) rows[size_t(y)].replace(30, 3, "$$$");
    SimWorld world(rows);
    int harvester = world.Add(2002, 1, 10.5f, 17.5f, 3);
    int frames = world.Run(3000, [&] { return Units[size_t(harvester)].load > 0; });
    EXPECT_LT(frames, 3000) << "it collected";
    EXPECT_EQ(Units[size_t(harvester)].stance, 3);
    EXPECT_EQ(TerrainGrid[17][17], SpiceColour) << "the walled-in spice is left";
}

// ---- the computer's prices ----

// What the computer pays follows the difficulty: 4/3 of the price on "leicht", 2/3 on "schwer".
TEST(OpponentPrices, ItPaysForItsBuildingsByTheDifficulty)
{
    for (int difficulty : {1, 3}) {
        SimWorld world(FilledRows(50, 50, 'E'));
        Difficulty = difficulty;
        OpponentOn = 1;
        AiPhase = 0;
        Players[2].kind = 1;
        Players[2].money = 17000;
        Players[2].energy = 0; // it wants a solar cell, 1000 Euro in the table
        world.Add(2001, 2, 25, 25, 3);
        AiTurn(2);
        ASSERT_EQ(Buildings.size(), 1u);
        EXPECT_EQ(Players[2].money, 17000 - (difficulty == 1 ? 1333 : 667)) << "difficulty " << difficulty;
    }
    Difficulty = 2;
}
