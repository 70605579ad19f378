// Every shipped map loads through the game's listing, has its start points, and each free
// map leaves every player room to build on earth near the start.
#include "game/base/assets.h"
#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/base/tables.h"
#include "game/play/gameloop.h"
#include "game/sim/buildings.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/pictures.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

class ShippedMaps : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::copy(KORAX_STAGED_DATEN, folder.path + "DATEN", fs::copy_options::recursive);
        SetProgramFolder(folder.path + "DATEN");
        SetConfigurationDefaults();
        LoadDataTables();
        // The maps alone, as the loader numbers them: free maps 1.., campaign maps 101..
        int free = 0, campaign = 0;
        for (const std::string& name : ListFolder("KARTEN\\*.bmp")) {
            if (name.rfind("Karte", 0) == 0) {
                ASSERT_EQ(LoadPicture(++free, "KARTEN\\" + name), 1) << name;
            } else if (name.rfind("Missi", 0) == 0) {
                ASSERT_EQ(LoadPicture(101 + campaign++, "KARTEN\\" + name), 1) << name;
            }
        }
        freeMaps = free;
        campaignMaps = campaign;
    }
    // Grid positions near a cell whose tile is wholly earth (4121..4124): where buildings go.
    static int EarthTilesNear(int x, int y, int radius)
    {
        int count = 0;
        for (const GroundTile& tile : GroundTiles)
            if (std::abs(tile.x - x) <= radius && std::abs(tile.y - y) <= radius && tile.sprite >= 4121 && tile.sprite <= 4124)
                count++;
        return count;
    }
    TempFolder folder;
    int freeMaps = 0, campaignMaps = 0;
};

TEST_F(ShippedMaps, FiveFreeMapsAndFourMissions)
{
    EXPECT_EQ(freeMaps, 5);
    EXPECT_EQ(campaignMaps, 4);
    EXPECT_TRUE(FileExists("KARTEN\\Legende.bmp")) << "the colour key ships, and is skipped";
}

TEST_F(ShippedMaps, EveryFreeStartHasRoomToBuild)
{
    const int expectedPlayers[] = {2, 2, 4, 4, 6};
    for (int map = 1; map <= freeMaps; map++) {
        MissionMode = 0;
        ASSERT_EQ(LoadMapTerrain(map), 1) << map;
        EXPECT_GE(MapWidth, 51);
        EXPECT_LE(MapWidth, 161);
        EXPECT_EQ(PlayerCount, expectedPlayers[map - 1]) << "map " << map;
        for (int p = 1; p <= PlayerCount; p++)
            EXPECT_GE(EarthTilesNear(Players[p].startX, Players[p].startY, 8), 40) << "map " << map << " player " << p;
        StartNewGame(1);
        EXPECT_EQ(int(Units.size()), PlayerCount);
    }
}

TEST_F(ShippedMaps, EveryMissionStartsWithItsObjects)
{
    for (int mission = 1; mission <= campaignMaps; mission++) {
        MissionMode = 1;
        MapNumber = 100 + mission;
        ASSERT_EQ(LoadMapTerrain(MapNumber), 1) << mission;
        ASSERT_GE(PlayerCount, 2) << mission;
        StartNewGame(1);
        EXPECT_FALSE(Units.empty()) << mission;
        EXPECT_FALSE(Buildings.empty()) << mission;
        for (const Building& building : Buildings) {
            EXPECT_GE(building.x, 1) << mission;
            EXPECT_LT(building.x + building.width / 64, MapWidth) << mission;
        }
        int ownIncinerators = 0, radar = 0;
        for (const Building& building : Buildings) {
            ownIncinerators += building.owner == 1 && building.typeId == 1300;
            radar += building.id == 10000000 && building.owner == 2;
        }
        if (mission == 2) {
            EXPECT_GE(ownIncinerators, 4) << "mission 2 is lost below four incinerators";
        }
        if (mission == 3) {
            EXPECT_EQ(radar, 1) << "the radar to capture";
        }
    }
    MissionMode = 0;
}
