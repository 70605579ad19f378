// The network messages: snapshots carry every field and obey who is the authority for which
// objects; blocks that lie or end early are dropped whole and leave the game as it was.
#include "game/net/protocol.h"
#include "game/save/savefile.h"
#include "support/sim_world.h"

#include <functional>
#include <random>
#include <set>

namespace {

std::vector<std::string> Rows() { return FilledRows(40, 30, 'E'); }

// The game's objects as text, for comparing whole states.
std::string Objects()
{
    std::string text;
    for (const Building& b : Buildings)
        text += "B" + std::to_string(b.id) + "/" + std::to_string(b.owner) + "/" + std::to_string(int(b.hitPoints)) + " ";
    for (const Unit& u : Units)
        text += "U" + std::to_string(int(u.id)) + "/" + std::to_string(u.owner) + "/" + std::to_string(int(u.x * 32)) + "/" +
                std::to_string(int(u.hitPoints)) + " ";
    for (const Projectile& p : Projectiles) text += "S" + std::to_string(p.owner) + "/" + std::to_string(int(p.x)) + " ";
    return text;
}

// The first unit of a player (the tests give each one).
const Unit& UnitOf(int owner)
{
    static const Unit none;
    for (const Unit& u : Units)
        if (u.owner == owner) return u;
    ADD_FAILURE() << "no unit of player " << owner;
    return none;
}

int CountOwned(int owner)
{
    int n = 0;
    for (const Unit& u : Units) n += u.owner == owner;
    for (const Building& b : Buildings) n += b.owner == owner;
    return n;
}

} // namespace

class NetProtocol : public ::testing::Test {
protected:
    SimWorld world{Rows(), 3};
    void SetUp() override { Sandstorms.clear(); }

    // One unit and one building each for players 1..3, and a shot of player 2.
    void Populate()
    {
        for (int p = 1; p <= 3; p++) {
            world.Add(2402, p, float(5 * p), 4.25f);
            world.AddComplete(1100, p, float(5 * p), 10);
        }
        Units[1].path = "ABCD";
        Buildings[1].queue = "2402      ";
        AddProjectile(int(Units[1].id), 3001, 16, 2, 200.5f, 150, 45, 80, 20, 0, 12);
        Sandstorms.push_back(Sandstorm{300, 200, 90, 0});
        TimeOfDay = 4000;
        ElapsedSeconds = 777;
        GameSpeed = 3;
    }
};

TEST_F(NetProtocol, AClientKeepsItsOwnObjectsAndTakesEverythingElseFromTheHost)
{
    Populate();
    NetBlock block;
    PutGameSnapshot(block, "Spieler 1: hallo", 31);
    float hostHitPoints = Units[0].hitPoints;

    // The client's own state: its unit has moved on, the others are stale.
    Units[1].x = 20;          // player 2, its own: must stay
    Units[0].hitPoints = 1;   // player 1: the host's word wins
    Units[2].x = 30;          // player 3
    Projectiles.clear();
    Sandstorms.clear();
    TimeOfDay = 0;
    ReceivedSnapshot snapshot;
    ASSERT_TRUE(ApplyGameSnapshot(block.bytes, 2, snapshot));
    EXPECT_EQ(snapshot.chat, "Spieler 1: hallo");
    EXPECT_EQ(snapshot.frameRate, 31);

    EXPECT_EQ(UnitOf(2).x, 20) << "the client's own unit is never taken from the host";
    EXPECT_EQ(UnitOf(1).hitPoints, hostHitPoints);
    EXPECT_EQ(UnitOf(3).x, 15) << "player 3's unit as the host knows it";
    EXPECT_EQ(CountOwned(2), 2) << "own records in the host's snapshot are read and passed over, not doubled";
    EXPECT_EQ(Units.size(), 3u);
    EXPECT_EQ(Buildings.size(), 3u);
    ASSERT_EQ(Projectiles.size(), 0u) << "the shot was player 2's own";
    ASSERT_EQ(Sandstorms.size(), 1u);
    EXPECT_EQ(Sandstorms[0].x, 300);
    EXPECT_EQ(TimeOfDay, 4000);
    EXPECT_EQ(ElapsedSeconds, 777);
    EXPECT_EQ(GameSpeed, 3);
    for (const Unit& u : Units) EXPECT_EQ(FindUnit(u.id), &u - Units.data()) << "the index follows the new lists";
}

