// tools/mapconv/mapconv.cpp - mapconv [--report] <maps folder> <TXT folder> <KARTEN folder>
//
// Our maps are written as text grids, one character per cell (legend in data/maps/README.md).
// mapconv checks every grid against the rules the game plays by, checks the campaign table
// Missionen.info against its maps (every object must stand where the game can put it), and only
// when nothing is broken writes each grid as the 24-bit bitmap the game reads: one pixel per cell.
// Every broken rule is one line "mapconv: <file>:<line>: ..." on stderr and fails the build.
// With --report it also prints what each map offers its players, for whoever balances them.
#include "platform/files.h"
#include "platform/image.h"
#include "platform/latin1.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

// ---- terrain ----

enum Terrain { Border, Sand, Desert, Earth, Spice, Cliff, Smyron, Water, Start, TerrainCount };

struct TerrainKey {
    char symbol;   // character in the text grid
    int r, g, b;   // colour in the bitmap
    const char* name;
};

// The colour code of the maps; the order follows the Terrain enum.
static const TerrainKey TerrainKeys[TerrainCount] = {
    {'+', 0, 0, 0, "Rand"},           {'.', 255, 128, 0, "Sand"},  {':', 255, 255, 0, "Wüste"},
    {'E', 128, 64, 0, "Erde"},        {'$', 255, 0, 0, "Spice"},   {'#', 0, 128, 128, "Klippe"},
    {'~', 0, 255, 0, "Smyron"},       {'W', 0, 0, 255, "Wasser"},  {'P', 255, 0, 255, "Startpunkt"},
};

// The terrain pairs that have transition tiles, in the order the game lays them.
static const Terrain TilePairs[6][2] = {
    {Earth, Sand}, {Desert, Sand}, {Cliff, Sand}, {Spice, Sand}, {Cliff, Earth}, {Desert, Smyron},
};
constexpr int CliffPairs = (1 << 2) | (1 << 4); // Stein-Sand and Stein-Erde

constexpr int MinSide = 51, MaxWidth = 161, MaxHeight = 91;
constexpr int BaseReach = 8;           // the opponent places buildings up to 8 cells from its builder
constexpr int BaseLarge = 4, BaseSmall = 4; // buildings a start point must have room for

// ---- faults ----

static int Faults = 0; // broken rules found so far; any one fails the build

// Reports one broken rule at a place in a file.
__attribute__((format(printf, 3, 4))) static void Fault(const std::string& file, int line, const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    std::fprintf(stderr, "mapconv: %s:%d: ", file.c_str(), line);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    va_end(args);
    Faults++;
}

// ---- reading a grid ----

struct MapGrid {
    std::string stem;              // file name without ".txt", also the bitmap's name
    std::string source;            // the text file, for messages
    int width = 0, height = 0;     // cells, border row and column included
    std::vector<std::string> rows; // one text line per row of cells
    std::vector<int> lineOf;       // source line of each row
    std::vector<int> startX, startY; // start points in the game's reading order
};

// The terrain written as `symbol`, or -1 for a character of no terrain.
static int TerrainOfSymbol(char symbol)
{
    for (int t = 0; t < TerrainCount; t++)
        if (TerrainKeys[t].symbol == symbol) return t;
    return -1;
}

// Terrain of a cell as the game stores it: a start point is earth.
static Terrain Ground(const MapGrid& map, int x, int y)
{
    Terrain t = Terrain(TerrainOfSymbol(map.rows[size_t(y)][size_t(x)]));
    return t == Start ? Earth : t;
}

// Reads the grid lines of a map file; lines starting with ';' are comments. 1 when it has any.
static int ReadGridLines(const std::string& path, MapGrid& map)
{
    std::string text;
    if (!ReadWholeFile(path, text)) {
        Fault(map.source, 0, "cannot read the file");
        return 0;
    }
    std::vector<std::string> lines = SplitLines(text);
    for (size_t i = 0; i < lines.size(); i++) {
        if (!lines[i].empty() && lines[i][0] == ';') continue;
        map.rows.push_back(lines[i]);
        map.lineOf.push_back(int(i) + 1);
    }
    while (!map.rows.empty() && map.rows.back().empty()) {
        map.rows.pop_back();
        map.lineOf.pop_back();
    }
    if (map.rows.empty()) Fault(map.source, 0, "no grid");
    return !map.rows.empty();
}

