// setup/logo.h - the installer's picture, linked in: a 128 x 256, 24-bit BMP of the game's title.
#pragma once

#include <cstdint>

extern const unsigned char SetupLogo[]; // the BMP file's bytes
extern const unsigned long SetupLogoSize;
