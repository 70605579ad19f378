// The path search: around walls, into buildings, giving up, the cache, and the same paths as
// the rule written out plainly (a string per cell, the whole grid scanned every round).
#include "game/base/common.h"
#include "game/sim/buildings.h"
#include "game/sim/paths.h"
#include "game/sim/world.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

// An obstacle grid as the map gives it: border blocked, inner cells free.
static void FreeGrid(int w, int h)
{
    MapWidth = w;
    MapHeight = h;
    for (auto& column : ObstacleGrid)
        for (int& cell : column) cell = -1;
    for (int x = 1; x <= w - 2; x++)
        for (int y = 1; y <= h - 2; y++) ObstacleGrid[x][y] = 0;
    ClearPathCache();
}

static std::vector<std::pair<int, int>> Points(const std::string& path)
{
    std::vector<std::pair<int, int>> points;
    for (size_t i = 0; i + 1 < path.size(); i += 2) points.emplace_back(PathCoordinate(path[i]), PathCoordinate(path[i + 1]));
    return points;
}

// ---- the rule written out plainly ----

static int PlainMark[257][257];
static std::string PlainWay[257][257];
static unsigned char PlainDone[257][257]; // the wavefront of this round

static int PlainEnterable(int x, int y, int dx, int dy)
{
    if (x < 0 || y < 0 || x > 256 || y > 256) return 0;
    return PlainMark[x][y] == 0 || (x == dx && y == dy && PlainMark[x][y] == -1);
}

static std::string Chars(int x, int y) { return std::string{char(x + 35), char(y + 35)}; }