TEST_F(NetProtocol, TheHostTakesOnlyTheSendersOwnObjectsFromAClient)
{
    Populate();
    // Player 2's view: its unit far on, and wrong ideas about the others.
    Units[1].x = 22;
    Units[1].path = "XY";
    Units[0].x = 1;
    Units[2].hitPoints = 3;
    NetBlock block;
    PutClientSnapshot(block, "", 2, 38);
    Units[1].x = 10;
    Units[1].path.clear();
    Units[0].x = 5;
    Units[2].hitPoints = 500;
    std::string before = Objects();
    ReceivedSnapshot snapshot;
    EXPECT_FALSE(ApplyClientSnapshot(block.bytes, 3, snapshot)) << "player 2's block on player 3's connection";
    EXPECT_EQ(Objects(), before);

    ASSERT_TRUE(ApplyClientSnapshot(block.bytes, 2, snapshot));
    EXPECT_EQ(snapshot.frameRate, 38);
    EXPECT_EQ(snapshot.player, 2);
    EXPECT_EQ(UnitOf(2).x, 22);
    EXPECT_EQ(UnitOf(2).path, "XY");
    EXPECT_EQ(UnitOf(1).x, 5) << "player 1 is the host's own";
    EXPECT_EQ(UnitOf(3).hitPoints, 500) << "player 3 is not player 2's to say";
    EXPECT_EQ(CountOwned(2), 2);
    ASSERT_EQ(Projectiles.size(), 1u) << "player 2's shot came back as sent";
    EXPECT_EQ(Projectiles[0].x, 200) << "floats travel rounded to whole numbers, ties to even";
    EXPECT_EQ(Buildings.back().owner, 2) << "the sender's records come in after the others";
    EXPECT_EQ(Buildings.back().queue, "2402      ");
}

TEST_F(NetProtocol, EveryFieldOfARecordTravels)
{
    Populate();
    Unit& u = Units[1];
    u.heading = 123;
    u.target = 100020;
    u.load = -3;
    u.stance = 3;
    u.group = 7;
    u.spare = 42;
    u.selection = 2;
    Building& b = Buildings[1];
    b.rallyX = 12;
    b.rallyY = 13;
    b.remaining = 9;
    b.currentItem = 2402;
    b.selection = 2;
    Unit sent = u;
    Building sentBuilding = b;
    NetBlock block;
    PutClientSnapshot(block, "", 2, 40);
    Units.erase(Units.begin() + 1);
    Buildings.erase(Buildings.begin() + 1);
    ReceivedSnapshot snapshot;
    ASSERT_TRUE(ApplyClientSnapshot(block.bytes, 2, snapshot));
    const Unit& got = Units.back();
    EXPECT_EQ(got.id, sent.id);
    EXPECT_EQ(got.heading, 123);
    EXPECT_EQ(got.target, 100020);
    EXPECT_EQ(got.load, -3);
    EXPECT_EQ(got.stance, 3);
    EXPECT_EQ(got.group, 7);
    EXPECT_EQ(got.spare, 42) << "the spare field rides along";
    EXPECT_EQ(got.selection, 0) << "selection marks stay on the machine that made them";
    EXPECT_EQ(got.y, 4.25f) << "positions keep their 32nds";
    EXPECT_EQ(got.path, sent.path);
    const Building& gotBuilding = Buildings.back();
    EXPECT_EQ(gotBuilding.id, sentBuilding.id);
    EXPECT_EQ(gotBuilding.rallyX, 12);
    EXPECT_EQ(gotBuilding.rallyY, 13);
    EXPECT_EQ(gotBuilding.remaining, 9);
    EXPECT_EQ(gotBuilding.currentItem, 2402);
    EXPECT_EQ(gotBuilding.selection, 0);
}

