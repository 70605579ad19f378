// game/sim/paths.cpp - the wavefront search and the path cache.
//
// The search gives exactly the path of the plain rule: every round, each cell of the wavefront
// (in grid order, x before y) marks its free orthogonal neighbours; then each marks those
// diagonal ones that an orthogonal cell marked in this round opens; a cell keeps the first
// path that reached it. Instead of a string per cell it keeps one parent link per cell and only walks the
// wavefront, not the whole grid, so a search over a 257 x 257 maze stays well under a
// millisecond.
#include "game/sim/paths.h"

#include "game/sim/buildings.h"
#include "game/sim/world.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

std::vector<PathCacheEntry> PathCache;
int PathSearchesThisFrame = 0;

constexpr int GridSide = 257;
constexpr size_t MaxCachedPaths = 256; // the oldest entry goes when the cache is full

// The work grid: the obstacle grid's -1 and 0, then 1 done, 2 wavefront, 3 reached in this
// round. It has a blocked frame of one cell around the 257 x 257 cells, so that a neighbour
// never lies outside it; cell (x, y) sits at (x + 1) * Stride + y + 1, which keeps grid order.
constexpr int Stride = GridSide + 2;
static signed char Marks[Stride * Stride];
static int Parent[Stride * Stride];       // the cell the path to a cell came from
static std::vector<int> Wavefront;        // cells marked 2, in grid order
static std::vector<int> Reached;          // cells marked 3 in this round

static int CellIndex(int x, int y) { return (x + 1) * Stride + y + 1; }
static int CellX(int cell) { return cell / Stride - 1; }
static int CellY(int cell) { return cell % Stride - 1; }

// Up, right, down, left; then the diagonals, each with the two orthogonal cells between.
static const int Orthogonal[4] = {-1, Stride, 1, -Stride};
static const int Diagonal[4][3] = {
    {Stride - 1, Stride, -1}, {Stride + 1, Stride, 1}, {-Stride + 1, -Stride, 1}, {-Stride - 1, -Stride, -1}};

struct SearchState {
    int dest;       // cell index of the destination
    int anyBlocked; // an orthogonal neighbour of the wavefront was blocked at least once
};

// A cell the wavefront may enter: free, or the destination even when it is blocked.
static int Enterable(const SearchState& search, int cell)
{
    return Marks[cell] == 0 || (cell == search.dest && Marks[cell] == -1);
}

static void Mark(int cell, int from)
{
    Marks[cell] = 3;
    Parent[cell] = from;
    Reached.push_back(cell);
}

static void ExpandOrthogonally(SearchState& search, int cell)
{
    Marks[cell] = 1;
    for (int step : Orthogonal) {
        int next = cell + step;
        if (Enterable(search, next)) Mark(next, cell);
        else if (Marks[next] == -1) search.anyBlocked = 1;
    }
}

// After every cell of the wavefront has marked its orthogonal neighbours: a diagonal step is
// open where one of the two cells beside it was marked in this round.
static void ExpandDiagonally(const SearchState& search, int cell)
{
    for (const auto& step : Diagonal) {
        int next = cell + step[0];
        if (Enterable(search, next) && (Marks[cell + step[1]] == 3 || Marks[cell + step[2]] == 3)) Mark(next, cell);
    }
}

// The cells from the start to the destination, in order.
static std::vector<int> TracePath(int start, int dest)
{
    std::vector<int> cells;
    for (int cell = dest; cell != start; cell = Parent[cell]) cells.push_back(cell);
    cells.push_back(start);
    std::reverse(cells.begin(), cells.end());
    return cells;
}

// Drops the middle of every three consecutive, evenly spaced points of the path; the start is
// no point of it, so the first step always stays. With a straight way (nothing ever blocked)
// only the destination stays. The destination is appended once more. `cells` begins with the
// start.
static std::string ThinnedPath(const std::vector<int>& cells, int straight, int destX, int destY)
{
    std::string path;
    size_t n = cells.size();
    for (size_t i = 1; i < n; i++) {
        int x = CellX(cells[i]), y = CellY(cells[i]);
        int keep = i == n - 1 || (!straight && i == 1);
        if (!straight && !keep) {
            int px = CellX(cells[i - 1]), py = CellY(cells[i - 1]);
            int qx = CellX(cells[i + 1]), qy = CellY(cells[i + 1]);
            keep = qx - 2 * x + px != 0 || qy - 2 * y + py != 0;
        }
        if (keep) {
            path += PathChar(x);
            path += PathChar(y);
        }
    }
    path += PathChar(destX);
    path += PathChar(destY);
    return path;
}

static void CopyObstacles()
{
    std::memset(Marks, -1, sizeof Marks);
    for (int x = 0; x < GridSide; x++) {
        signed char* column = &Marks[CellIndex(x, 0)];
        for (int y = 0; y < GridSide; y++) column[y] = static_cast<signed char>(ObstacleGrid[x][y] < 0 ? -1 : 0);
    }
}