// Checks that every row is as long as the first and holds only legend characters.
static int CheckGridShape(MapGrid& map)
{
    int before = Faults;
    map.height = int(map.rows.size());
    map.width = int(map.rows[0].size());
    for (size_t y = 0; y < map.rows.size(); y++) {
        const std::string& row = map.rows[y];
        if (int(row.size()) != map.width)
            Fault(map.source, map.lineOf[y], "row %zu has %zu cells, the first row %d (ragged rows)", y, row.size(), map.width);
        for (size_t x = 0; x < row.size(); x++)
            if (TerrainOfSymbol(row[x]) < 0) {
                Fault(map.source, map.lineOf[y], "unknown character '%c' at cell (%zu, %zu)", row[x], x, y);
                break;
            }
    }
    return Faults == before;
}

// Row 0 and column 0 are never read by the game: they are border, and border is nowhere else.
static void CheckBorder(const MapGrid& map)
{
    for (int y = 0; y < map.height; y++)
        for (int x = 0; x < map.width; x++) {
            int edge = x == 0 || y == 0;
            int border = map.rows[size_t(y)][size_t(x)] == '+';
            if (edge && !border) Fault(map.source, map.lineOf[size_t(y)], "cell (%d, %d) lies in row 0 or column 0, which the game never reads: write '+'", x, y);
            if (!edge && border) Fault(map.source, map.lineOf[size_t(y)], "border '+' inside the map at cell (%d, %d)", x, y);
        }
}

// Start points in the order the game reads them: column by column, each from the top.
static void FindStarts(MapGrid& map)
{
    for (int x = 1; x < map.width; x++)
        for (int y = 1; y < map.height; y++)
            if (map.rows[size_t(y)][size_t(x)] == 'P') {
                map.startX.push_back(x);
                map.startY.push_back(y);
            }
}

// Reads and shape-checks one map file (Latin-1 game paths); 1 when its grid can be examined further.
static int ReadMap(const std::string& folder, const std::string& name, MapGrid& map)
{
    map.stem = name.substr(0, name.size() - 4);
    map.source = ToUtf8(folder + "/" + name);
    if (!ReadGridLines(folder + "/" + name, map) || !CheckGridShape(map)) return 0;
    CheckBorder(map);
    FindStarts(map);
    return 1;
}

// ---- the ground tiles the game lays ----

// Bit p is set when transition pair p meets in the 2 x 2 cells of tile position (x, y).
static int PairsAt(const MapGrid& map, int x, int y)
{
    Terrain corner[4] = {Ground(map, x, y), Ground(map, x + 1, y), Ground(map, x + 1, y + 1), Ground(map, x, y + 1)};
    int pairs = 0;
    for (int p = 0; p < 6; p++) {
        int first = 0, second = 0;
        for (Terrain t : corner) {
            first |= t == TilePairs[p][0];
            second |= t == TilePairs[p][1];
        }
        if (first && second) pairs |= 1 << p;
    }
    return pairs;
}

// The game lays one ground tile position per cell from (1, 1) to (width - 2, height - 2).
static int IsTilePosition(const MapGrid& map, int x, int y) { return x >= 1 && y >= 1 && x <= map.width - 2 && y <= map.height - 2; }

// Buildings stand only where every tile under them is a full earth tile.
static int IsFullEarthTile(const MapGrid& map, int x, int y)
{
    return IsTilePosition(map, x, y) && PairsAt(map, x, y) == 0 && Ground(map, x, y) == Earth;
}

// A cliff tile blocks the cell it is laid at and pushes units off it.
static int IsCliffTile(const MapGrid& map, int x, int y)
{
    if (!IsTilePosition(map, x, y)) return 0;
    int pairs = PairsAt(map, x, y);
    return (pairs & CliffPairs) || (pairs == 0 && Ground(map, x, y) == Cliff);
}

// 1 when two terrains may touch: the same, or a pair with transition tiles.
static int MayTouch(Terrain a, Terrain b)
{
    if (a == b) return 1;
    for (const auto& pair : TilePairs)
        if ((pair[0] == a && pair[1] == b) || (pair[0] == b && pair[1] == a)) return 1;
    return 0;
}

