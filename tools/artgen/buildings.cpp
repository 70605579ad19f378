// tools/artgen/buildings.cpp - being written.
#include "artgen.h"

void DrawBuildings() {}
