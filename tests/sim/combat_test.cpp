// Shots and what they hit: the damage table, buildings under construction, the tools (hammer,
// collecting, capture), the counters, the plasma split, and the harvester's whole round.
#include "game/sim/buckets.h"
#include "support/sim_world.h"

#include <algorithm>
#include <cmath>
#include <vector>

// A shot of `kind` standing still at a unit's or a cell's position, gone after one sub-step.
static void ShotAt(float kind, int owner, float cellX, float cellY, float damage, float repair, int shooter = 1)
{
    AddProjectile(shooter, kind, 16, owner, cellX * 32, cellY * 32, 0, 0, damage, repair, 2);
}

TEST(Combat, TheDamageTableScalesHitsOnUnits)
{
    SimWorld world(FilledRows(20, 20, '.'));
    int troop = world.Add(2101, 1, 5, 5), tank = world.Add(2402, 1, 10, 10);
    ShotAt(3001, 2, 5, 5, 3, 0);
    ShotAt(3001, 2, 10, 10, 3, 0);
    ProjectileStep();
    EXPECT_FLOAT_EQ(Units[size_t(troop)].hitPoints, 20 - 2.4f) << "MG on troops: 3 x 800 / 1000";
    EXPECT_FLOAT_EQ(Units[size_t(tank)].hitPoints, 290 - 0.6f) << "MG on tanks: 3 x 200 / 1000";
    EXPECT_TRUE(Projectiles.empty()) << "a shot that hit is spent";

    ShotAt(3001, 1, 5, 5, 3, 0);
    ProjectileStep();
    EXPECT_FLOAT_EQ(Units[size_t(troop)].hitPoints, 20 - 2.4f) << "own shots pass own units";
    ShotAt(3012, 2, 5, 5, 0, 0);
    ProjectileStep();
    EXPECT_FLOAT_EQ(Units[size_t(troop)].hitPoints, 20 - 2.4f) << "a collecting shot never hits a unit";
}

TEST(Combat, KillsLossesAndEveryAttackerLetsGo)
{
    SimWorld world(FilledRows(20, 20, '.'));
    int victim = world.Add(2101, 1, 5, 5);
    int hunter = world.Add(2402, 2, 9, 5), other = world.Add(2402, 2, 9, 8);
    for (int attacker : {hunter, other}) {
        Units[size_t(attacker)].target = Units[size_t(victim)].id;
        Units[size_t(attacker)].destX = 5;
    }
    ShotAt(3003, 2, 5, 5, 30, 0);
    ProjectileStep();
    EXPECT_EQ(Units[size_t(victim)].state, 1) << "dying";
    EXPECT_EQ(Players[2].unitsKilled, 1);
    EXPECT_EQ(Players[1].unitsLost, 1);
    for (int attacker : {hunter, other}) {
        EXPECT_EQ(Units[size_t(attacker)].target, -1.0f);
        EXPECT_EQ(Units[size_t(attacker)].destX, Units[size_t(attacker)].x) << "it stays where it is";
    }
    world.Run(4);
    EXPECT_EQ(Units.size(), 2u) << "removed at state 4";
}

TEST(Combat, UnfinishedBuildingsFallAtTheFirstDamagingShot)
{
    SimWorld world(FilledRows(20, 20, 'E'));
    int site = world.AddComplete(1100, 1, 5, 5);
    Buildings[size_t(site)].buildProgress = 10; // placed, not yet built
    int done = world.AddComplete(1100, 1, 10, 5);
    ShotAt(3001, 2, 5 + 1, 5 + 1, 3, 0); // the centre of a 128-pixel building is a quarter in
    ShotAt(3001, 2, 10 + 1, 5 + 1, 3, 0);
    ProjectileStep();
    EXPECT_EQ(Buildings[size_t(site)].state, 1) << "any damaging shot destroys it";
    EXPECT_EQ(Buildings[size_t(site)].hitPoints, 0);
    EXPECT_EQ(Buildings[size_t(done)].hitPoints, 350 - 3) << "a finished one only takes the damage, unscaled";
    EXPECT_EQ(Players[2].buildingsDestroyed, 1);
    EXPECT_EQ(Players[1].buildingsLost, 1);
    ShotAt(3001, 1, 10 + 1, 5 + 1, 3, 0);
    ProjectileStep();
    EXPECT_EQ(Buildings[size_t(done)].hitPoints, 350 - 3) << "guns spare their own side's buildings";
}