// Terrains without transition tiles would meet in hard square edges; every 2 x 2 block must
// hold only pairs that have tiles. Water has no tile at all.
static void CheckNeighbours(const MapGrid& map)
{
    for (int y = 1; y <= map.height - 2; y++)
        for (int x = 1; x <= map.width - 2; x++) {
            Terrain corner[4] = {Ground(map, x, y), Ground(map, x + 1, y), Ground(map, x + 1, y + 1), Ground(map, x, y + 1)};
            if (std::count(corner, corner + 4, Border)) continue; // a misplaced border is reported already
            for (int i = 0; i < 4; i++)
                for (int j = i + 1; j < 4; j++)
                    if (!MayTouch(corner[i], corner[j])) {
                        Fault(map.source, map.lineOf[size_t(y)], "%s meets %s at cells (%d, %d)-(%d, %d): no transition tile, put Sand between",
                              TerrainKeys[corner[i]].name, TerrainKeys[corner[j]].name, x, y, x + 1, y + 1);
                        i = j = 4;
                    }
        }
    for (int y = 1; y < map.height; y++)
        for (int x = 1; x < map.width; x++)
            if (Ground(map, x, y) == Water)
                Fault(map.source, map.lineOf[size_t(y)], "water at cell (%d, %d): it has no ground tile, our maps hold none", x, y);
}

// ---- building room ----

// Footprint side in cells of a building type (its picture size / 64); 0 for an unknown type.
static int BuildingCells(int id)
{
    static const int sizes[][2] = {
        {1000, 1}, {1052, 1}, {1054, 1}, {1056, 1}, {1100, 2}, {1210, 2}, {1410, 2}, {1420, 2}, {1200, 3},
        {1220, 3}, {1230, 3}, {1240, 3}, {1250, 3}, {1260, 3}, {1300, 3}, {1400, 3},
    };
    for (const auto& size : sizes)
        if (size[0] == id) return size[1];
    return 0;
}

// Cells taken by buildings, per map: 1 where a footprint lies.
struct Occupancy {
    int width = 0;
    std::vector<unsigned char> taken;
};

// A map with no building on it yet.
static Occupancy MakeOccupancy(const MapGrid& map)
{
    Occupancy occupancy;
    occupancy.width = map.width;
    occupancy.taken.assign(size_t(map.width) * size_t(map.height), 0);
    return occupancy;
}

// 1 when a building of n x n cells fits at (x, y): all tiles full earth, no footprint overlap,
// and inside the margin the player's placement keeps.
static int BuildingFits(const MapGrid& map, const Occupancy& occupancy, int x, int y, int n)
{
    if (x < 1 || y < 1 || x > map.width - n - 1 || y > map.height - n - 1) return 0;
    for (int dy = 0; dy < n; dy++)
        for (int dx = 0; dx < n; dx++)
            if (!IsFullEarthTile(map, x + dx, y + dy) || occupancy.taken[size_t(y + dy) * size_t(occupancy.width) + size_t(x + dx)]) return 0;
    return 1;
}

// Marks the footprint of a building of n x n cells at (x, y) as taken.
static void TakeCells(Occupancy& occupancy, int x, int y, int n)
{
    for (int dy = 0; dy < n; dy++)
        for (int dx = 0; dx < n; dx++) occupancy.taken[size_t(y + dy) * size_t(occupancy.width) + size_t(x + dx)] = 1;
}

// Places up to `wanted` buildings of side n near (sx, sy), nearest spots first, the way a
// builder fills its surroundings; returns how many fit.
static int PackBuildings(const MapGrid& map, Occupancy& occupancy, int sx, int sy, int n, int wanted)
{
    int placed = 0;
    for (int ring = 0; ring <= BaseReach && placed < wanted; ring++)
        for (int y = sy - ring; y <= sy + ring && placed < wanted; y++)
            for (int x = sx - ring; x <= sx + ring && placed < wanted; x++) {
                if (std::max(std::abs(x - sx), std::abs(y - sy)) != ring) continue;
                if (x < 2 || y < 2 || x > map.width - n - 2 || y > map.height - n - 2) continue; // the opponent's margin
                if (!BuildingFits(map, occupancy, x, y, n)) continue;
                TakeCells(occupancy, x, y, n);
                placed++;
            }
    return placed;
}

