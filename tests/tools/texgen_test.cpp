// The terrain tile generator: mixing, the six base tiles, turns, the code table, and whole runs
// in a temporary program folder with synthetic textures.
#include "tools/texgen/texgen.h"

#include "support/temp_folder.h"
#include "tests/tools/generator_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

// A texture whose every pixel differs from its neighbours, so a pixel taken from the wrong
// place or the wrong texture shows.
Image PatternTexture(int seed, int side = TileSide)
{
    Image texture;
    MakeImage(texture, side, side, 0);
    for (int y = 0; y < side; y++)
        for (int x = 0; x < side; x++)
            texture.pixels[size_t(y * side + x)] =
                PackColour((x * 4 + seed) & 255, (y * 4 + seed * 3) & 255, (x + y + seed * 7) & 255);
    return texture;
}

Image PlainTexture(int r, int g, int b)
{
    Image texture;
    MakeImage(texture, TileSide, TileSide, PackColour(r, g, b));
    return texture;
}

Image Tile(BaseTile base, const Image& t1, const Image& t2)
{
    Image tile;
    BuildBaseTile(base, t1, t2, tile);
    return tile;
}

const char* const ShippedPairs[7][2] = {{"Erde", "Sand"},  {"Wueste", "Sand"},   {"Stein", "Sand"},
                                        {"Spice", "Sand"}, {"Stein", "Erde"},    {"Wueste", "Smyron"},
                                        {"Sand", "Wasser"}};

// The shipped list as the staged tree has it; written from the seven pairs when the data
// file is not there.
std::string ShippedTexList()
{
    std::string text = StagedText(std::string(KORAX_SOURCE_DATA) + "/BMP/B/TEX.txt");
    if (!text.empty()) return text;
    text = "5\r\n2500\r\n";
    for (const auto& pair : ShippedPairs) text += std::string("-\r\n") + pair[0] + "\r\n" + pair[1] + "\r\n";
    return text + "\r\n\r\n";
}

// The seven ground textures of the shipped list, each with its own pattern.
void WriteShippedTextures()
{
    const char* names[] = {"Erde", "Sand", "Wueste", "Stein", "Spice", "Smyron", "Wasser"};
    for (int i = 0; i < 7; i++)
        ASSERT_TRUE(WritePicture(std::string("TEX_") + names[i] + ".bmp", PatternTexture(20 * i + 5)));
}

TEST(TexgenMix, WeightsSplitSixtyThreeWithRemainderDropped)
{
    EXPECT_EQ(MixChannel(200, 32, 100, 31), 150); // 9500 / 63 = 150.79
    EXPECT_EQ(MixChannel(255, 63, 0, 0), 255);
    EXPECT_EQ(MixChannel(0, 0, 77, 63), 77);
    EXPECT_EQ(MixChannel(1, 62, 0, 1), 0); // 62 / 63 drops to 0, never rounds up
    uint32_t mixed = MixColour(PackColour(200, 10, 63), 32, PackColour(100, 20, 0));
    EXPECT_EQ(ColourRed(mixed), 150);
    EXPECT_EQ(ColourGreen(mixed), (10 * 32 + 20 * 31) / 63);
    EXPECT_EQ(ColourBlue(mixed), 32);
}

TEST(TexgenList, ReadsHeaderAndPairsUntilAnEmptySeparator)
{
    EXPECT_EQ(ReadTexList("5\r\n2500\r\n-\r\nErde\r\nSand\r\n-\r\nStein\r\nErde\r\n\r\n-\r\nA\r\nB\r\n"), 2);
    EXPECT_DOUBLE_EQ(TexListReal, 5.0);
    EXPECT_EQ(TexListWhole, 2500);
    ASSERT_EQ(TexturePairs.size(), 2u);
    EXPECT_EQ(TexturePairs[1].first, "Stein");
    EXPECT_EQ(TexturePairs[1].second, "Erde");
}

TEST(TexgenList, AnyTextSeparatesLineEndsMixAndNothingIsTrimmed)
{
    // CR LF, a lone LF, a NUL and a lone CR (which swallows the byte after it) all end lines.
    std::string text = std::string("2.75\n17\r\nxyz\nErde") + '\0' + "Sand\r\n--\r\n Stein \rXErde";
    ASSERT_EQ(ReadTexList(text), 2);
    EXPECT_DOUBLE_EQ(TexListReal, 2.75);
    EXPECT_EQ(TexListWhole, 17);
    EXPECT_EQ(TexturePairs[0].first, "Erde");
    EXPECT_EQ(TexturePairs[0].second, "Sand");
    EXPECT_EQ(TexturePairs[1].first, " Stein ");
    EXPECT_EQ(TexturePairs[1].second, "Erde");
}

