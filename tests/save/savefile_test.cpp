// Saved games: the file's layout and rounding, a game in full swing written, read back and
// written again to the same bytes, and bad files refused with the running game untouched.
#include "game/save/recordrules.h"
#include "game/save/savefile.h"
#include "game/save/saveformat.h"
#include "game/sim/statsamples.h"
#include "platform/files.h"
#include "support/sim_world.h"

#include <cstdio>
#include <functional>
#include <random>
#include <unistd.h>

namespace {

int LongAt(const std::string& bytes, size_t at)
{
    uint32_t bits = 0;
    for (size_t i = 0; i < 4; i++) bits |= uint32_t(uint8_t(bytes[at + i])) << (8 * i);
    return int32_t(bits);
}
void PutLong(std::string& bytes, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 4; i++) bytes[at + i] = char((value >> (8 * i)) & 255);
}

} // namespace

class SaveFile : public ::testing::Test {
protected:
    SimWorld world{FilledRows(40, 30, 'E')};
    void SetUp() override
    {
        MakeFolder("SAVE");
        Decorations.clear();
        Sandstorms.clear();
    }
};

TEST_F(SaveFile, FloatsRoundToTheNearestWithTiesToEvenAndPositionsKeepTheirThirtySeconds)
{
    EXPECT_EQ(RoundedField(12.5f), 12);
    EXPECT_EQ(RoundedField(13.5f), 14);
    EXPECT_EQ(RoundedField(-2.5f), -2);
    EXPECT_EQ(RoundedField(7.49f), 7);
    EXPECT_EQ(RoundedField(1e12f), 2147483647) << "held to what a long can carry";

    int index = world.Add(2402, 1, 3.25f, 4.0f);
    Units[size_t(index)].hitPoints = 12.5f;
    std::string bytes = GameStateBytes();
    ASSERT_EQ(LongAt(bytes, 0), 0) << "no buildings";
    ASSERT_EQ(LongAt(bytes, 4), 1);
    EXPECT_EQ(LongAt(bytes, 8 + 6 * 4), 12) << "hit points";
    EXPECT_EQ(LongAt(bytes, 8 + 8 * 4), 104) << "x = 3.25 cells";
    ASSERT_EQ(ApplyGameStateBytes(bytes), 1);
    ASSERT_EQ(Units.size(), 1u);
    EXPECT_EQ(Units[0].x, 3.25f);
    EXPECT_EQ(Units[0].hitPoints, 12.0f);
}

TEST_F(SaveFile, AnEmptyTwoPlayerGameHasItsCountsAndSixPlayerBlocks)
{
    ASSERT_EQ(PlayerCount, 2);
    StatSampleIndex = 3;
    std::string bytes = GameStateBytes();
    EXPECT_EQ(LongAt(bytes, 0), 0);
    EXPECT_EQ(LongAt(bytes, 4), 0) << "no units: the count 0 and no records";
    EXPECT_EQ(LongAt(bytes, 8), 0);
    size_t w = size_t(MapWidth), h = size_t(MapHeight);
    size_t expected = 3 * 4 + 5 * 4 + (w - 1) * (h - 1) * 4 + 2 * 4 + 6 * 16 * 4 + 2 * 4 + (w + 1) * (h + 1) * 4 + 2 * 4 +
                      6 * 8 * 4 + 4 + 4 * 4 * 12 + 4 + 4 + 3 * 4;
    EXPECT_EQ(bytes.size(), expected) << "six player blocks twice, whatever the player count";
}

TEST_F(SaveFile, AGameInFullSwingReadsBackToTheSameBytes)
{
    for (int i = 0; i < 6; i++) {
        world.Add(2402, 1, 8.0f + i, 10);
        world.Add(2302, 2, 20.0f + i, 12);
    }
    int factory = world.AddComplete(1220, 1, 4, 4);
    Buildings[size_t(factory)].queue = "2402      2402      ";
    Buildings[size_t(factory)].currentItem = 2402;
    Buildings[size_t(factory)].remaining = 7.5f;
    Players[1].research[3] = 1;
    StormSetting = 2;
    Sandstorms.assign(2, Sandstorm{300.4f, 200.6f, 45.5f, 0});
    Decorations.push_back(Decoration{4901, 5, 6, 90});
    for (int frame = 0; frame < 600 && Projectiles.size() < 3; frame++) AdvanceWorld();
    StatSampleIndex = 2;
    for (int p = 1; p <= 4; p++) StatTable[p].assign(3, StatSample{p, 2 * p, 100 * p});
    ASSERT_FALSE(Projectiles.empty()) << "shots are flying";

    std::string queue = Buildings[size_t(factory)].queue;
    std::string first = GameStateBytes();
    ASSERT_EQ(ApplyGameStateBytes(first), 1);
    std::string second = GameStateBytes();
    ASSERT_EQ(second.size(), first.size());
    EXPECT_TRUE(second == first);
    EXPECT_EQ(Sandstorms.size(), 2u);
    EXPECT_EQ(Buildings[size_t(factory)].queue, queue);

    // And through the file.
    ASSERT_EQ(SaveGame("Test"), 1);
    ASSERT_EQ(LoadGame("Test"), 1);
    EXPECT_TRUE(GameStateBytes() == first);
}

