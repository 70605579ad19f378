// The rules tables as shipped, and the reading rules on small tables of our own.
#include "game/base/tables.h"
#include "platform/files.h"
#include "platform/latin1.h"
#include "support/shipped_data.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <utility>
#include <vector>
#include <sstream>

static void WriteTable(const std::string& name, const std::string& text)
{
    MakeFolder("TXT");
    ASSERT_EQ(WriteWholeFile("TXT\\" + name, L1(text)), 1);
}

// A table line with fields placed at their columns (1-based), padded and closed by "#".
static std::string TableRow(std::vector<std::pair<int, std::string>> fields)
{
    std::string line;
    for (const auto& [column, text] : fields) {
        line.resize(size_t(column - 1), ' ');
        line += text;
    }
    line.resize(99, ' ');
    return line + "#\r\n";
}

class ShippedTables : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"Einheiten.info", "Gebaeude.info", "Forschung.info", "Waffen.info", "Wirkung.info"})
            ASSERT_EQ(InstallShippedTable(name), 1) << name;
        LoadDataTables();
    }
    TempFolder folder;
};

TEST_F(ShippedTables, TowersTakeTheirBuildingRow)
{
    EXPECT_EQ(CatalogueName[1052], "Kugel-Wachturm") << "the building table is read after the unit table";
    EXPECT_EQ(CataloguePrice[1052], 750);
    EXPECT_EQ(CatalogueRow[1052], 11);
    EXPECT_EQ(CatalogueInfo[1052], "-1");
}

TEST_F(ShippedTables, CatalogueInfoTextsAndRows)
{
    EXPECT_EQ(CatalogueName[2001], "Baufahrzeug");
    EXPECT_EQ(CatalogueInfo[2001], "   800");
    EXPECT_EQ(CatalogueRow[2001], 4);
    EXPECT_EQ(CatalogueInfo[1100], "3");
    EXPECT_EQ(CatalogueInfo[726], " 11000");
    EXPECT_EQ(CatalogueName[733], "Verb. Arbeitsfahrzeugefabrik") << "names are 28 wide in the building tables";
    EXPECT_EQ(CataloguePrice[2606], 1400);
    EXPECT_EQ(CatalogueRow[2606], 30);
    EXPECT_EQ(CatalogueRow[1260], 21);
    EXPECT_EQ(CatalogueRow[734], 19);
    EXPECT_EQ(CatalogueName[7], "") << "the weapon table is not part of the catalogue";
}

TEST_F(ShippedTables, RowLookups)
{
    WeaponType pioneer = LookupWeaponType(7);
    EXPECT_EQ(pioneer.range, 1);
    EXPECT_EQ(pioneer.shotSpeed, 30);
    EXPECT_EQ(pioneer.firePeriod, 100);
    EXPECT_EQ(pioneer.repairAmount + pioneer.harvestAmount + pioneer.damage, 0);
    EXPECT_EQ(LookupWeaponType(11).repairAmount, 5);
    EXPECT_EQ(LookupWeaponType(12).harvestAmount, 1);

    UnitType tank = LookupUnitType(2404);
    EXPECT_EQ(tank.armourClass, 4);
    EXPECT_EQ(tank.hitPoints, 290);
    EXPECT_EQ(tank.maxSpeed, 70);
    EXPECT_EQ(tank.turnRate, 7);
    EXPECT_EQ(tank.weapon, 4);
    UnitType missing = LookupUnitType(2999);
    EXPECT_EQ(missing.hitPoints, 290) << "no row: the previous lookup's values stay";

    BuildingType lab = LookupBuildingType(1400);
    EXPECT_EQ(lab.price, 2000);
    EXPECT_EQ(lab.hitPoints, 550);
    EXPECT_EQ(lab.buildTime, 150);
    EXPECT_EQ(lab.energy, -4);
    EXPECT_EQ(LookupBuildingType(1056).price, 950);
}

TEST_F(ShippedTables, EffectTableHoldsTheDamageFactors)
{
    EXPECT_EQ(EffectTable[1][1], 800);  // MG on troops
    EXPECT_EQ(EffectTable[4][1], 200);  // rockets on troops
    EXPECT_EQ(EffectTable[3][3], 300);  // laser on quads
    EXPECT_EQ(EffectTable[5][5], 300);  // plasma on robots
    EXPECT_EQ(EffectTable[6][6], 500);  // ions on gliders
    EXPECT_EQ(EffectTable[2][6], 1000); // cannon on gliders
    for (int i = 0; i < 7; i++) EXPECT_EQ(EffectTable[0][i] + EffectTable[i][0], 0) << "row and column 0 stay 0";
}

