// Where the programs find their folders and their screen: the installation record in both its
// forms, paths below folders of any name, and a display layer that never runs unseen.
#include "platform/display.h"
#include "platform/files.h"
#include "platform/install_files.h"
#include "platform/install_record.h"
#include "platform/process.h"
#include "platform/session.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

TEST(InstallationRecord, LatinOneFoldersKeepTheBackslashFormOfOurFiles)
{
    EXPECT_EQ(InstallationRecordFor("/home/spieler/Spiele/KORAX 3050/"), "\\home\\spieler\\Spiele\\KORAX 3050\\\r\n");
    EXPECT_EQ(InstallationRecordFor("/home/Jürgen/KORAX 3050"), "\\home\\J\xFCrgen\\KORAX 3050\\\r\n");
    // Records of earlier installations, and hand-written ones with either separator, read as before.
    EXPECT_EQ(TopFolderFromRecord("\\home\\J\xFCrgen\\KORAX 3050\\\r\n"), "/home/Jürgen/KORAX 3050/");
    EXPECT_EQ(TopFolderFromRecord("\\spiele\\KORAX 3050\\\r\nzweite Zeile\r\n"), "/spiele/KORAX 3050/");
    EXPECT_EQ(TopFolderFromRecord("/spiele/KORAX 3050"), "/spiele/KORAX 3050/") << "a missing final separator is added";
    EXPECT_EQ(TopFolderFromRecord("/tmp/x/Original\\"), "/tmp/x/Original/");
}

