// game/sim/opponent.cpp - the computer opponent. Its building, producing and attacking rules
// come with their own work; until then a computer player only holds its start.
#include "game/sim/opponent.h"

void OpponentStep(int player) { (void)player; }
