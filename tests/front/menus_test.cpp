// The menu screen driven as a player drives it: the pointer moved and the left button pressed
// over real menu frames on the headless display.
#include "game/base/assets.h"
#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/base/textentry.h"
#include "game/front/briefing.h"
#include "game/front/menus.h"
#include "game/front/space.h"
#include "game/net/netgame.h"
#include "game/net/threads.h"
#include "game/play/gameloop.h"
#include "game/save/savefile.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/latin1.h"
#include "platform/net.h"
#include "platform/pictures.h"
#include "platform/sound.h"
#include "support/sim_world.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>
#include <unistd.h>

namespace {
int Restarts = 0;
void CountRestart() { Restarts++; }
} // namespace

class Menus : public ::testing::Test {
protected:
    TempFolder folder;

    void SetUp() override
    {
        ASSERT_EQ(OpenDisplay(1024, 768, 32, "Test"), 1);
        SetScreenGeometry(1024, 768);
        SetFrameWait(0);
        SetConfigurationDefaults();
        ResetInput();
        MakeFolder("SAVE");
        FreeMapCount = 5;
        Restarts = 0;
        MenuRestartHook = CountRestart;
        StartMenus();
        Frames(1);
    }
    void TearDown() override
    {
        MenuRestartHook = nullptr;
        SetFrameWait(1);
        StopLayers();
    }

    int Frames(int n)
    {
        int ended = 0;
        for (int i = 0; i < n && !ended; i++) ended = MenuFrame();
        return ended;
    }
    // The item of the current page with this text (Latin-1 of the UTF-8 given).
    const MenuItem* Item(const std::string& text, int nth = 0)
    {
        std::string wanted = L1(text.c_str());
        for (const MenuItem& item : MenuItems)
            if (item.text == wanted && nth-- == 0) return &item;
        return nullptr;
    }
    // Moves the pointer over an item through the mouse, whatever its speed setting.
    void PointAt(const MenuItem& item)
    {
        float x = float(item.x) + 15.0f * float(item.text.size() + 1), y = float(item.y) + 25.0f;
        for (int tries = 0; tries < 4 && (std::fabs(Menu.mouseX - x) > 2 || std::fabs(Menu.mouseY - y) > 2); tries++) {
            InjectMouseMove(int(std::lround((x - Menu.mouseX) * 10 / float(MouseSpeed))),
                            int(std::lround((y - Menu.mouseY) * 10 / float(MouseSpeed))));
            Frames(1);
        }
    }
    // Points at the item and clicks it; the `nth` item of that text when there are several.
    int Click(const std::string& text, int nth = 0)
    {
        const MenuItem* item = Item(text, nth);
        EXPECT_NE(item, nullptr) << text;
        if (!item) return 0;
        MenuItem copy = *item;
        PointAt(copy);
        InjectMouseButton(1, 1);
        int ended = Frames(1);
        InjectMouseButton(1, 0);
        return ended + Frames(1);
    }
    void Open(int page)
    {
        Menu.current = page;
        Frames(1);
        ASSERT_EQ(Menu.page, page);
    }
};

TEST_F(Menus, TheMainPageLeadsThroughTheGameMenuToTheNewGame)
{
    EXPECT_EQ(Menu.page, MainPage);
    ASSERT_NE(Item("KORAX 3050"), nullptr);
    Click("Einzelspieler");
    EXPECT_EQ(Menu.page, GameMenuPage);
    EXPECT_NE(Item("Missionen"), nullptr);
    Click("Neues Spiel");
    EXPECT_EQ(Menu.page, NewGamePage);
    Click("Zurück");
    EXPECT_EQ(Menu.page, GameMenuPage);
    Click("Zurück");
    EXPECT_EQ(Menu.page, MainPage);

    // As a host the game menu has no missions; the main page forgets the network game.
    Click("Mehrspieler");
    Click("Spielleiter");
    EXPECT_EQ(Menu.multiplayer, 1);
    EXPECT_NE(Item("Mehrspieler"), nullptr);
    EXPECT_EQ(Item("Missionen"), nullptr);
    ASSERT_EQ(WriteWholeFile("SAVE\\_MehrspielerNWI.sav", "x"), 1);
    Click("Zurück");
    EXPECT_EQ(Menu.multiplayer, 0);
    EXPECT_FALSE(FileExists("SAVE\\_MehrspielerNWI.sav"));
}