TEST(InstallationRecord, OtherFoldersTravelAsTheSystemNamesThem)
{
    struct {
        const char* folder;
        const char* record;
    } const cases[] = {
        {"/home/Наталья/KORAX 3050/", "\xEF\xBB\xBF/home/Наталья/KORAX 3050/\r\n"},
        {"/home/x/Spiele\\Neu/KORAX 3050/", "\xEF\xBB\xBF/home/x/Spiele\\Neu/KORAX 3050/\r\n"},
        {"/home/x/日本/KORAX 3050/", "\xEF\xBB\xBF/home/x/日本/KORAX 3050/\r\n"},
        // Bytes that are no UTF-8 at all (an old disk's Latin-1 name) go through unchanged.
        {"/spiele/J\xFCrgen/KORAX 3050/", "\xEF\xBB\xBF/spiele/J\xFCrgen/KORAX 3050/\r\n"},
        // An overlong letter converts to Latin-1 ("1"), but would not come back as these bytes.
        {"/spiele/\xC0\xB1/", "\xEF\xBB\xBF/spiele/\xC0\xB1/\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InstallationRecordFor(c.folder), c.record) << c.folder;
        EXPECT_EQ(TopFolderFromRecord(c.record), c.folder) << c.folder;
    }
}

TEST(InstallationRecord, UnusableRecordsNameNoFolder)
{
    EXPECT_EQ(TopFolderFromRecord(""), "");
    EXPECT_EQ(TopFolderFromRecord("\r\n\\spiele\\"), "") << "the first line counts";
    EXPECT_EQ(TopFolderFromRecord("\xEF\xBB\xBF\r\n"), "");
    EXPECT_EQ(TopFolderFromRecord("\\spiele\x01\\"), "");
    EXPECT_EQ(TopFolderFromRecord("\xEF\xBB\xBF/spiele\x1B/"), "");
    EXPECT_EQ(TopFolderFromRecord(std::string(5000, 'a')), "");
    EXPECT_EQ(TopFolderFromRecord("/" + std::string(4095, 'a') + "/").size(), 4097u) << "the longest path still counts";
}

TEST(Paths, BelowAFolderOfAnyName)
{
    TempFolder folder;
    for (const std::string name : {"Игры", "Spiele\\Neu", "a\\b\\c"}) {
        std::string top = folder.path + name + "/";
        ASSERT_EQ(MakeOsFolders(top + "DATEN/BMP"), 1);
        EXPECT_EQ(ResolvePathFrom(top, "daten\\bmp\\Neu.bmp"), top + "DATEN/BMP/Neu.bmp") << name;
        EXPECT_EQ(OsFolderExists(top + "DATEN"), 1);
        EXPECT_EQ(OsFileExists(top + "DATEN"), 0);
        // The same game path below ProgramFolder would split the name at its backslash.
        std::string program = top + "DATEN/BMP/" + ProgramFile("texgen");
        ASSERT_EQ(WriteOsFile(program, "#!/bin/sh\npwd > wo.txt\n"), 1);
        chmod(program.c_str(), 0755);
        EXPECT_EQ(StartProgramBelow(top, "DATEN\\BMP\\" + ProgramFile("texgen"), 1), 1) << name;
        std::string where;
        EXPECT_EQ(ReadOsFile(top + "DATEN/BMP/wo.txt", where), 1);
        EXPECT_EQ(where, top + "DATEN/BMP\n");
    }
    EXPECT_EQ(ResolvePathFrom("", "x"), ResolvePath("x")) << "no folder: the program's folder";
    EXPECT_EQ(ResolvePathFrom("unter", "x"), folder.path + "unter/x");
}

// Runs a display layer start with the environment of a session; restores the test's own.
static int StartWith(const char* videoDriver, const char* x11, const char* wayland)
{
    const char* names[] = {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"};
    const char* values[] = {videoDriver, x11, wayland};
    std::string saved[3];
    int had[3];
    for (int i = 0; i < 3; i++) {
        const char* old = std::getenv(names[i]);
        had[i] = old != nullptr;
        saved[i] = old ? old : "";
        if (values[i]) setenv(names[i], values[i], 1);
        else unsetenv(names[i]);
    }
    StopLayers();
    int started = StartDisplayLayer();
    StopLayers();
    for (int i = 0; i < 3; i++) {
        if (had[i]) setenv(names[i], saved[i].c_str(), 1);
        else unsetenv(names[i]);
    }
    return started;
}

TEST(DisplayLayer, AScreenThatShowsNothingOnlyWhenAskedForByName)
{
    // No display in the session: SDL would fall back to its offscreen driver.
    EXPECT_EQ(StartWith(nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(DisplayMissing(), 1);
    EXPECT_EQ(StartWith(nullptr, "", ""), 0) << "empty names name nothing";
    EXPECT_EQ(DisplayMissing(), 1);
    // A Wayland display that is not there: SDL finds nothing it could show.
    EXPECT_EQ(StartWith(nullptr, nullptr, "korax-gibt-es-nicht"), 0);
    EXPECT_EQ(DisplayMissing(), 1);
    // Asked for by name, as the tests do, the drivers without a screen are fine.
    EXPECT_EQ(StartWith("dummy", nullptr, nullptr), 1);
    EXPECT_EQ(DisplayMissing(), 0);
    EXPECT_EQ(StartWith("offscreen", nullptr, nullptr), 1);
    EXPECT_EQ(StartWith("OFFSCREEN", nullptr, nullptr), 1);
}

TEST(DisplayLayer, TheMessageSaysWhyInGerman)
{
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    EXPECT_EQ(SessionNamesDisplay(), 0);
    EXPECT_EQ(WaylandCompositorHasSeat(), -1);
    testing::internal::CaptureStderr();
    ReportNoDisplay("KORAX 3050");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "korax: KORAX 3050: Kein Bildschirm gefunden: weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt. Bitte aus "
              "einer grafischen Sitzung (X11 oder Wayland) starten.\n");
    setenv("DISPLAY", ":97", 1);
    EXPECT_EQ(SessionNamesDisplay(), 1);
    testing::internal::CaptureStderr();
    ReportNoDisplay("Hilfe");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "korax: Hilfe: Kein Bildschirm gefunden: die grafische Sitzung DISPLAY=:97 ist nicht erreichbar.\n");
    unsetenv("DISPLAY");
}
