// The world on small hand-made maps: start points, ground tiles, minimap, spice growth and the
// start of free games and missions.
#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/tables.h"
#include "game/sim/buildings.h"
#include "game/sim/gamestate.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "platform/pictures.h"
#include "support/shipped_data.h"
#include "support/sim_world.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

static void InstallMap(const std::vector<std::string>& rows) { InstallMapRows(rows); }

// Sprite numbers of the tiles at one grid position, in list order.
static std::vector<int> TilesAt(int x, int y)
{
    std::vector<int> sprites;
    for (const GroundTile& tile : GroundTiles)
        if (tile.x == x && tile.y == y) sprites.push_back(tile.sprite);
    return sprites;
}

class World : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"Einheiten.info", "Gebaeude.info", "Waffen.info"})
            ASSERT_EQ(InstallShippedTable(name), 1) << name;
        SetConfigurationDefaults();
        SeedRandom(1);
        LocalPlayer = 1;
        MissionMode = 0;
        MapNumber = 1;
    }
    TempFolder folder;
};

TEST_F(World, StartPointsOutsideTheBorderAreRead)
{
    InstallMap({"xPxxxx",
                "P.....",
                "x..P..",
                "x.....",
                "x....P",
                "x....."});
    ASSERT_EQ(LoadMapTerrain(1), 1);
    EXPECT_EQ(MapWidth, 6);
    ASSERT_EQ(PlayerCount, 2) << "row 0 and column 0 are never read";
    EXPECT_EQ(Players[1].startX, 3);
    EXPECT_EQ(Players[1].startY, 2);
    EXPECT_EQ(Players[2].startX, 5);
    EXPECT_EQ(Players[2].startY, 4);
    EXPECT_EQ(TerrainGrid[3][2], uint32_t(EarthColour)) << "a start point is earth";
    EXPECT_EQ(LoadMapTerrain(77), 0) << "a map that does not exist";
}

TEST_F(World, MixedCornersGetEveryPairThatMeetsInPairOrder)
{
    InstallMap({"xxxx",
                "xE.x",
                "x#.x",
                "xxxx"});
    ASSERT_EQ(LoadMapTerrain(1), 1);
    // Corners: (1,1) earth = 1, (2,1) sand = 2, (2,2) sand = 4, (1,2) cliff = 8.
    EXPECT_EQ(TilesAt(1, 1), (std::vector<int>{4101, 4308, 4508}));
}

TEST_F(World, UniformGroundGetsAFullTileAndTheMinimapItsGrey)
{
    InstallMap({"xxxxxx",
                "x::EEx",
                "x::EEx",
                "x~~##x",
                "x~~##x",
                "xxxxxx"});
    ASSERT_EQ(LoadMapTerrain(1), 1);
    std::vector<int> desert = TilesAt(1, 1);
    ASSERT_EQ(desert.size(), 1u);
    EXPECT_GE(desert[0], 4221);
    EXPECT_LE(desert[0], 4224);
    // Smyron beside cliff: no pair joins them, so the top-left cell's full tile stands alone.
    std::vector<int> smyron = TilesAt(2, 3);
    ASSERT_EQ(smyron.size(), 1u);
    EXPECT_GE(smyron[0], 4631);
    EXPECT_LE(smyron[0], 4634);
    EXPECT_EQ(ColourRed(MinimapImage.pixels[1 * 6 + 1]), 120) << "desert";
    EXPECT_EQ(ColourRed(MinimapImage.pixels[1 * 6 + 3]), 60) << "earth";
    EXPECT_EQ(ColourRed(MinimapImage.pixels[3 * 6 + 1]), 150) << "smyron";
    EXPECT_EQ(ColourRed(MinimapImage.pixels[3 * 6 + 3]), 40) << "cliff";
    EXPECT_EQ(MinimapGrey(SandColour), 100);
    EXPECT_EQ(MinimapGrey(SpiceColour), 80);
    EXPECT_EQ(MinimapGrey(WaterColour), -1);
}

// A sand field with a spice patch, cliffs along the top.
static std::vector<std::string> SpiceField()
{
    std::vector<std::string> rows = {std::string(20, 'x'), "x" + std::string(19, '#')};
    for (int y = 2; y < 19; y++) rows.push_back("x" + std::string(19, '.'));
    rows.push_back(std::string(20, 'x'));
    rows[15].replace(15, 2, "$$");
    return rows;
}

