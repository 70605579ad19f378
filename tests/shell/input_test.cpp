// Typing and clicking as the player does it: key repeat, the line editor, mouse button codes.
#include "game/shell/common.h"
#include "game/shell/textentry.h"
#include "game/sim/gameloop.h"
#include "game/sim/messages.h"
#include "platform/input.h"
#include "platform/latin1.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

// One frame: the injected state becomes this frame's, then the editor runs.
static void EditFrame()
{
    ReadKeyboard();
    TextEntryStep();
}

static void Tap(int key)
{
    InjectKey(key, 1);
    EditFrame();
    InjectKey(key, 0);
    EditFrame();
}

class LineEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetInput();
        FillKeyCharTable();
        TextEntry = TextEntryState{};
        TextEntry.maxLength = 10;
        ClearMessages();
        ChatActive = 0;
    }
};

TEST_F(LineEditor, KeyTableHasTheGermanLayout)
{
    ASSERT_EQ(KeyCharTable.size(), 56u);
    EXPECT_EQ(KeyCharTable[0].key, 0x02);
    EXPECT_EQ(KeyCharTable[2].shifted, L1("§"));
    EXPECT_EQ(KeyCharTable[55].key, 0x2B);
    BeginTextEntry("");
    Tap(0x15);
    InjectKey(0x2A, 1);
    Tap(0x0C);
    Tap(0x1A);
    InjectKey(0x2A, 0);
    Tap(0x4F);
    EXPECT_EQ(TextEntry.text, L1("z?Ü1")) << "the key right of T types z; shift changes ß to ?";
}

TEST_F(LineEditor, HeldKeyTypesOnReleaseAndRepeatsFromItsSeventeenthFrame)
{
    BeginTextEntry("");
    InjectKey(0x1E, 1);
    for (int frame = 1; frame <= 16; frame++) EditFrame();
    EXPECT_EQ(TextEntry.text, "") << "nothing while held for 16 frames";
    EditFrame();
    EXPECT_EQ(TextEntry.text, "a") << "the 17th frame types";
    EditFrame();
    EXPECT_EQ(TextEntry.text, "aa");
    InjectKey(0x1E, 0);
    EditFrame();
    EXPECT_EQ(TextEntry.text, "aaa") << "and the release types once more";
    EditFrame();
    EXPECT_EQ(TextEntry.repeatCounter[0x1E], 0) << "no key held: the repeat starts over";
    Tap(0x30);
    EXPECT_EQ(TextEntry.text, "aaab") << "a quick tap types once";
}

// Types a text the way fingers do: each key goes down while the previous one is still held,
// and comes up a frame later.
static void TypeOverlapping(const std::vector<int>& keys)
{
    for (size_t i = 0; i < keys.size(); i++) {
        InjectKey(keys[i], 1);
        EditFrame();
        if (i > 0) InjectKey(keys[i - 1], 0);
        EditFrame();
    }
    InjectKey(keys.back(), 0);
    EditFrame();
}

TEST_F(LineEditor, ShiftAndOverlappingKeysNeverFeedTheRepeat)
{
    TextEntry.maxLength = 40;
    // A name in capitals with Shift held throughout: a through j.
    BeginTextEntry("");
    InjectKey(0x2A, 1);
    for (int key : {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24}) Tap(key);
    InjectKey(0x2A, 0);
    EditFrame();
    EXPECT_EQ(TextEntry.text, "ABCDEFGHIJ");

    // A server address typed with overlapping keys, the dots through Shift-free keys.
    BeginTextEntry("");
    TypeOverlapping({0x02, 0x03, 0x08, 0x34, 0x0B, 0x34, 0x0B, 0x34, 0x02});
    EXPECT_EQ(TextEntry.text, "127.0.0.1");

    // A chat line with the right Shift held for the whole line, longer than the repeat delay.
    LocalPlayer = 1;
    ChatActive = 1;
    BeginTextEntry("");
    InjectKey(0x36, 1);
    for (int round = 0; round < 3; round++)
        for (int key : {0x23, 0x1E, 0x26, 0x26, 0x18, 0x39}) Tap(key);
    InjectKey(0x36, 0);
    EditFrame();
    Tap(0x1C);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].text, "Spieler 1: HALLO HALLO HALLO ");
}

TEST_F(LineEditor, FullLineStillEditsAndMovesTheCursor)
{
    TextEntry.maxLength = 3;
    BeginTextEntry("abc");
    Tap(0x12);
    EXPECT_EQ(TextEntry.text, "abc") << "no room";
    Tap(0xCB);
    Tap(0xCB);
    Tap(0x0E);
    EXPECT_EQ(TextEntry.text, "bc");
    EXPECT_EQ(TextEntry.cursor, 0);
    Tap(0xCB);
    EXPECT_EQ(TextEntry.cursor, 0) << "not below 0";
    Tap(0xD3);
    EXPECT_EQ(TextEntry.text, "c");
    Tap(0xCD);
    Tap(0xCD);
    EXPECT_EQ(TextEntry.cursor, 1) << "not beyond the end";
    Tap(0x12);
    EXPECT_EQ(TextEntry.text, "ce");
    Tap(0x1C);
    EXPECT_EQ(TextEntry.active, 0);
    EXPECT_TRUE(Messages.empty()) << "not a chat line";
}