TEST(TexgenList, ShortAndBrokenListsGiveNoPairs)
{
    EXPECT_EQ(ReadTexList(""), 0);
    EXPECT_EQ(ReadTexList("5\r\n"), 0);
    EXPECT_EQ(ReadTexList("fünf\r\nviel\r\n-\r\nErde\r\n"), 0); // cut off before B
    EXPECT_EQ(TexListReal, 0);
    EXPECT_EQ(TexListWhole, 0);
    EXPECT_EQ(ReadTexList("5\r\n2500\r\n\r\n-\r\nErde\r\nSand\r\n"), 0);
}

TEST(TexgenTiles, CornerTilePixels)
{
    Image t1 = PatternTexture(1), t2 = PatternTexture(99);
    Image corner = Tile(CornerTile, t1, t2);
    EXPECT_EQ(PixelAt(corner, 63, 63), PixelAt(t2, 0, 0));
    EXPECT_EQ(PixelAt(corner, 0, 0), PixelAt(t1, 63, 63)); // r = 89.1, capped at 63
    // Plain colours make the weight visible: red = 4 x weight of T1.
    Image red = Tile(CornerTile, PlainTexture(252, 0, 0), PlainTexture(0, 0, 126));
    EXPECT_EQ(ColourRed(PixelAt(red, 53, 63)), 40);          // r = 10
    EXPECT_EQ(ColourRed(PixelAt(red, 61, 61)), 12);          // r = 2.83 rounds to 3
    EXPECT_EQ(ColourRed(PixelAt(red, 62, 61)), 8);           // r = 2.24 rounds to 2
    EXPECT_EQ(ColourBlue(PixelAt(red, 61, 61)), 2 * 60);     // T2 gets the rest
    EXPECT_EQ(ColourRed(PixelAt(red, 0, 63)), 252);          // exactly 63 away: pure T1
}

TEST(TexgenTiles, InverseCornerSwapsTheWeights)
{
    Image t1 = PatternTexture(1), t2 = PatternTexture(99);
    Image inverse = Tile(InverseCorner, t1, t2);
    EXPECT_EQ(PixelAt(inverse, 63, 63), PixelAt(t1, 0, 0));
    EXPECT_EQ(PixelAt(inverse, 0, 0), PixelAt(t2, 63, 63));
    Image red = Tile(InverseCorner, PlainTexture(252, 0, 0), PlainTexture(0, 0, 126));
    EXPECT_EQ(ColourRed(PixelAt(red, 61, 61)), 4 * 60);
}

TEST(TexgenTiles, EdgeTileRunsFromSecondOnTheLeftToFirstOnTheRight)
{
    Image t1 = PatternTexture(1), t2 = PatternTexture(99);
    Image edge = Tile(EdgeTile, t1, t2);
    for (int y = 0; y < TileSide; y++) {
        EXPECT_EQ(PixelAt(edge, 0, y), PixelAt(t2, 0, y)) << "row " << y;
        EXPECT_EQ(PixelAt(edge, 63, y), PixelAt(t1, 63, y)) << "row " << y;
    }
    Image mixed = Tile(EdgeTile, PlainTexture(200, 0, 0), PlainTexture(100, 0, 0));
    EXPECT_EQ(ColourRed(PixelAt(mixed, 32, 17)), 150);
}

TEST(TexgenTiles, DiagonalTileHasFirstTextureInBothCorners)
{
    Image t1 = PatternTexture(1), t2 = PatternTexture(99);
    Image diagonal = Tile(DiagonalTile, t1, t2), inverse = Tile(InverseCorner, t1, t2);
    EXPECT_EQ(PixelAt(diagonal, 63, 63), PixelAt(t1, 0, 0));
    EXPECT_EQ(PixelAt(diagonal, 0, 0), PixelAt(t1, 0, 0));
    EXPECT_EQ(PixelAt(diagonal, 40, 24), PixelAt(inverse, 40, 24)); // x + y = 64
    EXPECT_EQ(PixelAt(diagonal, 40, 23), PixelAt(inverse, 23, 40)); // x + y = 63: mirrored
}

