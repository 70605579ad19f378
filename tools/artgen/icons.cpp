// tools/artgen/icons.cpp - being written.
#include "artgen.h"

void DrawIcons() {}
