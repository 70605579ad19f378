// game/sim/gameloop.cpp - the game loop's state.
#include "game/sim/gameloop.h"

int LocalPlayer = 1;
int ChatActive = 0;
int NextObjectId = 100000;
int ElapsedSeconds = 0;
int TimeOfDay = 12 * 3600;
float CamX = 0, CamY = 0;
int CursorX = 0, CursorY = 0;
int MissionMode = 0;
int MapNumber = 1;
int StatSampleIndex = 0;