TEST(TexgenTiles, PlainTilesAreTheTexturesTurnedClockwise)
{
    Image t1 = PatternTexture(1), t2 = PatternTexture(99);
    std::vector<Image> tiles;
    BuildPairTiles(t1, t2, tiles);
    ASSERT_EQ(tiles.size(), size_t(TilesPerPair));
    EXPECT_EQ(tiles[0].pixels, t1.pixels);              // 21
    EXPECT_EQ(PixelAt(tiles[1], 63, 0), PixelAt(t1, 0, 0)); // 22: top-left went to top-right
    EXPECT_EQ(PixelAt(tiles[1], 0, 0), PixelAt(t1, 0, 63));
    EXPECT_EQ(PixelAt(tiles[2], 10, 3), PixelAt(t1, 53, 60)); // 23
    EXPECT_EQ(PixelAt(tiles[3], 10, 3), PixelAt(t1, 60, 10)); // 24
    EXPECT_EQ(PixelAt(tiles[17], 63, 0), PixelAt(t2, 0, 0)); // 32
}

TEST(TexgenTiles, CodesFollowTheTableInWriteOrder)
{
    const char* order[] = {"21", "22", "23", "24", "11", "07", "14", "13", "06", "12", "09",
                           "03", "04", "08", "01", "02", "31", "32", "33", "34", "05", "10"};
    for (int i = 0; i < TilesPerPair; i++) EXPECT_STREQ(TileTable[i].code, order[i]);
    EXPECT_EQ(TileFileName({"Erde", "Sand"}, 5), "Erde-Sand-07.bmp");
    // The code is the mask of the corners T1 covers: tile 07 has T1 top-left, top-right and
    // bottom-right, T2 only bottom-left.
    Image t1 = PlainTexture(252, 0, 0), t2 = PlainTexture(0, 0, 0);
    std::vector<Image> tiles;
    BuildPairTiles(t1, t2, tiles);
    const Image& seven = tiles[5];
    EXPECT_EQ(ColourRed(PixelAt(seven, 0, 0)), 252);
    EXPECT_EQ(ColourRed(PixelAt(seven, 63, 0)), 252);
    EXPECT_EQ(ColourRed(PixelAt(seven, 63, 63)), 252);
    EXPECT_EQ(ColourRed(PixelAt(seven, 0, 63)), 0);
}

TEST(TexgenRun, ShippedListWritesAllTilesOfTheSevenPairs)
{
    TempFolder folder;
    ASSERT_TRUE(WriteWholeFile("TEX.txt", ShippedTexList()));
    WriteShippedTextures();
    EXPECT_EQ(RunTexgen(), 154);
    std::set<std::string> expected = {"TEX.txt"};
    for (const auto& pair : ShippedPairs) {
        expected.insert(std::string("TEX_") + pair[0] + ".bmp");
        expected.insert(std::string("TEX_") + pair[1] + ".bmp");
        for (int i = 0; i < TilesPerPair; i++) expected.insert(TileFileName({pair[0], pair[1]}, i));
    }
    std::vector<std::string> found = FolderEntries(folder.path);
    EXPECT_EQ(std::set<std::string>(found.begin(), found.end()), expected);
    EXPECT_EQ(found.size(), expected.size());
    for (const std::string& name : found)
        if (name != "TEX.txt" && name.rfind("TEX_", 0) != 0) {
            EXPECT_EQ(FileSize(name), 12342) << name;
        }
}

TEST(TexgenRun, WrittenTilesHoldTheLoadedTextures)
{
    TempFolder folder;
    ASSERT_TRUE(WriteWholeFile("TEX.txt", "5\r\n2500\r\n-\r\nErde\r\nSand\r\n\r\n"));
    Image erde = PatternTexture(3), sand = PatternTexture(150);
    ASSERT_TRUE(WritePicture("TEX_Erde.bmp", erde));
    ASSERT_TRUE(WritePicture("tex_sand.BMP", sand)); // the data differs in case from the names asked
    EXPECT_EQ(RunTexgen(), 22);
    Image turned, corner;
    ASSERT_TRUE(ReadPicture("Erde-Sand-22.bmp", turned));
    EXPECT_EQ(Rgb(PixelAt(turned, 63, 0)), Rgb(PixelAt(erde, 0, 0)));
    ASSERT_TRUE(ReadPicture("Erde-Sand-11.bmp", corner));
    EXPECT_EQ(Rgb(PixelAt(corner, 63, 63)), Rgb(PixelAt(sand, 0, 0)));
    EXPECT_EQ(Rgb(PixelAt(corner, 0, 0)), Rgb(PixelAt(erde, 63, 63)));
}

