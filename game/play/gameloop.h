// game/play/gameloop.h - the frame loop of a running game: the player's keys and mouse, the
// rules' share of the frame, the drawing and the end rules, forty times a second.
#pragma once

#include "game/sim/gamestate.h"

// One frame; 1 when the loop is to end (pause, or a result shown long enough).
int GameFrame();
// Frames at 40 per second until the game is paused or over.
void RunGame();
// Called after every frame of RunGame (the front end keeps its autosave clock with it); null: nothing.
extern void (*EveryPlayedFrame)();

// A pure rule the frame applies, open to tests.
float ChangedSpeed(float speed, int delta);     // Page Up/Down with its 1..16 clamp
