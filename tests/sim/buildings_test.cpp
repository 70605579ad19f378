// Buildings: energy, production and its pace, research and its rules, placement, selling,
// towers, and the units a factory sends out.
#include "game/sim/research.h"
#include "support/sim_world.h"

#include <cmath>

TEST(Energy, CompleteBuildingsOnlyAndTheImprovedSolarCell)
{
    SimWorld world(FilledRows(30, 30, 'E'));
    int solar = world.AddComplete(1100, 1, 3, 3);
    int site = world.AddComplete(1100, 1, 6, 3);
    Buildings[size_t(site)].buildProgress = 5;
    world.AddComplete(1400, 1, 10, 3);
    world.Add(1052, 1, 20.5f, 20.5f, 1);
    ComputeEnergy();
    EXPECT_EQ(Players[1].energy, 3 - 4 - 1) << "one solar cell, a lab, a tower; the unfinished cell gives nothing";
    Players[1].research[ResearchFlagIndex(732)] = 1;
    ComputeEnergy();
    EXPECT_EQ(Players[1].energy, 4 - 4 - 1) << "an improved cell gives 4";
    EXPECT_EQ(Players[2].energy, 0);
    (void)solar;
}

// Frames until the building's current item is finished (it was taken from the queue).
static int FramesToFinish(SimWorld& world, int building)
{
    return world.Run(20000, [&] { return Buildings[size_t(building)].currentItem == 0 && Buildings[size_t(building)].queue.empty(); });
}

TEST(Production, WithoutEnergyAUnitTakesFiveTimesAsLong)
{
    SimWorld world(FilledRows(40, 40, 'E'));
    int barracks = world.AddComplete(1210, 1, 5, 5);
    Buildings[size_t(barracks)].queue = "2101   400";
    Players[1].energy = 1;
    EXPECT_NEAR(FramesToFinish(world, barracks), 100, 1) << "400 game seconds at 4 a frame";
    Buildings[size_t(barracks)].queue = "2101   400";
    Players[1].energy = 0;
    EXPECT_NEAR(FramesToFinish(world, barracks), 500, 1) << "2000 game seconds without energy (0.8 a frame, in floats)";
}

TEST(Production, TheUnitLeavesForTheRallyPointWithTheFactorysStance)
{
    SimWorld world(FilledRows(40, 40, 'E'));
    int factory = world.AddComplete(1200, 1, 5, 5);
    Buildings[size_t(factory)].rallyX = 15;
    Buildings[size_t(factory)].rallyY = 12;
    Buildings[size_t(factory)].queue = "2002   900";
    LogPlayedSounds(1);
    FramesToFinish(world, factory);
    ASSERT_EQ(Units.size(), 1u);
    const Unit& harvester = Units[0];
    EXPECT_EQ(harvester.typeId, 2002.0f);
    EXPECT_EQ(harvester.stance, 3) << "the work vehicle factory's stance";
    EXPECT_EQ(harvester.destX, 15);
    EXPECT_EQ(harvester.destY, 12);
    EXPECT_EQ(harvester.target, 0.0f) << "a point order to the rally point";
    EXPECT_TRUE(SimWorld::Played(42)) << "Neue_Einheit_fertiggestellt";
    EXPECT_EQ(harvester.maxHitPoints, 300.0f);

    world.Run(400);
    const Unit& arrived = Units[0];
    EXPECT_LT(std::hypot(arrived.x - 15, arrived.y - 12), 1.0f) << "it went there";
}

TEST(Production, NoUnitEndsInsideAFootprint)
{
    SimWorld world(FilledRows(40, 40, 'E'));
    int lab = world.AddComplete(1400, 1, 10, 10);
    for (int i = 0; i < 9; i++) world.Add(i % 2 ? 2101 : 2402, 2, 10.2f + float(i % 3), 10.3f + float(i / 3), 0);
    for (int frame = 0; frame < 40; frame++) {
        world.Run(1);
        for (const Unit& unit : Units) {
            int inside = unit.x > 10 && unit.x < 13 && unit.y > 10 && unit.y < 13;
            EXPECT_FALSE(inside) << "frame " << frame << ": " << unit.x << "," << unit.y;
        }
    }
    (void)lab;
}