TEST(TexgenRun, EmptyFirstSeparatorWritesNothing)
{
    TempFolder folder;
    ASSERT_TRUE(WriteWholeFile("TEX.txt", "5\r\n2500\r\n\r\n-\r\nErde\r\nSand\r\n"));
    WriteShippedTextures();
    EXPECT_EQ(RunTexgen(), 0);
    EXPECT_FALSE(FileExists("Erde-Sand-21.bmp"));
}

TEST(TexgenRun, MissingListOrTexturesEndNormally)
{
    TempFolder folder;
    EXPECT_EQ(RunTexgen(), 0);
    EXPECT_TRUE(FolderEntries(folder.path).empty());
    // Without textures the tiles are still written, black.
    ASSERT_TRUE(WriteWholeFile("TEX.txt", "5\r\n2500\r\n-\r\nErde\r\nSand\r\n"));
    EXPECT_EQ(RunTexgen(), 22);
    Image tile;
    ASSERT_TRUE(ReadPicture("Erde-Sand-05.bmp", tile));
    EXPECT_TRUE(std::all_of(tile.pixels.begin(), tile.pixels.end(), [](uint32_t c) { return Rgb(c) == 0; }));
}

TEST(TexgenRun, SmallLargeAndBrokenTexturesUseWhatLoads)
{
    TempFolder folder;
    ASSERT_TRUE(WriteWholeFile("TEX.txt", "5\r\n2500\r\n-\r\nKlein\r\nGross\r\n"));
    Image small = PatternTexture(7, 16), large = PatternTexture(90, 100);
    ASSERT_TRUE(WritePicture("TEX_Klein.bmp", small));
    ASSERT_TRUE(WritePicture("TEX_Gross.bmp", large));
    EXPECT_EQ(RunTexgen(), 22);
    Image first, second;
    ASSERT_TRUE(ReadPicture("Klein-Gross-21.bmp", first));
    EXPECT_EQ(Rgb(PixelAt(first, 15, 15)), Rgb(PixelAt(small, 15, 15)));
    EXPECT_EQ(Rgb(PixelAt(first, 16, 3)), 0u);
    EXPECT_EQ(Rgb(PixelAt(first, 63, 63)), 0u);
    ASSERT_TRUE(ReadPicture("Klein-Gross-31.bmp", second));
    EXPECT_EQ(Rgb(PixelAt(second, 63, 63)), Rgb(PixelAt(large, 63, 63)));
    // A file that is no picture counts as missing.
    ASSERT_TRUE(WriteWholeFile("TEX_Klein.bmp", "BM kaputt"));
    EXPECT_EQ(RunTexgen(), 22);
    ASSERT_TRUE(ReadPicture("Klein-Gross-21.bmp", first));
    EXPECT_EQ(Rgb(PixelAt(first, 0, 0)), 0u);
}

TEST(TexgenRun, NamesWithFoldersAreSkippedAndTheListGoesOn)
{
    TempFolder outer;
    std::string inner = outer.path + "B/";
    ASSERT_TRUE(MakeFolder(inner));
    SetProgramFolder(inner);
    std::string escape = outer.path + "escaped";
    std::string list = "5\r\n2500\r\n-\r\n..\\..\\x\r\nSand\r\n-\r\n" + escape + "\r\nSand\r\n-\r\nErde\r\n../y\r\n" +
                       "-\r\nErde\r\nSand\r\n\r\n";
    ASSERT_TRUE(WriteWholeFile("TEX.txt", list));
    EXPECT_EQ(RunTexgen(), 22);
    EXPECT_EQ(FolderEntries(outer.path), std::vector<std::string>{"B"});
    EXPECT_EQ(FolderEntries(inner).size(), 23u);
    EXPECT_TRUE(FileExists("Erde-Sand-10.bmp"));
    EXPECT_FALSE(IsPlainName("/etc/x"));
    EXPECT_TRUE(IsPlainName(".."));
}

} // namespace