TEST_F(World, BloomCentreAlwaysTurnsButSandBesideCliffNever)
{
    InstallMap(SpiceField());
    ASSERT_EQ(LoadMapTerrain(1), 1);
    PlayerCount = 1;
    for (int frame = 0; frame < 200; frame++) {
        SpiceBloomTimer = 5;
        SpiceBloomX = 6;
        SpiceBloomY = 8;
        WorldPass();
        EXPECT_EQ(TerrainGrid[6][2], uint32_t(SandColour)) << "row 2 borders the cliffs";
    }
    EXPECT_EQ(TerrainGrid[6][8], uint32_t(SpiceColour)) << "the centre (d = 0) turns on the first chance";
    EXPECT_EQ(TerrainGrid[14][14], uint32_t(SandColour)) << "too far from the centre";
    // The tiles around a new spice cell show it: the tile below-right has it in its top-left corner.
    std::vector<int> below = TilesAt(6, 8);
    ASSERT_EQ(below.size(), 1u);
    EXPECT_TRUE((below[0] >= 4401 && below[0] <= 4414 && (below[0] - 4400) % 2 == 1) || below[0] >= 4421);
    EXPECT_EQ(ColourRed(MinimapImage.pixels[8 * 20 + 6]), 80) << "the minimap shows the new spice";
}

TEST_F(World, SpiceGrowsOnlyWhileScarce)
{
    InstallMap(SpiceField());
    ASSERT_EQ(LoadMapTerrain(1), 1);
    PlayerCount = 1;
    SpiceBloomTimer = 0;
    WorldPass();
    EXPECT_EQ(SpiceTileCount, 2);
    EXPECT_EQ(SpiceBloomTimer, 10) << "2 spice tiles are fewer than 100 per player";
    EXPECT_LE(SpiceBloomX, MapWidth);

    // A field that is mostly spice already: no new bloom.
    std::vector<std::string> rich(20, "x" + std::string(19, '$'));
    rich[0] = std::string(20, 'x');
    InstallMap(rich);
    ASSERT_EQ(LoadMapTerrain(1), 1);
    PlayerCount = 1;
    SpiceBloomTimer = 0;
    WorldPass();
    EXPECT_GE(SpiceTileCount, 100);
    EXPECT_EQ(SpiceBloomTimer, 0);
    PlayerCount = 4;
    WorldPass();
    EXPECT_EQ(SpiceBloomTimer, 10) << "four players want 400 spice tiles";
}

TEST_F(World, FreeGameGivesMoneyAndOneBuilderEach)
{
    InstallMap({"xxxxxxxx", "xP....Px", "x......x", "x...P..x", "xxxxxxxx"});
    ASSERT_EQ(LoadMapTerrain(1), 1);
    ASSERT_EQ(PlayerCount, 3);
    StartNewGame(1);
    EXPECT_EQ(Players[1].kind, 0);
    EXPECT_EQ(Players[1].money, 10000);
    EXPECT_EQ(Players[2].kind, 1);
    EXPECT_EQ(Players[2].money, 17000);
    ASSERT_EQ(Units.size(), 3u);
    for (int p = 1; p <= 3; p++) {
        const Unit& builder = Units[size_t(p - 1)];
        EXPECT_EQ(builder.typeId, 2001.0f);
        EXPECT_EQ(builder.owner, p);
        EXPECT_EQ(builder.stance, 3);
        EXPECT_EQ(builder.target, -1.0f);
        EXPECT_EQ(builder.x, float(Players[p].startX));
        EXPECT_EQ(builder.maxHitPoints, 240.0f) << "the unit row is read";
        EXPECT_EQ(builder.repairAmount, 5.0f) << "and its weapon row, the construction tool";
    }
    EXPECT_EQ(NextObjectId, 100003);
    EXPECT_EQ(FogGrid[3][3], 1);

    TechLevel = 1;
    ASSERT_EQ(LoadMapTerrain(1), 1);
    StartNewGame(2);
    EXPECT_EQ(Players[1].money, 100000);
    EXPECT_EQ(Players[2].money, 100000) << "a network player is human too";
    EXPECT_EQ(Players[3].money, 17000);
    EXPECT_EQ(Players[3].research[13], 1) << "everything researched at the technology level";
    EXPECT_EQ(Players[3].energy, 1);
}

// Mission lines as the table holds them.
static void InstallMissions(const std::string& text)
{
    MakeFolder("TXT");
    ASSERT_EQ(WriteWholeFile("TXT\\Missionen.info", L1(text)), 1);
    LoadDataTables();
}

