// The statistics: when samples are taken, and how the diagram draws them.
#include "game/ui/statistics.h"
#include "support/sim_world.h"

class Statistics : public ::testing::Test {
protected:
    SimWorld world{FilledRows(30, 20, 'E'), 4};
    void TearDown() override
    {
        for (int& shown : StatPlayerShown) shown = 1;
        for (int& shown : StatSeriesShown) shown = 1;
    }
    // Frames until the next sample is taken, from the start of a game.
    static int FramesBetweenSamples()
    {
        StatSampleIndex = 0;
        StatSampleTimer = 0;
        SimulateFrame();
        int frames = 0;
        while (StatSampleIndex == 1 && frames < 2000) {
            SimulateFrame();
            frames++;
        }
        return frames;
    }
    static uint32_t At(const Image& image, int x, int y) { return image.pixels[size_t(y) * size_t(image.width) + size_t(x)] & 0xFFFFFF; }
};

TEST_F(Statistics, ASampleIsTakenEvery384FramesOverTheGameSpeed)
{
    GameSpeed = 1;
    EXPECT_EQ(FramesBetweenSamples(), 384);
    GameSpeed = 4;
    EXPECT_EQ(FramesBetweenSamples(), 96);
}

TEST_F(Statistics, ThePlotGrowsWithTheSamplesAndDrawsEachSeriesAtItsScale)
{
    StatSampleIndex = 350;
    for (int p = 1; p <= 4; p++) StatTable[p].assign(351, StatSample{});
    for (StatSample& sample : StatTable[1]) sample = StatSample{10, 0, 0};
    for (StatSample& sample : StatTable[2]) sample = StatSample{0, 0, 10000};
    Image plot = StatisticsPlot(768);
    int h = int(0.4 * 768);
    EXPECT_EQ(plot.width, 450);
    EXPECT_EQ(plot.height, h + 20);
    EXPECT_EQ(At(plot, 100, h - 40), 0x4040FFu) << "10 units of player 1, 40 pixels up";
    EXPECT_EQ(At(plot, 100, h - 100), 0x804040u) << "10000 Euro of player 2 in its darkest shade, 100 up";
    EXPECT_EQ(At(plot, 100, h - 41), 0x202020u);

    StatSampleIndex = 120;
    EXPECT_EQ(StatisticsPlot(768).width, 400) << "400 wide under 300 samples";

    StatSampleIndex = 350;
    StatPlayerShown[2] = -1;
    plot = StatisticsPlot(768);
    EXPECT_EQ(At(plot, 100, h - 100), 0x202020u) << "Sp 2 off: its lines are gone";
    EXPECT_EQ(At(plot, 100, h - 40), 0x4040FFu) << "the others stay";
    StatSeriesShown[0] = -1;
    EXPECT_EQ(At(StatisticsPlot(768), 100, h - 40), 0x202020u) << "the units series off";

    Image axes = StatisticsAxes(768);
    EXPECT_EQ(axes.width, 400);
    EXPECT_EQ(At(axes, 50, 10), 0xFFFFFFu);
    EXPECT_EQ(At(axes, 350, 10), 0xFFFFFFu);
    EXPECT_EQ(axes.pixels[size_t(10) * 400 + 200] >> 24, 0u) << "see-through between the axes";
}