// Full earth tile positions within the builder's reach of a start point.
static int EarthTilesNear(const MapGrid& map, int sx, int sy)
{
    int count = 0;
    for (int y = sy - BaseReach; y <= sy + BaseReach; y++)
        for (int x = sx - BaseReach; x <= sx + BaseReach; x++) count += IsFullEarthTile(map, x, y);
    return count;
}

// Every start point of a free map needs room for a base: four large and four small buildings
// placed with their corner within 8 cells, where a builder there would put them.
static void CheckBaseRoom(const MapGrid& map)
{
    for (size_t s = 0; s < map.startX.size(); s++) {
        int sx = map.startX[s], sy = map.startY[s];
        Occupancy occupancy = MakeOccupancy(map);
        int large = PackBuildings(map, occupancy, sx, sy, 3, BaseLarge);
        int small = PackBuildings(map, occupancy, sx, sy, 2, BaseSmall);
        if (large < BaseLarge || small < BaseSmall)
            Fault(map.source, map.lineOf[size_t(sy)], "start point %zu at (%d, %d) has room for only %d large and %d small buildings within %d cells (needs %d and %d): widen its earth",
                  s + 1, sx, sy, large, small, BaseReach, BaseLarge, BaseSmall);
    }
}

// ---- map rules by kind ----

enum MapKind { FreeMap, MissionMap, KeyMap };

// A map's role, by the start of its name as the game's listing reads it.
static MapKind KindOfName(const std::string& name)
{
    if (name.compare(0, 5, "Karte") == 0) return FreeMap;
    if (name.compare(0, 5, "Missi") == 0) return MissionMap;
    return KeyMap;
}

// The size, start and room rules of a playable map; the colour key is exempt.
static void CheckPlayableMap(const MapGrid& map, MapKind kind)
{
    if (map.width < MinSide || map.height < MinSide || map.width > MaxWidth || map.height > MaxHeight)
        Fault(map.source, 1, "%d x %d cells lies outside %d x %d .. %d x %d", map.width, map.height, MinSide, MinSide, MaxWidth, MaxHeight);
    CheckNeighbours(map);
    size_t starts = map.startX.size();
    if (starts == 0) Fault(map.source, 1, "no start point 'P'");
    if (kind == FreeMap && (starts < 2 || starts > 6)) Fault(map.source, 1, "%zu start points; a free map has 2 to 6", starts);
    if (kind == MissionMap && starts != 2) Fault(map.source, 1, "%zu start points; a mission map has one for the player and one for the enemy", starts);
    if (kind == FreeMap) CheckBaseRoom(map);
}

// ---- the campaign table ----

struct MissionObject {
    int id = 0, x = 0, y = 0, owner = 0, hour = 0;
    int line = 0; // in Missionen.info
};

struct Mission {
    int number = 0;
    int line = 0;                      // of the start line
    int money = -1;                    // the "EURO" line, -1 when missing
    std::vector<MissionObject> objects;
};

struct TypeIds {
    std::set<int> units, buildings;
};

static std::string MissionFile; // the campaign table, for messages
static const char* const Farewell = ">   Viel Glück, ihr General Sigma."; // UTF-8 here, as in the repository
constexpr int BriefingWidth = 80;  // characters a briefing line may have, so it stays on screen
constexpr int BriefingLines = 27;  // briefing lines that leave room for the end line and the prompt
constexpr int TaskWidth = 64;      // characters of a task line, so the ticker's "AUFGABE: " line fits

// Digits with an optional leading '-' and nothing else.
static int IsNumber(const std::string& text)
{
    size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
    if (start == text.size()) return 0;
    for (size_t i = start; i < text.size(); i++)
        if (text[i] < '0' || text[i] > '9') return 0;
    return 1;
}

// Ids of a rules table: the first four columns of each row that is not a comment.
static std::set<int> TableIds(const std::string& path)
{
    std::set<int> ids;
    std::string text;
    ReadWholeFile(L1(path), text);
    for (const std::string& line : SplitLines(text)) {
        if (line.empty()) break;
        if (line.compare(0, 4, ">>> ") == 0) continue;
        std::string field = line.substr(0, 4);
        field.erase(field.find_last_not_of(' ') + 1);
        if (IsNumber(field)) ids.insert(std::atoi(field.c_str()));
    }
    return ids;
}

