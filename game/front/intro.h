// game/front/intro.h - the intro story after loading: the name built up from sand grains while
// the story is written out line by line.
#pragma once

#include <string>
#include <vector>

constexpr int ParticleColumns = 257; // the value table is one larger than the 256 x 192 picture
constexpr int ParticleRows = 193;

// The value table of the particle picture, indexed x * ParticleRows + y: each pixel's blue minus
// one, values above 100 lowered by a random 0..100; -1 (no grain) where blue is 0 and outside
// the picture.
std::vector<int> ReadParticleTable(int picture);

// Runs the intro; returns when the story is written out or Escape is released. Nothing at all
// happens (no file is read, no frame drawn) when the settings jump straight to the screen modes.
void RunIntro();
// The story lines the last intro read (Latin-1), empty before one ran.
const std::vector<std::string>& IntroStoryLines();