int SearchPath(int startX, int startY, int destX, int destY, std::string& path)
{
    path.clear();
    if (std::min({startX, startY, destX, destY}) < 0 || std::max({startX, startY, destX, destY}) > MaxPathCoordinate) return 0;
    // Standing on the destination already: the way is the destination itself.
    if (startX == destX && startY == destY) {
        path = std::string{PathChar(destX), PathChar(destY)};
        return 1;
    }
    CopyObstacles();
    SearchState search{CellIndex(destX, destY), 0};
    int start = CellIndex(startX, startY);
    Wavefront.assign(1, start);
    Marks[start] = 2;
    int found = 0;
    for (int round = 0; round < PathRounds && !found && !Wavefront.empty(); round++) {
        Reached.clear();
        for (int cell : Wavefront) ExpandOrthogonally(search, cell);
        for (int cell : Wavefront) ExpandDiagonally(search, cell);
        found = Marks[search.dest] == 3;
        // The next round walks the new cells in grid order, as a scan of the grid would.
        std::sort(Reached.begin(), Reached.end());
        for (int cell : Reached) Marks[cell] = 2;
        Wavefront.swap(Reached);
    }
    if (!found) return 0;
    path = ThinnedPath(TracePath(start, search.dest), !search.anyBlocked, destX, destY);
    return 1;
}

const PathCacheEntry* FindCachedPath(int startX, int startY, int destX, int destY)
{
    for (const PathCacheEntry& entry : PathCache)
        if (entry.destX == destX && entry.destY == destY && std::abs(entry.startX - startX) <= 3 &&
            std::abs(entry.startY - startY) <= 3)
            return &entry;
    return nullptr;
}

void CachePath(int startX, int startY, int destX, int destY, const std::string& path)
{
    if (PathCache.size() >= MaxCachedPaths) PathCache.erase(PathCache.begin());
    PathCache.push_back(PathCacheEntry{startX, startY, destX, destY, path});
}

void ClearPathCache() { PathCache.clear(); }

void ClearPathWork()
{
    std::memset(Marks, -1, sizeof Marks);
    for (int x = 1; x <= MapWidth - 2; x++)
        for (int y = 1; y <= MapHeight - 2; y++) Marks[CellIndex(x, y)] = 0;
    Wavefront.clear();
    Reached.clear();
}

// ---- regions ----

// Region numbers on the framed layout of the search's work grid (cell (x, y) at CellIndex),
// whose frame of blocked cells spares the walk every bounds test: 0 blocked, else the number.
static int RegionOfCell[Stride * Stride];
static unsigned char OpenCell[Stride * Stride]; // 1 where the obstacle grid is free
static std::vector<int> RegionSizes;          // cells per region, by number
static std::vector<int> Flood;
static int RegionsStale = 1;                  // the obstacles changed since the last labelling

// Gives every open cell joined to `start` the region number `region`; the number of cells.
static int FillRegion(int start, int region)
{
    int cells = 0;
    Flood.assign(1, start);
    RegionOfCell[start] = region;
    while (!Flood.empty()) {
        int cell = Flood.back();
        Flood.pop_back();
        cells++;
        for (int step : Orthogonal) {
            int next = cell + step;
            if (RegionOfCell[next] != 0 || !OpenCell[next]) continue;
            RegionOfCell[next] = region;
            Flood.push_back(next);
        }
    }
    return cells;
}

void LabelRegions() { RegionsStale = 1; }

// Labelled when first asked after a change: a frame in which buildings fall one after another
// labels once. Only the map's cells can be free: the labelling looks no further.
static void LabelRegionsNow()
{
    RegionsStale = 0;
    std::memset(RegionOfCell, 0, sizeof RegionOfCell);
    std::memset(OpenCell, 0, sizeof OpenCell);
    RegionSizes.assign(1, 0);
    int width = std::clamp(MapWidth, 0, GridSide), height = std::clamp(MapHeight, 0, GridSide);
    for (int x = 0; x < width; x++)
        for (int y = 0; y < height; y++) OpenCell[CellIndex(x, y)] = ObstacleGrid[x][y] >= 0;
    for (int x = 0; x < width; x++)
        for (int y = 0; y < height; y++) {
            int cell = CellIndex(x, y);
            if (OpenCell[cell] && RegionOfCell[cell] == 0) RegionSizes.push_back(FillRegion(cell, int(RegionSizes.size())));
        }
}

static int FreeRegion(int x, int y)
{
    if (RegionsStale) LabelRegionsNow();
    if (x < 0 || y < 0 || x >= GridSide || y >= GridSide) return 0;
    return RegionOfCell[CellIndex(x, y)];
}

int RegionAt(int x, int y) { return FreeRegion(x, y); }
int RegionSize(int region)
{
    if (RegionsStale) LabelRegionsNow();
    return region > 0 && region < int(RegionSizes.size()) ? RegionSizes[size_t(region)] : 0;
}

int StartRegions(int x, int y, int regions[4])
{
    if (FreeRegion(x, y)) {
        regions[0] = FreeRegion(x, y);
        return 1;
    }
    int count = 0;
    const int steps[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    for (const auto& step : steps)
        if (int region = FreeRegion(x + step[0], y + step[1])) regions[count++] = region;
    return count;
}

int CanReach(int fromX, int fromY, int toX, int toY)
{
    if (fromX == toX && fromY == toY) return 1;
    int regions[4] = {};
    int count = StartRegions(fromX, fromY, regions);
    auto among = [&](int region) { return region && std::find(regions, regions + count, region) != regions + count; };
    if (FreeRegion(toX, toY)) return among(FreeRegion(toX, toY));
    // A blocked destination: entered from a free cell beside it, or straight from the start.
    if (std::abs(fromX - toX) + std::abs(fromY - toY) == 1) return 1;
    return among(FreeRegion(toX, toY - 1)) || among(FreeRegion(toX + 1, toY)) || among(FreeRegion(toX, toY + 1)) ||
           among(FreeRegion(toX - 1, toY));
}