TEST_F(NetProtocol, BlocksThatLieOrEndEarlyAreDroppedWholeAndTheGameStaysAsItWas)
{
    Populate();
    NetBlock block;
    PutGameSnapshot(block, "", 40);
    const std::string good = block.bytes;
    // The client's world differs, so a partial apply would show.
    for (Unit& u : Units) u.x += 1;
    std::string before = Objects();
    ReceivedSnapshot snapshot;

    for (size_t length = 0; length < good.size(); length++)
        ASSERT_FALSE(ApplyGameSnapshot(good.substr(0, length), 2, snapshot)) << "cut at " << length;
    EXPECT_EQ(Objects(), before);

    // "DATEN", "NOCHAT", the frame rate, then the building count.
    size_t countAt = 6 + 7 + 4;
    std::string huge = good;
    for (int i = 0; i < 4; i++) huge[countAt + size_t(i)] = i == 3 ? char(0x7F) : char(0xFF);
    EXPECT_FALSE(ApplyGameSnapshot(huge, 2, snapshot)) << "a count of 2^31 - 1";

    std::string foreignOwner = good;
    foreignOwner[countAt + 4] = 5; // the first building's lead no longer matches its owner field
    EXPECT_FALSE(ApplyGameSnapshot(foreignOwner, 2, snapshot));

    std::string offMap = good;
    // First building: lead, id, type, w, h, owner, hp, maxhp, progress, total, then x.
    size_t xAt = countAt + 4 + 10 * 4;
    offMap[xAt + 3] = char(0x40);
    EXPECT_FALSE(ApplyGameSnapshot(offMap, 2, snapshot)) << "a building far off the map";

    std::mt19937 random(7);
    for (int round = 0; round < 200; round++) {
        std::string noise = good;
        for (int k = 0; k < 8; k++) noise[random() % noise.size()] = char(random());
        ApplyGameSnapshot(noise, 2, snapshot); // may be read or refused, never more
        for (const Unit& u : Units) ASSERT_TRUE(u.x >= 0 && u.x <= float(MapWidth));
    }
    EXPECT_FALSE(ApplyGameSnapshot("PAUSE", 2, snapshot));
    EXPECT_FALSE(ApplyGameSnapshot(std::string("DATEN\0", 6), 2, snapshot));
}

// A peer's records must be ones the rules can play: a shot of a kind outside the damage table
// crashed the host when it hit, a line end in a text broke every save made after it.
TEST_F(NetProtocol, RecordsTheRulesCannotPlayAreRefusedFromEitherSide)
{
    Populate();
    const std::string before = Objects();
    auto blockAfter = [&](bool fromClient, const std::function<void()>& change) {
        std::string kept = GameStateBytes();
        change();
        NetBlock block;
        if (fromClient) PutClientSnapshot(block, "", 2, 40);
        else PutGameSnapshot(block, "", 40);
        EXPECT_EQ(ApplyGameStateBytes(kept), 1);
        return block.bytes;
    };
    ReceivedSnapshot snapshot;
    for (bool fromClient : {true, false}) {
        auto refused = [&](const char* what, const std::function<void()>& change) {
            std::string block = blockAfter(fromClient, change);
            bool taken = fromClient ? ApplyClientSnapshot(block, 2, snapshot) : ApplyGameSnapshot(block, 3, snapshot);
            EXPECT_FALSE(taken) << what << (fromClient ? " from a client" : " from the host");
            EXPECT_EQ(Objects(), before) << what;
        };
        refused("a shot of kind -100000", [] { Projectiles[0].kind = -100000; });
        refused("a unit type no table has", [] { Units[1].typeId = 9999; });
        refused("a weapon that fires kind 3050", [] { Units[1].weapon = 50; });
        refused("a path with a line end", [] { Units[1].path = "AB\r\nCD"; });
        refused("a queue with a line end", [] { Buildings[1].queue = "2402\r\n    "; });
        refused("a target past any object id", [] { Units[1].target = 1e10f; });
    }
    // The host sends every player's records: one of a fourth player in a game of three.
    std::string stranger = blockAfter(false, [] { Units[0].owner = 4; });
    EXPECT_FALSE(ApplyGameSnapshot(stranger, 3, snapshot)) << "an owner who is not in the game";
    EXPECT_EQ(Objects(), before);
    // The host's clock past what a save can hold: every save made after it would not load.
    std::string late = blockAfter(false, [] { ElapsedSeconds = (1 << 30) + 1; });
    EXPECT_FALSE(ApplyGameSnapshot(late, 3, snapshot)) << "a clock past 2^30 game seconds";
    EXPECT_EQ(Objects(), before);
    // A chat line keeps no line end: it would end the ticker's line and a saved text.
    NetBlock chat;
    PutGameSnapshot(chat, "Spieler 1: a\r\nb", 40);
    ASSERT_TRUE(ApplyGameSnapshot(chat.bytes, 3, snapshot));
    EXPECT_EQ(snapshot.chat, "Spieler 1: a  b");
}