TEST(Research, ChainsNeedTheirPredecessorEconomyStandsAlone)
{
    SimWorld world(FilledRows(20, 20, 'E'));
    EXPECT_EQ(ResearchAvailability(1, 713), 0) << "no Laser before Kugel";
    EXPECT_EQ(ResearchAvailability(1, 712), 1);
    EXPECT_EQ(ResearchAvailability(1, 723), 0) << "no Quads before Speeder";
    EXPECT_EQ(ResearchAvailability(1, 722), 1);
    for (int id : {734, 731, 733, 732}) EXPECT_EQ(ResearchAvailability(1, id), 1) << id << " in any order";
    CompleteResearch(1, 734);
    EXPECT_EQ(ResearchAvailability(1, 731), 1);
    EXPECT_LT(ResearchAvailability(1, 734), 0) << "done";
    CompleteResearch(1, 712);
    EXPECT_EQ(ResearchAvailability(1, 713), 1);
    EXPECT_EQ(ResearchAvailability(2, 713), 0) << "each player has his own";
}

TEST(Research, TwoLabsHalveTheTimeAndTheResultShows)
{
    SimWorld world(FilledRows(40, 40, 'E'));
    int first = world.AddComplete(1400, 1, 5, 5);
    int solar = world.AddComplete(1100, 1, 20, 5);
    Buildings[size_t(first)].queue = "0732  7000";
    LogPlayedSounds(1);
    EXPECT_NEAR(FramesToFinish(world, first), 1750, 1) << "7000 game seconds at 4 a frame";
    EXPECT_EQ(HasResearch(1, 732), 1);
    EXPECT_EQ(Buildings[size_t(solar)].variant, 2) << "the solar cells take their improved look";
    EXPECT_TRUE(SimWorld::Played(54)) << "Technologie_verbessert";

    int second = world.AddComplete(1400, 1, 10, 5);
    Buildings[size_t(first)].queue = Buildings[size_t(second)].queue = "0712  3000";
    EXPECT_NEAR(FramesToFinish(world, first), 375, 1) << "3000 game seconds, two labs, 8 a frame";
    EXPECT_EQ(HasResearch(1, 712), 1);
    Players[1].energy = 0;
    Buildings[size_t(first)].queue = Buildings[size_t(second)].queue = "0713  4000";
    EXPECT_NEAR(FramesToFinish(world, first), 2500, 1) << "a fifth of the pace without energy";
}

TEST(Placement, OnlyOnFreeEarthInsideTheMarginsAndPaidFor)
{
    std::vector<std::string> rows = FilledRows(30, 30, 'E');
    rows[10].replace(10, 3, "...");
    SimWorld world(rows);
    Players[1].money = 5000;
    EXPECT_EQ(PlacementFaultAt(1300, 9, 9), PlacementNotOnEarth) << "sand under it";
    EXPECT_EQ(PlacementFaultAt(1300, 5, 5), PlacementFits);
    EXPECT_EQ(PlacementFaultAt(1300, 0, 5), PlacementOffMap);
    EXPECT_EQ(PlacementFaultAt(1300, 27, 5), PlacementOffMap) << "x at most MapWidth - 3 - 1 for three cells";
    EXPECT_EQ(PlacementFaultAt(1300, 26, 5), PlacementFits);
    ASSERT_EQ(PlaceBuilding(1300, 5, 5), 1);
    EXPECT_EQ(Players[1].money, 3000);
    const Building& placed = Buildings.back();
    EXPECT_EQ(placed.buildProgress, 1);
    EXPECT_EQ(placed.buildTotal, 180);
    EXPECT_EQ(placed.hitPoints, placed.maxHitPoints);
    EXPECT_EQ(ObstacleGrid[7][7], -1) << "it blocks its cells";
    EXPECT_EQ(PlacementFaultAt(1100, 7, 7), PlacementOccupied);
    EXPECT_EQ(PlacementFaultAt(1100, 8, 5), PlacementFits) << "right beside it is free";
    world.Add(1052, 2, 15.5f, 15.5f, 1);
    EXPECT_EQ(PlacementFaultAt(1100, 14, 14), PlacementOccupied) << "a guard tower stands there";
    EXPECT_EQ(PlaceBuilding(1300, 15, 5), 1);
    EXPECT_EQ(PlaceBuilding(1300, 19, 5), 0) << "1000 Euro left, 2000 needed";
    EXPECT_EQ(Players[1].money, 1000);
}

