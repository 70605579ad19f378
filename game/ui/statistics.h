// game/ui/statistics.h - the statistics diagram: which players and series it shows, its plot
// and axes, drawn from the samples the rules take.
#pragma once

#include "game/sim/statsamples.h"
#include "platform/image.h"

#include <vector>

// What the diagrams show: players 1..4 and the series units, buildings ("Objekte") and money;
// +1 shown, -1 hidden. They live for the program run.
extern int StatPlayerShown[5];
extern int StatSeriesShown[3];

// The plot of the samples: H = 0.4 x the screen height, the picture H + 20 high and 400 wide,
// or the sample count + 100 wide from 300 samples on; each shown series a line per player, one
// pixel a sample from x = 50, its base at y = H (4 pixels a unit or building, 1 per 100 Euro).
int StatisticsPlotWidth();
// The 400-pixel window of that plot that starts at `offset`: only what is seen is drawn, so a
// long game's plot costs no more than a short one's.
Image StatisticsPlot(int screenHeight, int offset);
// The axes drawn over the plot: white lines at x = 50 and 350 with a tick every 50 pixels up
// from the base; everything else see-through.
Image StatisticsAxes(int screenHeight);
