// The build menus worked with the mouse: queues, counts, refunds, research at every lab,
// placement, selling.
#include "game/sim/research.h"
#include "tests/ui/ui_game.h"

class Sidebar : public UiGame {
protected:
    // A complete own building at a cell, selected by a click on it.
    int SelectedBuilding(int typeId, int x, int y)
    {
        int index = AddBuilding(MakeBuilding(NextObjectId += 10, typeId, 1, float(x), float(y), 0));
        RecomputeObstacles();
        MoveToCell(float(x) + 0.5f, float(y) + 0.5f);
        Click();
        EXPECT_EQ(Buildings[size_t(index)].selection, 2);
        return index;
    }
};

TEST_F(Sidebar, ThreeUnitsOrderedShowThreeAndCostThreePrices)
{
    int barracks = SelectedBuilding(1210, 14, 6);
    int money = Players[1].money;
    for (int i = 0; i < 3; i++) ClickItem(793, 344);
    const Building& building = Buildings[size_t(barracks)];
    EXPECT_EQ(Players[1].money, money - 3 * 150);
    EXPECT_EQ(building.currentItem, 2101) << "the first went into production";
    EXPECT_EQ(building.queue, "2101   400" "2101   400");
    EXPECT_TRUE(Played(31)) << "Wird_ausgebildet";

    ClickItem(793, 344, 2);
    EXPECT_EQ(Players[1].money, money - 2 * 150) << "a right click takes one back and refunds it";
    EXPECT_EQ(building.queue, "2101   400");
    ClickItem(793, 344, 2);
    EXPECT_TRUE(building.queue.empty());
    EXPECT_EQ(building.currentItem, 2101);
    ClickItem(793, 344, 2);
    EXPECT_EQ(building.currentItem, 0) << "with none queued it cancels the one in production";
    EXPECT_EQ(Players[1].money, money) << "refunded in full";
    EXPECT_TRUE(Played(61)) << "Abgebrochen";
    Frames(400);
    EXPECT_TRUE(Units.size() == size_t(PlayerCount)) << "nothing came out";
}

TEST_F(Sidebar, UnaffordableItemsAndMissingResearchIgnoreClicks)
{
    int barracks = SelectedBuilding(1210, 14, 6);
    ClickItem(793, 394);
    EXPECT_TRUE(Buildings[size_t(barracks)].queue.empty() && Buildings[size_t(barracks)].currentItem == 0)
        << "the bazooka troop needs Kugel";
    Players[1].money = 100;
    ClickItem(793, 344);
    EXPECT_EQ(Buildings[size_t(barracks)].currentItem, 0) << "100 Euro do not pay for 150";
    EXPECT_EQ(Players[1].money, 100);
}

TEST_F(Sidebar, ResearchOrderedAtOneLabShowsAtEveryLabAndRunsAlone)
{
    int other = AddBuilding(MakeBuilding(NextObjectId += 10, 1400, 1, 20, 20, 0));
    int lab = SelectedBuilding(1400, 14, 6);
    int money = Players[1].money;
    ClickItem(793, 344); // Kugel
    EXPECT_EQ(Players[1].money, money - 1000);
    EXPECT_EQ(Buildings[size_t(lab)].queue, "0712  3000");
    EXPECT_EQ(Buildings[size_t(other)].queue, "0712  3000") << "every lab works on it";
    ClickItem(893, 344); // an economy item: refused while a research runs
    EXPECT_EQ(Players[1].money, money - 1000);
    ClickItem(793, 394); // Laser: needs Kugel first
    EXPECT_EQ(Players[1].money, money - 1000);
    Frames(2);
    ClickItem(793, 344, 2);
    EXPECT_EQ(Players[1].money, money) << "cancelled, refunded in full";
    EXPECT_EQ(Buildings[size_t(other)].currentItem, 0) << "at every lab";
    EXPECT_EQ(HasResearch(1, 712), 0);
}

TEST_F(Sidebar, AWorkVehicleShowsRestAndWorkOnly)
{
    const Unit& builder = Units[0];
    MoveToCell(builder.x, builder.y);
    Click();
    ASSERT_EQ(Units[0].selection, 2.0f);
    for (int i = 0; i < 4; i++) ClickAt(796 + 36 * i + 16, 268 + 16);
    EXPECT_EQ(Units[0].stance, 3) << "the last button offered is Routine";
    ClickAt(796 + 16, 268 + 16);
    EXPECT_EQ(Units[0].stance, 0) << "Passiv";
    ClickAt(796 + 36 * 2 + 16, 268 + 16);
    EXPECT_EQ(Units[0].stance, 0) << "no pursuit for a builder";
    ClickAt(796 + 36 + 16, 268 + 16);
    EXPECT_EQ(Units[0].stance, 0) << "no aggression either";
}

TEST_F(Sidebar, PlacementGhostPlacesRefusesAndRightClickCancels)
{
    MoveToCell(Units[0].x, Units[0].y);
    Click();
    ClickItem(847, 604); // solar cell
    EXPECT_EQ(BuildingToPlace, 1100);
    int money = Players[1].money;
    MoveToCell(18.5f, 3.5f); // the spice field
    Click();
    EXPECT_EQ(BuildingToPlace, 1100) << "refused on spice: still placing";
    EXPECT_EQ(Players[1].money, money);
    EXPECT_TRUE(Played(1));
    Units[0].target = -1;
    MoveToCell(12.5f, 14.5f);
    Click(2);
    EXPECT_EQ(BuildingToPlace, NoBuildingToPlace) << "a right click leaves the placement";
    EXPECT_EQ(Units[0].target, -1.0f) << "and gives no order";
    EXPECT_EQ(Buildings.size(), 0u);

    ClickItem(847, 604);
    MoveToCell(12.5f, 14.5f);
    Click();
    ASSERT_EQ(Buildings.size(), 1u);
    EXPECT_EQ(Buildings[0].typeId, 1100);
    EXPECT_EQ(Buildings[0].x, 12);
    EXPECT_EQ(Players[1].money, money - 1000);
    EXPECT_EQ(BuildingToPlace, NoBuildingToPlace);
}

TEST_F(Sidebar, TheSellButtonRefundsHalf)
{
    int factory = SelectedBuilding(1220, 14, 6);
    (void)factory;
    int money = Players[1].money;
    ClickAt(964 + 16, 692 + 16);
    EXPECT_EQ(Players[1].money, money + 750);
    EXPECT_EQ(Buildings.size(), 0u);
}