TEST_F(SaveFile, BadFilesAreRefusedAndTheRunningGameStays)
{
    for (int i = 0; i < 4; i++) world.Add(2402, 1 + i % 2, 8.0f + 3 * i, 10);
    world.AddComplete(1100, 1, 4, 4);
    std::string good = GameStateBytes();
    std::string before = good;

    auto refused = [&](const std::string& bytes, const char* what) {
        EXPECT_EQ(ApplyGameStateBytes(bytes), 0) << what;
        EXPECT_TRUE(GameStateBytes() == before) << what << ": the running game changed";
    };
    refused(good.substr(0, good.size() / 2), "cut in half");
    refused(good.substr(0, good.size() - 1), "one byte short");
    refused("", "empty");
    std::mt19937 random(5);
    std::string noise(5000, '\0');
    for (char& byte : noise) byte = char(random());
    refused(noise, "random bytes");

    std::string huge = good;
    PutLong(huge, 0, 0x80000000u);
    refused(huge, "a count of 2^31");
    PutLong(huge, 0, 0x7FFFFFFFu);
    refused(huge, "a count of 2^31 - 1");

    // The map's width follows the three lists, the camera and the map number, whose values
    // are known.
    std::string wide = GameStateBytes();
    size_t width = std::string::npos;
    for (size_t i = 0; i + 12 <= wide.size(); i++)
        if (LongAt(wide, i) == MapNumber && LongAt(wide, i + 4) == MapWidth && LongAt(wide, i + 8) == MapHeight) {
            width = i + 4;
            break;
        }
    ASSERT_NE(width, std::string::npos);
    PutLong(wide, width, 1000);
    refused(wide, "a map side of 1000");

    std::string owner = good;
    PutLong(owner, 4 + 4 * 4, 99); // the first building's owner
    refused(owner, "a player that does not exist");

    std::string open = good;
    open.erase(open.find("\r\n"), 2); // the first text loses its end
    refused(open, "a text without CR LF");

    EXPECT_EQ(LoadGame("nicht da"), 0);
    EXPECT_EQ(LoadFailed, 1);
    EXPECT_TRUE(GameStateBytes() == before);
    EXPECT_EQ(ApplyGameStateBytes(good), 1) << "the good file still loads";
}

TEST_F(SaveFile, AFailedWriteLeavesThePreviousSaveAndNamesStayInTheFolder)
{
    world.Add(2402, 1, 8, 10);
    ASSERT_EQ(SaveGame("Sicher"), 1);
    std::string saved;
    ASSERT_EQ(ReadWholeFile("SAVE\\Sicher.sav", saved), 1);

    // The write cannot even begin (its temporary file is taken): the old save stays whole.
    world.Add(2402, 1, 12, 10);
    ASSERT_EQ(MakeFolder("SAVE\\Sicher.sav.schreiben"), 1);
    EXPECT_EQ(SaveGame("Sicher"), 0);
    std::string after;
    ASSERT_EQ(ReadWholeFile("SAVE\\Sicher.sav", after), 1);
    EXPECT_TRUE(after == saved);

    for (const char* name : {"../ausserhalb", "a/b", "a\\b", "..", ""}) {
        EXPECT_FALSE(SaveNameProblem(name).empty()) << name;
        EXPECT_EQ(SaveGame(name), 0) << name;
    }
    EXPECT_FALSE(FileExists("ausserhalb.sav"));
    EXPECT_TRUE(SaveNameProblem("Test").empty());
    EXPECT_TRUE(SaveNameProblem("Mein Spiel 2").empty());
}

