// game/main.cpp - the game program KORAX 3050.
#include "game/shell/startup.h"

int main() { return RunGameProgram(); }
