// The campaign as the player meets it: the briefing of the shipped missions, the keys that
// start or leave it, and the progress after a mission was played to its end.
#include "game/base/config.h"
#include "game/base/tables.h"
#include "game/front/briefing.h"
#include "game/play/gameloop.h"
#include "game/sim/buildings.h"
#include "game/sim/units.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/latin1.h"
#include "support/shipped_data.h"
#include "support/temp_folder.h"
#include "support/test_game.h"

#include <gtest/gtest.h>

#include <algorithm>

class ShippedBriefing : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(InstallShippedTable("Missionen.info"), 1);
        LoadDataTables();
    }
    TempFolder folder;
};

TEST_F(ShippedBriefing, FirstMissionShowsNumberTitleTextAndKeys)
{
    Briefing briefing = ComposeBriefing(1);
    ASSERT_EQ(briefing.found, 1);
    ASSERT_GE(briefing.lines.size(), 5u);
    EXPECT_EQ(briefing.lines[0].text, "MISSION :  1");
    EXPECT_EQ(briefing.lines[0].y, 40);
    EXPECT_EQ(briefing.lines[1].text, "TITEL :  Sammeln");
    EXPECT_EQ(briefing.lines[1].y, 60);
    EXPECT_EQ(briefing.lines[2].text, L1(" Ahh, sie müssen der neue Kommandant sein.")) << "the task line is not drawn";
    EXPECT_EQ(briefing.lines[2].y, 120) << "two empty lines after the title";
    EXPECT_EQ(briefing.lines[3].y, 140);
    EXPECT_EQ(briefing.task, "Sammeln sie 10000 Euro.");

    const BriefingLine& keys = briefing.lines.back();
    const BriefingLine& end = briefing.lines[briefing.lines.size() - 2];
    EXPECT_EQ(keys.text, "STARTEN MIT [ENTER], ABBRUCH MIT [ESC]");
    EXPECT_EQ(end.text, " ") << "the closing \">>  \" line is the last text line";
    EXPECT_EQ(keys.y, end.y + 80);
    for (const BriefingLine& line : briefing.lines)
        EXPECT_EQ(line.text.find("EURO"), std::string::npos) << "start data is no briefing text: " << line.text;
}

TEST_F(ShippedBriefing, EachMissionFindsItsOwnText)
{
    EXPECT_EQ(ComposeBriefing(2).lines[0].text, "MISSION :  2");
    EXPECT_EQ(ComposeBriefing(2).lines[1].text, "TITEL :  Verteidigen");
    EXPECT_EQ(ComposeBriefing(4).found, 1);
}

TEST_F(ShippedBriefing, AfterTheLastMissionNothingCanStart)
{
    Briefing briefing = ComposeBriefing(5);
    EXPECT_EQ(briefing.found, 0);
    ASSERT_FALSE(briefing.lines.empty());
    EXPECT_EQ(briefing.lines[0].text, L1("Alle Missionen sind gelöst. Glückwunsch, Kommandant!"));
}

// Slots filled by hand, as LoadDataTables would fill them.
static void SetMissionLines(std::initializer_list<const char*> lines)
{
    ClearDataTables();
    int slot = 1;
    for (const char* line : lines) MissionLines[slot++] = line;
}

TEST(Briefing, TextLinesLoseTheirMarkerAndKeepTheirIndent)
{
    SetMissionLines({">>> 1", ">>  Titel", ">>  Aufgabe", ">    In der Deltazone ...", ">   Zweite Zeile", ">>  ", "EURO 5000"});
    Briefing briefing = ComposeBriefing(1);
    ASSERT_EQ(briefing.lines.size(), 6u);
    EXPECT_EQ(briefing.lines[2].text, "  In der Deltazone ...");
    EXPECT_EQ(briefing.lines[3].text, " Zweite Zeile");
    EXPECT_EQ(briefing.task, "Aufgabe");
}

TEST(Briefing, ATableWithoutItsEndLineShowsNoStartData)
{
    SetMissionLines({">>> 1", ">>  Titel", ">>  Aufgabe", ">   Text", "EURO 5000", " 2001   10   10    1    0"});
    Briefing briefing = ComposeBriefing(1);
    ASSERT_EQ(briefing.lines.size(), 4u);
    EXPECT_EQ(briefing.lines[2].text, " Text");
    EXPECT_EQ(briefing.lines[3].text, "STARTEN MIT [ENTER], ABBRUCH MIT [ESC]");
}

