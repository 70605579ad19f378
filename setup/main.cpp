// setup/main.cpp - setup: the installer of KORAX 3050, with the game's package appended to it.
#include "setup/wizard.h"

int main() { return RunSetup(); }
