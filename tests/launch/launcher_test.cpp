// The launcher's animation as numbers: the slide-in, the entries under the mouse, the slide-out
// and the choice; then what the chosen entry starts.
#include "launch/launcher.h"
#include "platform/files.h"
#include "platform/install_files.h"
#include "platform/install_record.h"
#include "platform/process.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>
#include <thread>

// One frame of the launcher's loop with the mouse at (mx, my) relative to the upper window.
static void Frame(LaunchState& state, int mx = -1, int my = -1, int leftDown = 0)
{
    int ux, uy, lx, ly;
    PlaceParts(state, ux, uy, lx, ly);
    MoveParts(state);
    MoveEntries(state, mx, my, leftDown);
}

// Runs frames with the mouse away until nothing moves; the number of frames.
static int SettleAtRest(LaunchState& state)
{
    int frames = 0;
    while (!NothingMoves(state) && frames < 10000) {
        Frame(state);
        frames++;
    }
    return frames;
}

// A point in the middle of entry k, relative to the upper window.
static int EntryX() { return 250; }
static int EntryY(int k) { return 170 + 40 * k; }

TEST(Launcher, PartsMeetAfterThirtySixFramesOn1024x768)
{
    LaunchState state;
    StartLaunch(state, 1024, 768);
    EXPECT_EQ(state.cx, 337);
    EXPECT_EQ(state.cy, 179);
    int ux, uy, lx, ly;
    PlaceParts(state, ux, uy, lx, ly);
    EXPECT_EQ(uy, -358);
    EXPECT_EQ(ly, 716);
    EXPECT_EQ(ux, 337);
    for (int frame = 1; frame <= 35; frame++) Frame(state);
    EXPECT_LT(state.upperOffset, 0) << "not yet met after 35 frames";
    EXPECT_GT(state.lowerOffset, 0);
    Frame(state);
    EXPECT_EQ(state.upperOffset, 0);
    EXPECT_EQ(state.lowerOffset, 0);
    PlaceParts(state, ux, uy, lx, ly);
    EXPECT_EQ(uy, 179);
    EXPECT_EQ(ly, 179);
    // The entries came in one after another and rest in the open band of the picture.
    SettleAtRest(state);
    for (int k = 1; k <= EntryCount; k++) {
        int x, y;
        EntryPosition(state, k, x, y);
        EXPECT_EQ(x, 337 + 140) << k;
        EXPECT_EQ(y, 179 + 150 + 40 * k) << k;
    }
}

TEST(Launcher, EntryMovesFortyPixelsOutInFourFramesAndBackInFour)
{
    LaunchState state;
    StartLaunch(state, 1024, 768);
    SettleAtRest(state);
    for (int frame = 1; frame <= 4; frame++) {
        Frame(state, EntryX(), EntryY(3));
        EXPECT_EQ(state.slide[3], 10 * frame);
        EXPECT_FALSE(NothingMoves(state) && frame < 4);
    }
    Frame(state, EntryX(), EntryY(3));
    EXPECT_EQ(state.slide[3], 40) << "it stops at 40";
    EXPECT_TRUE(NothingMoves(state)) << "40 counts as at rest";
    EXPECT_EQ(state.slide[2] + state.slide[4], 0) << "the neighbours stay";
    for (int frame = 1; frame <= 4; frame++) {
        Frame(state);
        EXPECT_EQ(state.slide[3], 40 - 10 * frame);
    }
    EXPECT_FALSE(EntryUnderMouse(state, 3, 150, EntryY(3))) << "the strip's edges do not count";
    EXPECT_FALSE(EntryUnderMouse(state, 3, EntryX(), 150 + 40 * 3));
    EXPECT_TRUE(EntryUnderMouse(state, 3, 151, 151 + 40 * 3));
}

TEST(Launcher, SlidesOutLowestEntryFirstThenEnds)
{
    LaunchState state;
    StartLaunch(state, 1024, 768);
    SettleAtRest(state);
    Frame(state, EntryX(), EntryY(2), 1); // a press; the button is let go at once
    ASSERT_EQ(state.leaving, 1);
    EXPECT_EQ(state.choice, 2);
    int firstOut[EntryCount + 1] = {0};
    int frames = 1;
    while (!LaunchFinished(state) && frames < 1000) {
        Frame(state);
        frames++;
        for (int k = 1; k <= EntryCount; k++)
            if (!firstOut[k] && state.slide[k] > 100) firstOut[k] = frames;
    }
    EXPECT_EQ(frames, 37) << "the upper part passes -3 cy = -537 after 36 frames of 15 pixels";
    for (int k = 1; k < EntryCount; k++) {
        EXPECT_GT(firstOut[k], 0) << k;
        EXPECT_GT(firstOut[k], firstOut[k + 1]) << "entry " << k << " leaves after entry " << k + 1;
    }
    EXPECT_EQ(state.choice, 2);
}