TEST_F(Menus, SettingsWrapOrStopAtTheirEnds)
{
    Open(NewGamePage);
    MapSetting = 5;
    Click(">");
    EXPECT_EQ(MapSetting, 1);
    Click("<");
    EXPECT_EQ(MapSetting, 5);
    EXPECT_NE(Item("Karte (5)"), nullptr);

    Click("Spieleinstellungen");
    ASSERT_EQ(Menu.page, GameSettingsPage);
    StartHour = 23;
    Click(">", 0);
    EXPECT_EQ(StartHour, 0);
    Click("<", 0);
    EXPECT_EQ(StartHour, 23);
    Difficulty = 3;
    Click(">", 1);
    EXPECT_EQ(Difficulty, 1);
    Click("<", 1);
    EXPECT_EQ(Difficulty, 3);
    StormSetting = 3;
    Click(">", 2);
    EXPECT_EQ(StormSetting, 3);
    EXPECT_NE(Item("Sandstürme (viele)"), nullptr);
    int tech = TechLevel;
    Click("Alle Technologien erforscht");
    EXPECT_NE(TechLevel, tech);
    Click("Zurück");
    EXPECT_EQ(Menu.page, NewGamePage) << "back to the page that opened the settings";

    Open(GameOptionsPage);
    MouseSpeed = 40;
    Click(">", 0);
    EXPECT_EQ(MouseSpeed, 40);
    EXPECT_NE(Item("Mausgeschw.(4.0)"), nullptr);
    GameSpeedSetting = 8;
    for (int i = 0; i < 10; i++) Click(">", 1);
    EXPECT_EQ(GameSpeedSetting, 16.0f) << "the game speed goes past the 8 of the file's comment";
    ScrollSpeed = 8;
    Click(">", 2);
    EXPECT_EQ(ScrollSpeed, 8);
    ScrollSpeed = 1;
    Click("<", 2);
    EXPECT_EQ(ScrollSpeed, 1);
    ScrollSpeed = 2;
    Click(">", 2);
    EXPECT_EQ(ScrollSpeed, 4);
}

TEST_F(Menus, AHeldButtonActsOnItsFirstFrameThenOnTheSixteenthAndEveryThird)
{
    Open(GameSettingsPage);
    StartHour = 0;
    MenuItem up = *Item(">", 0);
    PointAt(up);
    std::vector<int> acted;
    InjectMouseButton(1, 1);
    for (int frame = 1; frame <= 25; frame++) {
        int before = StartHour;
        Frames(1);
        if (StartHour != before) acted.push_back(frame);
    }
    InjectMouseButton(1, 0);
    Frames(1);
    EXPECT_EQ(acted, (std::vector<int>{1, 16, 19, 22, 25}));
}

TEST_F(Menus, ANewScreenModeWritesTheSettingsAndRestartsOnTheResolutionPage)
{
    Open(ResolutionPage);
    EXPECT_EQ(Item("1024*768 (Grafik: optimal)")->value, 1);
    Click("800*600");
    EXPECT_EQ(Restarts, 1);
    EXPECT_EQ(ResolutionIndex, 2);

    SetConfigurationDefaults();
    ReadConfiguration();
    EXPECT_EQ(ResolutionIndex, 2);
    EXPECT_EQ(JumpToScreenModes, 1);

    // The restarted program opens where the player left, with everything shown.
    StartMenus();
    EXPECT_EQ(Menu.page, ResolutionPage);
    EXPECT_EQ(Menu.reveal, 1000);
    EXPECT_EQ(JumpToScreenModes, 0);
}

TEST_F(Menus, QuittingWritesTheSettingsAndEndsTheMenus)
{
    Click("Beenden");
    ASSERT_EQ(Menu.page, QuitPage);
    Click("Nein");
    EXPECT_EQ(Menu.page, MainPage);
    Click("Beenden");
    MapSetting = 3;
    EXPECT_GT(Click("Ja"), 0) << "the menus end";
    EXPECT_EQ(MenuFrame(), 1);
    SetConfigurationDefaults();
    ReadConfiguration();
    EXPECT_EQ(MapSetting, 3);
    EXPECT_EQ(JumpToScreenModes, 0);
}

