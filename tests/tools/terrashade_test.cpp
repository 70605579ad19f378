// The shadow maker: the list layout, heights in whole units, the sun by the hour, raster strokes
// that leave out their end, and whole runs of both builds in a temporary program folder.
#include "tools/terrashade/terrashade.h"

#include "support/temp_folder.h"
#include "tests/tools/generator_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

const char* const ShippedNames[13] = {"Arzt",          "Forschungslabor", "Gleiter-Fabrik",     "Kaserne",
                                      "kleine-Fabrik", "Radarzentrale",   "Panzer-Fabrik",      "Quad-Fabrik",
                                      "Solarzelle",    "Verb_Solarzelle", "Verbrennungsanlage", "Roboter-Fabrik",
                                      "Speeder-Fabrik"};

// A list line: the value after a 30-character label.
std::string ListLine(const std::string& label, const std::string& value)
{
    std::string line = label;
    line.resize(LabelWidth, ' ');
    return line + " " + value + "\r\n";
}

// A list in the layout of terrashade: angle, stretch, then one line per name.
std::string HeightList(const std::vector<std::string>& names)
{
    std::string text = ListLine("Winkel des Schattenwurfs", "45") + ListLine("Faktor des Streckens", "1.0");
    for (const std::string& name : names) text += ListLine(L1("Höhenbilddatei + \"_H.bmp\""), name);
    return text;
}

// The shipped list as the staged tree has it, or the same thirteen names when it is not there.
std::string ShippedHeightList()
{
    std::string text = StagedText(std::string(KORAX_SOURCE_DATA) + L1("/BMP/O/Höhen.ini"));
    return text.empty() ? HeightList(std::vector<std::string>(ShippedNames, ShippedNames + 13)) : text;
}

Image BareGround(int w, int h)
{
    Image heights;
    MakeImage(heights, w, h, PackColour(0, 0, 0));
    return heights;
}

// Puts matter on one pixel: top and bottom in tenths of a unit, as the red and green channels.
void PutMatter(Image& heights, int x, int y, int topTenths, int bottomTenths)
{
    heights.pixels[size_t(y * heights.width + x)] = PackColour(topTenths, bottomTenths, 0);
}

// A building-like height image: a block standing on the ground and a raised panel.
Image SmallBuilding(int side)
{
    Image heights = BareGround(side, side);
    for (int y = side / 4; y < side * 3 / 4; y++)
        for (int x = side / 4; x < side * 3 / 4; x++) PutMatter(heights, x, y, 40 + (x + y) % 160, 0);
    for (int x = 4; x < side / 4; x++) PutMatter(heights, x, 6, 80, 60);
    return heights;
}

// The grey pixels of a canvas as (x, y) pairs; anything neither grey nor black is reported.
std::set<std::pair<int, int>> ShadedPixels(const Image& canvas)
{
    std::set<std::pair<int, int>> shaded;
    for (int y = 0; y < canvas.height; y++)
        for (int x = 0; x < canvas.width; x++) {
            uint32_t c = Rgb(PixelAt(canvas, x, y));
            if (c == Rgb(PackColour(50, 50, 50))) shaded.insert({x, y});
            else EXPECT_EQ(c, 0u) << x << "," << y;
        }
    return shaded;
}

// The shadow of a single pixel of matter on a 5 x 5 height image.
std::set<std::pair<int, int>> ShadowOfOnePixel(int hour, int x, int y, int topTenths, int bottomTenths)
{
    Image heights = BareGround(5, 5), canvas;
    PutMatter(heights, x, y, topTenths, bottomTenths);
    EXPECT_TRUE(FillHeightTables(heights));
    DrawShadow(hour, canvas);
    EXPECT_EQ(canvas.width, 69);
    EXPECT_EQ(canvas.height, 69);
    return ShadedPixels(canvas);
}

std::set<std::pair<int, int>> Column(int x, int fromY, int toY)
{
    std::set<std::pair<int, int>> pixels;
    for (int y = fromY; y <= toY; y++) pixels.insert({x, y});
    return pixels;
}

std::set<std::pair<int, int>> Row(int y, int fromX, int toX)
{
    std::set<std::pair<int, int>> pixels;
    for (int x = std::min(fromX, toX); x <= std::max(fromX, toX); x++) pixels.insert({x, y});
    return pixels;
}

