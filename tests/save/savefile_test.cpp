// Saved games: the file's layout and rounding, a game in full swing written, read back and
// written again to the same bytes, and bad files refused with the running game untouched.
#include "game/save/savefile.h"
#include "game/ui/statistics.h"
#include "platform/files.h"
#include "support/sim_world.h"

#include <random>

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