TEST(Combat, TheHammerNeverHurtsAndBuildsPastFullHitPoints)
{
    SimWorld world(FilledRows(20, 20, 'E'));
    int site = world.AddComplete(1100, 1, 5, 5);
    Building& building = Buildings[size_t(site)];
    building.buildProgress = 1;
    building.hitPoints = 340;
    ShotAt(3011, 1, 6, 6, 0, 5);
    ProjectileStep();
    EXPECT_EQ(building.hitPoints, 345) << "a hurt building is repaired first";
    EXPECT_EQ(building.buildProgress, 1);
    for (int i = 0; i < 3; i++) {
        ShotAt(3011, 1, 6, 6, 0, 5);
        ProjectileStep();
    }
    EXPECT_EQ(building.hitPoints, 350) << "never past its maximum";
    EXPECT_EQ(building.buildProgress, 11) << "what goes past full hit points builds";
    EXPECT_EQ(building.state, 0);

    // A hurt tower of the builder's own side is repaired; an enemy's is not touched.
    int tower = world.Add(1052, 1, 12.5f, 12.5f, 1);
    Units[size_t(tower)].hitPoints = 100;
    ShotAt(3011, 1, 12.5f, 12.5f, 0, 5);
    ShotAt(3011, 2, 12.5f, 12.5f, 0, 5);
    ProjectileStep();
    EXPECT_EQ(Units[size_t(tower)].hitPoints, 105);
}

TEST(Combat, ThePioneerTakesTheBuildingAndIsGone)
{
    SimWorld world(FilledRows(20, 20, 'E'));
    int radar = world.AddComplete(1410, 2, 5, 5);
    int pioneer = world.Add(2107, 1, 4.5f, 6);
    int guard = world.Add(2402, 1, 8, 9);
    Units[size_t(pioneer)].target = Units[size_t(guard)].target = float(Buildings[size_t(radar)].id);
    ShotAt(3007, 1, 6, 6, 0, 0, int(Units[size_t(pioneer)].id));
    ProjectileStep();
    EXPECT_EQ(Buildings[size_t(radar)].owner, 1);
    EXPECT_EQ(Units[size_t(guard)].target, -1.0f) << "nobody attacks it any more";
    world.Run(1);
    EXPECT_EQ(FindUnit(float(100010)), -1) << "the pioneer went in";
    EXPECT_EQ(Units.size(), 1u);
    (void)pioneer;
}

TEST(Combat, UnloadingPaysOneHundredAShotOrOneHundredTwentyImproved)
{
    SimWorld world(FilledRows(20, 20, 'E'));
    int incinerator = world.AddComplete(1300, 1, 5, 5);
    int harvester = world.Add(2002, 1, 9, 6.5f, 3);
    Units[size_t(harvester)].load = -5;
    Players[1].money = 0;
    for (int i = 0; i < 5; i++) {
        ShotAt(3012, 1, 5 + 1.5f, 5 + 1.5f, 0, 0, int(Units[size_t(harvester)].id));
        ProjectileStep();
    }
    EXPECT_EQ(Players[1].money, 500);
    EXPECT_EQ(Players[1].spiceMoney, 500);
    EXPECT_EQ(Units[size_t(harvester)].load, 0);
    EXPECT_EQ(Buildings[size_t(incinerator)].smokeTimer, 40);
    ShotAt(3012, 1, 5 + 1.5f, 5 + 1.5f, 0, 0, int(Units[size_t(harvester)].id));
    ProjectileStep();
    EXPECT_EQ(Players[1].money, 500) << "an empty harvester pays nothing";

    Players[1].research[13] = 1;
    Units[size_t(harvester)].load = -5;
    for (int i = 0; i < 5; i++) {
        ShotAt(3012, 1, 5 + 1.5f, 5 + 1.5f, 0, 0, int(Units[size_t(harvester)].id));
        ProjectileStep();
    }
    EXPECT_EQ(Players[1].money, 1100) << "600 more with the improved incinerator";
    EXPECT_EQ(Players[1].spiceMoney, 1100);
}