TEST_F(Menus, TheNameFieldTakesTypedLetters)
{
    PlayerName = "Ab";
    Frames(1);
    Click("Ab");
    EXPECT_EQ(Menu.editing, 5);
    for (const char* letter : {"c", "o"}) {
        InjectText(letter); // as the system types it when the key goes down
        Frames(1);
    }
    InjectKey(0x1C, 1); // Enter ends editing
    Frames(1);
    InjectKey(0x1C, 0);
    Frames(2);
    EXPECT_EQ(Menu.editing, 0);
    EXPECT_EQ(PlayerName, "Abco");
}

TEST_F(Menus, TheMapPreviewFillsItsBoxWithSquareCells)
{
    // A map of 64 x 40 cells, all red: in the 256-unit box it is drawn 240 wide and 150 high.
    Image map;
    MakeImage(map, 64, 40, PackColour(255, 0, 0));
    ASSERT_EQ(SetPictureImage(FreeMapFor(MapSetting), map), 1);
    Open(NewGamePage);
    Frames(1);
    GrabScreen(9998);
    auto red = [](int x, int y) { return ReadPixel(9998, x, y) == 0xFF0000; };
    EXPECT_TRUE(red(140, 384)) << "near the box's left edge";
    EXPECT_TRUE(red(372, 384)) << "and its right";
    EXPECT_TRUE(red(256, 312) && red(256, 456)) << "150 high";
    EXPECT_FALSE(red(256, 304) || red(256, 464)) << "and no higher: the cells stay square";
}

TEST_F(Menus, ThePausePageLeadsToSavingAndBackAndToTheAbortQuestion)
{
    Open(PausePage);
    Click("Speichern");
    ASSERT_EQ(Menu.page, SavePage);
    Click("Zurück");
    EXPECT_EQ(Menu.page, PausePage);
    Click("Beenden");
    EXPECT_EQ(Menu.page, AbortPage);
    Click("Nein");
    EXPECT_EQ(Menu.page, PausePage);
    Click("Beenden");
    Click("Ja");
    EXPECT_EQ(Menu.page, MainPage);
}

TEST_F(Menus, SavingAsksBeforeOverwritingAFileFoundIgnoringCase)
{
    Menu.inGame = 1;
    Open(SavePage);
    SaveName = "Test";
    Frames(1);
    Click("Speichern", 1);
    EXPECT_EQ(Menu.page, SavedPage) << "a new name saves at once";
    EXPECT_TRUE(FileExists("SAVE\\Test.sav"));
    Click("OK");
    EXPECT_EQ(Menu.page, PausePage);

    // Files are found ignoring case: "test" would replace "Test.sav", so it asks first.
    std::string before;
    ASSERT_EQ(ReadWholeFile("SAVE\\Test.sav", before), 1);
    Players[1].money += 1234;
    Open(SavePage);
    SaveName = "test";
    Frames(1);
    Click("Speichern", 1);
    ASSERT_EQ(Menu.page, OverwritePage) << "\"test\" lands on \"Test.sav\"";
    EXPECT_NE(Item("\"test\" überschreiben?"), nullptr);
    Click("Nein");
    EXPECT_EQ(Menu.page, SavePage);
    std::string after;
    ASSERT_EQ(ReadWholeFile("SAVE\\Test.sav", after), 1);
    EXPECT_EQ(after, before) << "\"Nein\" leaves the save as it was";
    EXPECT_EQ(ListFolder("SAVE\\*.sav").size(), 1u);

    SaveName = "Test";
    Frames(1);
    Click("Speichern", 1);
    ASSERT_EQ(Menu.page, OverwritePage);
    EXPECT_NE(Item("\"Test\" überschreiben?"), nullptr);
    Click("Nein");
    EXPECT_EQ(Menu.page, SavePage);

    // The game's own files start with "_": a player's save may not hide among them.
    SaveName = "_MehrspielerNWI";
    Frames(1);
    Click("Speichern", 1);
    EXPECT_EQ(Menu.page, SavePage);
    EXPECT_FALSE(Menu.notice.empty()) << "a hidden name is refused with a line";
    EXPECT_FALSE(FileExists("SAVE\\_MehrspielerNWI.sav"));
    Menu.notice.clear();

    SaveName = "../weg";
    Frames(1);
    Click("Speichern", 1);
    EXPECT_EQ(Menu.page, SavePage);
    EXPECT_FALSE(Menu.notice.empty()) << "a name that leaves the folder is refused with a line";

    SaveName = "Test";
    Frames(1);
    Click("Löschen");
    ASSERT_EQ(Menu.page, DeletePage);
    Click("Ja");
    EXPECT_EQ(Menu.page, SavePage);
    EXPECT_FALSE(FileExists("SAVE\\Test.sav"));
}

