// The minimap with the mouse: drawn to fill its panel, a left press or drag moves the view,
// a right click still sends the selected units.
#include "game/view/minimap.h"
#include "tests/ui/ui_game.h"

class Minimap : public UiGame {
protected:
    // A radar station and the solar cells to run it: the minimap is shown.
    void SetUp() override
    {
        UiGame::SetUp();
        for (auto [type, x, y] : {std::tuple{1410, 4, 30}, std::tuple{1100, 8, 30}, std::tuple{1100, 12, 30}})
            AddBuilding(MakeBuilding(NextObjectId += 10, type, 1, float(x), float(y), 0));
        RecomputeObstacles();
        Frames(2);
    }
    // The cell under the middle of the playfield.
    float ViewCentreX() const { return (384 / Zoom - CamX) / 32; }
    float ViewCentreY() const { return (384 / Zoom - CamY) / 32; }
    // Layout point of a cell on the minimap, drawn 216 units wide for this 60 x 40 map.
    static int MapX(float cell) { return int(std::lround(896 - 108 + cell * 3.6f)); }
    static int MapY(float cell) { return int(std::lround(128 - 72 + cell * 3.6f)); }
    static int Grey(int x, int y)
    {
        GrabScreen(9998);
        return ReadPixel(9998, x, y) & 0xFF;
    }
};

TEST_F(Minimap, FillsItsPanelWithSquareCells)
{
    ASSERT_TRUE(MinimapShown());
    MoveTo(400, 700); // the pointer away from the map
    // Earth is grey on the minimap; outside the map the panel stays dark.
    EXPECT_GT(Grey(MapX(1.5f), MapY(20)), 40) << "the map's left edge near the panel's";
    EXPECT_GT(Grey(MapX(58.5f), MapY(20)), 40) << "and its right edge";
    EXPECT_GT(Grey(MapX(30), MapY(38.5f)), 40) << "as tall as its 40 cells are at the same size";
    EXPECT_LT(Grey(MapX(30), MapY(41)), 20) << "and no taller";
}

TEST_F(Minimap, ALeftClickOrDragMovesTheViewThere)
{
    ClickAt(MapX(40), MapY(25));
    EXPECT_NEAR(ViewCentreX(), 40, 0.6);
    EXPECT_NEAR(ViewCentreY(), 25, 0.6);
    EXPECT_EQ(Selected(), 0) << "a click on the minimap selects nothing";

    // Pressed on the minimap and dragged: the view follows before the button is let go.
    MoveTo(MapX(20), MapY(12));
    InjectMouseButton(1, 1);
    Frames(2);
    MoveTo(MapX(28), MapY(22));
    EXPECT_NEAR(ViewCentreX(), 28, 0.6);
    EXPECT_NEAR(ViewCentreY(), 22, 0.6);
    InjectMouseButton(1, 0);
    Frames(1);

    // A box dragged from the playfield onto the minimap is a selection, not a move.
    float camX = CamX, camY = CamY;
    Drag(100, 100, MapX(10), MapY(10));
    EXPECT_EQ(CamX, camX);
    EXPECT_EQ(CamY, camY);
}

TEST_F(Minimap, ARightClickOnItSendsTheSelectedUnitToTheCell)
{
    int tank = AddUnit(MakeUnit(float(NextObjectId += 10), 2402, 1, 12, 12, 0, 0));
    Frames(1);
    ClickAt(int(std::lround((12 * 32 + CamX) * Zoom)), int(std::lround((12 * 32 + CamY) * Zoom)));
    ASSERT_EQ(Selected(), 1);
    float camX = CamX;
    ClickAt(MapX(45), MapY(30), 2);
    EXPECT_NEAR(Units[size_t(tank)].destX, 45, 0.3);
    EXPECT_NEAR(Units[size_t(tank)].destY, 30, 0.3);
    EXPECT_EQ(Units[size_t(tank)].target, 0.0f);
    EXPECT_EQ(CamX, camX) << "the right button leaves the view";
}
