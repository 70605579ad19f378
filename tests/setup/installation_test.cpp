// The installation steps around the reader: the installer's own name, a second installation,
// the folder test, the installation record and the font.
#include "package_files.h"

#include "setup/installation.h"

#include "platform/latin1.h"
#include "platform/user_font.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace fs = std::filesystem;

static std::string GamePackage()
{
    std::string entries;
    AppendFolderEntry(entries, "KORAX 3050");
    AppendFolderEntry(entries, "KORAX 3050\\DATEN");
    AppendFileEntry(entries, "KORAX 3050\\DATEN\\KORAX 3050", "\x7F" "ELF und mehr");
    AppendFileEntry(entries, "KORAX 3050\\DATEN\\start.sh", "#!/bin/sh\nexit 0\n");
    AppendFileEntry(entries, "KORAX 3050\\DATEN\\Einheiten.info", "Tabelle\r\n");
    AppendFolderEntry(entries, "KORAX 3050\\DATEN\\SAVE");
    return InstallerBytes(entries);
}

static int IsProgram(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && (info.st_mode & 0777) == 0755;
}

TEST(Installation, OnlyAnInstallerNamedSetupUnpacks)
{
    Sandbox sandbox;
    for (const char* name : {"setup-kopie", "Setup", "setup.exe"}) {
        WriteBytes(sandbox.root + name, GamePackage());
        EXPECT_EQ(UnpackInstaller(sandbox.root + name, sandbox.destination), 0) << name;
        EXPECT_EQ(LastUnpack.found, 0);
    }
    EXPECT_TRUE(fs::is_empty(sandbox.destination)) << "a renamed installer unpacks nothing";
    WriteBytes(sandbox.root + InstallerFileName(), GamePackage());
    EXPECT_EQ(UnpackInstaller(sandbox.root + InstallerFileName(), sandbox.destination), 1);
    EXPECT_EQ(LastUnpack.files, 3);
    EXPECT_EQ(UnpackInstaller(sandbox.root + "fehlt/setup", sandbox.destination), 0);
}

TEST(Installation, WhatCouldNotBeWrittenIsToldByNameAndReason)
{
    Sandbox sandbox;
    std::string installer = sandbox.root + InstallerFileName();
    WriteBytes(installer, GamePackage());
    ASSERT_EQ(UnpackInstaller(installer, sandbox.destination), 1);
    EXPECT_EQ(UnpackFailureNote(), "") << "nothing to tell";
    EXPECT_EQ(ReportText(1, 1), "KORAX 3050 wurde erfolgreich installiert.");

    // A folder where a packaged file should go: that file, and nothing else, fails.
    fs::remove(sandbox.destination + "KORAX 3050/DATEN/Einheiten.info");
    fs::create_directory(sandbox.destination + "KORAX 3050/DATEN/Einheiten.info");
    fs::remove(sandbox.destination + "KORAX 3050/DATEN/start.sh");
    fs::create_symlink("/tmp", sandbox.destination + "KORAX 3050/DATEN/start.sh");
    ASSERT_EQ(UnpackInstaller(installer, sandbox.destination), 1);
    EXPECT_EQ(UnpackFailureNote(), L1("2 Dateien konnten nicht geschrieben werden:\n"
                                      "KORAX 3050\\DATEN\\start.sh: ein Verweis (Link) steht an seiner Stelle\n"
                                      "KORAX 3050\\DATEN\\Einheiten.info: ein Ordner gleichen Namens steht im Weg\n"
                                      "Die Installation ist nicht vollständig."));
    EXPECT_EQ(ReportText(1, 1), L1("KORAX 3050 wurde nicht vollständig installiert:\n2 Dateien konnten nicht geschrieben "
                                   "werden.\n\nBitte beheben sie die Ursache und\ninstallieren sie erneut."))
        << "the report page must not claim success";

    // A file where the DATEN folder should be: everything in it fails, the first few by name;
    // the installation record, written after the package, counts as one more.
    fs::remove_all(sandbox.destination + "KORAX 3050/DATEN");
    WriteBytes(sandbox.destination + "KORAX 3050/DATEN", "eine Datei");
    ASSERT_EQ(UnpackInstaller(installer, sandbox.destination), 1);
    EXPECT_EQ(WriteInstallationRecord(sandbox.destination), 0);
    EXPECT_EQ(LastUnpack.failed, 6);
    EXPECT_EQ(UnpackFailureNote(), L1("6 Dateien konnten nicht geschrieben werden:\n"
                                      "KORAX 3050\\DATEN: eine Datei gleichen Namens steht im Weg\n"
                                      "KORAX 3050\\DATEN\\KORAX 3050: ein Teil des Pfades ist kein Ordner\n"
                                      "KORAX 3050\\DATEN\\start.sh: ein Teil des Pfades ist kein Ordner\n"
                                      "KORAX 3050\\DATEN\\Einheiten.info: ein Teil des Pfades ist kein Ordner\n"
                                      "KORAX 3050\\DATEN\\SAVE: ein Teil des Pfades ist kein Ordner\n"
                                      "... und 1 weitere.\n"
                                      "Die Installation ist nicht vollständig."));
}