TEST_F(Menus, SevenSavesScrollTwiceAndAnEntryIsTakenAsTheName)
{
    for (int i = 1; i <= 7; i++) ASSERT_EQ(WriteWholeFile("SAVE\\Spiel" + std::to_string(i) + ".sav", "x"), 1);
    Open(LoadPage);
    EXPECT_NE(Item("Spiel1"), nullptr);
    for (int i = 0; i < 4; i++) Click(">");
    EXPECT_EQ(Menu.saveOffset, 2);
    EXPECT_EQ(Item("Spiel1"), nullptr);
    EXPECT_NE(Item("Spiel7"), nullptr);
    Click("Spiel5");
    EXPECT_EQ(SaveName, "Spiel5");
    Click("Laden", 1);
    EXPECT_EQ(Menu.page, LoadPage) << "a broken file keeps the page";
    EXPECT_FALSE(Menu.notice.empty());
    for (int i = 0; i < 4; i++) Click("<");
    EXPECT_EQ(Menu.saveOffset, 0);
}

TEST_F(Menus, PlayIsSavedEveryFiveMinutesUnderItsOwnName)
{
    ASSERT_EQ(AutosaveAfter(AutosaveSeconds), 1);
    ASSERT_EQ(RemoveFile("SAVE\\Autospeicherung.sav"), 1);
    EXPECT_EQ(AutosaveAfter(299), 0);
    EXPECT_FALSE(FileExists("SAVE\\Autospeicherung.sav"));
    EXPECT_EQ(AutosaveAfter(1.5), 1);
    EXPECT_TRUE(FileExists("SAVE\\Autospeicherung.sav"));
    EXPECT_FALSE(FileExists("SAVE\\autosave.sav")) << "the player's own name is left alone";
    EXPECT_EQ(AutosaveAfter(10), 0) << "the clock starts again";
}

