// tools/artgen/sounds.cpp - being written.
#include "artgen.h"

void MakeSounds() {}
