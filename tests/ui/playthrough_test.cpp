// A first base built through the sidebar and the mouse alone, as a new player would: an
// incinerator, two solar cells and a work vehicle factory, then a harvester whose first load
// brings money in.
#include "tests/ui/ui_game.h"

class Playthrough : public UiGame {
protected:
    // Frames until `done`, at most `limit`; the number of frames it took.
    int Until(const std::function<bool()>& done, int limit)
    {
        for (int frame = 1; frame <= limit; frame++) {
            GameFrame();
            if (done()) return frame;
        }
        return limit + 1;
    }
    // With the builder selected: a building chosen in its menu and put down at a cell.
    void Build(int iconX, int iconY, int cellX, int cellY)
    {
        ClickItem(iconX, iconY);
        ASSERT_GT(BuildingToPlace, NoBuildingToPlace);
        MoveToCell(float(cellX) + 0.1f, float(cellY) + 0.1f);
        Click();
        ASSERT_EQ(BuildingToPlace, NoBuildingToPlace) << "placed at " << cellX << "," << cellY;
    }
    static int AllComplete()
    {
        for (const Building& building : Buildings)
            if (!IsComplete(building)) return 0;
        return 1;
    }
};

TEST_F(Playthrough, FromABuilderToTheFirstSpiceMoney)
{
    for (int i = 0; i < 12; i++) Key(0xD1); // Page Down: the game's fastest speed
    ASSERT_EQ(GameSpeed, 16.0f);
    MoveToCell(Units[0].x, Units[0].y);
    Click();
    ASSERT_EQ(Units[0].selection, 2.0f) << "the builder";
    Build(797, 604, 10, 13); // incinerator
    Build(847, 604, 6, 13);  // solar cell
    Build(847, 604, 6, 16);  // solar cell
    Build(797, 414, 10, 17); // work vehicle factory
    ASSERT_EQ(Buildings.size(), 4u);
    EXPECT_EQ(Players[1].money, 10000 - 2000 - 2 * 1000 - 1000);
    ASSERT_LT(Until(AllComplete, 6000), 6000) << "the builder puts up all four";
    EXPECT_EQ(Players[1].energy, 2 * 3 - 1 - 2);

    const Building& factory = Buildings[3];
    MoveToCell(factory.x + 1.5f, factory.y + 1.5f);
    Click();
    ASSERT_EQ(Buildings[3].selection, 2);
    ClickItem(793, 394); // the harvester
    int paid = Players[1].money;
    EXPECT_EQ(paid, 5000 - 1200);
    ASSERT_LT(Until([] { return Units.size() == 3; }, 2000), 2000) << "the harvester leaves the factory";
    ASSERT_LT(Until([&] { return Players[1].money > paid; }, 8000), 8000) << "and brings its first load in";
    EXPECT_EQ(Players[1].money, paid + 100) << "one unloading shot";
    EXPECT_EQ(Players[1].spiceMoney, 100);
}