TEST(Tables, EmptyLineEndsATable)
{
    TempFolder folder;
    WriteTable("Gebaeude.info", ">>> Kopf\r\n" +
                                    TableRow({{1, "1100"}, {11, "Solarzelle"}, {41, "1000"}, {51, "350"}, {61, "80"}, {71, "3"}}) +
                                    "\r\n" +
                                    TableRow({{1, "1300"}, {11, "Verbrennungsanlage"}, {41, "2000"}, {51, "700"}, {71, "-1"}}));
    LoadDataTables();
    EXPECT_EQ(CataloguePrice[1100], 1000);
    EXPECT_EQ(CatalogueRow[1100], 2);
    EXPECT_EQ(CataloguePrice[1300], 0);
    EXPECT_EQ(LookupBuildingType(1100).hitPoints, 350);
    EXPECT_EQ(LookupBuildingType(1300).hitPoints, 350) << "the row behind the empty line is never found";
}

TEST(Tables, BadFieldsReadAsZeroAndLongLinesAreCut)
{
    TempFolder folder;
    std::string longName(5000, 'X');
    WriteTable("Einheiten.info",
               TableRow({{1, "2101"}, {11, "Infanterie"}, {31, "1"}, {41, "1x0"}, {51, "20"}, {61, "40"}, {71, "20"}}) +
                   "2102      " + longName + "\r\n" + TableRow({{1, "9999"}, {11, "Zu gross"}, {41, "5"}}) +
                   TableRow({{1, "-5"}, {11, "Negativ"}, {41, "5"}}) + "21\r\n");
    LoadDataTables();
    EXPECT_EQ(CataloguePrice[2101], 0) << "a field with a letter in it";
    EXPECT_EQ(CatalogueName[2102], std::string(20, 'X')) << "the name field is 20 wide";
    EXPECT_EQ(CataloguePrice[2102], 0);
    EXPECT_EQ(CatalogueRow[21], 5) << "a short line is a row of its own";
    UnitType unit = LookupUnitType(2101);
    EXPECT_EQ(unit.hitPoints, 20);
}

TEST(Tables, MissingFilesLeaveEmptyTables)
{
    TempFolder folder;
    LoadDataTables();
    EXPECT_EQ(CatalogueName[2001], "");
    EXPECT_EQ(EffectTable[1][1], 0);
    EXPECT_EQ(MissionLines[1], "");
}

TEST(Tables, MissionLinesFillSlotsFromOne)
{
    TempFolder folder;
    std::string text = ">>> #\r\n>>  Titel$\r\n>>> 1\r\nEURO 5000\r\n 2001   10   12    1    0\r\n";
    for (int i = 0; i < 1200; i++) text += ">   Zeile\r\n";
    WriteTable("Missionen.info", text);
    LoadDataTables();
    EXPECT_EQ(MissionLines[0], "");
    EXPECT_EQ(MissionLines[1], ">>> #");
    EXPECT_EQ(MissionLines[4], "EURO 5000");
    EXPECT_EQ(MissionLines[MissionLineSlots - 1], ">   Zeile") << "more lines than slots are not read";
}

TEST(Tables, TutorialPagesStartAtMultiplesOfTen)
{
    TempFolder folder;
    std::string text = "* TUTORIAL/HILFE *\r\n";
    for (int i = 1; i <= 6; i++) text += "Zeile " + std::to_string(i) + "\r\n";
    text += "<>\r\nSeite zwei\r\n<>\r\n<>\r\n";
    for (int i = 0; i < 12; i++) text += "lang " + std::to_string(i) + "\r\n";
    text += "<><>\r\nnie gelesen\r\n";
    WriteTable("Tutorial.txt", text);
    LoadDataTables();
    EXPECT_EQ(TutorialLines[0], "* TUTORIAL/HILFE *");
    EXPECT_EQ(TutorialLines[6], "Zeile 6");
    EXPECT_EQ(TutorialLines[7], "");
    EXPECT_EQ(TutorialLines[10], "Seite zwei");
    EXPECT_EQ(TutorialLines[20], "lang 0") << "a page end on a multiple of ten skips nothing";
    EXPECT_EQ(TutorialLines[31], "lang 11") << "a long page runs into the next";
    EXPECT_EQ(TutorialLines[32], "");
}
