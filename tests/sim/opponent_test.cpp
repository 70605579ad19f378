// The computer opponent: its prices, when it waits, what it wishes for, and whom it attacks.
#include "game/sim/opponent.h"
#include "game/sim/research.h"
#include "support/sim_world.h"

class Opponent : public ::testing::Test {
protected:
    SimWorld world{FilledRows(50, 50, 'E')};
    void SetUp() override
    {
        Players[2].kind = 1;
        Players[2].money = 17000;
        OpponentOn = 1;
        Difficulty = 2;
        AiPhase = 0;
    }
    void Stock() { TakeStock(2); }
};

TEST_F(Opponent, PricesFollowTheDifficulty)
{
    Difficulty = 1;
    EXPECT_EQ(AiPrice(712), 1333) << "leicht: 4/3";
    Difficulty = 2;
    EXPECT_EQ(AiPrice(712), 1000);
    Difficulty = 3;
    EXPECT_EQ(AiPrice(712), 667) << "schwer: 2/3";
}

TEST_F(Opponent, WithoutAVehicleAndAFactoryItCanDoNothing)
{
    Players[2].energy = 0;
    int money = Players[2].money;
    for (int turn = 0; turn < 20; turn++) AiTurn(2);
    EXPECT_EQ(Players[2].money, money);
    EXPECT_TRUE(Buildings.empty());
    Stock();
    Think(2);
    EXPECT_EQ(AiBuilding + AiUnit + AiResearch, 0) << "its wishes end at a vehicle, which needs the factory";
}

TEST_F(Opponent, ItBuildsAroundItsVehicleAndWaitsForTheBuilding)
{
    world.Add(2001, 2, 25, 25, 3);
    Players[2].energy = 0;
    AiTurn(2);
    ASSERT_EQ(Buildings.size(), 1u) << "energy below 3: a solar cell";
    const Building& solar = Buildings[0];
    EXPECT_EQ(solar.typeId, 1100);
    EXPECT_EQ(solar.owner, 2);
    EXPECT_LE(std::abs(solar.x - 25), 8);
    EXPECT_EQ(solar.buildProgress, 1);
    EXPECT_EQ(Players[2].money, 17000 - 1000);
    for (int turn = 0; turn < 10; turn++) AiTurn(2);
    EXPECT_EQ(Buildings.size(), 1u) << "no further turns while it goes up";
    EXPECT_EQ(AiPhase, 1);
    Players[2].threatMemory = "000100|1";
    AiTurn(2);
    EXPECT_EQ(AiPhase, 0) << "unless it is attacked";
    EXPECT_EQ(Players[2].threatMemory, "000000|0") << "the threat is acted on and forgotten";
}

TEST_F(Opponent, AfterFindingNoPlaceItSkipsATurn)
{
    // A vehicle on sand far from any earth: no spot within eight cells.
    std::vector<std::string> rows = FilledRows(50, 50, '.');
    SimWorld sand(rows);
    Players[2].kind = 1;
    Players[2].money = 17000;
    Players[2].energy = 0;
    sand.Add(2001, 2, 25, 25, 3);
    AiPhase = 0;
    AiTurn(2);
    EXPECT_TRUE(Buildings.empty());
    EXPECT_EQ(AiPhase, 2) << "512 attempts failed";
    AiTurn(2);
    EXPECT_EQ(AiPhase, 1) << "the next turn is skipped";
    AiTurn(2);
    EXPECT_EQ(AiPhase, 2) << "and then it tries again, in vain";
}

TEST_F(Opponent, MoreThanSevenTroopsWithoutASpeederFactoryGoForThePlayer)
{
    for (int i = 0; i < 4; i++) world.Add(2101, 2, 10 + float(i), 10);
    for (int i = 0; i < 4; i++) world.Add(2102, 2, 10 + float(i), 12);
    Players[2].energy = 5;
    Stock();
    Think(2);
    EXPECT_EQ(Players[2].attackTarget, LocalPlayer);
    Units.pop_back();
    Stock();
    Think(2);
    EXPECT_EQ(Players[2].attackTarget, 0) << "seven are not enough";
}

TEST_F(Opponent, ATankThreatIsAnsweredByLaserTroopsOrLaserSpeeders)
{
    world.Add(2001, 2, 25, 25, 3);
    world.AddComplete(1210, 2, 20, 20);
    world.AddComplete(1220, 2, 30, 20);
    world.AddComplete(1400, 2, 20, 30);
    Players[2].research[ResearchFlagIndex(713)] = 1;
    Players[2].research[ResearchFlagIndex(722)] = 1;
    Players[2].threatMemory = "000100|1";
    Stock();
    Think(2);
    EXPECT_EQ(AiUnit, 2203) << "below six laser troops and rocket tanks: the laser speeder is the last wish made";
    for (int i = 0; i < 6; i++) world.Add(2404, 2, 5 + float(i), 40);
    Players[2].threatMemory = "000100|1";
    Stock();
    Think(2);
    EXPECT_EQ(AiUnit, 2103) << "with six rocket tanks, only the laser troop is wished";
}

TEST_F(Opponent, ALabAtWorkIsNotPaidAgainForAResearch)
{
    world.Add(2001, 2, 25, 25, 3);
    world.AddComplete(1210, 2, 20, 20);
    int lab = world.AddComplete(1400, 2, 30, 30);
    Players[2].energy = 5;
    // Attacked by troops: it wants bazooka troops, which need the Kugel research.
    Players[2].threatMemory = "100000|1";
    Stock();
    Think(2);
    ASSERT_GT(AiResearch, 0);
    Buildings[size_t(lab)].currentItem = AiResearch; // the lab already works on it
    Buildings[size_t(lab)].remaining = 1000;
    int money = Players[2].money;
    for (int turn = 0; turn < 5; turn++) {
        Players[2].threatMemory = "100000|1";
        AiTurn(2);
    }
    EXPECT_TRUE(Buildings[size_t(lab)].queue.empty());
    EXPECT_GT(Players[2].money, money - AiPrice(AiResearch)) << "the research was not paid for again";
    Buildings[size_t(lab)].currentItem = 0;
    money = Players[2].money;
    Players[2].threatMemory = "100000|1";
    AiTurn(2);
    EXPECT_FALSE(Buildings[size_t(lab)].queue.empty()) << "an idle lab starts it";
    EXPECT_LE(Players[2].money, money - AiPrice(AiResearch));
}

// Its last construction vehicle fell while a building was going up: nobody can finish the site,
// so it waits for nothing and goes on (here: a new harvester first, as its economy rule says).
TEST_F(Opponent, ASiteWithoutAVehicleHoldsNothingUp)
{
    int site = AddPlacedBuilding(2, 1100, 10, 10);
    NextObjectId += 10;
    world.AddComplete(1200, 2, 20, 20);
    Players[2].energy = 5;
    Players[2].money = 5000;
    for (int turn = 0; turn < 3; turn++) AiTurn(2);
    EXPECT_EQ(AiPhase, 0) << "it acts";
    EXPECT_FALSE(IsComplete(Buildings[size_t(site)]));
    EXPECT_FALSE(Buildings.back().queue.empty() && Buildings.back().currentItem == 0) << "the factory was given work";
    world.Add(2001, 2, 25, 25, 3);
    AiTurn(2);
    EXPECT_EQ(AiPhase, 1) << "with a vehicle it waits for the site again";
}