// The network pages: a host makes its server and waits; a client that joins shows up by name;
// a client that finds no server is told so; "Zurück" and "Abbrechen" close what was opened.
TEST_F(Menus, TheNetworkPagesFollowTheServerAndTheClientsThatJoin)
{
    NetGamePort = 31000 + int(getpid() % 1000);
    StartNetThreads();
    PlayerName = "Leiter";
    auto framesUntil = [&](auto done) {
        for (int i = 0; i < 400 && !done(); i++) {
            Frames(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return done();
    };
    Click("Mehrspieler");
    Click("Spielleiter");
    Click("Neues Spiel");
    Click("Starten");
    EXPECT_TRUE(Menu.page == HostingPage || Menu.page == WaitingPage);
    ASSERT_TRUE(framesUntil([] { return Menu.page == WaitingPage; })) << "the server was not made";
    EXPECT_EQ(NetRole, 1);
    EXPECT_NE(Item("Auf Mitspieler warten ..."), nullptr);
    EXPECT_NE(Item(" Leiter"), nullptr);

    NetConnection guest;
    ASSERT_TRUE(guest.Connect("127.0.0.1", NetGamePort));
    NetBlock hello;
    PutClientPlayer(hello, 0, "Gast");
    ASSERT_TRUE(guest.Send(hello.bytes));
    ASSERT_TRUE(framesUntil([&] { return Item(" Gast") != nullptr; })) << "the client's name did not show";
    EXPECT_EQ(Item(" Gast")->y, 240) << "the first client one row below the host";
    std::vector<std::string> names;
    HostTrailer trailer;
    bool listed = false;
    for (NetEvent event = guest.Poll(); event.kind != NetEvent::None; event = guest.Poll())
        listed = listed || (event.kind == NetEvent::Data && ReadPlayerList(event.bytes, names, trailer));
    EXPECT_TRUE(listed) << "the host sends its name list while it waits";
    EXPECT_EQ(trailer.player, 2);

    Click("Zurück");
    EXPECT_EQ(Menu.page, GameMenuPage);
    EXPECT_TRUE(framesUntil([] { return NetRole == 0; })) << "the server stays open";
    Click("Zurück");

    // Nobody listens on the port now: the client is told and cancels.
    ASSERT_EQ(Menu.page, MainPage);
    Click("Mehrspieler");
    Click("Mitspielen");
    EXPECT_NE(Item("IP vom Server:"), nullptr);
    EXPECT_NE(Item("127.0.0.1"), nullptr);
    Click("Verbinden");
    EXPECT_EQ(Menu.page, ConnectingPage);
    ASSERT_TRUE(framesUntil([&] { return Item(" Server konnte nicht gefunden") != nullptr; }));
    EXPECT_EQ(NetRole, -2);
    Click("Abbrechen");
    EXPECT_EQ(Menu.page, JoinPage);
    EXPECT_EQ(NetRole, 0);
    StopNetThreads();
}

// After a network game as player 3 the next free game is still played by player 1, the human.
TEST_F(Menus, AFreeGameIsPlayedByPlayerOneWhateverCameBefore)
{
    std::vector<std::string> rows = FilledRows(30, 20, 'E');
    rows[10][10] = 'P'; // one start: the game is won as soon as it has been shown long enough
    InstallMapRows(rows);
    LocalPlayer = 3;
    Open(NewGamePage);
    MapSetting = 1;
    Click("Starten");
    EXPECT_EQ(LocalPlayer, 1);
    EXPECT_EQ(Players[1].kind, 0) << "the human";
    EXPECT_EQ(GameResult, 1) << "the only player's objects are all there are";
    EXPECT_EQ(Menu.page, GameMenuPage);
}

// Typing a name and then clicking a button: the click ends the typing, as Enter would, and acts.
TEST_F(Menus, AClickEndsTheTypingAndActs)
{
    PlayerName = "Ab";
    Frames(1);
    Click("Ab");
    ASSERT_EQ(Menu.editing, 5);
    InjectText("c"); // as the system types it when the key goes down
    Frames(1);
    LogPlayedSounds(1);
    Click("Einzelspieler");
    EXPECT_EQ(Menu.page, GameMenuPage);
    EXPECT_EQ(Menu.editing, 0);
    EXPECT_EQ(PlayerName, "Abc") << "what was typed is kept";
    const std::vector<int>& played = PlayedSounds();
    EXPECT_NE(std::find(played.begin(), played.end(), 3), played.end()) << "the click sounds";
    LogPlayedSounds(0);

    // The same on the save page: a name typed, then the small "Speichern" button.
    Menu.inGame = 1;
    Open(SavePage);
    SaveName = "Alt";
    Frames(1);
    Click("Alt", 0);
    ASSERT_EQ(Menu.editing, 7);
    InjectText("n");
    Frames(1);
    Click("Speichern", 1);
    EXPECT_EQ(Menu.page, SavedPage);
    EXPECT_TRUE(FileExists("SAVE\\Altn.sav"));
}

// F1 and F2 raise and lower, F3 and F4 raise and lower the two factors of the planet's blend.
TEST_F(Menus, TheFunctionKeysTurnThePlanetsBlend)
{
    BlendMode1 = BlendMode2 = 0;
    auto release = [&](int key) {
        InjectKey(key, 1);
        Frames(1);
        InjectKey(key, 0);
        Frames(1);
    };
    int source = 0, destination = 0;
    PlanetBlend(source, destination);
    EXPECT_EQ(source, 10);
    EXPECT_EQ(destination, 3);
    release(0x3B); // F1
    PlanetBlend(source, destination);
    EXPECT_EQ(source, 11);
    release(0x3B);
    PlanetBlend(source, destination);
    EXPECT_EQ(source, 1) << "round past the last factor";
    for (int i = 0; i < 3; i++) release(0x3C); // F2
    PlanetBlend(source, destination);
    EXPECT_EQ(source, 9);
    release(0x3D); // F3
    PlanetBlend(source, destination);
    EXPECT_EQ(destination, 4);
    for (int i = 0; i < 2; i++) release(0x3E); // F4
    PlanetBlend(source, destination);
    EXPECT_EQ(destination, 2);
    BlendMode1 = BlendMode2 = 0;
}

// Two saves: five rows all the same, the three without a file as empty buttons; clicking one
// empties the name, ready for a new one.
TEST_F(Menus, TheSaveListShowsItsEmptyRowsAsEmptyButtons)
{
    for (const char* name : {"Eins", "Zwei"}) ASSERT_EQ(WriteWholeFile(std::string("SAVE\\") + name + ".sav", "x"), 1);
    Open(LoadPage);
    std::vector<MenuItem> rows;
    for (const MenuItem& item : MenuItems)
        if (item.kind == SaveEntryItem) rows.push_back(item);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].text, "Eins");
    EXPECT_EQ(rows[1].text, "Zwei");
    for (int i = 2; i < 5; i++) EXPECT_EQ(rows[size_t(i)].text, "") << "row " << i;
    EXPECT_EQ(rows[4].y, 420);
    SaveName = "Eins";
    MenuItem empty = rows[3];
    empty.text = "Zwischen"; // pointed at in its middle, as wide as a long name
    PointAt(empty);
    InjectMouseButton(1, 1);
    Frames(1);
    InjectMouseButton(1, 0);
    Frames(1);
    EXPECT_EQ(SaveName, "") << "an empty row's name is empty";
}

