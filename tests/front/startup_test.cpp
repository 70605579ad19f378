// Start-up as a new user meets it: a display that cannot open, maps the settings ask for, and
// the first start finding its generators in a tree that was moved or never recorded.
#include "game/base/assets.h"
#include "game/base/config.h"
#include "game/front/startup.h"
#include "platform/dialog.h"
#include "platform/display.h"
#include "platform/process.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

TEST(StartUp, EveryLayerCheckReallyStartsItsLayer)
{
    EXPECT_EQ(StartDisplayLayer(), 1);
    EXPECT_EQ(StartKeyboardLayer(), 1);
    EXPECT_EQ(StartMouseLayer(), 1);
    EXPECT_EQ(StartSpriteLayer(), 1);
    StopLayers();

    // Without a display there is no renderer to draw a single sprite: the check must say so
    // rather than only asking for TrueType.
    EXPECT_EQ(StartSpriteLayer(), 0);
    StopLayers();
}

TEST(StartUp, ADisplayThatCannotOpenIsToldAndEndsTheGame)
{
    SetMessageBoxAnswer(1);
    StopLayers();
    setenv("SDL_VIDEODRIVER", "keiner", 1);
    ResolutionIndex = 3;
    testing::internal::CaptureStderr();
    EXPECT_EQ(OpenGameDisplay(), 0);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("korax: FEHLER: Der Bildschirm konnte nicht im Vollbild mit 1024 x 768 Bildpunkten"), std::string::npos)
        << log;
    EXPECT_EQ(DisplayIsOpen(), 0);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    EXPECT_EQ(OpenGameDisplay(), 1) << "with a video driver it opens";
    StopLayers();
}

TEST(StartUp, TheMapSettingIsKeptToTheMapsThereAre)
{
    FreeMapCount = 5;
    EXPECT_EQ(FreeMapFor(3), 3);
    EXPECT_EQ(FreeMapFor(7002), 5) << "the logo's number is no map";
    EXPECT_EQ(FreeMapFor(0), 1);
    EXPECT_EQ(FreeMapFor(-4), 1);
    FreeMapCount = 0;
    EXPECT_EQ(FreeMapFor(1), 0) << "no maps, nothing to play";
}

// A staged tree at `top` whose generators leave a mark in their folders when they run.
static void MakeTreeWithGenerators(const std::string& top)
{
    for (const char* folder : {"BMP\\B", "BMP\\O"}) {
        std::string program = top + "DATEN\\" + folder + "\\" + ProgramFile(folder[4] == 'B' ? "texgen" : "terrashade");
        ASSERT_EQ(MakeFolder(top + "DATEN\\" + folder), 1);
        ASSERT_EQ(WriteWholeFile(program, "#!/bin/sh\necho lief > lief.txt\n"), 1);
        chmod(ResolvePath(program).c_str(), 0755);
    }
}

static int GeneratorsRan(const std::string& daten)
{
    return FileExists(daten + "BMP\\B\\lief.txt") && FileExists(daten + "BMP\\O\\lief.txt");
}

TEST(FirstStart, GeneratorsAreFoundInAMovedTreeAndWithoutARecord)
{
    SetMessageBoxAnswer(1);
    TempFolder folder;
    std::string top = folder.path + "KORAX 3050\\";
    MakeTreeWithGenerators(top);
    SetProgramFolder(folder.path + "KORAX 3050/DATEN");
    auto clear = [](const std::string& daten) {
        RemoveFile(daten + "BMP\\B\\lief.txt");
        RemoveFile(daten + "BMP\\O\\lief.txt");
    };

    // The record is missing, empty, or names a folder that is gone.
    for (const std::string& record : {std::string(), std::string("\r\n"), std::string("/gibt/es/nicht/KORAX 3050\\\r\n")}) {
        if (record.empty()) RemoveFile("Installationsort.ini");
        else ASSERT_EQ(WriteWholeFile("Installationsort.ini", record), 1);
        MakeTextures = 1;
        RunFirstStartGeneration();
        EXPECT_EQ(GeneratorsRan(""), 1) << "found beside the game, record \"" << record << "\"";
        EXPECT_EQ(MakeTextures, 0);
        clear("");
    }

    // A copy of the tree: the record still names the original, whose generators are there too;
    // the copy's own must run, or the copy never gets its tiles.
    std::string original = folder.path + "Original\\";
    MakeTreeWithGenerators(original);
    ASSERT_EQ(WriteWholeFile("Installationsort.ini", original + "\r\n"), 1);
    RunFirstStartGeneration();
    EXPECT_EQ(GeneratorsRan(""), 1);
    EXPECT_EQ(GeneratorsRan(original + "DATEN\\"), 0) << "the original is left alone";

    // A tree without generators of its own follows the record (with or without its final
    // separator).
    RemoveFolder(folder.path + "KORAX 3050/DATEN/BMP");
    ASSERT_EQ(WriteWholeFile("Installationsort.ini", folder.path + "Original\r\n"), 1);
    RunFirstStartGeneration();
    EXPECT_EQ(GeneratorsRan(original + "DATEN\\"), 1) << "the recorded tree's generators ran";
}
