// tools/artgen/effects.cpp - being written.
#include "artgen.h"

void DrawEffects() {}
