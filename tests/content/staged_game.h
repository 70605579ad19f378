// tests/content/staged_game.h - the staged tree copied into a test's own folder, generated as on
// a first start (terrain tiles and building shadows), with the display and sound open.
#pragma once

#include "game/base/frame.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/pictures.h"
#include "platform/process.h"
#include "platform/sound.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

class StagedGame : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::copy(KORAX_STAGED_DATEN, folder.path + "DATEN", std::filesystem::copy_options::recursive);
        SetProgramFolder(folder.path + "DATEN");
        ASSERT_EQ(StartProgram("BMP\\B\\" + ProgramFile("texgen"), 1), 1);
        ASSERT_EQ(StartProgram("BMP\\O\\" + ProgramFile("terrashade"), 1), 1);
        ASSERT_EQ(StartSoundLayer(), 1);
        ASSERT_EQ(OpenDisplay(1024, 768, 32, "Test"), 1);
        SetScreenGeometry(1024, 768);
        SetTransparentColour(0, 0, 0);
    }
    void TearDown() override { StopLayers(); }
    TempFolder folder;
};
