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
    Image plot = StatisticsPlot(768, 0);
    int h = int(0.4 * 768);
    EXPECT_EQ(StatisticsPlotWidth(), 450);
    EXPECT_EQ(plot.width, 400) << "the window that is shown";
    EXPECT_EQ(plot.height, h + 20);
    EXPECT_EQ(At(plot, 100, h - 40), 0x4040FFu) << "10 units of player 1, 40 pixels up";
    EXPECT_EQ(At(plot, 100, h - 100), 0x804040u) << "10000 Euro of player 2 in its darkest shade, 100 up";
    EXPECT_EQ(At(plot, 100, h - 41), 0x202020u);

    StatSampleIndex = 120;
    EXPECT_EQ(StatisticsPlotWidth(), 400) << "400 wide under 300 samples";

    StatSampleIndex = 350;
    StatPlayerShown[2] = -1;
    plot = StatisticsPlot(768, 0);
    EXPECT_EQ(At(plot, 100, h - 100), 0x202020u) << "Sp 2 off: its lines are gone";
    EXPECT_EQ(At(plot, 100, h - 40), 0x4040FFu) << "the others stay";
    StatSeriesShown[0] = -1;
    EXPECT_EQ(At(StatisticsPlot(768, 0), 100, h - 40), 0x202020u) << "the units series off";

    Image axes = StatisticsAxes(768);
    EXPECT_EQ(axes.width, 400);
    EXPECT_EQ(At(axes, 50, 10), 0xFFFFFFu);
    EXPECT_EQ(At(axes, 350, 10), 0xFFFFFFu);
    EXPECT_EQ(axes.pixels[size_t(10) * 400 + 200] >> 24, 0u) << "see-through between the axes";
}

TEST_F(Statistics, AWindowOfALongGameShowsItsOwnSamplesAndValuesOffThePlotCostNothing)
{
    // Samples 0..2999; player 1 has 10 units from sample 2000 on.
    StatSampleIndex = 3000;
    for (int p = 1; p <= 4; p++) StatTable[p].assign(3001, StatSample{});
    for (size_t i = 2000; i <= 3000; i++) StatTable[1][i].units = 10;
    int h = int(0.4 * 768);
    EXPECT_EQ(StatisticsPlotWidth(), 3100);
    // Sample i's line ends at x = i + 50 of the whole plot; the window from 1900 shows x 1900..2299.
    Image window = StatisticsPlot(768, 1900);
    EXPECT_EQ(window.width, 400);
    EXPECT_EQ(At(window, 2100 - 1900, h - 40), 0x4040FFu) << "sample 2050 at 40 pixels up";
    EXPECT_EQ(At(window, 2000 - 1900, h - 40), 0x202020u) << "sample 1950 is still on the base";

    // Values no game reaches: lines that would walk billions of pixels are cut to the window.
    StatTable[2][2500].money = 2000000000;
    StatTable[2][2501].money = -2000000000;
    StatTable[3][2500].units = 1 << 29;
    Image far = StatisticsPlot(768, 2300);
    EXPECT_EQ(At(far, 2550 - 2300, 0), 0x804040u) << "the money line runs up off the window at sample 2500";
    EXPECT_EQ(At(far, 2551 - 2300, h + 19), 0x804040u) << "and down off it at sample 2501";
}
