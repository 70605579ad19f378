// Typing and clicking as the player does it: key repeat, the line editor, mouse button codes.
#include "game/base/common.h"
#include "game/base/messages.h"
#include "game/base/textentry.h"
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

// Text as the system's text input reports it while keys go down (UTF-8), in one frame.
static void Type(const std::string& utf8)
{
    InjectText(utf8);
    EditFrame();
}

class LineEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetInput();
        TextEntry = TextEntryState{};
        TextEntry.maxLength = 10;
        ClearMessages();
        ChatActive = 0;
    }
};

TEST_F(LineEditor, TakesWhatTheLayoutTypesInLatin1AndInOrder)
{
    BeginTextEntry("");
    Type("x/");
    Type("y.z");
    EXPECT_EQ(TextEntry.text, "x/y.z") << "several characters of one frame go in in order";
    BeginTextEntry("");
    Type("Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC\xF0\x9F\x98\x80!");
    EXPECT_EQ(TextEntry.text, L1("Grüß !")) << "the euro sign and the smiley have no place in Latin-1";
    BeginTextEntry("");
    Type("a\tb\x7F\xC3" "c");
    EXPECT_EQ(TextEntry.text, "abc") << "control characters and a broken sequence are left out";
    ReadKeyboard();
    EXPECT_EQ(TypedText(), "") << "a read takes the text typed since the last one only";
}

TEST_F(LineEditor, AHeldEditingKeyActsOnReleaseAndRepeatsFromItsSeventeenthFrame)
{
    TextEntry.maxLength = 40;
    BeginTextEntry("abcdefghijklmnopqrstuvwxyz");
    InjectKey(0x0E, 1);
    for (int frame = 1; frame <= 16; frame++) EditFrame();
    EXPECT_EQ(TextEntry.text.size(), 26u) << "nothing while held for 16 frames";
    EditFrame();
    EXPECT_EQ(TextEntry.text.size(), 25u) << "the 17th frame deletes";
    EditFrame();
    EXPECT_EQ(TextEntry.text.size(), 24u);
    InjectKey(0x0E, 0);
    EditFrame();
    EXPECT_EQ(TextEntry.text, "abcdefghijklmnopqrstuvw") << "and the release once more";
    EditFrame();
    EXPECT_EQ(TextEntry.repeatCounter[0x0E], 0) << "no key held: the repeat starts over";
    Tap(0xCB);
    EXPECT_EQ(TextEntry.cursor, 22) << "a quick tap moves once";
}

TEST_F(LineEditor, AKeyStillDownNeverMakesTheNextRepeat)
{
    TextEntry.maxLength = 40;
    BeginTextEntry("127.0.0.1");
    // Left held long past the repeat delay, then Backspace pressed while it is still down.
    InjectKey(0xCB, 1);
    for (int frame = 0; frame < 20; frame++) EditFrame();
    int cursor = TextEntry.cursor;
    InjectKey(0x0E, 1);
    EditFrame();
    InjectKey(0xCB, 0);
    EditFrame();
    InjectKey(0x0E, 0);
    EditFrame();
    EXPECT_EQ(TextEntry.cursor, cursor - 3) << "Left goes on repeating while held and once on release; Backspace acts once";
    EXPECT_EQ(TextEntry.text.size(), 8u);

    // A chat line typed fast, the Shift for the capitals held throughout (it types nothing).
    LocalPlayer = 1;
    ChatActive = 1;
    BeginTextEntry("");
    InjectKey(0x2A, 1);
    for (int round = 0; round < 3; round++) Type("HALLO ");
    InjectKey(0x2A, 0);
    EditFrame();
    Tap(0x1C);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].text, "Spieler 1: HALLO HALLO HALLO ");
}

TEST_F(LineEditor, FullLineStillEditsAndMovesTheCursor)
{
    TextEntry.maxLength = 3;
    BeginTextEntry("abc");
    Type("e");
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
    Type("e");
    EXPECT_EQ(TextEntry.text, "ce");
    Tap(0x1C);
    EXPECT_EQ(TextEntry.active, 0);
    EXPECT_TRUE(Messages.empty()) << "not a chat line";
}

TEST_F(LineEditor, EscapeRestoresAndReturnSendsTheChatLine)
{
    BeginTextEntry("alt");
    Type("e");
    Tap(0x01);
    EXPECT_EQ(TextEntry.text, "alt");
    EXPECT_EQ(TextEntry.active, 0);

    LocalPlayer = 2;
    ChatActive = 1;
    BeginTextEntry("");
    Type("hi");
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