TEST(Combat, ACollectedSpiceCellTurnsToSandOnItsFourTiles)
{
    std::vector<std::string> rows = FilledRows(12, 12, '.');
    rows[5].replace(4, 3, "$$$");
    rows[6].replace(4, 3, "$$$");
    rows[7].replace(4, 3, "$$$");
    SimWorld world(rows);
    auto spriteAt = [](int x, int y) {
        for (const GroundTile& tile : GroundTiles)
            if (tile.x == x && tile.y == y) return tile.sprite;
        return 0;
    };
    ASSERT_GE(spriteAt(5, 6), 4421) << "inside the field: full spice tiles";
    int harvester = world.Add(2002, 1, 5.2f, 6.1f, 3);
    ShotAt(3012, 1, 5.2f, 6.1f, 0, 0, int(Units[size_t(harvester)].id));
    ProjectileStep();
    EXPECT_EQ(TerrainGrid[5][6], uint32_t(SandColour));
    EXPECT_EQ(spriteAt(4, 5), 4415 - 4) << "above left: its bottom-right corner is sand now";
    EXPECT_EQ(spriteAt(5, 5), 4415 - 8);
    EXPECT_EQ(spriteAt(5, 6), 4415 - 1);
    EXPECT_EQ(spriteAt(4, 6), 4415 - 2);
    EXPECT_EQ(ColourRed(MinimapImage.pixels[6 * 12 + 5]), 100);
    EXPECT_EQ(Units[size_t(harvester)].load, 1);
    EXPECT_TRUE(Projectiles.empty());
}

TEST(Combat, APlasmaSplitKeepsTwiceSixTenthsOfTheDamage)
{
    SimWorld world(FilledRows(40, 40, '.'));
    int splits = 0;
    for (int attempt = 0; attempt < 50 && splits == 0; attempt++) {
        Projectiles.clear();
        AddProjectile(1, 3005, 16, 2, 100, 100, 0, 60, 22, 0, 20);
        ProjectileStep();
        splits = int(Projectiles.size()) - 1;
    }
    ASSERT_EQ(splits, 1) << "a split comes one in five sub-steps";
    EXPECT_FLOAT_EQ(Projectiles[0].damage + Projectiles[1].damage, 2 * 0.6f * 22);
    EXPECT_EQ(Projectiles[1].size, 14);
    EXPECT_EQ(Projectiles[1].life, Projectiles[0].life - 1) << "the copy flew on in the same sub-step";
}

TEST(Harvester, CollectsFiveSpiceCellsThenUnloadsThemAll)
{
    std::vector<std::string> rows = FilledRows(40, 30, 'E');
    for (int y = 4; y < 12; y++) rows[size_t(y)].replace(24, 8, "........");
    for (int y = 6; y < 10; y++) rows[size_t(y)].replace(26, 4, "$$$$");
    SimWorld world(rows);
    world.AddComplete(1300, 1, 8, 8);
    int harvester = world.Add(2002, 1, 20, 9, 3);
    Players[1].money = 0;
    std::vector<int> loads{0};
    auto noteLoad = [&] {
        if (Units[size_t(harvester)].load != loads.back()) loads.push_back(Units[size_t(harvester)].load);
        return loads.back() == 0 && loads.size() > 1;
    };
    ASSERT_LT(world.Run(40000, noteLoad), 40000) << "a whole round: out, full, back, empty";
    EXPECT_EQ(loads, (std::vector<int>{0, 1, 2, 3, 4, -5, -4, -3, -2, -1, 0})) << "five cells make a load, five shots unload it";
    EXPECT_EQ(Players[1].money, 500);
    EXPECT_EQ(Players[1].spiceMoney, 500);
}

// A frame's sub-steps gather what the shots look up once; a crowd of fragile units under fire
// from every weapon, some dying in the first sub-step, must come out as from single steps.
static std::vector<Unit> Volley(int together)
{
    SimWorld world(FilledRows(40, 40, '.'), 6);
    SeedRandom(31);
    static const int types[] = {2101, 2201, 2302, 2402, 2501, 2604};
    for (int i = 0; i < 120; i++) {
        int index = world.Add(types[i % 6], 1 + i % 3, float(5 + Rnd(30)), float(5 + Rnd(30)));
        Units[size_t(index)].hitPoints = float(1 + Rnd(8));
    }
    world.AddComplete(1100, 2, 18, 18);
    for (int i = 0; i < 600; i++) {
        const Unit& shooter = Units[size_t(Rnd(119))];
        AddProjectile(int(shooter.id), float(3001 + Rnd(5)), 16, shooter.owner, float(160 + Rnd(960)), float(160 + Rnd(960)),
                      float(Rnd(359)), float(20 + Rnd(100)), 4, 0, 30);
    }
    SeedRandom(32);
    if (together) {
        ProjectileSteps(4);
    } else {
        for (int step = 0; step < 4; step++) ProjectileStep();
    }
    return Units;
}

