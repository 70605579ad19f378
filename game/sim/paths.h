// game/sim/paths.h - the way a unit finds around obstacles: a wavefront over the obstacle grid,
// the planned path as a string of cells, and a cache of paths by start and destination.
//
// A path is two characters per point, each character the cell coordinate + 35, so a point is
// (x + 35, y + 35) and a coordinate fits a byte up to 220: maps are read up to 221 cells a side.
#pragma once

#include <string>
#include <vector>

constexpr int PathRounds = 400;       // wavefront rounds before a search gives up
constexpr int MaxPathCoordinate = 220; // the largest cell coordinate a path character can hold

struct PathCacheEntry {
    int startX = 0, startY = 0; // cell the path was searched from
    int destX = 0, destY = 0;   // destination cell
    std::string path;
};

extern std::vector<PathCacheEntry> PathCache; // newest last; emptied when the obstacles change
extern int PathSearchesThisFrame;             // searches run this frame; one is allowed

// Searches from cell (startX, startY) to (destX, destY) over ObstacleGrid. On success the
// thinned path with the destination appended goes into `path` and the result is 1; 0 when the
// wavefront did not reach the destination in 400 rounds. The destination may be blocked.
int SearchPath(int startX, int startY, int destX, int destY, std::string& path);
// A cached path from within 3 cells of the start (both axes) to exactly this destination.
const PathCacheEntry* FindCachedPath(int startX, int startY, int destX, int destY);
void CachePath(int startX, int startY, int destX, int destY, const std::string& path);
void ClearPathCache();
// What the pause key does to the search's work grids: all cleared, the map's inner cells free.
void ClearPathWork();

// Regions: free cells joined by orthogonal steps over free cells, the pieces of the map a
// wavefront can spread over. LabelRegions marks them for labelling anew (whenever the
// obstacles change); the questions below label them first when they must.
void LabelRegions();
// Whether a search from cell (fromX, fromY) would reach cell (toX, toY): the start is always
// entered, and a blocked destination is reached through a free cell beside it, as the search
// reaches a building. Ignores the search's 400 rounds.
int CanReach(int fromX, int fromY, int toX, int toY);
// The region of a free cell (0 for a blocked one or one off the grid), and how many cells it has.
int RegionAt(int x, int y);
int RegionSize(int region);
// The regions a search from a cell spreads into: its own, or on a blocked cell those of its
// free orthogonal neighbours. Filled into `regions` (at most four), their count returned.
int StartRegions(int x, int y, int regions[4]);
// A cell as one number, x * 257 + y.
inline int CellKey(int x, int y) { return x * 257 + y; }

// Path characters and points.
inline char PathChar(int coordinate) { return char(coordinate + 35); }
inline int PathCoordinate(char c) { return int((unsigned char)c) - 35; }
inline int PathPoints(const std::string& path) { return int(path.size() / 2); }
