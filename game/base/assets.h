// game/base/assets.h - every picture and sound under its number, loaded behind the loading
// screen; the hourly building shadows; the first-start generation of tiles and shadows.
#pragma once

#include <string>

extern int FreeMapCount;     // free-game maps found, numbered 1..FreeMapCount
extern int CampaignMapCount; // campaign maps found, numbered 101..100 + CampaignMapCount

// The free map a setting asks for, kept to the maps there are (1..FreeMapCount); 0 when there
// are none. Any other picture number would be read as a map.
int FreeMapFor(int setting);

// Loads every picture in its fixed order, moving the loading screen along.
void LoadAssets();
void LoadSounds();
// Only the pictures whose sizes and shapes the rules read (buildings, walls, units), without a
// display: for games that nobody watches.
void LoadRulePictures();
// Swaps in the building shadows of an hour 5..18.
void LoadBuildingShadows(int hour);
// The DATEN folder whose BMP\B and BMP\O hold the generators, as an OS path ending in '/';
// empty for the game's own folder.
std::string GeneratorFolder();
// Tells the player, runs the tile and shadow generators and waits for each.
void RunFirstStartGeneration();