static int PlainSearch(int sx, int sy, int dx, int dy, std::string& path)
{
    path.clear();
    if (sx == dx && sy == dy) {
        path = Chars(dx, dy);
        return 1;
    }
    for (int x = 0; x < 257; x++)
        for (int y = 0; y < 257; y++) {
            PlainMark[x][y] = ObstacleGrid[x][y];
            PlainWay[x][y].clear();
        }
    PlainMark[sx][sy] = 2;
    int blocked = 0, found = 0;
    static const int orthogonal[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    static const int diagonal[4][2] = {{1, -1}, {1, 1}, {-1, 1}, {-1, -1}};
    // Only the map's cells can ever be marked: beyond them the grid is blocked.
    for (int round = 0; round < 400 && !found; round++) {
        int any = 0;
        for (int x = 0; x < MapWidth; x++)
            for (int y = 0; y < MapHeight; y++) {
                if (PlainMark[x][y] != 2) continue;
                any = 1;
                PlainMark[x][y] = 1;
                PlainDone[x][y] = 1;
                for (const auto& o : orthogonal) {
                    int nx = x + o[0], ny = y + o[1];
                    if (PlainEnterable(nx, ny, dx, dy)) {
                        PlainMark[nx][ny] = 3;
                        PlainWay[nx][ny] = PlainWay[x][y] + Chars(nx, ny);
                    } else if (nx < 0 || ny < 0 || nx > 256 || ny > 256 || PlainMark[nx][ny] == -1) {
                        blocked = 1;
                    }
                }
            }
        // Diagonal steps once every cell of the wavefront has marked its orthogonal neighbours.
        for (int x = 0; x < MapWidth; x++)
            for (int y = 0; y < MapHeight; y++) {
                if (!PlainDone[x][y]) continue;
                PlainDone[x][y] = 0;
                for (const auto& d : diagonal) {
                    int nx = x + d[0], ny = y + d[1];
                    if (!PlainEnterable(nx, ny, dx, dy)) continue;
                    if (PlainMark[nx][y] == 3 || PlainMark[x][ny] == 3) {
                        PlainMark[nx][ny] = 3;
                        PlainWay[nx][ny] = PlainWay[x][y] + Chars(nx, ny);
                    }
                }
            }
        if (PlainMark[dx][dy] == 3) found = 1;
        for (int x = 0; x < MapWidth; x++)
            for (int y = 0; y < MapHeight; y++)
                if (PlainMark[x][y] == 3) PlainMark[x][y] = 2;
        if (!any) break; // nothing left to spread: the remaining rounds change nothing
    }
    if (!found) return 0;
    // The path's own points, as the wavefront wrote them: the cells after the start, the
    // destination last. Nothing ever in the way: every point between goes. Else, of every three
    // consecutive points evenly spaced, the middle one goes.
    std::vector<std::pair<int, int>> points = Points(PlainWay[dx][dy]);
    auto evenlySpaced = [&](size_t a) {
        const auto &p0 = points[a], &p1 = points[a + 1], &p2 = points[a + 2];
        return p2.first - 2 * p1.first + p0.first == 0 && p2.second - 2 * p1.second + p0.second == 0;
    };
    std::vector<bool> dropped(points.size(), !blocked);
    dropped.back() = false;
    for (size_t a = 0; blocked && a + 2 < points.size(); a++)
        if (evenlySpaced(a)) dropped[a + 1] = true;
    for (size_t i = 0; i < points.size(); i++)
        if (!dropped[i]) path += Chars(points[i].first, points[i].second);
    path += Chars(dx, dy);
    return 1;
}

// ---- the tests ----

TEST(PathSearch, AStraightWayKeepsOnlyTheDestination)
{
    FreeGrid(60, 60);
    std::string path;
    ASSERT_EQ(SearchPath(20, 20, 28, 23, path), 1);
    EXPECT_EQ(Points(path), (std::vector<std::pair<int, int>>{{28, 23}, {28, 23}})) << "nothing was in the way";
    // Near the map's edge the wavefront meets the border: the way is kept to its first step and
    // its corners, first diagonally from the start, then straight on.
    ASSERT_EQ(SearchPath(3, 3, 20, 9, path), 1);
    EXPECT_EQ(Points(path), (std::vector<std::pair<int, int>>{{4, 4}, {9, 9}, {20, 9}, {20, 9}}));
}

TEST(PathSearch, ACliffWallForcesADetourThinnedToItsCorners)
{
    FreeGrid(30, 30);
    for (int y = 1; y <= 20; y++) ObstacleGrid[10][y] = -1; // open below row 20
    std::string path;
    ASSERT_EQ(SearchPath(5, 5, 15, 5, path), 1);
    std::vector<std::pair<int, int>> points = Points(path);
    ASSERT_GE(points.size(), 3u);
    EXPECT_EQ(points.back(), std::make_pair(15, 5));
    int below = 0;
    for (const auto& point : points) {
        below |= point.second > 20;
        EXPECT_NE(ObstacleGrid[point.first][point.second], -1) << "no point lies in the wall";
    }
    EXPECT_TRUE(below) << "the way goes round the end of the wall";
    for (size_t i = 1; i + 2 < points.size(); i++) {
        int evenX = points[i + 1].first - 2 * points[i].first + points[i - 1].first == 0;
        int evenY = points[i + 1].second - 2 * points[i].second + points[i - 1].second == 0;
        EXPECT_FALSE(evenX && evenY) << "the middle of an even run is thinned away, at point " << i;
    }
    EXPECT_LT(points.size(), 12u) << "corners only, not every cell";
}

TEST(PathSearch, ABuildingCellIsReachedAsTheLastStep)
{
    FreeGrid(30, 30);
    for (int x = 12; x < 15; x++)
        for (int y = 12; y < 15; y++) ObstacleGrid[x][y] = -1; // a 3 x 3 footprint
    std::string path;
    ASSERT_EQ(SearchPath(4, 13, 12, 13, path), 1);
    std::vector<std::pair<int, int>> points = Points(path);
    EXPECT_EQ(points.back(), std::make_pair(12, 13));
    for (size_t i = 0; i + 2 < points.size(); i++) EXPECT_NE(ObstacleGrid[points[i].first][points[i].second], -1);
    EXPECT_EQ(SearchPath(4, 13, 13, 13, path), 0) << "the middle of the footprint is not next to any free cell";
}

TEST(PathSearch, AnEnclosedDestinationIsNotFound)
{
    FreeGrid(40, 40);
    for (int i = 20; i <= 26; i++) ObstacleGrid[i][20] = ObstacleGrid[i][26] = ObstacleGrid[20][i] = ObstacleGrid[26][i] = -1;
    std::string path = "alt";
    EXPECT_EQ(SearchPath(5, 5, 23, 23, path), 0);
    EXPECT_TRUE(path.empty());
}

TEST(PathCache, ReusedFromWithinThreeCellsOnly)
{
    FreeGrid(60, 60);
    CachePath(10, 10, 40, 40, "abcd");
    ASSERT_NE(FindCachedPath(13, 7, 40, 40), nullptr);
    EXPECT_EQ(FindCachedPath(13, 7, 40, 40)->path, "abcd");
    EXPECT_NE(FindCachedPath(7, 13, 40, 40), nullptr);
    EXPECT_EQ(FindCachedPath(14, 10, 40, 40), nullptr) << "four cells away";
    EXPECT_EQ(FindCachedPath(10, 6, 40, 40), nullptr);
    EXPECT_EQ(FindCachedPath(10, 10, 40, 41), nullptr) << "another destination";
    RecomputeObstacles();
    EXPECT_EQ(FindCachedPath(10, 10, 40, 40), nullptr) << "a changed grid makes old paths doubtful";
}

// Random grids from open fields to mazes, some of the largest size a map can have (221 cells):
// both searches agree on every one.
TEST(PathSearch, EqualsThePlainRuleOnRandomGrids)
{
    SeedRandom(2026);
    int compared = 0, foundCount = 0;
    for (int run = 0; run < 300; run++) {
        int w = run % 25 == 0 ? 221 : 8 + Rnd(60), h = run % 25 == 0 ? 221 : 8 + Rnd(60);
        FreeGrid(w, h);
        int density = Rnd(45);
        for (int x = 1; x <= w - 2; x++)
            for (int y = 1; y <= h - 2; y++)
                if (Rnd(99) < density) ObstacleGrid[x][y] = -1;
        if (run % 7 == 0) // a comb of long walls with gaps: a maze that needs many rounds
            for (int x = 4; x <= w - 4; x += 4)
                for (int y = 1; y <= h - 2; y++)
                    if (y != (x % 8 == 0 ? 2 : h - 3)) ObstacleGrid[x][y] = -1;
        int sx = 1 + Rnd(w - 3), sy = 1 + Rnd(h - 3), dx = 1 + Rnd(w - 3), dy = 1 + Rnd(h - 3);
        ObstacleGrid[sx][sy] = 0;
        std::string fast, plain;
        int fastFound = SearchPath(sx, sy, dx, dy, fast);
        int plainFound = PlainSearch(sx, sy, dx, dy, plain);
        ASSERT_EQ(fastFound, plainFound) << "run " << run;
        ASSERT_EQ(fast, plain) << "run " << run << " from " << sx << "," << sy << " to " << dx << "," << dy;
        compared++;
        foundCount += fastFound;
    }
    EXPECT_EQ(compared, 300);
    EXPECT_GT(foundCount, 100) << "most searches find a way";
    EXPECT_LT(foundCount, 300) << "and some fail, which must agree as well";
}

// What the regions say about a way and what the search finds agree: a way found lies within
// the regions, and where the regions see none the search finds none. (Only the search's 400
// rounds can end a way the regions see.)
TEST(Regions, TellWhatTheSearchCanReach)
{
    SeedRandom(77);
    int found = 0, refused = 0;
    for (int run = 0; run < 300; run++) {
        int w = 8 + Rnd(40), h = 8 + Rnd(40);
        FreeGrid(w, h);
        int density = Rnd(55);
        for (int x = 1; x <= w - 2; x++)
            for (int y = 1; y <= h - 2; y++)
                if (Rnd(99) < density) ObstacleGrid[x][y] = -1;
        LabelRegions();
        int sx = 1 + Rnd(w - 3), sy = 1 + Rnd(h - 3), dx = 1 + Rnd(w - 3), dy = 1 + Rnd(h - 3);
        std::string path;
        int searched = SearchPath(sx, sy, dx, dy, path), reached = CanReach(sx, sy, dx, dy);
        if (searched) {
            ASSERT_EQ(reached, 1) << "run " << run << ": the search went where the regions see no way";
        }
        if (!reached) {
            ASSERT_EQ(searched, 0) << "run " << run;
        }
        found += searched;
        refused += !reached;
    }
    EXPECT_GT(found, 50);
    EXPECT_GT(refused, 50) << "blocked starts, blocked destinations and walled-in cells all occur";
}

TEST(Regions, AWalledInCellIsARegionOfItsOwnAndABuildingIsReachedFromBeside)
{
    FreeGrid(30, 30);
    for (int i = 10; i <= 14; i++) ObstacleGrid[i][10] = ObstacleGrid[i][14] = ObstacleGrid[10][i] = ObstacleGrid[14][i] = -1;
    ObstacleGrid[20][20] = -1; // a one-cell building in the open
    LabelRegions();
    EXPECT_EQ(CanReach(3, 3, 12, 12), 0) << "inside the ring";
    EXPECT_EQ(CanReach(12, 12, 11, 13), 1) << "within the ring";
    EXPECT_EQ(RegionSize(RegionAt(12, 12)), 9);
    EXPECT_EQ(CanReach(3, 3, 20, 20), 1) << "a blocked destination with a free cell beside it";
    EXPECT_EQ(CanReach(3, 3, 10, 12), 1) << "the ring's wall from outside";
    EXPECT_EQ(CanReach(12, 12, 10, 12), 1) << "and from inside";
    EXPECT_EQ(CanReach(10, 12, 3, 3), 1) << "a start on a blocked cell spreads from its free neighbours";
    EXPECT_EQ(RegionAt(20, 20), 0);
}
