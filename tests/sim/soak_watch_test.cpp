// What the soak of the computer players watches: the first attack on another player, money
// standing still while a player could earn, buildings left unfinished.
#include "bench/soak_watch.h"
#include "support/sim_world.h"

// Player 1 is a computer in a soak; naming the player at this computer (itself) is no attack.
TEST(SoakWatch, OnlyAnAttackOnAnotherPlayerCounts)
{
    SimWorld world(FilledRows(30, 30, 'E'), 3);
    SoakWatch watch;
    Players[1].attackTarget = 1;
    ElapsedSeconds = 3600;
    WatchSoakFrame(watch);
    EXPECT_EQ(watch.firstAttack, -1);
    Players[3].attackTarget = 2;
    ElapsedSeconds = 7200;
    WatchSoakFrame(watch);
    EXPECT_EQ(watch.firstAttack, 7200);
    EXPECT_EQ(watch.firstAttacker, 3);
    EXPECT_EQ(watch.firstAttacked, 2);
}

TEST(SoakWatch, MoneyFreezesOnlyWhileTheComputerCouldEarn)
{
    SimWorld world(FilledRows(30, 30, 'E'), 2);
    SoakWatch watch;
    auto at = [&](int hours) {
        ElapsedSeconds = hours * 3600;
        WatchSoakFrame(watch);
    };
    at(0);
    at(3);
    EXPECT_EQ(watch.players[2].longestFreeze, 0) << "no harvester, no incinerator: it cannot earn";
    world.Add(2002, 2, 5, 5, 3);
    world.AddComplete(1300, 2, 10, 10);
    at(4);
    at(6);
    EXPECT_EQ(watch.players[2].longestFreeze, 2 * 3600);
    Players[2].money += 100;
    at(7);
    at(8);
    EXPECT_EQ(watch.players[2].longestFreeze, 2 * 3600) << "an unload starts the span again";
    at(11);
    EXPECT_EQ(watch.players[2].longestFreeze, 4 * 3600) << "standing still since the unload at 7 hours";
}

// Counted while the player has a construction vehicle to finish the building.
TEST(SoakWatch, TheLongestABuildingStoodUnfinished)
{
    SimWorld world(FilledRows(30, 30, 'E'), 2);
    SoakWatch watch;
    auto at = [&](int seconds) {
        ElapsedSeconds = seconds;
        WatchSoakFrame(watch);
    };
    int site = AddPlacedBuilding(2, 1100, 5, 5);
    NextObjectId += 10;
    at(1000);
    at(3000);
    EXPECT_EQ(watch.players[2].longestUnfinished, 0) << "no vehicle: it waits for money to buy one";
    int builder = world.Add(2001, 2, 10, 10, 3);
    at(4000);
    at(6000);
    EXPECT_EQ(watch.players[2].longestUnfinished, 2000);
    Units[size_t(builder)].state = 1; // destroyed
    at(8000);
    Units[size_t(builder)].state = 0;
    at(9000);
    at(9500);
    EXPECT_EQ(watch.players[2].longestUnfinished, 2000) << "counted afresh once a vehicle is there again";
    Buildings[size_t(site)].buildProgress = Buildings[size_t(site)].buildTotal;
    at(20000);
    EXPECT_EQ(watch.players[2].longestUnfinished, 2000) << "complete";
    EXPECT_EQ(watch.players[1].longestUnfinished, 0);
}
