// tools/artgen/glyphs.cpp - being written.
#include "artgen.h"

void DrawGlyphs() {}
