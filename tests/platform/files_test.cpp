// Paths found regardless of case, whole-file access, listings and the shared line reader.
#include "platform/files.h"
#include "platform/latin1.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(Paths, ComponentsAreFoundIgnoringCase)
{
    TempFolder folder;
    mkdir((folder.path + "BMP").c_str(), 0755);
    mkdir((folder.path + "BMP/icon").c_str(), 0755);
    ASSERT_EQ(WriteWholeFile("BMP/icon/MAUS.bmp", "x"), 1);

    EXPECT_EQ(ResolvePath("BMP\\ICON\\Maus.bmp"), folder.path + "BMP/icon/MAUS.bmp");
    EXPECT_EQ(FileExists("bmp\\Icon\\maus.BMP"), 1);
    EXPECT_EQ(FolderExists("Bmp\\ICON"), 1);
}

TEST(Paths, MissingComponentsKeepTheCaseAskedFor)
{
    TempFolder folder;
    mkdir((folder.path + "save").c_str(), 0755);
    EXPECT_EQ(ResolvePath("SAVE\\Neu\\Spiel.sav"), folder.path + "save/Neu/Spiel.sav");
    EXPECT_EQ(FileExists("SAVE\\Spiel.sav"), 0);
    std::string data = "old";
    EXPECT_EQ(ReadWholeFile("SAVE\\Spiel.sav", data), 0);
    EXPECT_TRUE(data.empty());
}

TEST(Paths, NamesThatDifferOnlyInCaseResolveTheSameWayEveryTime)
{
    TempFolder folder;
    // Written past the resolver, which would rightly find the first file again.
    for (const char* name : {"karte.bmp", "KARTE.bmp"}) {
        FILE* file = fopen((folder.path + name).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        fclose(file);
    }
    // An exact match wins; otherwise the byte-wise smallest name, whatever the folder order.
    EXPECT_EQ(ResolvePath("karte.bmp"), folder.path + "karte.bmp");
    EXPECT_EQ(ResolvePath("Karte.BMP"), folder.path + "KARTE.bmp");
}

TEST(Paths, UmlautsMatchAcrossCaseAndEncoding)
{
    TempFolder folder;
    ASSERT_EQ(WriteWholeFile(L1("Höhen.ini"), "h"), 1);
    struct stat info;
    EXPECT_EQ(stat((folder.path + "Höhen.ini").c_str(), &info), 0) << "file names on disk are UTF-8";
    EXPECT_EQ(FileExists(L1("HÖHEN.INI")), 1);
}

TEST(Files, WriteReplacesWholeFileAndLeavesNoTemporary)
{
    TempFolder folder;
    std::string big(100000, 'a');
    ASSERT_EQ(WriteWholeFile("Konfig.ini", big), 1);
    ASSERT_EQ(WriteWholeFile("Konfig.ini", "kurz"), 1);
    std::string data;
    ASSERT_EQ(ReadWholeFile("KONFIG.INI", data), 1);
    EXPECT_EQ(data, "kurz");
    EXPECT_EQ(ListFolder("*").size(), 1u);
}

TEST(Files, WriteIntoMissingFolderFailsAndKeepsNothing)
{
    TempFolder folder;
    EXPECT_EQ(WriteWholeFile("GIBTSNICHT\\a.txt", "x"), 0);
    EXPECT_EQ(MakeFolder("Neu\\Tiefer"), 1);
    EXPECT_EQ(WriteWholeFile("neu\\tiefer\\a.txt", "x"), 1);
    EXPECT_EQ(RemoveFolder("NEU"), 1);
    EXPECT_EQ(FolderExists("Neu"), 0);
}

TEST(Files, ListingMatchesWildcardsIgnoringCaseInSortedOrder)
{
    TempFolder folder;
    MakeFolder("KARTEN");
    for (const char* name : {"Karte_02.bmp", "karte_01.BMP", "Missi_01.bmp", "Legende.bmp", "Karte_10.txt"})
        WriteWholeFile(std::string("KARTEN\\") + name, "x");
    MakeFolder("KARTEN\\Karte_Ordner.bmp");

    std::vector<std::string> maps = ListFolder("karten\\KARTE*.bmp");
    ASSERT_EQ(maps.size(), 2u) << "folders are not listed";
    EXPECT_EQ(maps[0], "karte_01.BMP");
    EXPECT_EQ(maps[1], "Karte_02.bmp");
    EXPECT_EQ(ListFolder("KARTEN\\?issi_0?.bmp").size(), 1u);
    EXPECT_TRUE(ListFolder("NICHTDA\\*").empty());
}

TEST(Files, WildcardEdgeCases)
{
    EXPECT_EQ(WildcardMatch("*", ""), 1);
    EXPECT_EQ(WildcardMatch("a*b*c", "aXbYbZc"), 1);
    EXPECT_EQ(WildcardMatch("a*b*c", "aXbYbZ"), 0);
    EXPECT_EQ(WildcardMatch("?", ""), 0);
    EXPECT_EQ(WildcardMatch("*.SAV", "spiel.sav"), 1);
    // A pathological pattern stays fast: no exponential backtracking.
    EXPECT_EQ(WildcardMatch("*a*a*a*a*a*a*a*a*b", std::string(200, 'a')), 0);
}

TEST(LineReader, EndsLinesAtCrLfLoneLfAndZeroByte)
{
    std::string text("eins\r\nzwei\ndrei\0vier", 20);
    EXPECT_EQ(SplitLines(text), (std::vector<std::string>{"eins", "zwei", "drei", "vier"}));
}

TEST(LineReader, SkipsTheByteAfterACarriageReturn)
{
    // The byte after CR is dropped whatever it is: CR LF is one end, and so is CR + "X".
    EXPECT_EQ(SplitLines("a\rXb\r\n\r\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
}

TEST(LineReader, CarriageReturnAsLastByteEndsCleanly)
{
    EXPECT_EQ(SplitLines("nur\r"), (std::vector<std::string>{"nur"}));
    EXPECT_EQ(SplitLines("nur\n"), (std::vector<std::string>{"nur"}));
    EXPECT_TRUE(SplitLines("").empty());
    EXPECT_EQ(SplitLines("\n"), (std::vector<std::string>{""}));
}

TEST(LineReader, WrittenLinesReadBack)
{
    std::string out;
    AppendLine(out, "Kopf");
    AppendLine(out, "");
    AppendLine(out, L1("Größe = 3"));
    EXPECT_EQ(out, "Kopf\r\n\r\n" + L1("Größe = 3") + "\r\n");
    EXPECT_EQ(SplitLines(out), (std::vector<std::string>{"Kopf", "", L1("Größe = 3")}));
}

TEST(Latin1, ConvertsBothWaysAndMarksWhatDoesNotFit)
{
    std::string text = L1("Gebäude ßÜ§");
    EXPECT_EQ(text.size(), 11u);
    EXPECT_EQ((unsigned char)text[3], 0xE4);
    EXPECT_EQ(ToUtf8(text), "Gebäude ßÜ§");
    EXPECT_EQ(L1("€"), "?");
    EXPECT_EQ(L1(std::string("\xC3", 1)), "?") << "a cut sequence must not read past the end";
    EXPECT_EQ(FitsLatin1("Grüße"), 1);
    EXPECT_EQ(FitsLatin1("€"), 0);
    EXPECT_EQ(SameIgnoringCase(L1("ÄRGER"), L1("ärger")), 1);
    EXPECT_EQ(SameIgnoringCase("a", "b"), 0);
}
