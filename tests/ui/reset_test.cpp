// A new or loaded game starts with empty hands, though the rules' reset that builds it lies on
// a floor below the screens and knows nothing of them.
#include "game/sim/gamestate.h"
#include "game/ui/commands.h"
#include "game/ui/sidebar.h"

#include <gtest/gtest.h>

TEST(GameReset, ForgetsTheBuildingInHandAndTheDraggedBox)
{
    BuildingToPlace = NoBuildingToPlace + 5;
    SelectionBox = DragBox{10, 20, 30, 40};
    HoverOwner = 2;
    ResetGameState();
    EXPECT_EQ(BuildingToPlace, NoBuildingToPlace);
    EXPECT_EQ(SelectionBox.x1, -1);
    EXPECT_EQ(SelectionBox.y2, -1);
    EXPECT_EQ(HoverOwner, 0);
}
