// game/sim/world.h - the map: terrain grid, ground tiles, minimap, fog, decorations,
// sandstorms, spice growth, and the start of a game on it.
#pragma once

#include "platform/image.h"

#include <cstdint>
#include <vector>

constexpr int MaxMapSide = 256; // grids hold cells 0..256, the map uses 0..MapWidth

// Terrain colours of the map pictures (0xRRGGBB), stored as they are in TerrainGrid.
enum TerrainColour : uint32_t {
    SandColour = 0xFF8000,
    DesertColour = 0xFFFF00,   // Wüste
    EarthColour = 0x804000,    // Erde
    SpiceColour = 0xFF0000,
    CliffColour = 0x008080,    // Klippe, "Stein" in tile names
    SmyronColour = 0x00FF00,
    WaterColour = 0x0000FF,
    StartColour = 0xFF00FF,    // a player's start, stored as Erde
};

struct GroundTile {
    int id = 0;     // one per grid position
    int sprite = 0; // 4000 + 100 pair + corner mask, or a full tile
    int x = 0, y = 0; // top-left of the four cells it covers
};

struct Decoration {
    int sprite = 0; // 4901 tree, 4913/4914 cacti, 4921 skeleton
    int x = 0, y = 0;
    int angle = 0;
};

struct Sandstorm {
    float x = 0, y = 0;   // world pixels
    float direction = 0;  // degrees
    int spare = 0;
};

extern int MapWidth, MapHeight;              // cells
extern uint32_t TerrainGrid[257][257];       // [x][y] colour 0xRRGGBB
extern unsigned char FogGrid[257][257];      // [x][y] 1 not yet seen, 0 seen
extern std::vector<GroundTile> GroundTiles;
extern std::vector<Decoration> Decorations;
extern std::vector<Sandstorm> Sandstorms;
extern Image MinimapImage;                   // one pixel per cell, grey by terrain
extern Image FogImage;                       // one pixel per cell, dark until seen
extern int SpiceTileCount;                   // spice cells counted by the last world pass
extern int SpiceBloomTimer;                  // 0..10; 10 while spice is scarce
extern int SpiceBloomX, SpiceBloomY;         // cell around which spice grows back

// Reads map picture `mapNumber` into the terrain grid with its start points; empties the
// object lists, scatters decorations and builds the ground. 0 when the map does not exist.
int LoadMapTerrain(int mapNumber);
// The players map picture `mapNumber` has start marks for (at most six), without loading it.
int StartMarksOn(int mapNumber);
// Rebuilds tiles, minimap, fog image and sandstorms from the terrain grid.
void BuildGroundTiles();
// 1 when every ground tile at a grid position is a full earth tile (buildings stand only there).
int FullEarthAt(int x, int y);
// A spice cell harvested down to sand: the terrain, the spice corner of the four tiles that
// cover the cell, and its minimap pixel.
void SpiceCellHarvested(int x, int y);
// The world's share of a frame: spice growth and cliffs pushing units off.
void WorldPass();
// The fog image from FogGrid; ResetFog makes every cell unseen again; MarkCellSeen marks one
// cell on both (cells outside the grids are ignored).
void BuildFogImage();
void ResetFog();
void MarkCellSeen(int x, int y);
// Marks seen every cell within distance < reach of (x, y), looking radius cells each way.
void RevealCells(int x, int y, int radius, int reach);
// Ground tiles are numbered by grid position, x before y, from 1: the id of the position
// (x, y), and back; 0 when the position lies outside the tiled part of the map.
int TileIdAt(int x, int y);
int TileCell(int id, int& x, int& y);
// The building shadows for the clock's hour (9:00 at night or without the day-night cycle).
void LoadShadowsForClock();
// Players, money, start objects and camera for a new game on the loaded map. A free game
// makes the first `humanPlayers` players from the local one on human, the rest computers;
// `humanSeats` (bits 1 << player), when given, names the human players instead: a network
// game's seats need not follow one another.
void StartNewGame(int humanPlayers, unsigned humanSeats = 0);

// Minimap grey level of a terrain colour; -1 for water and unknown colours.
int MinimapGrey(uint32_t colour);