TEST(TerrashadeList, ValueStartsAtTheThirtyFirstCharacterAndLosesItsBlanks)
{
    EXPECT_EQ(ListValue("Winkel des Schattenwurfs     : 45"), "45");
    EXPECT_EQ(ListValue("123456789012345678901234567890Arzt  "), "Arzt");
    EXPECT_EQ(ListValue("kurz: Arzt"), "");
    EXPECT_EQ(ListValue("123456789012345678901234567890"), "");
    EXPECT_EQ(ListValue(std::string(30, 'x') + " \tA b "), "\tA b"); // only spaces are blanks
    std::string longValue(1200, 'n');
    EXPECT_EQ(ListValue(std::string(30, ':') + longValue).size(), 1000u);
}

TEST(TerrashadeList, ShippedListNamesThirteenBuildings)
{
    ASSERT_EQ(ReadHeightList(ShippedHeightList()), 13);
    EXPECT_EQ(HeightListAngle, 45);
    EXPECT_DOUBLE_EQ(HeightListStretch, 1.0);
    for (int i = 0; i < 13; i++) EXPECT_EQ(HeightNames[size_t(i)], ShippedNames[i]);
}

TEST(TerrashadeList, NamesEndAtAnEmptyValueAndAtFourteen)
{
    std::string text = HeightList({"Arzt", "Kaserne"}) + ListLine("leer", "") + ListLine("x", "Solarzelle");
    EXPECT_EQ(ReadHeightList(text), 2);
    std::vector<std::string> many;
    for (int i = 0; i < 20; i++) many.push_back("Haus" + std::to_string(i));
    EXPECT_EQ(ReadHeightList(HeightList(many)), MaxHeightNames);
    EXPECT_EQ(HeightNames.back(), "Haus13");
    EXPECT_EQ(ReadHeightList(ListLine("a", "45")), 0);
    EXPECT_EQ(HeightListAngle, 45);
    EXPECT_EQ(ReadHeightList(""), 0);
}

TEST(TerrashadeList, SingleBuildingLayoutTakesTheFirstLineAsName)
{
    EXPECT_EQ(ReadSingleBuildingList(ListLine("Name", "Arzt") + ListLine("Winkel", "30") + ListLine("F", "2.5") +
                                     ListLine("mehr", "Kaserne")),
              1);
    ASSERT_EQ(HeightNames.size(), 1u);
    EXPECT_EQ(HeightNames[0], "Arzt");
    EXPECT_EQ(HeightListAngle, 30);
    EXPECT_DOUBLE_EQ(HeightListStretch, 2.5);
    EXPECT_EQ(ReadSingleBuildingList(ShippedHeightList()), 1);
    EXPECT_EQ(HeightNames[0], "45");
    EXPECT_EQ(ReadSingleBuildingList(ListLine("Name", "")), 0);
    EXPECT_TRUE(HeightNames.empty());
}

TEST(TerrashadeHeights, HalvesRoundToTheEvenNeighbour)
{
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(2.500001), 3);
    EXPECT_EQ(RoundHalfEven(-0.4), 0);
    EXPECT_EQ(TenthsToUnits(25), 2);
    EXPECT_EQ(TenthsToUnits(35), 4);
    EXPECT_EQ(TenthsToUnits(15), 2);
    EXPECT_EQ(TenthsToUnits(24), 2);
    EXPECT_EQ(TenthsToUnits(26), 3);
    EXPECT_EQ(TenthsToUnits(255), 26);
    EXPECT_EQ(TenthsToUnits(0), 0);
}

TEST(TerrashadeHeights, TablesHoldTopAndBottomByColumnThenRow)
{
    Image heights = BareGround(3, 2);
    PutMatter(heights, 2, 1, 35, 25);
    ASSERT_TRUE(FillHeightTables(heights));
    EXPECT_EQ(HeightImageWidth, 3);
    EXPECT_EQ(HeightImageHeight, 2);
    EXPECT_EQ(TopHeight[2][1], 4);
    EXPECT_EQ(BottomHeight[2][1], 2);
    EXPECT_EQ(TopHeight[1][2], 0);
    EXPECT_FALSE(FillHeightTables(BareGround(258, 10)));
    EXPECT_EQ(HeightImageWidth, 0);
    EXPECT_EQ(TopHeight[2][1], 0);
    EXPECT_TRUE(FillHeightTables(BareGround(257, 257)));
}

TEST(TerrashadeSun, DirectionAndStretchFollowTheHour)
{
    EXPECT_EQ(SunOfHour(6).angle, 0.0f);
    EXPECT_EQ(SunOfHour(6).stretch, 1.7f);
    EXPECT_EQ(SunOfHour(12).stretch, 0.5f);
    EXPECT_EQ(SunOfHour(18).angle, 180 * 0.017453292f);
    EXPECT_NEAR(SunOfHour(5).stretch, 2.1333f, 1e-4);
    EXPECT_NEAR(SunOfHour(9).stretch, 0.8f, 1e-6);
    EXPECT_LT(SunOfHour(5).angle, 0.0f);
    EXPECT_NEAR(std::sin(SunOfHour(12).angle), 1.0, 1e-6);
}

