// Seats in a network game: a player's number is his for the whole game, whoever else leaves; a
// player whose game dropped comes back to his seat; a stranger after the start only watches or
// is turned away; a peer that floods or says nothing never holds up the others.
#include "game/base/textentry.h"
#include "game/net/blocks.h"
#include "game/save/savefile.h"
#include "peers.h"

#include <map>
#include <set>

namespace {

constexpr int KeyReturn = 0x1C;

// Each client walks its first unit up and down a row of its own, so that the others can see
// that its snapshots still arrive.
void Walk(int owner, int frame)
{
    HoldStill(owner, 4.5f + float(frame / 8 % 16), 2.5f + 2.0f * float(owner));
}

// Plays for `ms` and counts the different places seen of each player's first unit.
struct MoveWatch {
    std::map<int, std::set<float>> seen;
    void Look()
    {
        for (int owner = 1; owner <= MaxPlayers; owner++)
            if (const Unit* unit = UnitOf(owner)) seen[owner].insert(unit->x);
    }
    bool Moved(int owner) const
    {
        auto at = seen.find(owner);
        return at != seen.end() && at->second.size() >= 4;
    }
};

// Types a chat line as a player does: Enter, the text, Enter.
void Say(const std::string& text)
{
    Machine::Press(KeyReturn);
    TextEntry.text = text;
    TextEntry.cursor = int(TextEntry.text.size());
    Machine::Press(KeyReturn);
}

bool Listening()
{
    for (int i = 0; i < 2000 && NetRole != 1; i++) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return NetRole == 1;
}

// A client's way into a game: connect, the waiting room, the start. The own seat, or -1.
int JoinAndStart(const std::string& name, const Marks& marks, const std::string& mark = "")
{
    JoinNetwork("127.0.0.1");
    for (int i = 0; i < 5000 && NetRole != 2; i++) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (NetRole != 2) return -1;
    int started = 0;
    for (int i = 0; i < 3000 && !started; i++) {
        started = ClientLobbyStep(name);
        if (!mark.empty() && Lobby.player >= 2) marks.Set(mark);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!started || !ClientStartGame(started)) return -1;
    return LocalPlayer;
}

// The host's waiting room until `names` are in it, then the start.
bool HostUntilStarted(const std::vector<std::string>& names)
{
    for (int i = 0; i < 3000 && NetClientNames() != names; i++) {
        HostLobbyStep("Eins");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return NetClientNames() == names && HostStartGame("") == 1;
}

std::string Finish(Report& report)
{
    if (!report.text.empty()) {
        ssize_t written = write(2, report.text.data(), report.text.size());
        (void)written;
    }
    return report.text;
}

} // namespace

// Four machines; the second of the three clients leaves in the middle of the game. Everyone
// else keeps his number: the host and the two others go on seeing each other move and talk.
TEST(NetSeats, WhenTheSecondOfThreeClientsLeavesTheOthersPlayOnUntouched)
{
    Marks marks;
    int port = TestPort(3);
    const std::string lastWords = "Spieler 4: noch da";
    auto host = [&]() -> std::string {
        Report report{"Spielleiter", ""};
        Machine machine(port, FourStartRows());
        HostNetwork(4);
        if (!Listening()) return "Spielleiter: the server was not made";
        marks.Set("listening");
        if (!HostUntilStarted({"Zwei", "Drei", "Vier"})) return "Spielleiter: the game did not start";
        report.Check(PlayerCount == 4, "not a four-player game");
        MoveWatch before;
        int frame = 0;
        Machine::PlayUntil([&] {
            Walk(1, frame++);
            before.Look();
            return before.Moved(2) && before.Moved(3) && before.Moved(4);
        });
        report.Check(before.Moved(2) && before.Moved(3) && before.Moved(4), "the clients were not seen moving");
        marks.Set("seen-1");
        marks.Await("gone-3");
        int left = CountOwned(3);
        MoveWatch after;
        bool heard = Machine::PlayUntil([&] {
            Walk(1, frame++);
            after.Look();
            return after.Moved(2) && after.Moved(4) && TickerCount(lastWords) == 1;
        });
        report.Check(heard, "after player 3 left, players 2 and 4 were not both seen moving and talking");
        report.Check(TickerCount("INFO: Spieler 3 hat das Spiel verlassen.") == 1, "no line said that player 3 left");
        report.Check(CountOwned(3) == left && left > 0, "player 3's objects did not stay as last received");
        marks.Set("done-1");
        Machine::PlayUntil([&] {
            Walk(1, frame++);
            return marks.IsSet("done-2") && marks.IsSet("done-4");
        }, 30000);
        return Finish(report);
    };
    auto client = [&](int seat, const std::string& name) -> std::string {
        Report report{name, ""};
        Machine machine(port, FourStartRows());
        if (!marks.Await("listening")) return name + ": the host never listened";
        // They come in order, so that the seats are known.
        if (seat > 2 && !marks.Await("lobby-" + std::to_string(seat - 1))) return name + ": the one before never came";
        int player = JoinAndStart(name, marks, "lobby-" + std::to_string(seat));
        if (player != seat) return name + ": started as player " + std::to_string(player);
        int frame = 0;
        MoveWatch before;
        Machine::PlayUntil([&] {
            Walk(seat, frame++);
            before.Look();
            return marks.IsSet("seen-1") && before.Moved(1);
        });
        if (seat == 3) {
            // A quitting player leaves the way the game lets him: the connection is closed.
            LeaveNetwork();
            marks.Set("gone-3");
            return Finish(report);
        }
        marks.Await("gone-3");
        int other = seat == 2 ? 4 : 2;
        auto walkFor = [&](int ms) {
            Machine::PlayUntil([&] {
                Walk(seat, frame++);
                return false;
            }, ms);
        };
        if (seat == 4) {
            walkFor(1000);
            Say("noch da");
        }
        MoveWatch after;
        bool heard = Machine::PlayUntil([&] {
            Walk(seat, frame++);
            after.Look();
            return after.Moved(other) && after.Moved(1) && (seat == 4 || TickerCount(lastWords) == 1);
        });
        report.Check(heard, "after player 3 left, player " + std::to_string(other) + " and the host were not seen moving (or the chat never came)");
        report.Check(TickerCount("INFO: Spieler 3 hat das Spiel verlassen.") == 1, "no line said that player 3 left");
        Machine::PlayUntil([&] {
            Walk(seat, frame++);
            return marks.IsSet("done-1");
        });
        // A few seconds more: still in step.
        MoveWatch later;
        Machine::PlayUntil([&] {
            Walk(seat, frame++);
            later.Look();
            return false;
        }, 3000);
        report.Check(later.Moved(other), "player " + std::to_string(other) + " stopped moving here");
        marks.Set("done-" + std::to_string(seat));
        return Finish(report);
    };
    Peer one = StartPeer(host);
    Peer two = StartPeer([&] { return client(2, "Zwei"); });
    Peer three = StartPeer([&] { return client(3, "Drei"); });
    Peer four = StartPeer([&] { return client(4, "Vier"); });
    EXPECT_EQ(FinishPeer(three), "");
    EXPECT_EQ(FinishPeer(two), "");
    EXPECT_EQ(FinishPeer(four), "");
    EXPECT_EQ(FinishPeer(one), "");
    RemoveFolder(marks.folder);
}

// A client killed in the middle of the game starts again and joins with the same name: he is
// back in his seat with his objects, his orders reach the others, and his new ids are his own.
TEST(NetSeats, APlayerWhoseGameDroppedComesBackToHisSeat)
{
    Marks marks;
    int port = TestPort(4);
    const std::string back = "INFO: Spieler 2 ist wieder da.";
    // Where the returning player sends his unit, and where everyone must see it arrive.
    const float goalX = 30.5f, goalY = 14.5f;
    auto arrived = [&] {
        const Unit* unit = UnitOf(2);
        return unit && std::hypot(unit->x - goalX, unit->y - goalY) < 1.5f;
    };
    auto host = [&]() -> std::string {
        Report report{"Spielleiter", ""};
        Machine machine(port);
        HostNetwork(3);
        if (!Listening()) return "Spielleiter: the server was not made";
        marks.Set("listening");
        if (!HostUntilStarted({"Zwei", "Drei"})) return "Spielleiter: the game did not start";
        Machine::PlayUntil([&] { return marks.IsSet("killed-2"); });
        Machine::PlayUntil([&] { return NetClientNames() == std::vector<std::string>{"Drei"}; }, 5000);
        report.Check(NetClientNames() == std::vector<std::string>{"Drei"}, "player 2's dropped connection is still listed");
        int kept = CountOwned(2);
        WriteOsFile(marks.folder + "kept-2", std::to_string(kept));
        marks.Set("dropped-2");
        report.Check(Machine::PlayUntil([&] { return TickerCount(back) == 1; }, 30000), "no line said player 2 is back");
        report.Check(Machine::PlayUntil(arrived, 30000), "player 2's order after his return was not seen here");
        marks.Set("arrived-1");
        Machine::PlayUntil([&] { return marks.IsSet("made-2") && marks.IsSet("made-3"); });
        Machine::PlayUntil([] { return false; }, 1000);
        std::set<long long> ids;
        for (const Unit& u : Units) report.Check(ids.insert((long long)u.id).second, "two objects share id " + std::to_string(u.id));
        for (const Building& b : Buildings) report.Check(ids.insert(b.id).second, "two objects share id " + std::to_string(b.id));
        marks.Set("done-1");
        Machine::PlayUntil([&] { return marks.IsSet("done-3") && marks.IsSet("done-2b"); });
        return Finish(report);
    };
    auto three = [&]() -> std::string {
        Report report{"Drei", ""};
        Machine machine(port);
        if (!marks.Await("listening") || !marks.Await("lobby-2")) return "Drei: the host or player 2 never came";
        if (JoinAndStart("Drei", marks) != 3) return "Drei: not player 3";
        report.Check(Machine::PlayUntil([&] { return TickerCount(back) == 1; }, 40000), "no line said player 2 is back");
        report.Check(Machine::PlayUntil(arrived, 30000), "player 2's order after his return was not seen here");
        NextObjectId += 10;
        AddUnit(MakeUnit(float(NextObjectId), 2402, 3, 20, 20, 2, 0));
        marks.Set("made-3");
        Machine::PlayUntil([&] { return marks.IsSet("done-1"); });
        marks.Set("done-3");
        return Finish(report);
    };
    Peer one = StartPeer(host);
    // The first life of player 2: it plays a while and dies without a word.
    Peer twoFirst = StartPeer([&]() -> std::string {
        Machine machine(port);
        if (!marks.Await("listening")) return "Zwei: the host never listened";
        if (JoinAndStart("Zwei", marks, "lobby-2") != 2) return "Zwei: not player 2";
        Machine::PlayUntil([] { return false; }, 1500);
        marks.Set("killed-2");
        _exit(0);
    });
    Peer drei = StartPeer(three);
    EXPECT_EQ(FinishPeer(twoFirst), "");
    // The second life: started afresh, it joins the running game with the same name.
    Peer twoAgain = StartPeer([&]() -> std::string {
        Report report{"Zwei (wieder)", ""};
        Machine machine(port);
        if (!marks.Await("dropped-2")) return "Zwei: the host never saw the drop";
        int seat = JoinAndStart("Zwei", marks);
        if (seat != 2) return "Zwei: came back as player " + std::to_string(seat);
        std::string kept;
        ReadOsFile(marks.folder + "kept-2", kept);
        report.Check(std::to_string(CountOwned(2)) == kept, "has " + std::to_string(CountOwned(2)) + " objects, the host kept " + kept);
        report.Check(TickerCount(back) == 0 || TickerCount(back) == 1, "the return was told more than once");
        // The camera opens on his own base.
        const Unit* own = UnitOf(2);
        report.Check(own != nullptr, "no unit of his own");
        for (Unit& unit : Units)
            if (unit.owner == 2) {
                unit.target = 0;
                unit.destX = goalX;
                unit.destY = goalY;
                unit.path.clear();
                break;
            }
        report.Check(Machine::PlayUntil(arrived, 30000), "his own unit did not arrive");
        long long before = NextObjectId;
        NextObjectId += 10;
        AddUnit(MakeUnit(float(NextObjectId), 2402, 2, 10, 20, 2, 0));
        report.Check(NextObjectId > before && NextObjectId % 10 == 2, "a new id outside his own series: " + std::to_string(NextObjectId));
        marks.Set("made-2");
        Machine::PlayUntil([&] { return marks.IsSet("done-1"); });
        marks.Set("done-2b");
        return Finish(report);
    });
    EXPECT_EQ(FinishPeer(twoAgain), "");
    EXPECT_EQ(FinishPeer(drei), "");
    EXPECT_EQ(FinishPeer(one), "");
    RemoveFolder(marks.folder);
}

// A stranger who comes after the start watches: he sees the game, may chat as a watcher and
// changes no one's army. Past the watchers' room, newcomers are told so and let go.
TEST(NetSeats, AStrangerAfterTheStartWatchesAndTheRestAreTurnedAway)
{
    Marks marks;
    int port = TestPort(5);
    const std::string said = "Zuschauer: schoenes Spiel";
    auto host = [&]() -> std::string {
        Report report{"Spielleiter", ""};
        Machine machine(port);
        HostNetwork(3);
        if (!Listening()) return "Spielleiter: the server was not made";
        marks.Set("listening");
        if (!HostUntilStarted({"Zwei"})) return "Spielleiter: the game did not start";
        marks.Set("started");
        int ones = CountOwned(1), twos = CountOwned(2), frame = 0;
        report.Check(Machine::PlayUntil([&] {
                         Walk(1, frame++);
                         return TickerCount(said) == 1;
                     }, 40000),
                     "the watcher's chat never came");
        report.Check(TickerCount("INFO: Ein Zuschauer ist dabei.") == 1, "no line told of the watcher");
        marks.Set("heard-1");
        Machine::PlayUntil([&] {
            Walk(1, frame++);
            report.Check(NetConnectionCount() <= 2 + 4 + 2, "more connections than seats, watchers and newcomers");
            return marks.IsSet("crowd-done");
        }, 40000);
        report.Check(CountOwned(1) == ones && CountOwned(2) == twos && CountOwned(0) == 0,
                     "someone's army changed because of the strangers: " + std::to_string(CountOwned(1)) + "/" +
                         std::to_string(ones) + ", " + std::to_string(CountOwned(2)) + "/" + std::to_string(twos));
        // The free seat is the computer's, as in any game the host starts; no stranger took it.
        report.Check(Players[3].kind == 1, "the free seat became a player");
        marks.Set("done-1");
        Machine::PlayUntil([&] { return marks.IsSet("done-2") && marks.IsSet("done-w"); });
        return Finish(report);
    };
    auto two = [&]() -> std::string {
        Report report{"Zwei", ""};
        Machine machine(port);
        if (!marks.Await("listening")) return "Zwei: the host never listened";
        if (JoinAndStart("Zwei", marks) != 2) return "Zwei: not player 2";
        int twos = CountOwned(2), frame = 0;
        report.Check(Machine::PlayUntil([&] {
                         Walk(2, frame++);
                         return TickerCount(said) == 1;
                     }, 40000),
                     "the watcher's chat never came");
        Machine::PlayUntil([&] {
            Walk(2, frame++);
            return marks.IsSet("done-1");
        }, 60000);
        report.Check(CountOwned(2) == twos, "player 2's army changed");
        marks.Set("done-2");
        return Finish(report);
    };
    auto watcher = [&]() -> std::string {
        Report report{"Fremd", ""};
        Machine machine(port);
        if (!marks.Await("started")) return "Fremd: the game never started";
        int seat = JoinAndStart("Fremd", marks);
        if (seat != 0) return "Fremd: got seat " + std::to_string(seat) + " instead of watching";
        MoveWatch watch;
        report.Check(Machine::PlayUntil([&] {
                         watch.Look();
                         return watch.Moved(1) && watch.Moved(2);
                     }),
                     "the watcher does not see the players move");
        Say("schoenes Spiel");
        marks.Await("heard-1");
        // The crowd: more strangers than the watchers' room holds.
        int turnedAway = 0;
        std::vector<std::unique_ptr<NetConnection>> crowd;
        for (int i = 0; i < 8; i++) {
            crowd.push_back(std::make_unique<NetConnection>());
            if (!crowd.back()->Connect("127.0.0.1", port)) continue;
            NetBlock hello;
            PutClientPlayer(hello, 0, "Fremd" + std::to_string(i));
            crowd.back()->Send(hello.bytes);
            Machine::PlayUntil([] { return false; }, 200);
        }
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < until) {
            for (auto& connection : crowd)
                for (NetEvent e = connection->Poll(); e.kind != NetEvent::None; e = connection->Poll())
                    if (e.kind == NetEvent::Data && Keyword(e.bytes) == "VOLL") {
                        NetReader r(e.bytes);
                        r.GetText();
                        report.Check(r.GetText() == NetFullText(), "the refusal is not the German line");
                        turnedAway++;
                    }
            Machine::Frame();
        }
        // One watcher is here; three more watch and two wait to say who they are: three go.
        report.Check(turnedAway >= 3, std::to_string(turnedAway) + " of eight strangers were turned away");
        marks.Set("crowd-done");
        Machine::PlayUntil([&] { return marks.IsSet("done-1"); }, 60000);
        marks.Set("done-w");
        return Finish(report);
    };
    Peer one = StartPeer(host);
    Peer zwei = StartPeer(two);
    Peer fremd = StartPeer(watcher);
    EXPECT_EQ(FinishPeer(fremd), "");
    EXPECT_EQ(FinishPeer(zwei), "");
    EXPECT_EQ(FinishPeer(one), "");
    RemoveFolder(marks.folder);
}