TEST(Launcher, HoldingTheButtonOverSeveralEntriesChoosesTheLast)
{
    LaunchState state;
    StartLaunch(state, 1024, 768);
    SettleAtRest(state);
    Frame(state, EntryX(), EntryY(1), 1);
    Frame(state, EntryX(), EntryY(2), 1);
    Frame(state, EntryX(), EntryY(4), 1);
    EXPECT_EQ(state.choice, 4) << "entries still in place take over the choice";
    for (int frame = 0; frame < 10; frame++) Frame(state, EntryX(), EntryY(5), 1);
    EXPECT_EQ(state.choice, 4) << "entry 5 has already moved away";
}

TEST(Launcher, WaitsForTheMouseOnlyWhenThePartsHaveMetToo)
{
    // On a tall screen the entries are home long before the parts meet.
    LaunchState state;
    StartLaunch(state, 1024, 1600);
    int frame = 0;
    while (!EntriesAtRest(state) && frame < 1000) {
        Frame(state);
        frame++;
    }
    ASSERT_TRUE(EntriesAtRest(state));
    EXPECT_LT(state.upperOffset, 0);
    EXPECT_FALSE(NothingMoves(state)) << "the loop must go on while the picture is still split";
    EXPECT_GT(SettleAtRest(state), 0);
    EXPECT_EQ(state.upperOffset, 0);
}

TEST(Launcher, EachEntryStartsItsProgram)
{
    EXPECT_EQ(ChoiceProgram(1), "DATEN\\" + ProgramFile("KORAX 3050"));
    EXPECT_EQ(ChoiceProgram(3), "DATEN\\" + ProgramFile("Hilfe"));
    for (int choice : {2, 4, 5}) EXPECT_EQ(ChoiceProgram(choice), "") << choice;
}

// Waits up to five seconds for a file that a started program writes.
static std::string WaitForFile(const std::string& path)
{
    std::string content;
    for (int i = 0; i < 100 && !(ReadWholeFile(path, content) && !content.empty()); i++)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return content;
}

static void WriteScript(const std::string& path, const std::string& body)
{
    ASSERT_EQ(WriteWholeFile(path, "#!/bin/sh\n" + body + "\n"), 1);
    chmod(ResolvePath(path).c_str(), 0755);
}

TEST(Launcher, StartsTheChosenProgramInItsFolder)
{
    TempFolder folder;
    MakeFolder("DATEN");
    WriteScript("DATEN\\" + ProgramFile("Hilfe"), "pwd > gestartet.txt");
    // Without Installationsort.ini the programs are found relative to the launcher's folder.
    EXPECT_EQ(ReadRootFolder(), "");
    CarryOutChoice(3, ReadRootFolder());
    EXPECT_EQ(WaitForFile("DATEN\\gestartet.txt"), folder.path + "DATEN\n");

    // With the record, the top folder it names is used: in the backslash form of older
    // installations, and as the system names a folder that form cannot carry.
    std::string top = folder.path + "woanders/";
    std::string plain = top;
    for (char& c : plain)
        if (c == '/') c = '\\';
    for (const std::string& record : {plain + "\r\n", InstallationRecordFor(top)}) {
        MakeFolder("woanders\\DATEN");
        WriteScript("woanders\\DATEN\\" + ProgramFile("KORAX 3050"), "pwd > gestartet.txt");
        ASSERT_EQ(WriteWholeFile("DATEN\\Installationsort.ini", record), 1);
        EXPECT_EQ(ReadRootFolder(), top);
        CarryOutChoice(1, ReadRootFolder());
        EXPECT_EQ(WaitForFile("woanders\\DATEN\\gestartet.txt"), folder.path + "woanders/DATEN\n");
        RemoveFolder("woanders");
    }
    CarryOutChoice(5, ReadRootFolder()); // "Beenden" starts nothing and must not fail
}

TEST(Launcher, StartsTheGameInAFolderOfAnyName)
{
    TempFolder folder;
    MakeFolder("DATEN");
    for (const std::string name : {"Игры", "Spiele\\Neu", "ゲーム"}) {
        // The installed tree lies in a folder the game's own paths cannot name.
        std::string top = folder.path + name + "/KORAX 3050/";
        ASSERT_EQ(MakeOsFolders(top + "DATEN"), 1);
        std::string game = top + "DATEN/" + ProgramFile("KORAX 3050");
        ASSERT_EQ(WriteOsFile(game, "#!/bin/sh\npwd > gestartet.txt\n"), 1);
        chmod(game.c_str(), 0755);
        ASSERT_EQ(WriteWholeFile("DATEN\\Installationsort.ini", InstallationRecordFor(top)), 1);
        ASSERT_EQ(ReadRootFolder(), top) << name;
        CarryOutChoice(1, ReadRootFolder());
        std::string started;
        for (int i = 0; i < 100 && !(ReadOsFile(top + "DATEN/gestartet.txt", started) && !started.empty()); i++)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(started, top + "DATEN\n") << name;
    }
}
