// The package reader: entries as the builder writes them, data copied unchanged, progress,
// stopping, broken packages, and nothing written outside the destination.
#include "package_files.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <map>
#include <vector>

using Tree = std::map<std::string, std::string>;

TEST(PackageReader, OnlyTheTopFolder)
{
    Sandbox sandbox;
    std::string entries;
    AppendFolderEntry(entries, "KORAX 3050");
    EXPECT_EQ(UnpackBytes(sandbox, InstallerBytes(entries)), 1);
    EXPECT_EQ(TreeOf(sandbox.destination), (Tree{{"KORAX 3050/", ""}}));
    EXPECT_EQ(LastUnpack.found, 1);
    EXPECT_EQ(LastUnpack.folders, 1);
    EXPECT_EQ(LastUnpack.files, 0);
    EXPECT_EQ(LastUnpack.failed, 0);
}

TEST(PackageReader, FileBytesAreCopiedUnchangedWhateverTheyHold)
{
    Sandbox sandbox;
    // Bytes that a line reader would trip over: line ends, zero bytes and whole fake entries.
    std::string tricky = std::string("a\rb\nc\r\n\0d", 10) + "\r\n------------------\r\n" + FolderLabel + "Fremd\r\n" +
                         FileLabel + "KORAX 3050\\fremd.txt\r\n" + LengthLabel + "3\r\n";
    std::string large;
    for (unsigned i = 0; i < 700000; i++) large += char((i * 7919u) >> 3);
    std::string entries;
    AppendFolderEntry(entries, "KORAX 3050");
    AppendFileEntry(entries, "KORAX 3050\\leer.txt", "");
    AppendFileEntry(entries, "KORAX 3050\\Tr\xFCmmer.bin", tricky);
    AppendFolderEntry(entries, "KORAX 3050\\DATEN");
    AppendFileEntry(entries, "KORAX 3050\\DATEN\\gro\xDF.bin", large);
    AppendFileEntry(entries, "KORAX 3050\\DATEN\\leer2", "");
    EXPECT_EQ(UnpackBytes(sandbox, InstallerBytes(entries)), 1);
    Tree expected = {{"KORAX 3050/", ""},
                     {"KORAX 3050/leer.txt", ""},
                     {"KORAX 3050/Trümmer.bin", tricky},
                     {"KORAX 3050/DATEN/", ""},
                     {"KORAX 3050/DATEN/groß.bin", large},
                     {"KORAX 3050/DATEN/leer2", ""}};
    EXPECT_EQ(TreeOf(sandbox.destination), expected) << "names become UTF-8; data is never read as lines";
    EXPECT_EQ(LastUnpack.files, 4);
    EXPECT_EQ(LastUnpack.failed, 0);
}

static std::vector<int> Reports;
static std::vector<std::string> ShownFiles;
static int StopAfter = -1; // reports before the hook asks to stop; -1 never

static int RecordProgress(int progress)
{
    Reports.push_back(progress);
    return StopAfter < 0 || int(Reports.size()) <= StopAfter;
}
static void RecordFile(const std::string& path) { ShownFiles.push_back(path); }

struct Hooks {
    Hooks(int stopAfter)
    {
        Reports.clear();
        ShownFiles.clear();
        StopAfter = stopAfter;
        UnpackProgressHook = RecordProgress;
        UnpackFileHook = RecordFile;
    }
    ~Hooks()
    {
        UnpackProgressHook = nullptr;
        UnpackFileHook = nullptr;
    }
};

static std::string ThreeFiles()
{
    std::string entries;
    AppendFolderEntry(entries, "KORAX 3050");
    AppendFileEntry(entries, "KORAX 3050\\a", std::string(30000, 'a'));
    AppendFileEntry(entries, "KORAX 3050\\b", std::string(30000, 'b'));
    AppendFileEntry(entries, "KORAX 3050\\c", std::string(30000, 'c'));
    return entries;
}

TEST(PackageReader, ProgressRunsFromTheStartOffsetTowards300AndNamesEachFile)
{
    Sandbox sandbox;
    Hooks hooks(-1);
    std::string installer = InstallerBytes(ThreeFiles(), 40000);
    ASSERT_EQ(UnpackBytes(sandbox, installer), 1);
    ASSERT_FALSE(Reports.empty());
    size_t start = 40007;
    EXPECT_EQ(Reports.front(), int((start * 300 + installer.size() / 2) / installer.size()));
    for (size_t i = 1; i < Reports.size(); i++) EXPECT_LE(Reports[i - 1], Reports[i]);
    EXPECT_GE(Reports.back(), 299) << "the last lines are the trailer's";
    EXPECT_LE(Reports.back(), 300);
    EXPECT_EQ(ShownFiles, (std::vector<std::string>{"KORAX 3050\\a", "KORAX 3050\\b", "KORAX 3050\\c"}));
}

TEST(PackageReader, StoppingKeepsWhatIsThereAndTheNextRunUnpacksEverything)
{
    Sandbox sandbox;
    std::string installer = InstallerBytes(ThreeFiles());
    {
        // Three reports for the folder entry's blank, separator and label lines, three for the
        // first file's, then the report before the second file's separator stops the reading.
        Hooks hooks(7);
        EXPECT_EQ(UnpackBytes(sandbox, installer), 0);
    }
    EXPECT_EQ(LastUnpack.stopped, 1);
    EXPECT_EQ(TreeOf(sandbox.destination), (Tree{{"KORAX 3050/", ""}, {"KORAX 3050/a", std::string(30000, 'a')}}));
    EXPECT_EQ(UnpackBytes(sandbox, installer), 1);
    EXPECT_EQ(TreeOf(sandbox.destination).size(), 4u);
    EXPECT_EQ(LastUnpack.files, 3);
}

