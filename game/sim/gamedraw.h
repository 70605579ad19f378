// game/sim/gamedraw.h - drawing the running game: the playfield in layers and the interface.
#pragma once

// Flips the previous frame, then draws the playfield layers into an open 3-D pass and counts
// the local player's objects for the end rules.
void DrawPlayfield();
// The end-of-game text (1 won, -1 lost), wobbling with AnimPhase.
void DrawResultText(int result);
// Head-up line, ticker and hints, sidebar placeholders, chat line, overlays and the pointer.
void DrawInterface();
// Night darkness over the playfield (0 at noon .. 181 at midnight) for a time of day.
int NightAlpha(int timeOfDay);