TEST_F(World, MissionObjectsWaitForTheirHour)
{
    InstallMap({"xxxxxxxxxx", "xP......Px", "x........x", "x........x", "xxxxxxxxxx"});
    InstallMissions(">>> #\r\n>>  Titel$\r\n>>> 1\r\n>>  Sammeln\r\n>>  Aufgabe\r\n>   Text\r\n>>  \r\n"
                    "EURO 5000\r\n"
                    " 1300    2    2    1    0\r\n"
                    " 2402    6    2    2    9\r\n"
                    " 2001    3    3    1    0\r\n"
                    " 2101    7    3    9    0\r\n" // no player 9: left out
                    "---------------------------------------\r\n"
                    ">>> 2\r\n 2001    1    1    1    0\r\n");
    MissionMode = 1;
    MapNumber = 101;
    ASSERT_EQ(LoadMapTerrain(1), 1);
    StartNewGame(1);
    EXPECT_EQ(Players[1].money, 5000);
    EXPECT_EQ(Players[2].money, 7000);
    ASSERT_EQ(Buildings.size(), 1u);
    EXPECT_EQ(Buildings[0].typeId, 1300);
    EXPECT_EQ(Buildings[0].buildProgress, Buildings[0].buildTotal) << "mission buildings stand complete";
    EXPECT_EQ(Buildings[0].buildTotal, 180.0f);
    EXPECT_EQ(Buildings[0].state, 0);
    ASSERT_EQ(Units.size(), 2u);
    EXPECT_EQ(Units[0].typeId, 2402.0f);
    EXPECT_EQ(Units[0].state, -9) << "arrives at hour 9";
    EXPECT_EQ(Units[0].stance, 2);
    EXPECT_EQ(Units[1].stance, 3);
}

TEST_F(World, MissionThreeSwapsStartsAndMarksTheRadar)
{
    InstallMap({"xxxxxxxxxx", "xP......Px", "x........x", "x........x", "xxxxxxxxxx"});
    InstallMissions(">>> 3\r\n 1410    5    2    2    0\r\n 1400    2    2    1    0\r\n"
                    "---------------------------------------\r\n");
    MissionMode = 1;
    MapNumber = 103;
    ASSERT_EQ(LoadMapTerrain(1), 1);
    StartNewGame(1);
    ASSERT_EQ(Buildings.size(), 2u);
    EXPECT_EQ(Buildings[0].id, 10000000);
    EXPECT_NE(Buildings[1].id, 10000000);
    EXPECT_EQ(Players[1].startX, 8) << "the local player starts where player 2 would";
    EXPECT_EQ(Players[2].startX, 1);
}

TEST_F(World, CliffsPushUnitsOffAndDropTheirPathAfterManyPushes)
{
    InstallMap({"xxxxxxxx", "x......x", "x..##..x", "x..##..x", "x......x", "xxxxxxxx"});
    ASSERT_EQ(LoadMapTerrain(1), 1);
    PlayerCount = 1;
    Unit unit = MakeUnit(1, 2101, 1, 3.4f, 3.4f, 2, 0);
    unit.width = 32;
    unit.path = "ABCD";
    Units.push_back(unit);
    WorldPass();
    const Unit& pushed = Units[0];
    EXPECT_NE(pushed.x, 3.4f) << "standing on the cliff block, the unit is moved";
    EXPECT_GT(pushed.pushCount, 0);
    for (int frame = 0; frame < 30 && !Units[0].path.empty(); frame++) {
        Units[0].x = 3.4f;
        Units[0].y = 3.4f;
        WorldPass();
    }
    EXPECT_TRUE(Units[0].path.empty()) << "after more than 20 pushes the path is dropped";
}

TEST_F(World, CliffsPushAwayInEveryDirection)
{
    InstallMap({"xxxxxxxxxx", "x........x", "x........x", "x........x", "x........x", "x........x", "x........x", "xxxxxxxxxx"});
    ASSERT_EQ(LoadMapTerrain(1), 1);
    PlayerCount = 0;
    GroundTiles = {GroundTile{1, 4321, 4, 3}}; // one cliff tile; its centre is at pixel (144, 112)
    const float centreX = 4 * 32 + 16, centreY = 3 * 32 + 16;
    for (int dx = -1; dx <= 1; dx++)
        for (int dy = -1; dy <= 1; dy++) {
            if (dx == 0 && dy == 0) continue;
            Units.clear();
            Unit unit = MakeUnit(1, 2101, 1, (centreX + dx * 8) / 32, (centreY + dy * 8) / 32, 2, 0);
            unit.width = 32;
            Units.push_back(unit);
            float before = std::hypot(Units[0].x * 32 - centreX, Units[0].y * 32 - centreY);
            WorldPass();
            float after = std::hypot(Units[0].x * 32 - centreX, Units[0].y * 32 - centreY);
            EXPECT_GT(after, before + 1) << "direction " << dx << "," << dy;
        }
}