// A record the reader can parse but the rules cannot run is refused, whatever field holds it;
// each of these loaded before and crashed, hung or broke every later save.
TEST_F(SaveFile, RecordsTheRulesCannotPlayAreRefused)
{
    int tank = world.Add(2402, 1, 8, 10);
    world.Add(2302, 2, 20, 12);
    int factory = world.AddComplete(1220, 1, 4, 4);
    AddProjectile(int(Units[size_t(tank)].id), 3002, 16, 1, 300, 300, 0, 100, 11, 0, 40);
    std::string good = GameStateBytes();
    ASSERT_EQ(ApplyGameStateBytes(good), 1);
    const std::string before = GameStateBytes();

    // Changes the running game, writes it as the writer does, puts the game back, and expects
    // the file refused with the game untouched.
    auto refusedAfter = [&](const char* what, const std::function<void()>& change) {
        change();
        std::string bytes = GameStateBytes();
        ASSERT_EQ(ApplyGameStateBytes(before), 1);
        EXPECT_EQ(ApplyGameStateBytes(bytes), 0) << what;
        EXPECT_TRUE(GameStateBytes() == before) << what << ": the running game changed";
    };
    refusedAfter("a shot of kind -100000", [] { Projectiles[0].kind = -100000; });
    refusedAfter("a shot of kind 3013", [] { Projectiles[0].kind = 3013; });
    refusedAfter("a shot of a player who is not in the game", [] { Projectiles[0].owner = 5; });
    refusedAfter("a unit type no table has", [] { Units[0].typeId = 9999; });
    refusedAfter("a building picked as a unit type", [] { Units[0].typeId = 1300; });
    refusedAfter("a weapon that fires kind 3050", [] { Units[0].weapon = 50; });
    refusedAfter("an armour class past the damage table", [] { Units[0].unitClass = 7; });
    refusedAfter("a state whose hour overflows", [] { Units[0].state = -2147483647; });
    refusedAfter("a harvester's load past its round", [] { Units[0].load = -100000; });
    refusedAfter("a destination past what a number holds", [] { Units[0].destX = 3e9f; });
    refusedAfter("a path with a line end", [] { Units[0].path = "AB\r\nCD"; });
    refusedAfter("a path of half a point", [] { Units[0].path = "ABC"; });
    refusedAfter("a building type no table has", [&] { Buildings[size_t(factory)].typeId = 1999; });
    refusedAfter("a queue with a line end", [&] { Buildings[size_t(factory)].queue = "2402\r\n    "; });
    refusedAfter("a queue entry of no product", [&] { Buildings[size_t(factory)].queue = "9999      "; });
    refusedAfter("a current item of no product", [&] { Buildings[size_t(factory)].currentItem = 5000; });
    refusedAfter("a look past the upgrades", [&] { Buildings[size_t(factory)].variant = 40; });
    refusedAfter("a local player beyond the players", [] { LocalPlayer = 3; });
    refusedAfter("more samples than a game takes", [] {
        StatSampleIndex = MostStatSamples + 1;
        for (int p = 1; p <= 4; p++) StatTable[p].assign(size_t(MostStatSamples) + 2, StatSample{});
    });
    LocalPlayer = 1;
    StatSampleIndex = 0;
    ClearStatistics();

    // The writer holds money and samples to their bounds itself; a file from elsewhere may not.
    // With no decorations and storms the file ends with the two counts, the three settings and,
    // before them, player 4's last sample: units, buildings, money.
    std::string bytes = GameStateBytes();
    size_t lastSample = bytes.size() - 5 * 4 - 3 * 4;
    std::string units = bytes;
    PutLong(units, lastSample, 1u << 30);
    EXPECT_EQ(ApplyGameStateBytes(units), 0) << "a sample of more units than a game holds";
    std::string money = bytes;
    PutLong(money, lastSample + 8, 0x7FFFFFFFu);
    EXPECT_EQ(ApplyGameStateBytes(money), 0) << "a sample of more money than the game counts";
    EXPECT_EQ(ApplyGameStateBytes(good), 1) << "the good file still loads";
}

// The configuration and the game hold what the file carries to what the reader takes, so a
// save is never written that cannot be read.
TEST_F(SaveFile, WhatTheWriterWritesTheReaderTakes)
{
    world.Add(2402, 1, 8, 10);
    Difficulty = 7;
    StormSetting = -4;
    Players[1].money = 2000000000;
    Players[1].spiceMoney = 2100000000;
    Players[2].research[3] = 9;
    ASSERT_EQ(SaveGame("Grenzen"), 1);
    ASSERT_EQ(LoadGame("Grenzen"), 1) << "a save made with values past the bounds still loads";
    EXPECT_EQ(Difficulty, 3);
    EXPECT_EQ(StormSetting, 0);
    EXPECT_EQ(Players[1].money, MostMoney);
    EXPECT_EQ(Players[2].research[3], 1);
}

TEST_F(SaveFile, AFileLargerThanAnyGameIsNotReadAtAll)
{
    ASSERT_GT(MostSaveBytes(), size_t(1) << 20);
    ASSERT_LT(MostSaveBytes(), size_t(1) << 30) << "the bound is a few hundred megabytes";
    // Four gigabytes of nothing, which a whole read would try to hold in memory.
    std::string path = ResolvePath("SAVE\\Riesig.sav");
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(ftruncate(fileno(file), (off_t(1) << 32)), 0);
    std::fclose(file);
    world.Add(2402, 1, 8, 10);
    std::string before = GameStateBytes();
    EXPECT_EQ(LoadGame("Riesig"), 0);
    EXPECT_TRUE(GameStateBytes() == before);
    RemoveFile("SAVE\\Riesig.sav");
}