// An object line: five right-aligned fields of five characters; 1 when it reads as one.
static int ReadObjectLine(const std::string& line, MissionObject& object)
{
    if (line.size() != 25) return 0;
    int value[5];
    for (int i = 0; i < 5; i++) {
        std::string field = line.substr(size_t(5 * i), 5);
        size_t first = field.find_first_not_of(' ');
        if (first == std::string::npos || !IsNumber(field.substr(first))) return 0;
        value[i] = std::atoi(field.c_str() + first);
    }
    object.id = value[0], object.x = value[1], object.y = value[2], object.owner = value[3], object.hour = value[4];
    return 1;
}

// Checks the legend block that documents the line grammar at the top of the file.
static size_t CheckLegend(const std::vector<std::string>& lines)
{
    static const char* const legend[] = {">>> #", ">>  Titel$", ">   Aufgabe$", "  E/O    x    y    T    t"};
    for (size_t i = 0; i < 4; i++)
        if (i >= lines.size() || lines[i] != legend[i]) Fault(MissionFile, int(i) + 1, "the legend block must read \"%s\"", legend[i]);
    if (lines.size() < 5 || lines[4] != std::string(39, '-')) Fault(MissionFile, 5, "the legend block ends with 39 '-'");
    return 5;
}

// Reads the title, task and briefing of a mission from line i on; returns the line after the
// end of the briefing.
static size_t ReadBriefing(const std::vector<std::string>& lines, size_t i)
{
    for (const char* what : {"title", "task"}) {
        if (i >= lines.size() || lines[i].compare(0, 4, ">>  ") != 0 || lines[i].size() <= 4) {
            Fault(MissionFile, int(i) + 1, "the mission's %s line \">>  ...\" is missing", what);
            continue;
        }
        if (L1(lines[i]).size() > size_t(4 + TaskWidth)) Fault(MissionFile, int(i) + 1, "%s longer than %d characters", what, TaskWidth);
        i++;
    }
    size_t first = i;
    while (i < lines.size() && lines[i] != ">>  " && lines[i].compare(0, 4, ">   ") == 0) {
        if (L1(lines[i]).size() > size_t(BriefingWidth)) Fault(MissionFile, int(i) + 1, "briefing line longer than %d characters", BriefingWidth);
        if (!FitsLatin1(lines[i])) Fault(MissionFile, int(i) + 1, "a character the game's Latin-1 text cannot hold");
        i++;
    }
    if (i >= lines.size() || lines[i] != ">>  ") {
        Fault(MissionFile, int(i) + 1, "a briefing line starts \">   \" and the briefing ends with the line \">>  \"");
        return i;
    }
    if (i == first || lines[i - 1] != Farewell) Fault(MissionFile, int(i), "the briefing ends with \"%s\"", Farewell);
    if (i - first > size_t(BriefingLines)) Fault(MissionFile, int(first) + 1, "briefing of %zu lines; at most %d fit the screen", i - first, BriefingLines);
    return i + 1;
}

// Reads the start money and the object lines up to the 39 '-' that end a mission.
static size_t ReadMissionObjects(const std::vector<std::string>& lines, size_t i, Mission& mission)
{
    for (; i < lines.size() && lines[i] != std::string(39, '-'); i++) {
        const std::string& line = lines[i];
        MissionObject object;
        object.line = int(i) + 1;
        if (line.compare(0, 5, "EURO ") == 0 && IsNumber(line.substr(5)) && mission.money < 0) mission.money = std::atoi(line.c_str() + 5);
        else if (ReadObjectLine(line, object)) mission.objects.push_back(object);
        else Fault(MissionFile, int(i) + 1, "neither one \"EURO \" line nor an object line of five right-aligned 5-character fields: \"%s\"", line.c_str());
    }
    if (i >= lines.size()) Fault(MissionFile, int(i), "mission %d does not end with 39 '-'", mission.number);
    if (mission.money < 0) Fault(MissionFile, mission.line, "mission %d has no \"EURO \" line", mission.number);
    return i + 1;
}