TEST(TerrashadeLine, StrokeSetsItsStartAndLeavesOutItsEnd)
{
    Image canvas;
    MakeImage(canvas, 12, 12, 0);
    uint32_t grey = PackColour(50, 50, 50);
    DrawRasterLine(canvas, 5, 2, 5, 8, grey);
    EXPECT_EQ(ShadedPixels(canvas), Column(5, 2, 7));
    MakeImage(canvas, 12, 12, 0);
    DrawRasterLine(canvas, 3, 3, 3, 3, grey);
    EXPECT_TRUE(ShadedPixels(canvas).empty());
    DrawRasterLine(canvas, 10, 5, 3, 5, grey);
    EXPECT_EQ(ShadedPixels(canvas), Row(5, 4, 10));
    MakeImage(canvas, 12, 12, 0);
    DrawRasterLine(canvas, 0, 0, 6, 2, grey); // shallow: one pixel per column
    std::set<std::pair<int, int>> shallow = ShadedPixels(canvas);
    EXPECT_EQ(shallow.size(), 6u);
    EXPECT_TRUE(shallow.count({0, 0}));
    EXPECT_FALSE(shallow.count({6, 2}));
    MakeImage(canvas, 12, 12, 0);
    DrawRasterLine(canvas, -5, -5, 20, 20, grey); // off the canvas at both ends
    EXPECT_EQ(ShadedPixels(canvas).size(), 12u);
}

TEST(TerrashadeShadow, NoonShadesBelowThePixelWithoutTheEnd)
{
    // Top 12 on the ground: (x + 32, y + 32) to (x + 32, y + 37); y + 38 is the end, left out.
    EXPECT_EQ(ShadowOfOnePixel(12, 2, 1, 120, 0), Column(34, 33, 38));
}

TEST(TerrashadeShadow, RaisedPartShadesOnlyWhatIsUnderItsMatter)
{
    // Bottom 6, top 8 at noon: start y + 35, end y + 36 left out; the ground under it stays bare.
    EXPECT_EQ(ShadowOfOnePixel(12, 2, 1, 80, 60), Column(34, 36, 36));
}

TEST(TerrashadeShadow, MorningAndEveningShadowsRunSideways)
{
    // Six o'clock: five units reach 5 x 1.70000005 = 8.50000024, which rounds to 9.
    EXPECT_EQ(ShadowOfOnePixel(6, 0, 0, 50, 0), Row(32, 32, 40));
    // Six in the evening: ten units to the left, 17 pixels, the 17th left out.
    EXPECT_EQ(ShadowOfOnePixel(18, 4, 4, 100, 0), Row(36, 36, 20));
    // Five o'clock: the sun stands 15 degrees behind the right-hand direction, so the shadow
    // climbs: ten units end at (+21, -6).
    std::set<std::pair<int, int>> early = ShadowOfOnePixel(5, 2, 2, 100, 0);
    EXPECT_TRUE(early.count({34, 34}));
    EXPECT_FALSE(early.count({34 + 21, 34 - 6}));
    EXPECT_EQ(early.size(), 21u);
    EXPECT_TRUE(std::all_of(early.begin(), early.end(), [](auto p) { return p.second <= 34 && p.first >= 34; }));
}

TEST(TerrashadeShadow, BareGroundThrowsNothingAtAnyHour)
{
    for (int hour = FirstShadowHour; hour <= LastShadowHour; hour++)
        EXPECT_TRUE(ShadowOfOnePixel(hour, 1, 1, 0, 0).empty()) << hour;
}

TEST(TerrashadeRun, ShippedListWritesFourteenHoursPerBuilding)
{
    TempFolder folder;
    ASSERT_TRUE(WriteWholeFile(L1("Höhen.ini"), ShippedHeightList()));
    ASSERT_TRUE(MakeFolder("Schatten"));
    for (int i = 0; i < 13; i++)
        ASSERT_TRUE(WritePicture(std::string(ShippedNames[i]) + "_H.bmp", SmallBuilding(i % 2 ? 192 : 128)));
    EXPECT_EQ(RunTerrashade(), 182);
    std::vector<std::string> written = FolderEntries(folder.path + "Schatten");
    EXPECT_EQ(written.size(), 182u);
    std::set<std::string> names(written.begin(), written.end());
    EXPECT_TRUE(names.count("Arzt_5.bmp"));
    EXPECT_TRUE(names.count("Speeder-Fabrik_18.bmp"));
    EXPECT_FALSE(names.count("Arzt_05.bmp"));
    EXPECT_EQ(FileSize("Schatten\\Arzt_12.bmp"), 110646);           // 192 x 192
    EXPECT_EQ(FileSize("Schatten\\Forschungslabor_12.bmp"), 196662); // 256 x 256
    Image noon;
    ASSERT_TRUE(ReadPicture("Schatten\\Arzt_12.bmp", noon));
    EXPECT_FALSE(ShadedPixels(noon).empty());
}

