// game/shell/assets.h - every picture and sound under its number, loaded behind the loading
// screen; the hourly building shadows; the first-start generation of tiles and shadows.
#pragma once

extern int FreeMapCount;     // free-game maps found, numbered 1..FreeMapCount
extern int CampaignMapCount; // campaign maps found, numbered 101..100 + CampaignMapCount

// Loads every picture in its fixed order, moving the loading screen along.
void LoadAssets();
void LoadSounds();
// Swaps in the building shadows of an hour 5..18.
void LoadBuildingShadows(int hour);
// Tells the player, runs the tile and shadow generators and waits for each.
void RunFirstStartGeneration();
