// The game loop driven frame by frame with injected keys on a small map.
#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/base/messages.h"
#include "game/base/textentry.h"
#include "game/play/gameloop.h"
#include "game/sim/buildings.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "game/ui/statistics.h"
#include "game/view/gamedraw.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/pictures.h"
#include "support/temp_folder.h"
#include "support/test_game.h"

#include <gtest/gtest.h>

class GameLoop : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartTestGame(SandMap(), 5);
    }
    void TearDown() override { StopTestGame(); }
    // Presses and releases a key over two frames; 1 when a frame ended the loop.
    int Tap(int key)
    {
        InjectKey(key, 1);
        int over = GameFrame();
        InjectKey(key, 0);
        return over | GameFrame();
    }
    // Characters as the system's text input gives them while their keys go down.
    void Type(const std::string& text)
    {
        InjectText(text);
        GameFrame();
    }
    TempFolder folder;
};

TEST_F(GameLoop, SpeedStaysBetweenOneAndSixteen)
{
    GameSpeed = 1;
    Tap(0xC9);
    EXPECT_EQ(GameSpeed, 1.0f) << "Page Up at 1";
    Tap(0xD1);
    EXPECT_EQ(GameSpeed, 2.0f);
    GameSpeed = 16;
    Tap(0xD1);
    EXPECT_EQ(GameSpeed, 16.0f) << "Page Down at 16";
    EXPECT_EQ(ChangedSpeed(0.5f, -1), 1.0f);
}

TEST_F(GameLoop, ClockWrapsToMidnightNotPastIt)
{
    EXPECT_EQ(AdvancedClock(86399, 4), 0);
    EXPECT_EQ(AdvancedClock(86395, 4), 86399);
    EXPECT_EQ(AdvancedClock(100, 2.5f), 103) << "rounded";
    TimeOfDay = 86399;
    GameSpeed = 4;
    ElapsedSeconds = 0;
    GameFrame();
    EXPECT_EQ(TimeOfDay, 0);
    EXPECT_EQ(ElapsedSeconds, 4);
}

TEST_F(GameLoop, EscapePausesAndKeepsTheWorld)
{
    size_t units = Units.size();
    EXPECT_EQ(Tap(0x01), 1);
    EXPECT_EQ(PauseRequested, 1);
    EXPECT_EQ(LeaveGame, 0);
    EXPECT_EQ(Units.size(), units);
}

TEST_F(GameLoop, MissionOneIsWonAtExactlyTenThousand)
{
    MissionMode = 1;
    MapNumber = 101;
    Players[1].money = 9999;
    GameFrame();
    EXPECT_EQ(GameResult, 0);
    Players[1].money = 10000;
    GameFrame();
    EXPECT_EQ(GameResult, 1);
}

TEST_F(GameLoop, ResultShowsForAHundredDrawnFramesThenLeaves)
{
    MissionMode = 1;
    MapNumber = 101;
    Players[1].money = 20000;
    int frames = 1;
    while (!GameFrame() && frames < 1000) frames++;
    EXPECT_EQ(frames, 100);
    EXPECT_EQ(ResultFrames, 100);
    EXPECT_EQ(LeaveGame, 1);
    EXPECT_EQ(NextMission, 2);

    ResetGameState();
    MissionMode = 1;
    FrameSkip = 1;
    frames = 1;
    while (!GameFrame() && frames < 1000) frames++;
    EXPECT_EQ(frames, 200) << "every other frame is drawn";
}

TEST_F(GameLoop, FreeGameIsWonWhenOnlyOwnObjectsRemain)
{
    // The opponent has nothing from the start: the win shows at once.
    Units.erase(Units.begin() + 1);
    GameFrame();
    EXPECT_EQ(GameResult, 1);
    EXPECT_EQ(NextMission, 0);
    Units.clear();
    Units.push_back(MakeUnit(1, 2001, 2, 10, 10, 3, 0));
    GameFrame();
    EXPECT_EQ(GameResult, -1) << "nothing of our own left";
}

TEST_F(GameLoop, ZoomAndCameraStayInTheirBounds)
{
    CamX = -100;
    CamY = -100;
    float centreX = 384 / Zoom - CamX;
    ZoomBy(1);
    EXPECT_EQ(Zoom, 1.5f);
    EXPECT_FLOAT_EQ(384 / Zoom - CamX, centreX) << "the view stays centred";
    ZoomBy(5);
    EXPECT_EQ(Zoom, 2.0f);
    ZoomBy(-9);
    EXPECT_EQ(Zoom, 0.5f);
    InjectMouseWheel(2);
    GameFrame();
    EXPECT_EQ(Zoom, 1.5f) << "two wheel notches";

    Zoom = 1.0f;
    CamX = 500;
    CamY = 500;
    ClampCamera();
    EXPECT_EQ(CamX, 0.0f);
    EXPECT_EQ(CamY, 32.0f);
    CamX = -5000;
    CamY = -5000;
    ClampCamera();
    EXPECT_EQ(CamX, 768 - 40 * 32.0f);
    EXPECT_EQ(CamY, 768 - 30 * 32.0f);
}

TEST_F(GameLoop, StatisticsSampleEveryRoundOf384BySpeed)
{
    GameSpeed = 5; // round(384 / 5) = 77 frames
    GameFrame();
    EXPECT_EQ(StatSampleIndex, 1);
    ASSERT_EQ(StatTable[1].size(), 1u);
    EXPECT_EQ(StatTable[1][0].units, 1);
    EXPECT_EQ(StatTable[1][0].money, 10000);
    for (int frame = 1; frame < 77; frame++) GameFrame();
    EXPECT_EQ(StatSampleIndex, 1);
    GameFrame();
    EXPECT_EQ(StatSampleIndex, 2);
}

TEST_F(GameLoop, ChatLineIsTypedSentAndCancelled)
{
    Tap(0x1C);
    ASSERT_EQ(ChatActive, 1);
    Type("hi");
    EXPECT_EQ(TextEntry.text, "hi");
    Tap(0xC9);
    Tap(0x1C);
    EXPECT_EQ(ChatActive, 0);
    ASSERT_FALSE(Messages.empty());
    EXPECT_EQ(Messages.back().text, "Spieler 1: hi");

    float speed = GameSpeed;
    Tap(0x1C);
    Type("e");
    EXPECT_EQ(Tap(0x01), 0) << "Escape cancels the chat line, it does not pause";
    EXPECT_EQ(ChatActive, 0);
    EXPECT_EQ(Messages.back().text, "Spieler 1: hi");
    EXPECT_EQ(GameSpeed, speed) << "no speed keys while chatting";
}

TEST_F(GameLoop, TutorialPagesTurnWithinTheirRange)
{
    Tap(0x3B);
    EXPECT_EQ(HelpVisible, 1);
    Tap(0xCB);
    EXPECT_EQ(HelpPage, 0);
    for (int i = 0; i < 14; i++) Tap(0xCD);
    EXPECT_EQ(HelpPage, 10);
    Tap(0x3B);
    EXPECT_EQ(HelpVisible, 0);
}

TEST_F(GameLoop, NightDarkensAtMidnightNotAtNoon)
{
    EXPECT_EQ(NightAlpha(12 * 3600), 1);
    EXPECT_EQ(NightAlpha(0), 181);
    EXPECT_EQ(NightAlpha(6 * 3600), 91);
}
