// tools/artgen/voices.cpp - being written.
#include "artgen.h"

void MakeVoices() {}