TEST(Installation, AFailureListNamesTheFirstFewAndCountsTheRest)
{
    LastUnpack = UnpackReport{};
    LastUnpack.found = 1;
    for (int i = 1; i <= 8; i++) NoteUnpackFailure("KORAX 3050\\BMP\\" + std::to_string(i) + ".bmp", ENOSPC);
    LastUnpack.cutShort = 1;
    std::string note = UnpackFailureNote();
    EXPECT_NE(note.find("5.bmp: kein Platz mehr auf dem Datentr\xE4ger\n... und 3 weitere.\n"), std::string::npos) << note;
    EXPECT_EQ(note.find("6.bmp"), std::string::npos);
    EXPECT_NE(note.find(L1("Das Installationspaket ist unvollständig.")), std::string::npos);
    EXPECT_EQ(FailureReason(RefusedPath), L1("der Pfad im Installationspaket ist unzulässig"));
    EXPECT_EQ(FailureReason(12345), "Systemfehler 12345");

    UnpackInstaller("/gibt/es/nicht/setup", "/tmp/");
    EXPECT_EQ(UnpackFailureNote(), L1("Das Installationspaket wurde nicht gefunden,\nes wurden keine Dateien installiert."));
    EXPECT_EQ(ReportText(0, 0), L1("KORAX 3050 wurde nicht installiert:\ndas Installationspaket wurde nicht gefunden."));

    // Everything written, but the shadows or the menu entry could not be made: said, not hidden.
    LastUnpack = UnpackReport{};
    LastUnpack.found = 1;
    EXPECT_EQ(ReportText(0, 1), "KORAX 3050 wurde erfolgreich installiert.\n\nDie Schattenbilder konnten nicht erstellt "
                                "werden;\ndas Spiel erstellt sie bei seinem ersten Start.");
    EXPECT_NE(ReportText(1, 0).find(L1("Anwendungsmenü")), std::string::npos);
}

TEST(Installation, ASecondInstallationOverwritesPackagedFilesAndLeavesOthers)
{
    Sandbox sandbox;
    std::string installer = sandbox.root + InstallerFileName();
    WriteBytes(installer, GamePackage());
    ASSERT_EQ(UnpackInstaller(installer, sandbox.destination), 1);
    std::string daten = sandbox.destination + "KORAX 3050/DATEN/";
    WriteBytes(daten + "Einheiten.info", "verändert, und dazu viel länger als vorher");
    WriteBytes(daten + "SAVE/Spiel.sav", "ein Spielstand");
    chmod((daten + "KORAX 3050").c_str(), 0600);
    ASSERT_EQ(UnpackInstaller(installer, sandbox.destination), 1);
    EXPECT_EQ(ReadBytes(daten + "Einheiten.info"), "Tabelle\r\n");
    EXPECT_EQ(ReadBytes(daten + "SAVE/Spiel.sav"), "ein Spielstand");
    EXPECT_TRUE(IsProgram(daten + "KORAX 3050")) << "programs are told by their first bytes";
    EXPECT_TRUE(IsProgram(daten + "start.sh"));
    EXPECT_FALSE(IsProgram(daten + "Einheiten.info"));
}

