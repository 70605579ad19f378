// game/sim/gameloop.cpp - the game loop's state.
#include "game/sim/gameloop.h"

int LocalPlayer = 1;
int ChatActive = 0;