TEST(PackageReader, ALengthPastTheEndStopsTheReading)
{
    Sandbox sandbox;
    std::string entries;
    AppendFolderEntry(entries, "KORAX 3050");
    entries += " \r\n------------------\r\n" + std::string(FileLabel) + "KORAX 3050\\zu-lang\r\n" + LengthLabel +
               "99999999999999999999999\r\n------------------\r\n";
    AppendFileEntry(entries, "KORAX 3050\\danach", "x");
    EXPECT_EQ(UnpackBytes(sandbox, InstallerBytes(entries)), 0);
    EXPECT_EQ(LastUnpack.cutShort, 1);
    EXPECT_EQ(LastUnpack.failed, 1);
    EXPECT_EQ(TreeOf(sandbox.destination), (Tree{{"KORAX 3050/", ""}})) << "nothing is created from a cut entry";
}

TEST(PackageReader, BrokenTrailersUnpackNothing)
{
    Sandbox sandbox;
    std::string entries;
    AppendFolderEntry(entries, "KORAX 3050");
    std::string beyond = InstallerBytes(entries);
    beyond[beyond.size() - 1] = '\x7F'; // the start offset now lies far past the end
    for (const std::string& installer : {std::string(), std::string("abc"), beyond}) {
        EXPECT_EQ(UnpackBytes(sandbox, installer), 0);
        EXPECT_EQ(LastUnpack.found, 0);
    }
    EXPECT_TRUE(TreeOf(sandbox.destination).empty());
}

TEST(PackageSafety, PathsThatLeaveTheDestinationAreRefusedAndTheReadingStaysInStep)
{
    Sandbox sandbox;
    const char* const refused[] = {"..\\draussen.txt",         "KORAX 3050\\..\\..\\draussen.txt",
                                   "KORAX 3050/../../draussen", "\\tmp\\draussen.txt",
                                   "/tmp/draussen.txt",         "C:\\draussen.txt",
                                   "KORAX 3050\\C:draussen",    "KORAX 3050\\tab\tzeichen",
                                   "KORAX 3050\\steuer\x01zeichen", "KORAX 3050\\\\doppelt",
                                   "KORAX 3050\\.",             ""};
    std::string entries;
    AppendFolderEntry(entries, "KORAX 3050");
    AppendFolderEntry(entries, "..\\Ordner");
    int count = 1;
    for (const char* path : refused) {
        AppendFileEntry(entries, path, "fremd");
        AppendFileEntry(entries, "KORAX 3050\\gut" + std::to_string(count++), "gut");
    }
    AppendFileEntry(entries, "KORAX 3050\\" + std::string(MaxEntryPath, 'x'), "zu lang");
    EXPECT_EQ(UnpackBytes(sandbox, InstallerBytes(entries)), 1);
    EXPECT_EQ(TreeOf(sandbox.root).size(), TreeOf(sandbox.destination).size() + 1) << "only Ziel/ beside the destination";
    EXPECT_FALSE(std::filesystem::exists("/tmp/draussen.txt"));
    Tree tree = TreeOf(sandbox.destination);
    for (int i = 1; i < count; i++) EXPECT_EQ(tree["KORAX 3050/gut" + std::to_string(i)], "gut");
    EXPECT_EQ(tree.size(), size_t(count)) << "the top folder and the good files, nothing else";
    EXPECT_EQ(LastUnpack.refused, int(std::size(refused)) + 2) << "the files, the folder and the overlong path";
    EXPECT_EQ(LastUnpack.failed, LastUnpack.refused);
}

TEST(PackageSafety, PlantedLinksInTheDestinationAreNotFollowed)
{
    namespace fs = std::filesystem;
    Sandbox sandbox;
    std::string outside = sandbox.root + "draussen/";
    fs::create_directory(outside);
    WriteBytes(outside + "ziel.txt", "alt");
    WriteBytes(outside + "hart.txt", "alt");
    fs::create_directories(sandbox.destination + "KORAX 3050");
    fs::create_directory_symlink(outside, sandbox.destination + "KORAX 3050/DATEN");
    fs::create_symlink(outside + "ziel.txt", sandbox.destination + "KORAX 3050/weich.txt");
    fs::create_hard_link(outside + "hart.txt", sandbox.destination + "KORAX 3050/hart.txt");

    std::string entries;
    AppendFolderEntry(entries, "KORAX 3050");
    AppendFolderEntry(entries, "KORAX 3050\\DATEN");
    AppendFolderEntry(entries, "KORAX 3050\\DATEN\\BMP");
    AppendFileEntry(entries, "KORAX 3050\\DATEN\\x.txt", "neu");
    AppendFileEntry(entries, "KORAX 3050\\weich.txt", "neu");
    AppendFileEntry(entries, "KORAX 3050\\hart.txt", "neu");
    EXPECT_EQ(UnpackBytes(sandbox, InstallerBytes(entries)), 1);

    EXPECT_EQ(TreeOf(outside), (Tree{{"ziel.txt", "alt"}, {"hart.txt", "alt"}})) << "nothing written through a link";
    EXPECT_TRUE(fs::is_symlink(sandbox.destination + "KORAX 3050/weich.txt"));
    EXPECT_EQ(ReadBytes(sandbox.destination + "KORAX 3050/hart.txt"), "neu") << "a file of its own now";
    EXPECT_EQ(LastUnpack.failed, 4); // DATEN, DATEN\BMP, x.txt, weich.txt
    EXPECT_EQ(LastUnpack.files, 1);
}