TEST(TerrashadeRun, BareHeightImageGivesFullSizeBlackImages)
{
    TempFolder folder;
    ASSERT_TRUE(WriteWholeFile(L1("Höhen.ini"), HeightList({"Leer"})));
    ASSERT_TRUE(MakeFolder("Schatten"));
    ASSERT_TRUE(WritePicture("Leer_H.bmp", BareGround(128, 128)));
    EXPECT_EQ(RunTerrashade(), 14);
    for (int hour = FirstShadowHour; hour <= LastShadowHour; hour++) {
        Image shadow;
        ASSERT_TRUE(ReadPicture(ShadowFileName("Leer", hour), shadow)) << hour;
        EXPECT_EQ(shadow.width, 192);
        EXPECT_EQ(shadow.height, 192);
        EXPECT_TRUE(ShadedPixels(shadow).empty());
    }
}

TEST(TerrashadeRun, BadInputsEndNormallyAndWriteOnlyWhatTheyCan)
{
    TempFolder outer;
    std::string inner = outer.path + "O/";
    ASSERT_TRUE(MakeFolder(inner));
    SetProgramFolder(inner);
    EXPECT_EQ(RunTerrashade(), 0); // no list
    std::string escape = outer.path + "escaped";
    ASSERT_TRUE(WriteWholeFile(L1("Höhen.ini"), HeightList({"Fehlt", "Riese", "..\\Arzt", escape, "Arzt"})));
    ASSERT_TRUE(WritePicture("Arzt_H.bmp", SmallBuilding(40)));
    ASSERT_TRUE(WritePicture("Riese_H.bmp", BareGround(300, 20)));
    ASSERT_TRUE(WritePicture("../Arzt_H.bmp", SmallBuilding(40)));
    ASSERT_TRUE(WritePicture(escape + "_H.bmp", SmallBuilding(40)));
    EXPECT_EQ(RunTerrashade(), 0); // no Schatten folder: every write fails quietly
    ASSERT_TRUE(MakeFolder("Schatten"));
    EXPECT_EQ(RunTerrashade(), 14);
    EXPECT_EQ(FolderEntries(inner + "Schatten").size(), 14u);
    EXPECT_EQ(FolderEntries(inner).size(), 4u); // Höhen.ini, two height images, Schatten
    EXPECT_EQ(FolderEntries(outer.path).size(), 3u); // O, and the two height images put there
    // The single-building build refuses the same names.
    ASSERT_TRUE(WriteWholeFile(L1("Höhen.ini"), ListLine("Name", escape) + ListLine("W", "45") + ListLine("F", "1")));
    EXPECT_EQ(RunTerrashade2(), 0);
    EXPECT_EQ(FolderEntries(outer.path).size(), 3u);
}

TEST(Terrashade2Run, OneBuildingHoursSixToEighteenBesideTheProgram)
{
    TempFolder folder;
    Image building = SmallBuilding(64);
    ASSERT_TRUE(WritePicture("Arzt_H.bmp", building));
    ASSERT_TRUE(WriteWholeFile(L1("Höhen.ini"), ShippedHeightList()));
    EXPECT_EQ(RunTerrashade2(), 0); // the shipped list's first value "45" names no height image
    ASSERT_TRUE(WriteWholeFile(L1("Höhen.ini"), ListLine("Name", "Arzt") + ListLine("Winkel", "45") +
                                                    ListLine("Faktor", "1.0")));
    EXPECT_EQ(RunTerrashade2(), 13);
    EXPECT_FALSE(FileExists("Arzt_Schatten_05.bmp"));
    EXPECT_TRUE(FileExists("Arzt_Schatten_06.bmp"));
    EXPECT_TRUE(FileExists("Arzt_Schatten_18.bmp"));
    EXPECT_EQ(SingleShadowFileName("Arzt", 9), "Arzt_Schatten_09.bmp");
    // The same shadows as the main build draws.
    ASSERT_TRUE(FillHeightTables(building));
    Image canvas;
    DrawShadow(9, canvas);
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile("Arzt_Schatten_09.bmp", bytes));
    EXPECT_EQ(bytes, EncodeBmp24(canvas));
    EXPECT_EQ(FolderEntries(folder.path).size(), 15u);
}

} // namespace