TEST(Installation, FolderTestLeavesNoTraceAndSparesAFileOfTheSameName)
{
    Sandbox sandbox;
    EXPECT_EQ(FolderTest(sandbox.destination), 1);
    EXPECT_TRUE(fs::is_empty(sandbox.destination));
    EXPECT_EQ(FolderTest(sandbox.root + "fehlt/"), 0);
    WriteBytes(sandbox.destination + "Ordner_Test", "meins");
    EXPECT_EQ(FolderTest(sandbox.destination), 1);
    EXPECT_EQ(TreeOf(sandbox.destination), (std::map<std::string, std::string>{{"Ordner_Test", "meins"}}));
    EXPECT_EQ(WithFinalSeparator("/home/spieler/Spiele"), "/home/spieler/Spiele/");
    EXPECT_EQ(WithFinalSeparator("/home/spieler/Spiele/"), "/home/spieler/Spiele/");
    EXPECT_EQ(AbsoluteFolder("/abs"), "/abs");
    EXPECT_EQ(AbsoluteFolder("Spiele").back(), 'e');
    EXPECT_EQ(AbsoluteFolder("Spiele")[0], '/');
}

TEST(Installation, TheRecordNamesTheTopFolderAndIsWrittenAnew)
{
    EXPECT_EQ(InstallationRecord("/home/spieler/Spiele/"), "\\home\\spieler\\Spiele\\KORAX 3050\\\r\n");
    EXPECT_EQ(InstallationRecord("/home/Jürgen/"), "\\home\\J\xFCrgen\\KORAX 3050\\\r\n") << "Latin-1, as all our files";
    // Folders that form cannot carry are written as the system names them, marked in front.
    EXPECT_EQ(InstallationRecord("/home/Наталья/"), "\xEF\xBB\xBF/home/Наталья/KORAX 3050/\r\n");
    EXPECT_EQ(InstallationRecord("/spiele/a\\b/"), "\xEF\xBB\xBF/spiele/a\\b/KORAX 3050/\r\n");
    Sandbox sandbox;
    EXPECT_EQ(WriteInstallationRecord(sandbox.destination), 0) << "no DATEN folder yet";
    fs::create_directories(sandbox.destination + "KORAX 3050/DATEN");
    WriteBytes(sandbox.destination + "KORAX 3050/DATEN/Installationsort.ini", "eine alte, viel zu lange Zeile\r\n");
    ASSERT_EQ(WriteInstallationRecord(sandbox.destination), 1);
    std::string line = sandbox.destination + "KORAX 3050/";
    for (char& c : line)
        if (c == '/') c = '\\';
    EXPECT_EQ(ReadBytes(sandbox.destination + "KORAX 3050/DATEN/Installationsort.ini"), line + "\r\n");
}

// fontconfig keeps what it scanned for the life of the process, which LeakSanitizer would
// take for a leak of ours.
static int FontMadeKnown(const std::string& installFolder)
{
#if defined(__SANITIZE_ADDRESS__)
    __lsan_disable();
#endif
    int made = MakeGameFontKnown(installFolder);
#if defined(__SANITIZE_ADDRESS__)
    __lsan_enable();
#endif
    return made;
}

TEST(Installation, TheFontIsCopiedIntoTheUserFontFolder)
{
    Sandbox sandbox;
    std::string fonts = sandbox.root + "daten";
    setenv("XDG_DATA_HOME", fonts.c_str(), 1);
    setenv("XDG_CACHE_HOME", (sandbox.root + "cache").c_str(), 1);
    EXPECT_EQ(UserFontFolder(), fonts + "/fonts/");
    EXPECT_EQ(FontMadeKnown(sandbox.destination), 0) << "no font installed yet";
    std::string font = ReadBytes(KORAX_STAGED_TOP "/DATEN/TXT/Omiczp__.ttf");
    ASSERT_FALSE(font.empty());
    fs::create_directories(sandbox.destination + "KORAX 3050/DATEN/TXT");
    WriteBytes(sandbox.destination + "KORAX 3050/DATEN/TXT/Omiczp__.ttf", font);
    EXPECT_EQ(FontMadeKnown(sandbox.destination), 1);
    EXPECT_EQ(ReadBytes(fonts + "/fonts/Omiczp__.ttf"), font);
    WriteBytes(fonts + "/fonts/Omiczp__.ttf", "alt");
    EXPECT_EQ(FontMadeKnown(sandbox.destination), 1);
    EXPECT_EQ(ReadBytes(fonts + "/fonts/Omiczp__.ttf"), font) << "a second installation replaces the copy";
    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_CACHE_HOME");
}
