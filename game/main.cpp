// game/main.cpp - the game program KORAX 3050.
#include "game/front/startup.h"

int main() { return RunGameProgram(); }