TEST_F(World, EveryNewGameStartsUnderFogOnBothGridAndImage)
{
    // As in a fresh program, the fog grid holds zeros before the first game.
    for (auto& column : FogGrid)
        for (unsigned char& cell : column) cell = 0;
    InstallMap({"xxxxxxxx", "xP.....x", "x......x", "x.....Px", "xxxxxxxx"});
    ASSERT_EQ(LoadMapTerrain(1), 1);
    StartNewGame(1);
    auto allUnseen = [] {
        for (int x = 0; x < MapWidth; x++)
            for (int y = 0; y < MapHeight; y++)
                if (FogGrid[x][y] != 1 || FogImage.pixels[size_t(y * FogImage.width + x)] != PackColour(10, 10, 10)) return 0;
        return 1;
    };
    EXPECT_EQ(allUnseen(), 1) << "the first game starts unseen";

    // A seen cell is see-through on the image, however it became seen.
    MarkCellSeen(2, 2);
    EXPECT_EQ(FogGrid[2][2], 0);
    uint32_t marked = FogImage.pixels[2 * size_t(FogImage.width) + 2];
    EXPECT_EQ(ColourAlpha(marked), 0);
    BuildFogImage();
    EXPECT_EQ(FogImage.pixels[2 * size_t(FogImage.width) + 2], marked) << "one convention for the image";
    for (int x = 0; x < 6; x++) MarkCellSeen(x, 1);
    MarkCellSeen(300, -2); // outside the grids: ignored

    // The next game, on another map, inherits nothing.
    InstallMap({"xxxxxxxxxxxx", "xP.........x", "x..........x", "x..........x", "x.........Px", "x..........x", "xxxxxxxxxxxx"});
    ASSERT_EQ(LoadMapTerrain(1), 1);
    StartNewGame(1);
    EXPECT_EQ(FogImage.width, 12);
    EXPECT_EQ(allUnseen(), 1) << "the second game starts unseen too";
}

TEST_F(World, StartHourOutsideTheDayIsKeptToIt)
{
    InstallMap({"xxxxxx", "xP...x", "x....x", "xxxxxx"});
    ASSERT_EQ(LoadMapTerrain(1), 1);
    StartHour = 2000000; // hand-edited: hours times 3600 would not fit
    StartNewGame(1);
    EXPECT_EQ(TimeOfDay, 23 * 3600);
    StartHour = -5;
    StartNewGame(1);
    EXPECT_EQ(TimeOfDay, 0);
}

TEST_F(World, ShadowsAreThoseOfTheGamesStartHour)
{
    // Shadow pictures whose width tells their hour.
    MakeFolder("BMP\\O\\Schatten");
    for (int hour : {9, 12, 15}) {
        Image shadow;
        MakeImage(shadow, hour, 4, PackColour(40, 40, 40));
        ASSERT_EQ(WriteWholeFile("BMP\\O\\Schatten\\Solarzelle_" + std::to_string(hour) + ".bmp", EncodeBmp24(shadow)), 1);
    }
    InstallMap({"xxxxxx", "xP...x", "x....x", "xxxxxx"});
    DayNightSetting = 1;
    StartHour = 15;
    TimeOfDay = 12 * 3600; // the clock of the game before
    ASSERT_EQ(LoadMapTerrain(1), 1);
    StartNewGame(1);
    EXPECT_EQ(PictureWidth(1101), 15) << "the solar cell's shadow of 15:00";
    StartHour = 3;
    ASSERT_EQ(LoadMapTerrain(1), 1);
    StartNewGame(1);
    EXPECT_EQ(PictureWidth(1101), 9) << "at night the 9:00 shadows stand in";
}

TEST_F(World, MissionLinesOutsideTheMapOrWithANegativeHourAreDropped)
{
    InstallMap({"xxxxxxxxxx", "xP......Px", "x........x", "x........x", "xxxxxxxxxx"});
    InstallMissions(">>> 1\r\n"
                    " 2101    3    2    1    0\r\n"  // fine
                    " 2101    3    2    1   -4\r\n"  // would die at once and never be removed
                    " 2101  300    2    1    0\r\n"  // beyond the grids
                    " 2101    3   -1    1    0\r\n"
                    " 2101    0    2    1    0\r\n"  // the unread border column
                    " 2101    9    2    1    0\r\n"  // x = MapWidth - 1 is the last readable cell
                    " 2101   10    2    1    0\r\n"
                    " 1100    7    2    1    0\r\n"  // fine without its picture: one cell
                    "---------------------------------------\r\n");
    MissionMode = 1;
    MapNumber = 101;
    ASSERT_EQ(LoadMapTerrain(1), 1);
    testing::internal::CaptureStderr();
    StartNewGame(1);
    std::string log = testing::internal::GetCapturedStderr();
    ASSERT_EQ(Units.size(), 2u);
    EXPECT_EQ(Units[0].x, 3.0f);
    EXPECT_EQ(Units[1].x, 9.0f);
    EXPECT_EQ(Buildings.size(), 1u);
    EXPECT_NE(log.find("korax: mission 1: object line dropped (negative hour)"), std::string::npos) << log;
    EXPECT_NE(log.find("(outside the map):  2101  300"), std::string::npos) << log;
}