TEST_F(NetProtocol, TextsAndNamesAreBoundedAndBlocksGrowForBigArmies)
{
    NetBlock block;
    PutPlayerList(block, {"Gastgeber", std::string(300, 'n'), std::string("ab\0cd", 5)});
    std::string message = block.bytes;
    PutHostTrailer(message, 3, 1024, 768, 10, 20);
    std::vector<std::string> names;
    HostTrailer trailer;
    ASSERT_TRUE(ReadPlayerList(message, names, trailer));
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0], "Gastgeber");
    EXPECT_EQ(names[1].size(), NetNameLength) << "cut to what the name field holds";
    EXPECT_EQ(names[2], "ab") << "a zero ends a text";
    EXPECT_EQ(trailer.player, 3);
    EXPECT_EQ(trailer.camX, 512 - 320);
    EXPECT_EQ(trailer.camY, 384 - 640);
    EXPECT_FALSE(ReadPlayerList(block.bytes, names, trailer)) << "without its trailer";

    std::string noZero = "PLAYER";
    int player = 0;
    std::string name;
    EXPECT_FALSE(ReadClientPlayer(noZero, player, name)) << "a text without its zero byte ends at the end of the block";
    EXPECT_EQ(Keyword(noZero), "");

    // A thousand units need far more than the first 30000 bytes.
    for (int i = 0; i < 1000; i++) world.Add(2402, 1 + i % 3, float(2 + i % 30), float(2 + i / 40));
    NetBlock big;
    PutGameSnapshot(big, "", 40);
    EXPECT_FALSE(big.overfull);
    EXPECT_GT(big.bytes.size(), NetBlockSize);
    ReceivedSnapshot snapshot;
    ASSERT_TRUE(ReadGameSnapshot(big.bytes, 2, RunningGameBounds(), snapshot));
    EXPECT_EQ(snapshot.units.size(), 1000u - 333u);

    NetBlock full;
    full.Start("DATEN");
    while (!full.overfull) full.PutText(std::string(100000, 'x'));
    EXPECT_LE(full.bytes.size(), NetBlockLimit) << "a message never grows past the limit";
}

TEST_F(NetProtocol, ObjectsMadeOnDifferentMachinesNeverShareAnId)
{
    Populate();
    Units[0].id = 100987;
    int one = NetworkNextObjectId(1), two = NetworkNextObjectId(2), three = NetworkNextObjectId(3);
    EXPECT_GT(one, 100987);
    EXPECT_GT(two, 100987);
    // Each machine counts up by ten from its own start: the last digit is its player.
    std::set<int> ids;
    for (int k = 0; k < 100; k++)
        for (int start : {one, two, three}) EXPECT_TRUE(ids.insert(start + 10 * k).second);
    EXPECT_EQ(one % 10, 1);
    EXPECT_EQ(two % 10, 2);
}