TEST(Briefing, AMissingTableIsNotCalledAWonCampaign)
{
    ClearDataTables();
    Briefing briefing = ComposeBriefing(1);
    EXPECT_EQ(briefing.found, 0);
    ASSERT_FALSE(briefing.lines.empty());
    EXPECT_EQ(briefing.lines[0].text.find("Alle Missionen"), std::string::npos);
}

// The briefing loop on the headless display with keys injected before it starts.
class BriefingScreen : public ShippedBriefing {
protected:
    void SetUp() override
    {
        ShippedBriefing::SetUp();
        ASSERT_EQ(OpenDisplay(1024, 768, 32, "Test"), 1);
        SetFrameWait(0);
        ResetInput();
        CurrentMission = 2;
        MissionMode = 0;
        MapNumber = 3;
        MissionTask = "frei";
    }
    void TearDown() override
    {
        ResetInput();
        SetFrameWait(1);
        StopLayers();
    }
    static void Release(int key)
    {
        InjectKey(key, 1);
        InjectKey(key, 0);
    }
    void ExpectNothingChanged()
    {
        EXPECT_EQ(CurrentMission, 2);
        EXPECT_EQ(MissionMode, 0);
        EXPECT_EQ(MapNumber, 3);
        EXPECT_EQ(MissionTask, "frei");
    }
};

TEST_F(BriefingScreen, EscapeLeavesEverythingAsItWas)
{
    Release(0x01);
    EXPECT_EQ(ShowBriefing(), 0);
    ExpectNothingChanged();
}

TEST_F(BriefingScreen, EnterSetsUpTheCampaignGame)
{
    Release(0x1C);
    EXPECT_EQ(ShowBriefing(), 1);
    EXPECT_EQ(MissionMode, 1);
    EXPECT_EQ(MapNumber, 102);
    EXPECT_EQ(MissionTask, ComposeBriefing(2).task);
    EXPECT_FALSE(MissionTask.empty());
    EXPECT_EQ(CurrentMission, 2) << "only a won game moves the campaign on";
}

TEST_F(BriefingScreen, EnterAfterTheLastMissionStartsNothing)
{
    CurrentMission = 5;
    Release(0x1C);
    EXPECT_EQ(ShowBriefing(), 0);
    EXPECT_EQ(MissionMode, 0);
    EXPECT_EQ(MapNumber, 3);
    EXPECT_EQ(CurrentMission, 5);
}

// A mission is played by player 1 even after a network game as player 2: its start money
// (the "EURO" line) goes to player 1, and the others are the computer's.
TEST_F(BriefingScreen, AMissionIsPlayedByPlayerOne)
{
    ASSERT_EQ(SetPictureImage(102, SandMap()), 1);
    LocalPlayer = 2;
    ASSERT_EQ(StartMissionGame(), 1);
    EXPECT_EQ(LocalPlayer, 1);
    EXPECT_EQ(Players[1].kind, 0);
    EXPECT_EQ(Players[1].money, 4000) << "the second mission's EURO line";
    EXPECT_EQ(Players[2].kind, 1);
    EXPECT_EQ(Players[2].money, 7000);
    MissionMode = 0;
}

// The second mission played to its end by the real game loop: it is won when every object on
// the map is the player's, and lost while fewer than four incinerators stand.
class SecondMission : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartTestGame(SandMap(), 3);
        MissionMode = 1;
        MapNumber = 102;
        CurrentMission = 2;
    }
    void TearDown() override
    {
        MissionMode = 0;
        StopTestGame();
    }
    TempFolder folder;
};

TEST_F(SecondMission, WinningMovesTheCampaignOn)
{
    Units.erase(std::remove_if(Units.begin(), Units.end(), [](const Unit& unit) { return unit.owner != 1; }), Units.end());
    IndexUnits();
    RunGame();
    ASSERT_EQ(GameResult, 1);
    CampaignProgressAfterGame();
    EXPECT_EQ(CurrentMission, 3);
}

TEST_F(SecondMission, LosingKeepsTheMission)
{
    RunGame();
    ASSERT_EQ(GameResult, -1);
    CampaignProgressAfterGame();
    EXPECT_EQ(CurrentMission, 2);
}

TEST_F(SecondMission, APausedMissionKeepsItToo)
{
    InjectKey(0x01, 1);
    InjectKey(0x01, 0);
    RunGame();
    ASSERT_EQ(PauseRequested, 1);
    CampaignProgressAfterGame();
    EXPECT_EQ(CurrentMission, 2);
}
