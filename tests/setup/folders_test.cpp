// The installer with folders as people name them: in any script, with a '\' inside a name, and
// the application menu's entries it leaves behind.
#include "package_files.h"

#include "setup/installation.h"

#include "platform/desktop_entry.h"
#include "platform/install_files.h"
#include "platform/install_record.h"
#include "platform/latin1.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

// A package with the programs the installer starts: each leaves its working folder behind.
static std::string ProgramsPackage()
{
    std::string entries;
    for (const char* folder : {"KORAX 3050", "KORAX 3050\\DATEN", "KORAX 3050\\DATEN\\BMP", "KORAX 3050\\DATEN\\BMP\\O"})
        AppendFolderEntry(entries, folder);
    AppendFileEntry(entries, "KORAX 3050\\DATEN\\BMP\\O\\terrashade", "#!/bin/sh\npwd > lief.txt\n");
    AppendFileEntry(entries, "KORAX 3050\\Launch", "#!/bin/sh\npwd > lief.txt\n");
    return InstallerBytes(entries);
}

static std::string WaitForFile(const std::string& path)
{
    std::string content;
    for (int i = 0; i < 100 && (content = ReadBytes(path)).empty(); i++) usleep(50000);
    return content;
}

TEST(InstallFolders, AnyNameInstallsRecordsAndStartsItsPrograms)
{
    for (const std::string name : {"Наталья", "Spiele\\Neu", "日本語 \\ Spiele"}) {
        Sandbox sandbox;
        std::string folder = sandbox.root + name + "/";
        fs::create_directory(folder);
        std::string installer = sandbox.root + InstallerFileName();
        WriteBytes(installer, ProgramsPackage());
        EXPECT_EQ(FolderTest(folder), 1) << name;
        ASSERT_EQ(UnpackInstaller(installer, folder), 1) << name;
        EXPECT_EQ(LastUnpack.failed, 0) << name;
        ASSERT_EQ(WriteInstallationRecord(folder), 1) << name;
        std::string top = folder + "KORAX 3050/";
        EXPECT_EQ(TopFolderFromRecord(ReadBytes(top + "DATEN/Installationsort.ini")), top)
            << name << ": the record names the folder the game went into";
        EXPECT_EQ(RunShadowMaker(folder), 1) << name;
        EXPECT_EQ(ReadBytes(top + "DATEN/BMP/O/lief.txt"), top + "DATEN/BMP/O\n") << name;
        EXPECT_EQ(StartLauncher(folder), 1) << name;
        EXPECT_EQ(WaitForFile(top + "lief.txt"), top.substr(0, top.size() - 1) + "\n") << name;
    }
}

TEST(InstallFolders, TheBrowserOpensAtTheFolderInTheField)
{
    Sandbox sandbox;
    std::string cyrillic = sandbox.root + "Игры/";
    fs::create_directory(cyrillic);
    EXPECT_EQ(BrowseStart(cyrillic), cyrillic);
    EXPECT_EQ(BrowseStart(cyrillic + "noch nicht da/und tiefer"), cyrillic) << "the nearest folder that exists";
    EXPECT_EQ(BrowseStart(""), UserHomeFolder());
    EXPECT_EQ(BrowseStart("/"), "/");
}

TEST(MenuEntries, TheEntriesAreValidAndStartTheInstalledPrograms)
{
    Sandbox sandbox;
    std::string folder = sandbox.root + "Игры \\ \"$HOME\" 100%/";
    MenuEntry launcher = LauncherMenuEntry(folder);
    MenuEntry help = HelpMenuEntry(folder);
    EXPECT_EQ(launcher.program, folder + "KORAX 3050/Launch");
    EXPECT_EQ(help.folder, folder + "KORAX 3050/DATEN/");
    std::string text = DesktopEntryText(launcher);
    // The Exec line's word is quoted, its reserved characters escaped, then the value's own
    // backslashes doubled; the Path line is a plain string value.
    EXPECT_NE(text.find("Exec=\"" + sandbox.root + "Игры \\\\\\\\ \\\\\"\\\\$HOME\\\\\" 100%%/KORAX 3050/Launch\"\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("\nPath=" + sandbox.root + "Игры \\\\ \"$HOME\" 100%/KORAX 3050/\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nName=KORAX 3050\n"), std::string::npos);
    EXPECT_NE(text.find("\nIcon=korax3050\n"), std::string::npos);

    // A path that is no UTF-8, or has a line break in it, cannot stand in an entry.
    launcher.program = "/spiele/J\xFCrgen/Launch";
    EXPECT_EQ(DesktopEntryText(launcher), "");
    launcher.program = "/spiele/a\nb/Launch";
    EXPECT_EQ(DesktopEntryText(launcher), "");
}

TEST(MenuEntries, InstalledIntoTheUsersDataFolderAndValid)
{
    Sandbox sandbox;
    setenv("XDG_DATA_HOME", (sandbox.root + "daten").c_str(), 1);
    std::string folder = sandbox.root + "Игры\\Neu/";
    Image logo;
    MakeImage(logo, 128, 256, PackColour(0, 0, 0));
    logo.pixels[size_t(60 * 128 + 10)] = PackColour(255, 160, 40);
    ASSERT_EQ(AddMenuEntries(folder, logo), 1);
    for (const char* id : {"korax3050", "korax3050-hilfe"}) {
        std::string file = MenuEntryFile(id);
        EXPECT_EQ(file, sandbox.root + "daten/applications/" + id + ".desktop");
        std::string command = "desktop-file-validate '" + file + "' > '" + sandbox.root + "pruefung.txt' 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << ReadBytes(sandbox.root + "pruefung.txt") << ReadBytes(file);
        for (int size : MenuIconSizes) {
            std::string png = ReadBytes(MenuIconFile(id, size));
            ASSERT_GT(png.size(), 24u) << id << " " << size;
            EXPECT_EQ(png.substr(1, 3), "PNG");
            // The PNG header's width and height, big-endian at bytes 16 and 20.
            EXPECT_EQ((unsigned char)png[19], size);
            EXPECT_EQ((unsigned char)png[23], size);
        }
    }
    // A second installation somewhere else replaces the entries.
    ASSERT_EQ(AddMenuEntries(sandbox.root + "woanders/", logo), 1);
    EXPECT_NE(ReadBytes(MenuEntryFile("korax3050")).find("woanders/KORAX 3050/Launch"), std::string::npos);
    EXPECT_EQ(ReadBytes(MenuEntryFile("korax3050")).find("Neu"), std::string::npos);
    unsetenv("XDG_DATA_HOME");
}

TEST(MenuEntries, TheIconsShowTheLogosSunAndTheHelpBook)
{
    Image logo, game, help;
    MakeImage(logo, 128, 256, PackColour(0, 0, 0));
    for (int y = 0; y < 256; y++) logo.pixels[size_t(y * 128)] = PackColour(y, 0, 0);
    GameIcon(logo, game);
    ASSERT_EQ(game.width, 128);
    ASSERT_EQ(game.height, 128);
    EXPECT_EQ(game.pixels[0], PackColour(48, 0, 0)) << "the square from 48 pixels down";
    EXPECT_EQ(game.pixels[size_t(127 * 128)], PackColour(175, 0, 0));
    HelpIcon(logo, help);
    EXPECT_EQ(help.pixels[0], game.pixels[0]);
    int changed = 0;
    for (size_t i = 0; i < help.pixels.size(); i++) changed += help.pixels[i] != game.pixels[i];
    EXPECT_GT(changed, 500) << "the book in the corner";
}
