// game/sim/opponent.h - the computer opponent.
#pragma once

// One step of the computer opponent playing `player`; the game loop calls it by chance.
void OpponentStep(int player);
