// game/sim/gameloop.h - the state of the running game that the rest of the program reads.
#pragma once

extern int LocalPlayer; // number of the player at this computer, 1 in a single-player game
extern int ChatActive;  // 1 while the player types a chat line
