// The package builder: the order of entries, what stays out, and the whole staged tree through
// the built installer and back, byte for byte.
#include "package_files.h"

#include "setup/installation.h"

#include "platform/latin1.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <set>
#include <vector>

namespace fs = std::filesystem;

static void Put(const std::string& path, const std::string& bytes = "x")
{
    fs::create_directories(fs::path(path).parent_path());
    WriteBytes(path, bytes);
}

static std::vector<std::string> Paths(const std::vector<PackItem>& items)
{
    std::vector<std::string> paths;
    for (const PackItem& item : items) paths.push_back(item.path + (item.folder ? "\\" : ""));
    return paths;
}

TEST(PackageBuilder, WalksDepthFirstInCaseBlindOrderAndLeavesOutWhatComesAfterInstalling)
{
    Sandbox sandbox;
    std::string top = sandbox.root + "stage/KORAX 3050/", fresh = sandbox.root + "frisch/KORAX 3050/";
    Put(top + "DATEN/BMP/B/TEX.txt", "5\r\n2500\r\n-\r\nErde\r\nSand\r\n\r\n");
    Put(top + "DATEN/BMP/B/TEX_Erde.bmp");
    Put(top + "DATEN/BMP/B/Erde-Sand-01.bmp"); // made by the texture generator on the first start
    Put(top + "DATEN/BMP/B/erde-sand-22.BMP");
    Put(top + "DATEN/BMP/BMP.bmp");
    Put(top + "DATEN/BMP/E/Explosion.bmp");
    Put(top + "DATEN/BMP/O/Arzt_H.bmp");
    Put(top + "DATEN/BMP/O/Arzt_Schatten_06.bmp"); // the single-building shadow maker's
    Put(top + "DATEN/BMP/O/Schatten/Arzt_5.bmp"); // the shadow maker's
    Put(top + "DATEN/SAVE/Spiel.sav");
    Put(top + "DATEN/Bild1234.bmp");
    Put(top + "DATEN/_Konfigurationen.ini");
    Put(top + "DATEN/Installationsort.ini");
    Put(top + "DATEN/Konfigurationen.ini", "Texturen_machen = 0");
    Put(fresh + "DATEN/Konfigurationen.ini", "Texturen_machen = 1");
    Put(top + "DATEN/H\xC3\xB6hen.ini");
    Put(top + "b.txt");
    Put(top + "A.txt");
    fs::create_directories(top + "c");

    std::vector<PackItem> items;
    ASSERT_EQ(CollectPackItems(top, fresh, items), 1) << PackError;
    std::vector<std::string> expected = {
        "KORAX 3050\\",
        "KORAX 3050\\A.txt",
        "KORAX 3050\\b.txt",
        "KORAX 3050\\c\\",
        "KORAX 3050\\DATEN\\",
        "KORAX 3050\\DATEN\\BMP\\",
        "KORAX 3050\\DATEN\\BMP\\B\\",
        "KORAX 3050\\DATEN\\BMP\\B\\TEX.txt",
        "KORAX 3050\\DATEN\\BMP\\B\\TEX_Erde.bmp",
        "KORAX 3050\\DATEN\\BMP\\BMP.bmp",
        "KORAX 3050\\DATEN\\BMP\\E\\",
        "KORAX 3050\\DATEN\\BMP\\E\\Explosion.bmp",
        "KORAX 3050\\DATEN\\BMP\\O\\",
        "KORAX 3050\\DATEN\\BMP\\O\\Arzt_H.bmp",
        "KORAX 3050\\DATEN\\BMP\\O\\Schatten\\",
        "KORAX 3050\\DATEN\\H\xF6hen.ini",
        "KORAX 3050\\DATEN\\Konfigurationen.ini",
        "KORAX 3050\\DATEN\\SAVE\\",
    };
    EXPECT_EQ(Paths(items), expected);
    for (const PackItem& item : items) {
        if (item.path == "KORAX 3050\\DATEN\\Konfigurationen.ini") {
            EXPECT_EQ(ReadBytes(item.source), "Texturen_machen = 1") << "the freshly staged settings win";
        }
    }
}

TEST(PackageBuilder, RefusesWhatThePackageCannotCarry)
{
    Sandbox sandbox;
    std::string top = sandbox.root + "KORAX 3050/";
    Put(top + "DATEN/gut.txt");
    fs::create_symlink(top + "DATEN/gut.txt", top + "DATEN/link.txt");
    std::vector<PackItem> items;
    EXPECT_EQ(CollectPackItems(top, "", items), 0);
    EXPECT_NE(PackError.find("link.txt"), std::string::npos) << PackError;
    fs::remove(top + "DATEN/link.txt");
    Put(top + "DATEN/schr\\\xC3\xA4g.txt"); // a '\' would split the name in two for the reader
    EXPECT_EQ(CollectPackItems(top, "", items), 0);
    fs::remove(top + "DATEN/schr\\\xC3\xA4g.txt");
    Put(top + "DATEN/\xE2\x82\xAC.txt"); // the euro sign has no place in Latin-1
    EXPECT_EQ(CollectPackItems(top, "", items), 0);
    fs::remove(top + "DATEN/\xE2\x82\xAC.txt");
    EXPECT_EQ(CollectPackItems(top, "", items), 1) << PackError;
    EXPECT_EQ(CollectPackItems(sandbox.root + "fehlt", "", items), 0);
}