TEST_F(LineEditor, EscapeRestoresAndReturnSendsTheChatLine)
{
    BeginTextEntry("alt");
    Tap(0x12);
    Tap(0x01);
    EXPECT_EQ(TextEntry.text, "alt");
    EXPECT_EQ(TextEntry.active, 0);

    LocalPlayer = 2;
    ChatActive = 1;
    BeginTextEntry("");
    Tap(0x23);
    Tap(0x17);
    Tap(0x1C);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].text, "Spieler 2: hi");
    EXPECT_EQ(ChatToSend, "Spieler 2: hi");
    EXPECT_EQ(ChatActive, 0);

    ChatActive = 1;
    BeginTextEntry("");
    Tap(0x1C);
    EXPECT_EQ(Messages.size(), 1u) << "an empty chat line is not sent";
    EXPECT_EQ(ChatActive, 0);
    LocalPlayer = 1;
}

// Runs one mouse frame with button 1 held or not and gives the event code.
static int MouseFrame(int leftDown)
{
    InjectMouseButton(1, leftDown);
    ReadMouse();
    return MouseEvent();
}

TEST(MouseEvents, PressHoldClickAndDoubleClick)
{
    ResetInput();
    ResetMouseEvents();
    EXPECT_EQ(MouseFrame(1), 10) << "pressed this frame";
    EXPECT_EQ(MouseFrame(0), 0) << "a one-frame press is no click";
    EXPECT_EQ(MouseFrame(0), 0);

    EXPECT_EQ(MouseFrame(1), 10);
    EXPECT_EQ(MouseFrame(1), 11) << "held";
    EXPECT_EQ(MouseFrame(0), 12) << "click";
    EXPECT_EQ(MouseFrame(0), 0);
    EXPECT_EQ(MouseFrame(1), 10);
    EXPECT_EQ(MouseFrame(1), 11);
    EXPECT_EQ(MouseFrame(0), 14) << "second click within ten frames";

    for (int i = 0; i < 12; i++) MouseFrame(0);
    MouseFrame(1);
    MouseFrame(1);
    EXPECT_EQ(MouseFrame(0), 12) << "too late for a double click";

    InjectMouseButton(2, 1);
    ReadMouse();
    EXPECT_EQ(MouseEvent(), 20);
    ReadMouse();
    EXPECT_EQ(MouseEvent(), 21);
    InjectMouseButton(2, 0);
    ReadMouse();
    EXPECT_EQ(MouseEvent(), 22);
}

TEST(MouseEvents, AClickIsReportedOnceEvenWhenTheNextPressFollowsAtOnce)
{
    ResetInput();
    ResetMouseEvents();
    std::vector<int> codes;
    for (int down : {1, 1, 0, 1, 1, 1, 0, 0}) codes.push_back(MouseFrame(down));
    EXPECT_EQ(codes, (std::vector<int>{10, 11, 12, 10, 11, 11, 14, 0}));
}

TEST(SharedHelpers, AnglesDistancesAndChance)
{
    EXPECT_EQ(NormalizeAngle(-30), 330);
    EXPECT_EQ(NormalizeAngle(720), 0);
    EXPECT_EQ(NormalizeAngle(359), 359);
    EXPECT_EQ(NormalizeAngle(-720), 0);
    EXPECT_FLOAT_EQ(Distance(0, 0, 3, 4), 5.0f);
    EXPECT_FLOAT_EQ(Distance(-3, 0, 0, 4), 5.0f);

    SeedRandom(7);
    int seen[4] = {};
    for (int i = 0; i < 1000; i++) {
        int r = Rnd(3);
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 3);
        seen[r]++;
    }
    for (int count : seen) EXPECT_GT(count, 150) << "both ends are included";
    EXPECT_EQ(Rnd(0), 0);
    EXPECT_EQ(Rnd(-4), 0);
    SeedRandom(7);
    int first = Rnd(1000000);
    SeedRandom(7);
    EXPECT_EQ(Rnd(1000000), first) << "a seed replays the same numbers";

    // Saved games and network partners replay the standard twister's numbers: the same
    // seed must give the same draws, past the first refill of its state.
    SeedRandom(3050);
    std::mt19937 standard(3050u);
    for (int i = 0; i < 2000; i++) {
        int n = i % 7 == 0 ? 2147483647 : 1 + i % 1000;
        ASSERT_EQ(Rnd(n), int(standard() % (unsigned(n) + 1u))) << "draw " << i;
    }
}
