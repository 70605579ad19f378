// Network games between real machines: three game processes on the loopback interface meet in
// the waiting room, start one game, and play it — who owns which objects, chat, pause and
// resume, the shared save, and a machine that goes away in the middle of a frame.
#include "game/base/assets.h"
#include "game/base/messages.h"
#include "game/base/textentry.h"
#include "game/save/savefile.h"
#include "support/temp_folder.h"
#include "peers.h"

#include <algorithm>
#include <random>

namespace {

constexpr int KeyEscape = 0x01, KeyReturn = 0x1C;
const std::string ChatLine = "Spieler 2: Angriff im Norden";

// Plays on while watching how often the chat line shows; the most seen at once.
struct ChatWatch {
    int most = 0;
    void Look() { most = std::max(most, TickerCount(ChatLine)); }
};

// Waits on the pause page until a partner resumes the game.
bool PausedUntilResumed(int ms = 20000)
{
    for (int waited = 0; waited < ms; waited += 10) {
        if (NetPauseStep()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::string Host(const Marks& marks, int port)
{
    Report report{"Spielleiter", ""};
    Machine machine(port);
    HostNetwork();
    for (int i = 0; i < 2000 && NetRole != 1; i++) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (NetRole != 1) return "Spielleiter: the server was not made";
    marks.Set("listening");

    // The waiting room: both clients arrive and say their names.
    auto namesIn = [] { return NetClientNames() == std::vector<std::string>{"Zwei", "Drei"}; };
    for (int i = 0; i < 2000 && !(namesIn() && marks.IsSet("lobby-3")); i++) {
        HostLobbyStep("Eins");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    report.Check(namesIn(), "the clients' names did not arrive");
    if (HostStartGame("") != 1) return report.text + "Spielleiter: the game did not start\n";
    report.Check(LocalPlayer == 1 && NetworkGame == 1 && PlayerCount == 3, "not player 1 of a three-player game");
    report.Check(!FileExists("SAVE\\_MehrspielerNWI.sav"), "the start file was left behind");
    report.Check(Players[2].kind == 0 && Players[3].kind == 0, "the clients' players are not human");

    ChatWatch chat;
    report.Check(Machine::PlayUntil([&] { return marks.IsSet("running-2") && marks.IsSet("running-3"); }),
                 "the clients never ran");

    // Player 2 holds its builder still at a place of its own choosing; the host learns of it
    // only from player 2's snapshots.
    report.Check(Machine::PlayUntil([&] {
                     chat.Look();
                     const Unit* two = UnitOf(2);
                     return two && two->x == 7.5f && two->y == 8.25f;
                 }),
                 "player 2's builder never came to where player 2 put it");
    marks.Set("seen-2");

    report.Check(Machine::PlayUntil([&] {
                     chat.Look();
                     return marks.IsSet("chat-2");
                 }),
                 "player 2 never typed");
    Machine::PlayUntil([&] {
        chat.Look();
        return false;
    }, 1500);
    report.Check(chat.most == 1, "the chat line showed " + std::to_string(chat.most) + " times");
    marks.Set("chat-seen-1");

    // Player 3 presses Escape: the host pauses with it and resumes when it resumes.
    bool paused = Machine::PlayUntil([&] { return PauseRequested == 1; });
    report.Check(paused && PartnerPaused == 1, "player 3's pause did not reach the host");
    marks.Set("paused-1");
    report.Check(PausedUntilResumed(), "player 3's resume did not reach the host");
    PauseRequested = 0;

    // The host pauses and saves; every machine saves under the same name.
    Machine::PlayUntil([] { return false; }, 500);
    report.Check(Machine::Press(KeyEscape) == 1, "Escape did not pause the host");
    NetSendPause();
    marks.Await("paused-2");
    marks.Await("paused-3");
    SaveName = "Netzwerk Eins";
    report.Check(SaveGame(SaveName) == 1, "the host's save failed");
    NetSendSave(SaveName);
    marks.Await("saved-2");
    marks.Await("saved-3");
    NetSendResume();
    PauseRequested = 0;

    // Player 3 goes away in the middle of its frames; the host plays on.
    marks.Await("gone-3");
    int before = CountOwned(3);
    Machine::PlayUntil([] { return NetClientNames().size() == 1; }, 5000);
    report.Check(NetClientNames().size() == 1, "player 3 is still in the client list");
    int frames = 0;
    Machine::PlayUntil([&] { return ++frames >= 120; });
    report.Check(before > 0 && CountOwned(3) == before, "player 3's objects did not stay as last received");
    // ... and player 2 still sees the host's world move: the host's builder goes somewhere new.
    bool seen = Machine::PlayUntil([&] {
        HoldStill(1, 12.5f, 3.75f);
        return marks.IsSet("done-2");
    });
    report.Check(seen, "player 2 stopped hearing from the host after player 3 left");
    return report.text;
}

std::string Client(const Marks& marks, int port, int player, const std::string& name, const std::string& address)
{
    Report report{name, ""};
    Machine machine(port); // with a program folder of its own
    if (!marks.Await("listening")) return name + ": the host never listened";
    if (player == 3 && !marks.Await("lobby-2")) return name + ": player 2 never joined";
    JoinNetwork(address);
    for (int i = 0; i < 5000 && NetRole != 2; i++) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (NetRole != 2) return name + ": could not connect to " + address;

    int started = 0;
    for (int i = 0; i < 3000 && !started; i++) {
        started = ClientLobbyStep(name);
        if (Lobby.player == player) marks.Set("lobby-" + std::to_string(player));
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    report.Check(Lobby.player == player, "got player " + std::to_string(Lobby.player));
    report.Check(Lobby.names.size() >= 2 && Lobby.names[0] == "Eins", "the host's name list did not arrive");
    if (!started || !ClientStartGame(started)) return report.text + name + ": the game did not start\n";
    report.Check(LocalPlayer == player && NetworkGame == 1, "not player " + std::to_string(player) + " of the game");
    // The camera opens centred on the player's own start cell.
    report.Check(CamX == float(512 - 32 * Players[player].startX) && CamY == float(384 - 32 * Players[player].startY),
                 "the camera is not on the start cell");
    report.Check(!FileExists("SAVE\\_MehrspielerNWI.sav"), "the start file was left behind");
    marks.Set("running-" + std::to_string(player));

    ChatWatch chat;
    if (player == 2) {
        // Holds its builder at one place until the host has seen it there.
        Machine::PlayUntil([&] {
            HoldStill(2, 7.5f, 8.25f);
            return marks.IsSet("seen-2");
        });
        // The chat line is typed as a player types it: Enter, the text, Enter.
        Machine::Press(KeyReturn);
        report.Check(ChatActive == 1, "Enter did not open the chat line");
        TextEntry.text = "Angriff im Norden";
        TextEntry.cursor = int(TextEntry.text.size());
        Machine::Press(KeyReturn);
        marks.Set("chat-2");
    } else {
        // Player 3 never moves player 2's builder; the host's snapshots must not undo its own.
        Machine::PlayUntil([&] {
            chat.Look();
            return marks.IsSet("chat-seen-1");
        });
    }
    Machine::PlayUntil([&] {
        chat.Look();
        return marks.IsSet("chat-seen-1");
    });
    Machine::PlayUntil([&] {
        chat.Look();
        return false;
    }, 800);
    report.Check(chat.most == 1, "the chat line showed " + std::to_string(chat.most) + " times here");

    if (player == 3) {
        report.Check(Machine::Press(KeyEscape) == 1, "Escape did not pause");
        NetSendPause();
        marks.Await("paused-1");
        marks.Await("paused-2");
        NetSendResume();
        PauseRequested = 0;
    } else {
        bool paused = Machine::PlayUntil([&] { return PauseRequested == 1; });
        report.Check(paused && PartnerPaused == 1, "player 3's pause did not reach player 2");
        marks.Set("paused-2");
        report.Check(PausedUntilResumed(), "player 3's resume did not reach player 2");
        PauseRequested = 0;
    }

    // The host pauses and saves.
    bool paused = Machine::PlayUntil([&] { return PauseRequested == 1; });
    report.Check(paused, "the host's pause did not arrive");
    marks.Set("paused-" + std::to_string(player));
    for (int i = 0; i < 2000 && !FileExists("SAVE\\Netzwerk Eins.sav"); i++) {
        NetPauseStep();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    report.Check(FileExists("SAVE\\Netzwerk Eins.sav") == 1 && SaveName == "Netzwerk Eins",
                 "the host's save was not made here under its name");
    marks.Set("saved-" + std::to_string(player));
    report.Check(PausedUntilResumed(), "the host's resume did not arrive");
    PauseRequested = 0;

    if (player == 3) {
        // Gone in the middle of a frame: no goodbye, the connection just breaks.
        Machine::PlayUntil([] { return false; }, 300);
        marks.Set("gone-3");
        RemoveFolder(machine.world.folder.path);
        if (!report.text.empty()) {
            ssize_t written = write(2, report.text.data(), report.text.size());
            (void)written;
        }
        _exit(report.text.empty() ? 0 : 1);
    }
    // Player 2 still gets the host's world after player 3 left.
    marks.Await("gone-3");
    bool moving = Machine::PlayUntil([&] {
        const Unit* one = UnitOf(1);
        return one && one->x == 12.5f && one->y == 3.75f;
    });
    report.Check(moving, "the host's snapshots stopped after player 3 left");
    marks.Set("done-2");
    return report.text;
}

} // namespace

TEST(NetGame, ThreeMachinesMeetStartAndPlayOneGame)
{
    Marks marks;
    int port = TestPort(0);
    Peer host = StartPeer([&] { return Host(marks, port); });
    Peer two = StartPeer([&] { return Client(marks, port, 2, "Zwei", "127.0.0.1"); });
    Peer three = StartPeer([&] { return Client(marks, port, 3, "Drei", "localhost"); });
    EXPECT_EQ(FinishPeer(two), "");
    EXPECT_EQ(FinishPeer(three), "");
    EXPECT_EQ(FinishPeer(host), "");
    RemoveFolder(marks.folder);
}

// A host in its waiting room while one peer sends it junk: random bytes, frames cut short, a
// frame that claims more than the limit, blocks that lie about their counts. The host neither
// crashes nor hangs, and it keeps serving the client that behaves.
TEST(NetGame, AHostSurvivesJunkAndKeepsServingTheOtherClient)
{
    SimWorld world{ThreeStartRows(), 3};
    NetGamePort = TestPort(1);
    StartNetThreads();
    HostNetwork();
    for (int i = 0; i < 2000 && NetRole != 1; i++) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(NetRole, 1);

    NetConnection good;
    ASSERT_TRUE(good.Connect("127.0.0.1", NetGamePort));
    NetBlock hello;
    PutClientPlayer(hello, 0, "Gut");
    ASSERT_TRUE(good.Send(hello.bytes));

    std::mt19937 random(11);
    auto junkRound = [&](int round) {
        NetConnection junk;
        if (!junk.Connect("127.0.0.1", NetGamePort)) return;
        std::string bytes(size_t(1 + random() % 3000), '\0');
        for (char& c : bytes) c = char(random());
        switch (round % 5) {
        case 0: NetSendRaw(junk, bytes); break;                                   // noise
        case 1: NetSendRaw(junk, std::string("\x10\x00\x00\x00" "DAT", 7)); break; // cut short
        case 2: NetSendRaw(junk, std::string("\xff\xff\xff\x7f", 4)); break;      // over the limit
        case 3: {                                                                  // a lying snapshot
            std::string lie("DATEN\0NOCHAT\0", 13);
            lie += std::string("\x02\x00\x00\x00\x28\x00\x00\x00\xff\xff\xff\x7f", 12);
            junk.Send(lie);
            break;
        }
        default: junk.Send(bytes); break;                                          // a framed nonsense block
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };

    int playerLists = 0;
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (int round = 0; round < 60 && std::chrono::steady_clock::now() < until; round++) {
        junkRound(round);
        // The host goes on with its waiting room: it takes what came and sends its list.
        HostLobbyStep("Host");
        ReceivedSnapshot ignored;
        NetMessage message;
        while (NetTake(message)) ApplyClientSnapshot(message.block, message.from, ignored);
        for (NetEvent event = good.Poll(); event.kind != NetEvent::None; event = good.Poll()) {
            std::vector<std::string> names;
            HostTrailer trailer;
            if (event.kind == NetEvent::Data && ReadPlayerList(event.bytes, names, trailer)) playerLists++;
            ASSERT_NE(event.kind, NetEvent::Disconnect) << "the host dropped the client that behaves";
        }
        if (round % 10 == 0) good.Send(hello.bytes);
    }
    EXPECT_GT(playerLists, 10) << "the host kept sending its list to the good client";
    std::vector<std::string> names = NetClientNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "Gut"), names.end());
    EXPECT_LE(names.size(), 4u) << "junk peers that broke their frames or left are gone from the list";
    LeaveNetwork();
    StopNetThreads();
}

// A network game started from a save: every machine loads its own copy of it by the name the
// host sends ("START_LADEN"), and each plays its own player of it.
TEST(NetGame, AGameFromASaveStartsFromEveryMachinesOwnCopy)
{
    Marks marks;
    int port = TestPort(2);
    auto host = [&]() -> std::string {
        Report report{"Spielleiter", ""};
        Machine machine(port);
        // The save both players keep: a two-player game with a unit of each.
        LocalPlayer = 1;
        StartNewGame(2);
        if (!SaveGame("Gemeinsam")) return "Spielleiter: could not save";
        std::string bytes;
        ReadWholeFile("SAVE\\Gemeinsam.sav", bytes);
        WriteOsFile(marks.folder + "Gemeinsam.sav", bytes);
        int units = int(Units.size());
        HostNetwork();
        for (int i = 0; i < 2000 && NetRole != 1; i++) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        marks.Set("listening");
        for (int i = 0; i < 2000 && NetClientNames() != std::vector<std::string>{"Zwei"}; i++) {
            HostLobbyStep("Eins");
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        Units.clear(); // what runs now is not what the save holds
        if (HostStartGame("Gemeinsam") != 1) return "Spielleiter: the game from the save did not start\n";
        report.Check(int(Units.size()) == units && LocalPlayer == 1 && NetworkGame == 1, "the host did not load the save");
        Machine::PlayUntil([&] { return marks.IsSet("running-2"); });
        marks.Await("done-2");
        return report.text;
    };
    auto client = [&]() -> std::string {
        Report report{"Zwei", ""};
        Machine machine(port);
        if (!marks.Await("listening")) return "Zwei: the host never listened";
        std::string bytes;
        ReadOsFile(marks.folder + "Gemeinsam.sav", bytes);
        MakeFolder("SAVE");
        WriteWholeFile("SAVE\\Gemeinsam.sav", bytes);
        JoinNetwork("127.0.0.1");
        int started = 0;
        for (int i = 0; i < 3000 && !started; i++) {
            started = ClientLobbyStep("Zwei");
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        report.Check(started == 2 && Lobby.loadName == "Gemeinsam", "no START_LADEN with the save's name");
        if (started != 2 || !ClientStartGame(started)) return report.text + "Zwei: the game did not start\n";
        report.Check(LocalPlayer == 2 && NetworkGame == 1 && !Units.empty(), "not player 2 of the saved game");
        report.Check(FileExists("SAVE\\Gemeinsam.sav") == 1, "the player's own save was taken away");
        marks.Set("running-2");
        Machine::PlayUntil([] { return false; }, 500);
        marks.Set("done-2");
        return report.text;
    };
    Peer one = StartPeer(host);
    Peer two = StartPeer(client);
    EXPECT_EQ(FinishPeer(two), "");
    EXPECT_EQ(FinishPeer(one), "");
    RemoveFolder(marks.folder);
}
