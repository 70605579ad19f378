// The build's own content steps: data staged as the game reads it, and artgen's output the same
// bytes on every run.
#include "platform/files.h"
#include "platform/latin1.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

static std::string FileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

static void WriteFileBytes(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

static int RunCommand(const std::string& command) { return std::system(command.c_str()); }

TEST(DataStage, TextsBecomeLatin1WithCrLfAndTheTopFolderIsRecorded)
{
    TempFolder folder;
    fs::path data = folder.path + "data", daten = folder.path + "Spiel Ordner/DATEN";
    WriteFileBytes(data / "TXT" / "Gebaeude.info", "Größe\nzwei\r\n");
    WriteFileBytes(data / "BMP" / "O" / "Höhen.ini", "Winkel\n");
    WriteFileBytes(data / "KARTEN" / "roh.bin", std::string("\x00\n\xFF", 3));
    WriteFileBytes(data / "maps" / "Karte_01.txt", "nicht kopieren\n");
    std::string command = std::string("\"") + KORAX_DATASTAGE + "\" \"" + data.string() + "\" \"" + daten.string() + "\" \"" +
                          (folder.path + "Spiel Ordner") + "\"";
    ASSERT_EQ(RunCommand(command), 0);
    EXPECT_EQ(FileBytes(daten / "TXT" / "Gebaeude.info"), L1("Größe\r\nzwei\r\n"));
    EXPECT_EQ(FileBytes(daten / "BMP" / "O" / "Höhen.ini"), "Winkel\r\n") << "the file name keeps its UTF-8 spelling";
    EXPECT_EQ(FileBytes(daten / "KARTEN" / "roh.bin"), std::string("\x00\n\xFF", 3)) << "other files are copied as they are";
    EXPECT_FALSE(fs::exists(daten / "maps")) << "the map grids become pictures elsewhere";
    EXPECT_TRUE(fs::is_directory(daten / "SAVE"));
    EXPECT_TRUE(fs::is_directory(daten / "BMP" / "O" / "Schatten"));
    std::string record = FileBytes(daten / "Installationsort.ini");
    ASSERT_GE(record.size(), 3u);
    EXPECT_EQ(record.substr(record.size() - 3), "\\\r\n") << "one line, a final backslash, CR LF";
    EXPECT_EQ(record[0], '\\');
    EXPECT_EQ(record.find('/'), std::string::npos);
    EXPECT_EQ(RunCommand(std::string("\"") + KORAX_DATASTAGE + "\" 2>/dev/null"), 2 << 8) << "usage without arguments";
}

TEST(ArtGen, WritesTheSameBytesOnEveryRun)
{
    TempFolder folder;
    for (const char* run : {"eins", "zwei"})
        ASSERT_EQ(RunCommand(std::string("ASAN_OPTIONS=detect_leaks=0 \"") + KORAX_ARTGEN + "\" \"" + folder.path + run + "\" \"" +
                      folder.path + run + ".png\" > /dev/null"),
                  0);
    int files = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder.path + "eins")) {
        if (!entry.is_regular_file()) continue;
        fs::path twin = fs::path(folder.path + "zwei") / fs::relative(entry.path(), folder.path + "eins");
        ASSERT_TRUE(fs::exists(twin)) << twin;
        EXPECT_EQ(FileBytes(entry.path()), FileBytes(twin)) << entry.path();
        files++;
    }
    EXPECT_GT(files, 200) << "pictures, sounds and the font";
}