// Reads every mission of the table; the game stops reading at the first empty line.
static std::vector<Mission> ReadMissions(const std::string& path)
{
    std::vector<Mission> missions;
    std::string text;
    if (!ReadWholeFile(L1(path), text)) {
        Fault(MissionFile, 0, "cannot read the file");
        return missions;
    }
    std::vector<std::string> lines = SplitLines(text);
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    for (size_t i = 0; i < lines.size(); i++)
        if (lines[i].empty()) Fault(MissionFile, int(i) + 1, "empty line: the game stops reading the table here");
    for (size_t i = CheckLegend(lines); i < lines.size();) {
        Mission mission;
        mission.number = int(missions.size()) + 1;
        mission.line = int(i) + 1;
        if (lines[i] != ">>> " + std::to_string(mission.number)) {
            Fault(MissionFile, int(i) + 1, "expected the start line \">>> %d\"", mission.number);
            break;
        }
        i = ReadMissionObjects(lines, ReadBriefing(lines, i + 1), mission);
        missions.push_back(mission);
    }
    return missions;
}

// ---- mission objects on their map ----

// A unit is put where no cliff tile would push it and no building stands on or next to it.
static int UnitFits(const MapGrid& map, const Occupancy& buildings, int x, int y)
{
    if (!IsTilePosition(map, x, y)) return 0;
    for (int ty = y - 1; ty <= y; ty++)
        for (int tx = x - 1; tx <= x; tx++)
            if (IsCliffTile(map, tx, ty)) return 0;
    for (int ty = y - 1; ty <= y + 1; ty++)
        for (int tx = x - 1; tx <= x + 1; tx++)
            if (buildings.taken[size_t(ty) * size_t(buildings.width) + size_t(tx)]) return 0;
    return 1;
}

// Places the buildings of a mission on its map; each must fit as a player's placement would.
static void PlaceMissionBuildings(const Mission& mission, const MapGrid& map, const TypeIds& ids, Occupancy& occupancy)
{
    for (const MissionObject& object : mission.objects) {
        if (object.id >= 2001) continue;
        int n = BuildingCells(object.id);
        if (!ids.buildings.count(object.id) || n == 0) {
            Fault(MissionFile, object.line, "%d is no building of Gebaeude.info with a known picture size", object.id);
            continue;
        }
        if (!BuildingFits(map, occupancy, object.x, object.y, n)) {
            Fault(MissionFile, object.line, "building %d at (%d, %d) needs %d x %d full earth tiles of %s, inside its margin, clear of other buildings",
                  object.id, object.x, object.y, n, n, map.source.c_str());
            continue;
        }
        TakeCells(occupancy, object.x, object.y, n);
    }
}

// Checks the units of a mission: known types, free cells, and no two on one cell.
static void PlaceMissionUnits(const Mission& mission, const MapGrid& map, const TypeIds& ids, const Occupancy& occupancy)
{
    std::set<std::pair<int, int>> used;
    for (const MissionObject& object : mission.objects) {
        if (object.id < 2001) continue;
        if (!ids.units.count(object.id)) Fault(MissionFile, object.line, "%d is no unit of Einheiten.info", object.id);
        else if (!UnitFits(map, occupancy, object.x, object.y))
            Fault(MissionFile, object.line, "unit %d at (%d, %d) stands on or beside a cliff or building of %s", object.id, object.x, object.y, map.source.c_str());
        else if (!used.insert({object.x, object.y}).second)
            Fault(MissionFile, object.line, "a second unit on cell (%d, %d)", object.x, object.y);
    }
}

// Owners must be players of the map, hours not negative.
static void CheckOwners(const Mission& mission, const MapGrid& map)
{
    for (const MissionObject& object : mission.objects) {
        if (object.owner < 1 || object.owner > int(map.startX.size()))
            Fault(MissionFile, object.line, "owner %d: %s has players 1 to %zu", object.owner, map.source.c_str(), map.startX.size());
        if (object.hour < 0) Fault(MissionFile, object.line, "a negative hour");
    }
}

// Objects of one owner of one type (0: any type) arriving at one hour (-1: any hour).
static int CountObjects(const Mission& mission, int owner, int id, int hour)
{
    int count = 0;
    for (const MissionObject& object : mission.objects)
        count += object.owner == owner && (id == 0 || object.id == id) && (hour < 0 || object.hour == hour);
    return count;
}

