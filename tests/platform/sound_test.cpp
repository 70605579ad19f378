// Numbered sounds: loaded ones play and stop, broken or missing ones stay silent.
#include "platform/display.h"
#include "platform/sound.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdint>

// A mono 16-bit WAV of `samples` samples of a square wave.
static std::string SquareWav(int samples)
{
    auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto le16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    std::string pcm;
    for (int i = 0; i < samples; i++) pcm += le16(uint16_t((i / 50) % 2 ? 8000 : -8000));
    return "RIFF" + le32(uint32_t(36 + pcm.size())) + "WAVE" + "fmt " + le32(16) + le16(1) + le16(1) +
           le32(22050) + le32(44100) + le16(2) + le16(16) + "data" + le32(uint32_t(pcm.size())) + pcm;
}

class Sounds : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(StartSoundLayer(), 1) << "dummy audio driver expected"; }
    TempFolder folder;
};

TEST_F(Sounds, LoadedSoundPlaysLoopedUntilStopped)
{
    ASSERT_EQ(WriteWholeFile("WAV\\ton.wav", SquareWav(22050)), 0) << "folder missing: write must fail";
    MakeFolder("WAV");
    ASSERT_EQ(WriteWholeFile("WAV\\ton.wav", SquareWav(22050)), 1);
    ASSERT_EQ(LoadSound(10, "wav\\TON.WAV"), 1);
    EXPECT_EQ(SoundExists(10), 1);
    PlaySound(10, 1);
    EXPECT_EQ(SoundPlaying(10), 1);
    SetSoundVolume(10, 150);
    SetSoundBalance(10, -300);
    PlaySound(10, 1); // starting again restarts, it does not stack
    EXPECT_EQ(SoundPlaying(10), 1);
    StopSound(10);
    EXPECT_EQ(SoundPlaying(10), 0);
    FreeSound(10);
    EXPECT_EQ(SoundExists(10), 0);
}

TEST_F(Sounds, MissingOrBrokenFilesAreSilent)
{
    EXPECT_EQ(LoadSound(11, "WAV\\gibtsnicht.wav"), 0);
    WriteWholeFile("kaputt.wav", std::string("RIFF\x10\0\0\0WAVEfmt garbage", 24));
    EXPECT_EQ(LoadSound(12, "kaputt.wav"), 0);
    WriteWholeFile("halb.wav", SquareWav(1000).substr(0, 30));
    EXPECT_EQ(LoadSound(13, "halb.wav"), 0);
    for (int number : {11, 12, 13, -1, MaxSounds}) {
        PlaySound(number, 0);
        EXPECT_EQ(SoundPlaying(number), 0);
        StopSound(number);
        SetSoundVolume(number, 50);
        EXPECT_EQ(SoundExists(number), 0);
    }
}