TEST(PackageBuilder, TheInstallerIsWrittenOnlyWhenItChanges)
{
    Sandbox sandbox;
    std::string top = sandbox.root + "KORAX 3050/";
    Put(top + "DATEN/a.txt", "eins");
    Put(sandbox.root + "programm", "\x7F" "ELF-Programm");
    std::string output = sandbox.root + "setup";
    ASSERT_EQ(BuildInstaller(sandbox.root + "programm", top, "", output), 1) << PackError;
    EXPECT_EQ(LastPack.written, 1);
    EXPECT_EQ(LastPack.start, 16u) << "the program, then zero filler to a 16-byte boundary";
    EXPECT_EQ(LastPack.folders, 2);
    EXPECT_EQ(LastPack.files, 1);
    struct stat info;
    ASSERT_EQ(stat(output.c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IXUSR) << "the installer is a program";
    ASSERT_EQ(BuildInstaller(sandbox.root + "programm", top, "", output), 1);
    EXPECT_EQ(LastPack.written, 0);
    Put(top + "DATEN/a.txt", "zwei");
    ASSERT_EQ(BuildInstaller(sandbox.root + "programm", top, "", output), 1);
    EXPECT_EQ(LastPack.written, 1);
    ASSERT_EQ(UnpackInstaller(output, sandbox.destination), 1);
    EXPECT_EQ(ReadBytes(sandbox.destination + "KORAX 3050/DATEN/a.txt"), "zwei");
}

// The installer the build made, unpacked, against the staged tree it was made from.
TEST(PackageBuilder, TheBuiltInstallerCarriesTheWholeStagedTreeByteForByte)
{
    std::string installer = ReadBytes(KORAX_SETUP_INSTALLER);
    ASSERT_GT(installer.size(), 100u);
    EXPECT_EQ(installer.compare(0, 4, "\x7F" "ELF"), 0) << "the wizard's program image comes first";
    size_t start = size_t((unsigned char)installer[installer.size() - 4]) |
                   size_t((unsigned char)installer[installer.size() - 3]) << 8 |
                   size_t((unsigned char)installer[installer.size() - 2]) << 16 |
                   size_t((unsigned char)installer[installer.size() - 1]) << 24;
    std::string first = std::string(" \r\n------------------\r\n") + FolderLabel + "KORAX 3050\r\n";
    ASSERT_LT(start, installer.size());
    EXPECT_EQ(installer.compare(start, first.size(), first), 0) << "the offset points at the top folder's entry";

    std::vector<PackItem> items;
    ASSERT_EQ(CollectPackItems(KORAX_STAGED_TOP, KORAX_SETUP_FRESH, items), 1) << PackError;
    Sandbox sandbox;
    ASSERT_EQ(UnpackInstaller(KORAX_SETUP_INSTALLER, sandbox.destination), 1);
    EXPECT_EQ(LastUnpack.failed, 0);

    std::set<std::string> packed;
    int folders = 0;
    for (const PackItem& item : items) {
        std::string path = item.path;
        for (char& c : path)
            if (c == '\\') c = '/';
        path = ToUtf8(path);
        packed.insert(item.folder ? path + "/" : path);
        if (item.folder) folders++;
        else EXPECT_EQ(ReadBytes(sandbox.destination + path), ReadBytes(item.source)) << path;
    }
    std::map<std::string, std::string> unpacked = TreeOf(sandbox.destination);
    std::set<std::string> found;
    for (const auto& [path, bytes] : unpacked) found.insert(path);
    EXPECT_EQ(found, packed) << "exactly the packaged entries, nothing more";
    EXPECT_EQ(folders, 15);
    EXPECT_EQ(LastUnpack.files, int(items.size()) - folders);
    for (const char* empty : {"KORAX 3050/DATEN/BMP/O/Schatten/", "KORAX 3050/DATEN/SAVE/"}) EXPECT_EQ(found.count(empty), 1u) << empty;
    EXPECT_EQ(found.count("KORAX 3050/DATEN/Installationsort.ini"), 0u) << "the installer writes it";
    EXPECT_NE(ReadBytes(sandbox.destination + "KORAX 3050/DATEN/Konfigurationen.ini").find("Texturen_machen = 1"),
              std::string::npos)
        << "the installed game makes its tiles on its first start";
    for (const std::string& path : found) EXPECT_EQ(path.find("Erde-Sand-"), std::string::npos) << path;
    struct stat info;
    ASSERT_EQ(stat((sandbox.destination + "KORAX 3050/DATEN/KORAX 3050").c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IXUSR) << "the game is installed as a program";
    ASSERT_EQ(stat((sandbox.destination + "KORAX 3050/DATEN/TXT/Einheiten.info").c_str(), &info), 0);
    EXPECT_FALSE(info.st_mode & S_IXUSR);
}
