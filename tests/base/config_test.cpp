// Konfigurationen.ini: the exact layout, the reading rules and the scrambled campaign progress.
#include "game/base/config.h"
#include "platform/files.h"
#include "platform/latin1.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

// The expected file for the defaults, kept in UTF-8 with LF and turned into the game's
// Latin-1 with CR LF here.
static std::string GoldenDefaults()
{
    std::ifstream in(std::string(KORAX_TEST_DATA) + "/Konfigurationen_Standard.ini", std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    std::string latin1 = L1(content.str()), out;
    for (char c : latin1) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

static void WriteConfigFile(const std::string& utf8Lines)
{
    std::string out;
    for (const std::string& line : SplitLines(L1(utf8Lines))) AppendLine(out, line);
    ASSERT_EQ(WriteWholeFile("Konfigurationen.ini", out), 1);
}

TEST(Configuration, DefaultsAreWrittenInTheExactLayout)
{
    TempFolder folder;
    SetConfigurationDefaults();
    ASSERT_EQ(WriteConfiguration(), 1);
    std::string written;
    ASSERT_EQ(ReadWholeFile("Konfigurationen.ini", written), 1);
    std::string golden = GoldenDefaults();
    ASSERT_FALSE(golden.empty());
    std::vector<std::string> writtenLines = SplitLines(written), goldenLines = SplitLines(golden);
    for (size_t i = 0; i < std::min(writtenLines.size(), goldenLines.size()); i++)
        ASSERT_EQ(ToUtf8(writtenLines[i]), ToUtf8(goldenLines[i])) << "line " << i + 1;
    EXPECT_EQ(written, golden) << "byte for byte, CR LF included";
    EXPECT_EQ(FileExists("_Konfigurationen.ini"), 0) << "the scratch file is gone";
    EXPECT_EQ(written.find("= = ="), std::string::npos) << "no marker line reaches the file";
}

TEST(Configuration, MissingFileOrKeysGiveDefaults)
{
    TempFolder folder;
    MouseSpeed = 99;
    SetConfigurationDefaults();
    ReadConfiguration();
    EXPECT_EQ(MouseSpeed, 15);
    EXPECT_EQ(PlayerName, "Unbekannt");
    EXPECT_EQ(CurrentMission, 1);
    EXPECT_EQ(FrameSkipSetting, 0);
    EXPECT_EQ(MusicInGame, -1);

    WriteConfigFile("[ Steuerung ]\nScroll = 7\n");
    SetConfigurationDefaults();
    ReadConfiguration();
    EXPECT_EQ(ScrollSpeed, 7);
    EXPECT_EQ(MouseSpeed, 15) << "a key missing from its group keeps its default";
    EXPECT_EQ(ResolutionIndex, 3) << "a missing group gives defaults";
}

TEST(Configuration, KeysAreFoundInAnyCaseButOnlyInTheirGroup)
{
    TempFolder folder;
    WriteConfigFile("[ spiel ]\n"
                    "maus = 33\n"              // belongs to " Steuerung ", not found here
                    "  SPIELERNAME$   =   Zoë Wüst  \n"
                    "; KF = 2\n"
                    "kf=7\n"
                    "KF = 3\n"                 // the first matching line wins
                    "[ Steuerung ]\n"
                    "MAUS = 21\n"
                    "[ Grafik]\n"              // spaces inside the brackets must match
                    "Auf = 5\n");
    SetConfigurationDefaults();
    ReadConfiguration();
    EXPECT_EQ(MouseSpeed, 21);
    EXPECT_EQ(PlayerName, L1("Zoë Wüst  ")) << "the value runs to the end of the line";
    EXPECT_FLOAT_EQ(GameSpeedSetting, 7.0f);
    EXPECT_EQ(ResolutionIndex, 3);
}

TEST(Configuration, ValuesAreKeptAsReadAndWrittenBack)
{
    TempFolder folder;
    WriteConfigFile("[ Grafik ]\nAuf = 9\n[ Allgemein ]\nHerz = 2\n[ Spiel ]\nKF = abc\n");
    SetConfigurationDefaults();
    ReadConfiguration();
    EXPECT_EQ(ResolutionIndex, 9) << "no range limit on reading";
    EXPECT_EQ(FrameSkipSetting, 1) << "every second frame: held as 2 - 1";
    EXPECT_FLOAT_EQ(GameSpeedSetting, 0.0f) << "not a number reads as 0";
    GameSpeedSetting = 5.6f;
    ASSERT_EQ(WriteConfiguration(), 1);
    SetConfigurationDefaults();
    ReadConfiguration();
    EXPECT_EQ(ResolutionIndex, 9);
    EXPECT_EQ(FrameSkipSetting, 1);
    EXPECT_FLOAT_EQ(GameSpeedSetting, 6.0f) << "written rounded";
    std::string written;
    ReadWholeFile("Konfigurationen.ini", written);
    EXPECT_NE(written.find("Herz = 2\r\n"), std::string::npos);
}

TEST(Configuration, SettingsASaveCarriesAreHeldToTheirRange)
{
    TempFolder folder;
    WriteConfigFile("[ Spiel ]\nSchwierigkeitsgrad = 7\nF9_Sturm = -2\n");
    SetConfigurationDefaults();
    ReadConfiguration();
    EXPECT_EQ(Difficulty, 3) << "a save reads difficulties 1..3 only";
    EXPECT_EQ(StormSetting, 0) << "and storm settings 0..3";
    WriteConfigFile("[ Spiel ]\nSchwierigkeitsgrad = 1\nF9_Sturm = 3\n");
    ReadConfiguration();
    EXPECT_EQ(Difficulty, 1);
    EXPECT_EQ(StormSetting, 3);
}

TEST(Configuration, CampaignProgressIsScrambled)
{
    // Mission 3: 3 squared is "9", character code 057 -> letters 71+0, 72+5, 73+7.
    EXPECT_EQ(ScrambleMission(3), "GMP");
    EXPECT_EQ(UnscrambleMission("GMP"), 3);
    EXPECT_EQ(ScrambleMission(4), "GLRGMM") << "16: two characters, six letters";
    for (int mission = 1; mission <= 12; mission++) EXPECT_EQ(UnscrambleMission(ScrambleMission(mission)), mission);
    EXPECT_EQ(UnscrambleMission(""), 0);
    EXPECT_EQ(UnscrambleMission("GM"), 0) << "an incomplete group is not read";
    EXPECT_EQ(UnscrambleMission("!!!???"), 0) << "garbage reads as no progress, never as a crash";

    TempFolder folder;
    SetConfigurationDefaults();
    CurrentMission = 3;
    ASSERT_EQ(WriteConfiguration(), 1);
    std::string written;
    ReadWholeFile("Konfigurationen.ini", written);
    EXPECT_NE(written.find("akt_Miss = GMP\r\n"), std::string::npos);
    CurrentMission = 0;
    ReadConfiguration();
    EXPECT_EQ(CurrentMission, 3);
}

TEST(Configuration, HandEditedCampaignProgressIsNeverLost)
{
    TempFolder folder;
    SetConfigurationDefaults();
    WriteConfigFile("[ Spiel ]\nakt_Miss =   GMP   \n");
    ReadConfiguration();
    EXPECT_EQ(CurrentMission, 3) << "spaces around the letters are trimmed like the numbers";

    for (const char* garbage : {"akt_Miss = xyz", "akt_Miss = GMPQ", "akt_Miss = ", "akt_Miss = GLL"}) {
        CurrentMission = 3;
        WriteConfigFile(std::string("[ Spiel ]\n") + garbage + "\n");
        ReadConfiguration();
        EXPECT_EQ(CurrentMission, 1) << garbage << ": unreadable progress starts at the first mission, never at 0";
    }
}

TEST(Configuration, UnwritableFileChangesNothing)
{
    TempFolder folder;
    SetProgramFolder(folder.path + "gibt/es/nicht");
    EXPECT_EQ(WriteConfiguration(), 0);
    SetProgramFolder(folder.path);
    EXPECT_EQ(FileExists("Konfigurationen.ini"), 0);
}