TEST(Combat, SubStepsTogetherHitAsSingleStepsDo)
{
    std::vector<Unit> together = Volley(1);
    std::vector<Projectile> shotsTogether = Projectiles;
    std::vector<Unit> single = Volley(0);
    ASSERT_EQ(together.size(), single.size());
    int fallen = 0;
    for (size_t i = 0; i < single.size(); i++) {
        EXPECT_EQ(together[i].hitPoints, single[i].hitPoints) << "unit " << i;
        EXPECT_EQ(together[i].state, single[i].state) << "unit " << i;
        fallen += single[i].state != 0;
    }
    EXPECT_GT(fallen, 10) << "units fell on the way, so that later sub-steps met the fallen";
    ASSERT_EQ(shotsTogether.size(), Projectiles.size());
    for (size_t i = 0; i < Projectiles.size(); i++) EXPECT_EQ(shotsTogether[i].x, Projectiles[i].x) << "shot " << i;
}

// The shots' shortcuts over the grids against a plain walk over the lists: the spots of a run of
// cells are the units standing there, and wherever a building lies within a shot's reach the
// building grid says one may.
TEST(Combat, TheShotsGridsHoldWhatThePlainWalkFinds)
{
    SimWorld world(FilledRows(90, 70, 'E'));
    static const int types[] = {2101, 2201, 2302, 2402, 2604, 1052};
    SeedRandom(5);
    for (int i = 0; i < 300; i++) {
        // Some stand on the map's edge cells, where the grid clamps.
        float x = float(Rnd(8900)) / 100, y = float(Rnd(6900)) / 100;
        world.Add(types[Rnd(5)], 1 + Rnd(3), i % 17 == 0 ? 0.2f : x, i % 23 == 0 ? 69.9f : y);
    }
    Units[7].state = 2; // falling: no longer a target
    for (int type : {1100, 1300, 1000}) world.AddComplete(type, 2, float(10 + type % 7 * 9), float(20 + type % 5 * 7));
    world.AddComplete(1100, 3, 80, 60);
    FreezeUnitSpots();
    RebuildBuildingBuckets();

    for (int column = -1; column <= 90; column += 3)
        for (int top = -2; top < 72; top += 5) {
            int count = 0;
            const UnitSpot* spots = SpotsInColumn(column, top, top + 2, count);
            std::vector<int> found, plain;
            for (int i = 0; i < count; i++) found.push_back(spots[i].index);
            for (size_t u = 0; u < Units.size(); u++) {
                int cx = std::clamp(int(Units[u].x), 0, 89), cy = std::clamp(int(Units[u].y), 0, 69);
                if (Units[u].state == 0 && cx == column && cy >= top && cy <= top + 2) plain.push_back(int(u));
            }
            std::sort(found.begin(), found.end());
            ASSERT_EQ(found, plain) << "column " << column << ", cells " << top << ".." << top + 2;
        }

    int open = 0;
    float reach = float(WidestBuilding() / 4) + 1;
    for (float px = -40; px < 90 * 32 + 40; px += 7.3f)
        for (float py = -40; py < 70 * 32 + 40; py += 7.3f) {
            int near = 0;
            for (const Building& building : Buildings) {
                float dx = building.x * 32 + float(building.width / 4) - px, dy = building.y * 32 + float(building.height / 4) - py;
                near |= std::sqrt(dx * dx + dy * dy) <= reach;
            }
            if (near) {
                ASSERT_TRUE(MayHitBuildings(px / 32, py / 32)) << px << ", " << py;
            }
            open += !MayHitBuildings(px / 32, py / 32);
        }
    EXPECT_GT(open, 50000) << "most of the open ground is known to be free of buildings";
}