// The camera opens on the player's start point (in the third mission the game swaps the first
// two start points), so an object of the player's must stand near it.
static void CheckPlayerStart(const Mission& mission, const MapGrid& map)
{
    if (map.startX.size() < 2) return;
    size_t s = mission.number == 3 ? 1 : 0;
    int near = 0;
    for (const MissionObject& object : mission.objects)
        near |= object.owner == 1 && object.hour == 0 && std::abs(object.x - map.startX[s]) <= 12 && std::abs(object.y - map.startY[s]) <= 12;
    if (!near) Fault(MissionFile, mission.line, "mission %d opens on (%d, %d), where the player has nothing", mission.number, map.startX[s], map.startY[s]);
}

// What the end-of-game rules of each mission need to be playable at all.
static void CheckMissionGoal(const Mission& mission)
{
    int line = mission.line;
    if (CountObjects(mission, 1, 0, 0) == 0) Fault(MissionFile, line, "the player starts with nothing");
    if (CountObjects(mission, 2, 0, -1) == 0) Fault(MissionFile, line, "the enemy has nothing: the mission would be over at once");
    switch (mission.number) {
    case 1:
        if (mission.money >= 10000) Fault(MissionFile, line, "mission 1 is won at 10000 Euro; it cannot start with them");
        break;
    case 2:
        if (CountObjects(mission, 1, 1300, 0) < 4) Fault(MissionFile, line, "mission 2 is lost below four incinerators (1300); the player starts with fewer");
        for (int hour : {9, 15, 24})
            if (CountObjects(mission, 2, 0, hour) == 0) Fault(MissionFile, line, "mission 2 has no attack wave at hour %d", hour);
        break;
    case 3:
        if (CountObjects(mission, 2, 1410, 0) != 1 || CountObjects(mission, 1, 1410, -1) != 0)
            Fault(MissionFile, line, "mission 3 needs exactly one radar station (1410), the enemy's, present from the start");
        if (CountObjects(mission, 1, 2107, 0) == 0) Fault(MissionFile, line, "mission 3 is won by a Pionier (2107); the player has none");
        break;
    case 4:
        if (CountObjects(mission, 2, 0, 0) == 0) Fault(MissionFile, line, "mission 4 needs an enemy base from the start");
        break;
    }
}

// Checks each mission against its map, the mission maps taken in the game's listing order.
static void CheckMissions(const std::vector<Mission>& missions, const std::vector<MapGrid>& missionMaps, const TypeIds& ids)
{
    if (missions.size() != missionMaps.size())
        Fault(MissionFile, 1, "%zu missions for %zu mission maps", missions.size(), missionMaps.size());
    for (size_t m = 0; m < missions.size() && m < missionMaps.size(); m++) {
        Occupancy occupancy = MakeOccupancy(missionMaps[m]);
        CheckOwners(missions[m], missionMaps[m]);
        PlaceMissionBuildings(missions[m], missionMaps[m], ids, occupancy);
        PlaceMissionUnits(missions[m], missionMaps[m], ids, occupancy);
        CheckPlayerStart(missions[m], missionMaps[m]);
        CheckMissionGoal(missions[m]);
    }
}

// ---- report ----

// Spice cells within `reach` cells of a point.
static int SpiceNear(const MapGrid& map, int sx, int sy, int reach)
{
    int count = 0;
    for (int y = std::max(1, sy - reach); y <= std::min(map.height - 1, sy + reach); y++)
        for (int x = std::max(1, sx - reach); x <= std::min(map.width - 1, sx + reach); x++) count += Ground(map, x, y) == Spice;
    return count;
}

// One line per start point: its earth, its spice and its nearest neighbour.
static void ReportMap(const MapGrid& map)
{
    int spice = 0;
    for (int y = 1; y < map.height; y++)
        for (int x = 1; x < map.width; x++) spice += Ground(map, x, y) == Spice;
    std::printf("%s: %d x %d cells, %zu start points, %d spice cells\n", map.stem.c_str(), map.width, map.height, map.startX.size(), spice);
    for (size_t s = 0; s < map.startX.size(); s++) {
        int sx = map.startX[s], sy = map.startY[s], nearest = 1 << 30;
        for (size_t o = 0; o < map.startX.size(); o++)
            if (o != s) nearest = std::min(nearest, std::max(std::abs(map.startX[o] - sx), std::abs(map.startY[o] - sy)));
        std::printf("  start %zu at (%d, %d): %d earth tiles within %d, spice within 16/24: %d/%d, nearest start %d cells\n", s + 1, sx, sy,
                    EarthTilesNear(map, sx, sy), BaseReach, SpiceNear(map, sx, sy, 16), SpiceNear(map, sx, sy, 24), nearest);
    }
}

