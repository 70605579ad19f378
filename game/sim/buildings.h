// game/sim/buildings.h - buildings and players: records, lists, creation, occupancy.
#pragma once

#include <string>
#include <vector>

constexpr int MaxPlayers = 6;

struct Building {
    int id = 0;              // object identifier; the mission radar station is 10000000
    int typeId = 0;          // building number; walls 1000..1015, towers 1052/1054/1056
    int width = 0;           // sprite size in pixels, set by AddBuilding; footprint width / 64 cells
    int height = 0;
    int owner = 0;           // player number
    float hitPoints = 0, maxHitPoints = 0;
    float buildProgress = 1; // complete when equal to buildTotal
    float buildTotal = 1;    // "Bauzeit"
    float x = 0, y = 0;      // top-left cell
    int selection = 0;       // 2 selected, 1 under the cursor, 0
    std::string queue;       // production queue: 10 characters per entry
    int currentItem = 0;     // 0 none, 701..999 research, > 1000 unit type
    float remaining = 0, total = 0; // game seconds left and the item's full time
    int energy = 0;          // "Energie"
    float rallyX = 0, rallyY = 0;   // where produced units go
    int stance = 0;          // stance of produced units
    int state = 0;           // < 0 arrives at hour -state; 0 active; > 0 dying; 4 remove
    int variant = 0;         // added to the type to pick the sprite
    int smokeTimer = 0;      // incinerator: smoke left after an unload, 40 per unload (not saved)
};

// Research done flags in their stored order: 712..716, 722..726, 731..734.
constexpr int ResearchFlagCount = 14;

struct Player {
    int kind = 0;            // 0 human, 1 computer opponent
    int startX = 0, startY = 0; // start cell
    int money = 0;           // Euro
    int energy = 0;          // MW balance
    int research[ResearchFlagCount] = {}; // 0/1 per research item
    int attackTarget = 0;    // chosen enemy player of a computer opponent
    std::string threatMemory; // the computer opponent's memory of threats
    int spiceMoney = 0;      // statistics: money gained from spice
    int unitsLost = 0, unitsKilled = 0, buildingsLost = 0, buildingsDestroyed = 0;
    int labCount = 0;        // research labs
};

extern std::vector<Building> Buildings; // all players' buildings, walked by index
extern Player Players[MaxPlayers + 1];  // 1..PlayerCount
extern int PlayerCount;                  // players in this game
extern int ObstacleGrid[257][257];       // [x][y]: -1 blocked, 0 free
extern int MinimapAvailable;             // 1 while the local player has a complete radar; set by the building pass

// The stance a factory gives its units: 3 for the work vehicle factory, 2 for the others, else 0.
int FactoryStance(int typeId);
// A complete building of `typeId` for `owner` with its table row, waiting for `hour` when > 0.
Building MakeBuilding(int id, int typeId, int owner, float x, float y, int hour);
// Appends a building; its sprite size comes from its picture. Index of the new building.
int AddBuilding(const Building& building);

// The buildings' share of a frame, building by building in list order: arrivals, the radar,
// dying, production and research, finished units and research, the regeneration plant's
// healing, units pushed out of the footprints, finished towers turning into tower units, and
// the removal of the destroyed.
void BuildingPass();

// Each player's energy from its complete buildings (a solar cell one more with the improved
// cells) less one for every guard tower; counted in every drawn frame.
void ComputeEnergy();

// Why a building of `typeId` cannot stand with its top-left at cell (x, y), or PlacementFits:
// it must lie inside the map's margins, on full earth tiles only, off every other building and
// every guard tower.
enum PlacementFault { PlacementFits = 0, PlacementOffMap, PlacementNotOnEarth, PlacementOccupied, PlacementNoMoney };
int PlacementFaultAt(int typeId, int x, int y);
// Puts up a building for a player that has just paid for it: build progress 1, its table row,
// the factory's stance and the look after the player's research; obstacles and walls follow.
// Index of the new building.
int AddPlacedBuilding(int owner, int typeId, int x, int y);
// The local player places a building at a cell: 1 when it was placed and paid.
int PlaceBuilding(int typeId, int x, int y);
// What the selected buildings and units of the local player fetch when sold (half their price,
// walls half the price of a plain wall), and the sale itself.
int SaleValue();
void SellSelected();

// Rebuilds the obstacle grid (map border, cliff tiles, building footprints, tower cells), its
// regions and every player's lab count. Planned paths may run through what changed, so the
// path cache goes.
void RecomputeObstacles();
// Every player's lab count from the buildings it owns now.
void CountLabs();
// Gives every wall the piece that joins it to its neighbours: +1 right, +2 below, +4 left, +8 above.
void JoinWalls();
// Position in Buildings of the building with this id, or -1.
int FindBuilding(int id);
void IndexBuildings(); // after the list was swept

// Kinds of building by type number.
inline int IsWall(int typeId) { return typeId >= 1000 && typeId < 1050; }
inline int IsTowerType(int typeId) { return typeId >= 1051 && typeId <= 1059; }
inline int IsComplete(const Building& building) { return building.buildProgress >= building.buildTotal; }
struct Unit;
// Moves a unit whose centre comes within a few pixels of the building's footprint out across the
// nearest edge; 1 when it moved, with the direction in (dx, dy).
int MoveOutOfFootprint(const Building& building, Unit& unit, float& dx, float& dy);
// The same, counted as a push: a unit pushed out more than 100 times loses its path and is
// moved a little further. 1 when it moved.
int PushOutOfFootprint(const Building& building, Unit& unit);
// Moves a unit out of whatever footprint its centre stands in (after a push or its own step);
// not counted as a push.
void KeepOutOfFootprints(Unit& unit);
// Footprint in cells: the picture's size / 64, at least one cell.
int FootprintWidth(const Building& building);
int FootprintHeight(const Building& building);
