// The intro: skipped on request, ended by Escape or by the end of its story, and the grain
// values it reads from the particle picture.
#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/front/intro.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/image.h"
#include "platform/input.h"
#include "platform/latin1.h"
#include "platform/pictures.h"
#include "platform/sound.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

static void WriteBmp(const std::string& path, int w, int h, uint32_t colour)
{
    Image image;
    MakeImage(image, w, h, colour);
    ASSERT_EQ(WriteWholeFile(path, EncodeBmp24(image)), 1);
}

class Intro : public ::testing::Test {
protected:
    void SetUp() override
    {
        MakeFolder("BMP");
        MakeFolder("TXT");
        WriteBmp("BMP\\Unbenannt.bmp", 256, 192, PackColour(0, 0, 0));
        WriteBmp("BMP\\Sand.bmp", 8, 8, PackColour(200, 150, 60));
        std::string story;
        AppendLine(story, L1("Die Wüste wartet."));
        AppendLine(story, "Kommandant.");
        AppendLine(story, "");
        ASSERT_EQ(WriteWholeFile("TXT\\Geschichte.txt", story), 1);
        ASSERT_EQ(OpenDisplay(1024, 768, 32, "Test"), 1);
        SetScreenGeometry(1024, 768);
        SetFrameWait(0);
        ResetInput();
        LogPlayedSounds(1);
    }
    void TearDown() override
    {
        LogPlayedSounds(0);
        JumpToScreenModes = 0;
        ResetInput();
        SetFrameWait(1);
        StopLayers();
    }
    // Runs the intro; the frames it showed. The frame meter's window is held open meanwhile, so
    // that its clock (running when another test started it) halves no count.
    static int FramesOfIntro()
    {
        int clock = FpsClock;
        FpsClock = -1000000000;
        FrameCounter = 0;
        RunIntro();
        int frames = FrameCounter;
        FpsClock = clock;
        return frames;
    }
    static int MusicStarted()
    {
        const std::vector<int>& played = PlayedSounds();
        return std::find(played.begin(), played.end(), 5002) != played.end();
    }
    TempFolder folder;
};

TEST_F(Intro, JumpingToTheScreenModesSkipsItUnread)
{
    JumpToScreenModes = 1;
    RunIntro();
    const std::vector<std::string>& lines = IntroStoryLines();
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "Kommandant."), lines.end()) << "the story was read";
    EXPECT_EQ(MusicStarted(), 0);
}

TEST_F(Intro, EscapeEndsItAndTheStoryIsReadAsLatin1)
{
    JumpToScreenModes = 0;
    InjectKey(0x01, 1);
    InjectKey(0x01, 0);
    int frames = FramesOfIntro();
    EXPECT_EQ(frames, 0) << "released before the first frame, Escape ends it at once";
    ASSERT_EQ(IntroStoryLines().size(), 2u) << "the closing empty line is not part of the story";
    EXPECT_EQ(IntroStoryLines()[0], L1("Die Wüste wartet."));
    EXPECT_EQ(MusicStarted(), 1);
}

// One character a frame: a story longer by some characters takes that many frames longer, and
// the intro then ends without a key.
TEST_F(Intro, ItEndsOnItsOwnOnceTheStoryIsWritten)
{
    JumpToScreenModes = 0;
    int shortStory = FramesOfIntro();
    std::string story;
    AppendLine(story, L1("Die Wüste wartet."));
    AppendLine(story, "Kommandant.");
    AppendLine(story, "Zwanzig Zeichen mehr");
    ASSERT_EQ(WriteWholeFile("TXT\\Geschichte.txt", story), 1);
    int longStory = FramesOfIntro();
    EXPECT_GE(shortStory, 28) << "at least one frame for each of its 28 characters";
    EXPECT_EQ(longStory - shortStory, 20);
    EXPECT_EQ(IntroStoryLines().size(), 3u);
}

TEST(ParticleTable, BlueGivesTheGrainValue)
{
    Image picture;
    MakeImage(picture, 256, 192, PackColour(90, 90, 0));
    picture.pixels[0] = PackColour(0, 0, 1);
    picture.pixels[1] = PackColour(0, 0, 51);
    picture.pixels[2] = PackColour(0, 0, 102);
    picture.pixels[3] = PackColour(0, 0, 200);
    ASSERT_EQ(SetPictureImage(9990, picture), 1);
    std::set<int> lowered;
    for (unsigned int seed = 1; seed <= 40; seed++) {
        SeedRandom(seed);
        std::vector<int> values = ReadParticleTable(9990);
        ASSERT_EQ(values.size(), size_t(ParticleColumns * ParticleRows));
        EXPECT_EQ(values[0 * ParticleRows + 0], 0);
        EXPECT_EQ(values[1 * ParticleRows + 0], 50);
        int above = values[2 * ParticleRows + 0];
        EXPECT_TRUE(above >= 1 && above <= 101) << above;
        int high = values[3 * ParticleRows + 0];
        EXPECT_TRUE(high >= 99 && high <= 199) << high;
        lowered.insert(high);
        EXPECT_EQ(values[4 * ParticleRows + 0], -1) << "blue 0 is no grain";
        EXPECT_EQ(values[256 * ParticleRows + 5], -1) << "the extra column";
        EXPECT_EQ(values[5 * ParticleRows + 192], -1) << "the extra row";
    }
    EXPECT_GT(lowered.size(), 5u) << "high values are lowered by a random amount";
    FreePicture(9990);
}