// ---- writing ----

// The bitmap of a grid: every cell one pixel of its terrain's colour.
static Image MapImage(const MapGrid& map)
{
    Image image;
    MakeImage(image, map.width, map.height, PackColour(0, 0, 0));
    for (int y = 0; y < map.height; y++)
        for (int x = 0; x < map.width; x++) {
            const TerrainKey& key = TerrainKeys[TerrainOfSymbol(map.rows[size_t(y)][size_t(x)])];
            image.pixels[size_t(y) * size_t(map.width) + size_t(x)] = PackColour(key.r, key.g, key.b);
        }
    return image;
}

// Writes every map as a bitmap and removes bitmaps of maps that are gone; 1 on success.
static int WriteMaps(const std::vector<MapGrid>& maps, const std::string& folder)
{
    std::string target = L1(folder);
    if (!MakeFolder(target)) {
        std::fprintf(stderr, "mapconv: cannot make %s\n", folder.c_str());
        return 0;
    }
    std::set<std::string> written;
    for (const MapGrid& map : maps) {
        if (!WriteWholeFile(target + "/" + map.stem + ".bmp", EncodeBmp24(MapImage(map)))) {
            std::fprintf(stderr, "mapconv: cannot write %s/%s.bmp\n", folder.c_str(), map.stem.c_str());
            return 0;
        }
        written.insert(map.stem + ".bmp");
    }
    for (const std::string& name : ListFolder(target + "/*.bmp"))
        if (!written.count(name)) RemoveFile(target + "/" + name);
    return 1;
}

// ---- driver ----

// Reads and checks every map of the folder, in the game's listing order.
static std::vector<MapGrid> ReadMaps(const std::string& folder)
{
    std::vector<MapGrid> maps;
    std::vector<std::string> names = ListFolder(L1(folder) + "/*.txt");
    if (names.empty()) Fault(folder, 0, "no maps");
    for (const std::string& name : names) {
        MapGrid map;
        if (!ReadMap(L1(folder), name, map)) continue;
        MapKind kind = KindOfName(map.stem);
        if (kind == KeyMap && map.stem != "Legende") Fault(map.source, 1, "a map's name starts with \"Karte\" or \"Missi\"; only \"Legende\" is a colour key");
        if (kind != KeyMap) CheckPlayableMap(map, kind);
        maps.push_back(map);
    }
    return maps;
}

int main(int argc, char** argv)
{
    int report = argc > 1 && std::string(argv[1]) == "--report";
    if (argc - report != 4) {
        std::fprintf(stderr, "usage: mapconv [--report] <maps folder> <TXT folder> <KARTEN folder>\n");
        return 2;
    }
    std::string mapsFolder = argv[1 + report], tablesFolder = argv[2 + report], outputFolder = argv[3 + report];
    std::vector<MapGrid> maps = ReadMaps(mapsFolder);
    std::vector<MapGrid> missionMaps;
    for (const MapGrid& map : maps)
        if (KindOfName(map.stem) == MissionMap) missionMaps.push_back(map);
    MissionFile = tablesFolder + "/Missionen.info";
    TypeIds ids;
    ids.units = TableIds(tablesFolder + "/Einheiten.info");
    ids.buildings = TableIds(tablesFolder + "/Gebaeude.info");
    CheckMissions(ReadMissions(MissionFile), missionMaps, ids);
    if (report)
        for (const MapGrid& map : maps)
            if (KindOfName(map.stem) != KeyMap) ReportMap(map);
    if (Faults) {
        std::fprintf(stderr, "mapconv: %d broken rule%s, no maps written\n", Faults, Faults == 1 ? "" : "s");
        return 1;
    }
    return WriteMaps(maps, outputFolder) ? 0 : 1;
}