TEST(Placement, ImprovedLooksAndWallsThatJoin)
{
    SimWorld world(FilledRows(30, 30, 'E'));
    Players[1].money = 100000;
    Players[1].research[ResearchFlagIndex(734)] = 1;
    ASSERT_EQ(PlaceBuilding(1300, 5, 5), 1);
    EXPECT_EQ(Buildings.back().variant, 1);
    ASSERT_EQ(PlaceBuilding(1200, 10, 5), 1);
    EXPECT_EQ(Buildings.back().variant, 0);
    EXPECT_EQ(Buildings.back().stance, 3);
    ASSERT_EQ(PlaceBuilding(1000, 20, 20), 1);
    ASSERT_EQ(PlaceBuilding(1000, 21, 20), 1);
    EXPECT_EQ(Buildings[Buildings.size() - 2].typeId, 1001) << "joined to its new neighbour";
    size_t corner = Buildings.size() - 2;
    ASSERT_EQ(PlaceBuilding(1000, 20, 21), 1);
    EXPECT_EQ(Buildings[corner].typeId, 1003) << "a wall to its right and one below";
    Buildings.back().state = 4;
    BuildingPass();
    EXPECT_EQ(Buildings[corner].typeId, 1001) << "the one below destroyed, the walls join again";
}

TEST(Towers, AFinishedTowerBecomesItsGun)
{
    SimWorld world(FilledRows(30, 30, 'E'));
    Players[1].money = 5000;
    ASSERT_EQ(PlaceBuilding(1054, 8, 8), 1);
    float id = float(Buildings.back().id);
    Buildings.back().buildProgress = Buildings.back().buildTotal;
    BuildingPass();
    EXPECT_TRUE(Buildings.empty()) << "the building record is gone";
    ASSERT_EQ(Units.size(), 1u);
    const Unit& tower = Units[0];
    EXPECT_EQ(tower.typeId, 1054.0f);
    EXPECT_EQ(tower.id, id);
    EXPECT_EQ(tower.x, 8.5f);
    EXPECT_EQ(tower.stance, 1);
    EXPECT_EQ(tower.range, 11.0f) << "the rocket tower's weapon row";
    EXPECT_EQ(ObstacleGrid[8][8], -1) << "the cell stays blocked by the gun";
}

TEST(Selling, HalfThePriceRoundedDownAndWallsAsPlainWalls)
{
    SimWorld world(FilledRows(30, 30, 'E'));
    Players[1].money = 0;
    int factory = world.AddComplete(1220, 1, 5, 5);
    int wall = world.AddComplete(1005, 1, 15, 15);
    int lab = world.AddComplete(1400, 1, 20, 5);
    Buildings[size_t(lab)].currentItem = 712;
    Buildings[size_t(lab)].remaining = 1000;
    Buildings[size_t(factory)].selection = Buildings[size_t(wall)].selection = Buildings[size_t(lab)].selection = 2;
    int enemy = world.AddComplete(1100, 2, 10, 10);
    Buildings[size_t(enemy)].selection = 2; // never the local player's to sell
    EXPECT_EQ(SaleValue(), 750 + 25 + 1000) << "a 1500 factory, a 50 wall, a lab without the research paid";
    SellSelected();
    EXPECT_EQ(Players[1].money, 1775);
    ASSERT_EQ(Buildings.size(), 1u);
    EXPECT_EQ(Buildings[0].owner, 2);
    EXPECT_EQ(ObstacleGrid[6][6], 0) << "the ground is free again";

    int builder = world.Add(2001, 1, 5, 5, 3);
    Units[size_t(builder)].selection = 2;
    EXPECT_EQ(SaleValue(), 450);
}