// One peer floods the host with frames and another connects and says nothing: the host and its
// player go on in step, and both strangers are let go.
TEST(NetSeats, AFloodOrASilentConnectionNeverHoldsUpThePlayers)
{
    Marks marks;
    int port = TestPort(6);
    auto host = [&]() -> std::string {
        Report report{"Spielleiter", ""};
        Machine machine(port);
        HostNetwork(3);
        if (!Listening()) return "Spielleiter: the server was not made";
        marks.Set("listening");
        if (!HostUntilStarted({"Zwei"})) return "Spielleiter: the game did not start";
        marks.Set("started");
        marks.Await("storm");
        int frame = 0;
        MoveWatch watch;
        auto start = std::chrono::steady_clock::now();
        int frames = 0;
        Machine::PlayUntil([&] {
            Walk(1, frame++);
            frames++;
            watch.Look();
            return marks.IsSet("storm-over");
        }, 30000);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        report.Check(watch.Moved(2), "player 2 was not seen moving during the flood");
        report.Check(frames / seconds > 10, "the host played " + std::to_string(frames / seconds) + " frames a second");
        // Neither stranger ever said who he is: both are let go.
        report.Check(Machine::PlayUntil([] { return NetConnectionCount() == 1; }, 20000), "the strangers are still connected");
        marks.Set("done-1");
        Machine::PlayUntil([&] { return marks.IsSet("done-2"); });
        return Finish(report);
    };
    auto two = [&]() -> std::string {
        Report report{"Zwei", ""};
        Machine machine(port);
        if (!marks.Await("listening")) return "Zwei: the host never listened";
        if (JoinAndStart("Zwei", marks) != 2) return "Zwei: not player 2";
        int frame = 0;
        MoveWatch watch;
        Machine::PlayUntil([&] {
            Walk(2, frame++);
            watch.Look();
            return marks.IsSet("storm-over");
        }, 30000);
        report.Check(watch.Moved(1), "the host was not seen moving during the flood");
        Machine::PlayUntil([&] {
            Walk(2, frame++);
            return marks.IsSet("done-1");
        }, 40000);
        marks.Set("done-2");
        return Finish(report);
    };
    Peer one = StartPeer(host);
    Peer zwei = StartPeer(two);
    ASSERT_TRUE(marks.Await("started", 60000));
    NetConnection silent, flood;
    ASSERT_TRUE(silent.Connect("127.0.0.1", port));
    ASSERT_TRUE(flood.Connect("127.0.0.1", port));
    marks.Set("storm");
    // Snapshots that claim to be player 2's, a chat line each so that none replaces another,
    // as fast as the stream takes them, for five seconds.
    NetBlock lie;
    lie.Start("DATEN");
    lie.PutText("CHAT");
    lie.PutText("Spieler 2: ich bin es");
    for (int value : {2, 40, 0, 0, 0}) lie.PutInt(value);
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int sent = 0;
    while (std::chrono::steady_clock::now() < until && flood.Send(lie.bytes)) sent++;
    marks.Set("storm-over");
    EXPECT_GT(sent, 1000);
    EXPECT_EQ(FinishPeer(zwei), "");
    EXPECT_EQ(FinishPeer(one), "");
    RemoveFolder(marks.folder);
}