// A mission saved and loaded again goes on after its briefing: Escape there leaves for the game
// menu with nothing played; Enter plays on.
TEST_F(Menus, ALoadedMissionShowsItsBriefingFirst)
{
    // The shipped tables: a save of buildings the tables do not know would be refused.
    for (const char* name : {"Missionen.info", "Einheiten.info", "Gebaeude.info", "Waffen.info", "Forschung.info", "Wirkung.info"})
        ASSERT_EQ(InstallShippedTable(name), 1) << name;
    LoadDataTables();
    std::vector<std::string> rows = FilledRows(40, 30, 'E');
    rows[5][5] = rows[20][30] = 'P';
    InstallMapRows(rows);
    ASSERT_EQ(SetPictureImage(102, *PictureImage(1)), 1);
    CurrentMission = 2;
    ASSERT_EQ(StartMissionGame(), 1);
    ElapsedSeconds = 5000;
    ASSERT_EQ(SaveGame("Mission"), 1);
    MissionMode = 0;

    for (int enter : {0, 1}) {
        Open(LoadPage);
        SaveName = "Mission";
        Frames(1);
        Click("Laden", 1);
        ASSERT_EQ(Menu.page, LoadedBriefingPage) << "the briefing waits for a key: " << Menu.notice;
        EXPECT_EQ(MissionTask, ComposeBriefing(2).task);
        Frames(3);
        EXPECT_EQ(Menu.page, LoadedBriefingPage);
        EXPECT_EQ(ElapsedSeconds, 5000) << "nothing played yet";
        InjectKey(enter ? 0x1C : 0x01, 1);
        Frames(1);
        InjectKey(enter ? 0x1C : 0x01, 0);
        Frames(1);
        EXPECT_EQ(Menu.page, GameMenuPage);
        if (enter) {
            EXPECT_GT(ElapsedSeconds, 5000) << "the mission went on";
            EXPECT_NE(GameResult, 0) << "to its end";
        } else {
            EXPECT_EQ(ElapsedSeconds, 5000) << "left before it went on";
            EXPECT_EQ(Menu.inGame, 0);
        }
    }
    MissionMode = 0;
}
