// game/sim/world.cpp - reading maps, building the ground, spice growth and the game start.
#include "game/sim/world.h"

#include "game/base/assets.h"
#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/base/messages.h"
#include "game/base/numbers.h"
#include "game/base/tables.h"
#include "game/sim/buckets.h"
#include "game/sim/buildings.h"
#include "game/sim/gamestate.h"
#include "game/sim/paths.h"
#include "game/sim/units.h"
#include "game/sim/unitscan.h"
#include "platform/pictures.h"
#include "platform/sound.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

int MapWidth = 0, MapHeight = 0;
uint32_t TerrainGrid[257][257];
unsigned char FogGrid[257][257];
std::vector<GroundTile> GroundTiles;
std::vector<Decoration> Decorations;
std::vector<Sandstorm> Sandstorms;
Image MinimapImage;
Image FogImage;
int SpiceTileCount = 0;
int SpiceBloomTimer = 0;
int SpiceBloomX = 0, SpiceBloomY = 0;

// Index of the first ground tile at each grid position, -1 where there is none.
static int TileAt[257][257];

// The transition pairs in drawing order: first terrain, second terrain.
static const uint32_t TilePairs[7][2] = {
    {0, 0},
    {EarthColour, SandColour},   // 1 Erde-Sand
    {DesertColour, SandColour},  // 2 Wueste-Sand
    {CliffColour, SandColour},   // 3 Stein-Sand
    {SpiceColour, SandColour},   // 4 Spice-Sand
    {CliffColour, EarthColour},  // 5 Stein-Erde
    {DesertColour, SmyronColour}, // 6 Wueste-Smyron
};

struct TerrainKind {
    uint32_t colour;
    int grey;     // minimap grey level
    int fullTile; // first of four variants of a tile wholly of this terrain
};

static const TerrainKind TerrainKinds[] = {
    {SandColour, 100, 4131}, {DesertColour, 120, 4221}, {EarthColour, 60, 4121},
    {SpiceColour, 80, 4421}, {CliffColour, 40, 4321},   {SmyronColour, 150, 4631},
};

static const TerrainKind* KindOf(uint32_t colour)
{
    for (const TerrainKind& kind : TerrainKinds)
        if (kind.colour == colour) return &kind;
    return nullptr;
}

int MinimapGrey(uint32_t colour)
{
    const TerrainKind* kind = KindOf(colour);
    return kind ? kind->grey : -1;
}

// ---- reading the map ----

static void ClearWorldLists()
{
    GroundTiles.clear();
    Decorations.clear();
    Sandstorms.clear();
    Buildings.clear();
    Units.clear();
    ClearMessages();
    for (auto& column : TerrainGrid)
        for (uint32_t& cell : column) cell = 0;
}

// Start points become players; at most six, further start points are plain earth.
static void ReadTerrain(const Image& map)
{
    for (int x = 1; x < MapWidth; x++) {
        for (int y = 1; y < MapHeight; y++) {
            uint32_t colour = map.pixels[size_t(y) * size_t(map.width) + size_t(x)] & 0xFFFFFFu;
            if (colour == StartColour) {
                if (PlayerCount < MaxPlayers) {
                    PlayerCount++;
                    Players[PlayerCount] = Player{};
                    Players[PlayerCount].startX = x;
                    Players[PlayerCount].startY = y;
                }
                colour = EarthColour;
            }
            TerrainGrid[x][y] = colour;
        }
    }
}

// Trees on sand, cacti on desert, skeletons on either; the rest are thrown away again.
static void ScatterDecorations()
{
    static const int sprites[4] = {4901, 4913, 4914, 4921};
    int count = int(std::lround(double(MapWidth) * MapHeight / 25.0));
    for (int i = 0; i < count; i++) {
        Decoration decoration;
        decoration.sprite = sprites[Rnd(3)];
        decoration.x = Rnd(MapWidth - 4) + 2;
        decoration.y = Rnd(MapHeight - 4) + 2;
        decoration.angle = Rnd(359);
        uint32_t ground = TerrainGrid[decoration.x][decoration.y];
        bool fits = decoration.sprite == 4901   ? ground == SandColour
                    : decoration.sprite == 4921 ? (ground == SandColour || ground == DesertColour)
                                                : ground == DesertColour;
        if (fits) Decorations.push_back(decoration);
    }
}

int StartMarksOn(int mapNumber)
{
    const Image* map = PictureImage(mapNumber);
    if (!map) return 0;
    int width = std::min(map->width, MaxPathCoordinate + 1), height = std::min(map->height, MaxPathCoordinate + 1);
    int marks = 0;
    for (int x = 1; x < width; x++)
        for (int y = 1; y < height; y++) marks += (map->pixels[size_t(y) * size_t(map->width) + size_t(x)] & 0xFFFFFFu) == StartColour;
    return std::min(marks, MaxPlayers);
}

int LoadMapTerrain(int mapNumber)
{
    const Image* map = PictureImage(mapNumber);
    if (!map) return 0;
    // A planned path keeps a cell coordinate in one character, so a larger picture is read up
    // to the 221st cell (the grids themselves hold 257).
    MapWidth = std::min(map->width, MaxPathCoordinate + 1);
    MapHeight = std::min(map->height, MaxPathCoordinate + 1);
    PlayerCount = 0;
    NextObjectId = 100000;
    ElapsedSeconds = 0;
    StatSampleIndex = 0;
    SpiceTileCount = SpiceBloomTimer = SpiceBloomX = SpiceBloomY = 0;
    ClearWorldLists();
    ReadTerrain(*map);
    ScatterDecorations();
    // A new game starts unseen: the fog must not carry the marks of the game before.
    for (auto& column : FogGrid)
        for (unsigned char& cell : column) cell = 1;
    BuildGroundTiles();
    return 1;
}

// ---- ground tiles ----

// Corner mask of the cells of `terrain` in the 2 x 2 block at (x, y).
static int CornerMask(int x, int y, uint32_t terrain)
{
    int mask = 0;
    if (TerrainGrid[x][y] == terrain) mask |= 1;
    if (TerrainGrid[x + 1][y] == terrain) mask |= 2;
    if (TerrainGrid[x + 1][y + 1] == terrain) mask |= 4;
    if (TerrainGrid[x][y + 1] == terrain) mask |= 8;
    return mask;
}

static void AddTile(int id, int sprite, int x, int y)
{
    if (TileAt[x][y] < 0) TileAt[x][y] = int(GroundTiles.size());
    GroundTiles.push_back(GroundTile{id, sprite, x, y});
}

// The tiles of one grid position: every pair that meets here, in pair order, or one full tile.
static void BuildTilesAt(int id, int x, int y)
{
    int added = 0;
    for (int pair = 1; pair <= 6; pair++) {
        int first = CornerMask(x, y, TilePairs[pair][0]);
        int second = CornerMask(x, y, TilePairs[pair][1]);
        if (first && second) {
            AddTile(id, 4000 + 100 * pair + first, x, y);
            added = 1;
        }
    }
    if (added) return;
    if (const TerrainKind* kind = KindOf(TerrainGrid[x][y])) AddTile(id, kind->fullTile + Rnd(3), x, y);
}

static void SetCellPixel(Image& image, int x, int y, uint32_t colour)
{
    if (x >= 0 && y >= 0 && x < image.width && y < image.height)
        image.pixels[size_t(y) * size_t(image.width) + size_t(x)] = colour;
}

static void PaintMinimapCell(int x, int y)
{
    int grey = MinimapGrey(TerrainGrid[x][y]);
    if (grey >= 0) SetCellPixel(MinimapImage, x, y, PackColour(grey, grey, grey));
}

void BuildGroundTiles()
{
    GroundTiles.clear();
    for (auto& column : TileAt)
        for (int& index : column) index = -1;
    int id = 1;
    for (int x = 1; x <= MapWidth - 2; x++)
        for (int y = 1; y <= MapHeight - 2; y++) BuildTilesAt(id++, x, y);

    MakeImage(MinimapImage, std::max(1, MapWidth), std::max(1, MapHeight), PackColour(0, 0, 0));
    for (const GroundTile& tile : GroundTiles) PaintMinimapCell(tile.x, tile.y);
    BuildFogImage();
    Sandstorms.assign(size_t(std::clamp(StormSetting, 0, 3)), Sandstorm{-1000, -1000, 0, 0});
    RecomputeObstacles();
    LoadShadowsForClock();
}

// ---- fog ----

// Unseen cells are dark on the fog image; seen ones are see-through, so the minimap shows.
static const uint32_t UnseenFogPixel = PackColour(10, 10, 10);
static const uint32_t SeenFogPixel = PackColour(0, 0, 0, 0);

void BuildFogImage()
{
    MakeImage(FogImage, std::max(1, MapWidth), std::max(1, MapHeight), UnseenFogPixel);
    for (int x = 0; x < MapWidth; x++)
        for (int y = 0; y < MapHeight; y++)
            if (FogGrid[x][y] == 0) SetCellPixel(FogImage, x, y, SeenFogPixel);
}

void ResetFog()
{
    for (auto& column : FogGrid)
        for (unsigned char& cell : column) cell = 1;
    BuildFogImage();
}

void MarkCellSeen(int x, int y)
{
    if (x < 0 || y < 0 || x > MaxMapSide || y > MaxMapSide || FogGrid[x][y] == 0) return;
    FogGrid[x][y] = 0;
    SetCellPixel(FogImage, x, y, SeenFogPixel);
}

void RevealCells(int x, int y, int radius, int reach)
{
    for (int dx = -radius; dx <= radius; dx++)
        for (int dy = -radius; dy <= radius; dy++)
            if (dx * dx + dy * dy < reach * reach) MarkCellSeen(x + dx, y + dy);
}

int TileIdAt(int x, int y)
{
    if (x < 1 || y < 1 || x > MapWidth - 2 || y > MapHeight - 2) return 0;
    return 1 + (x - 1) * (MapHeight - 2) + (y - 1);
}

int TileCell(int id, int& x, int& y)
{
    int column = MapHeight - 2;
    if (id < 1 || column < 1) return 0;
    x = 1 + (id - 1) / column;
    y = 1 + (id - 1) % column;
    return x <= MapWidth - 2;
}

void LoadShadowsForClock()
{
    int hour = TimeOfDay / 3600;
    LoadBuildingShadows((DayNightSetting == 1 && hour >= 6 && hour <= 18) ? hour : 9);
}

// ---- the world pass ----

// Spice grows only on sand surrounded by sand or spice, so it never creeps into rock or earth.
static int SurroundedBySandOrSpice(int x, int y)
{
    for (int dx = -1; dx <= 1; dx++)
        for (int dy = -1; dy <= 1; dy++) {
            if (dx == 0 && dy == 0) continue;
            int nx = x + dx, ny = y + dy;
            if (nx < 0 || ny < 0 || nx > MaxMapSide || ny > MaxMapSide) return 0;
            if (TerrainGrid[nx][ny] != SandColour && TerrainGrid[nx][ny] != SpiceColour) return 0;
        }
    return 1;
}

// Adds a corner of fresh spice to the tile at a grid position.
static void AddSpiceCorner(int x, int y, int mask)
{
    if (x < 0 || y < 0 || x > MaxMapSide || y > MaxMapSide || TileAt[x][y] < 0) return;
    int& sprite = GroundTiles[size_t(TileAt[x][y])].sprite;
    if (sprite >= 4131 && sprite <= 4134) sprite = 4400;
    sprite += mask;
    if (sprite < 4401 || sprite > 4414) sprite = 4421 + Rnd(3);
}

// The tile at a grid position that shows spice (a spice-sand tile or a full spice tile), or -1.
static int SpiceTileAt(int x, int y)
{
    if (x < 0 || y < 0 || x > MaxMapSide || y > MaxMapSide || TileAt[x][y] < 0) return -1;
    for (size_t i = size_t(TileAt[x][y]); i < GroundTiles.size() && GroundTiles[i].x == x && GroundTiles[i].y == y; i++) {
        int sprite = GroundTiles[i].sprite;
        if ((sprite >= 4401 && sprite <= 4415) || (sprite >= 4421 && sprite <= 4424)) return int(i);
    }
    return -1;
}

int FullEarthAt(int x, int y)
{
    if (x < 0 || y < 0 || x > MaxMapSide || y > MaxMapSide || TileAt[x][y] < 0) return 0;
    for (size_t i = size_t(TileAt[x][y]); i < GroundTiles.size() && GroundTiles[i].x == x && GroundTiles[i].y == y; i++)
        if (GroundTiles[i].sprite < 4121 || GroundTiles[i].sprite > 4124) return 0;
    return 1;
}

// A spice corner taken away: a full spice tile first counts as all four corners (4415); a
// tile with no spice corner left is sand again.
static void RemoveSpiceCorner(int x, int y, int mask)
{
    int tile = SpiceTileAt(x, y);
    if (tile < 0) return;
    int& sprite = GroundTiles[size_t(tile)].sprite;
    if (sprite >= 4421 && sprite <= 4424) sprite = 4415;
    if ((sprite - 4400) & mask) sprite -= mask;
    if (sprite == 4400) sprite = 4131 + Rnd(3);
}

void SpiceCellHarvested(int x, int y)
{
    if (x < 1 || y < 1 || x > MapWidth - 2 || y > MapHeight - 2) return;
    TerrainGrid[x][y] = SandColour;
    RemoveSpiceCorner(x - 1, y - 1, 4);
    RemoveSpiceCorner(x, y - 1, 8);
    RemoveSpiceCorner(x, y, 1);
    RemoveSpiceCorner(x - 1, y, 2);
    PaintMinimapCell(x, y);
}

// One chance for a sand cell near the bloom centre to turn to spice; 1 when it did.
static int TryGrowSpice(int x, int y)
{
    if (TerrainGrid[x][y] != SandColour || !SurroundedBySandOrSpice(x, y)) return 0;
    int d = int(std::lround(std::sqrt(double(x - SpiceBloomX) * (x - SpiceBloomX) + double(y - SpiceBloomY) * (y - SpiceBloomY))));
    if (d >= 6 || Rnd(2 * d) != 0) return 0;
    TerrainGrid[x][y] = SpiceColour;
    AddSpiceCorner(x - 1, y - 1, 4);
    AddSpiceCorner(x, y - 1, 8);
    AddSpiceCorner(x, y, 1);
    AddSpiceCorner(x - 1, y, 2);
    PaintMinimapCell(x, y);
    return 1;
}

static int IsCliffTile(int sprite) { return (sprite >= 4301 && sprite <= 4329) || (sprite >= 4501 && sprite <= 4529); }

// Units standing on a cliff tile are pushed off it, and after many pushes lose their path.
// Only units within two cells can be reached, so the bucket grid hands over those; a push
// moves only the unit pushed, so the order they are met in does not change the outcome.
static void PushUnitsOffCliff(const GroundTile& tile)
{
    static std::vector<int> near;
    if (ScanWithBuckets) {
        // Gathered before any push, which may move a unit to another bucket.
        near.clear();
        BucketRange range = BucketsAround(float(tile.x), float(tile.y), 64);
        for (int bx = range.left; bx <= range.right; bx++)
            for (int by = range.top; by <= range.bottom; by++)
                for (const UnitPlace& place : BucketUnits(bx, by)) near.push_back(place.index);
    } else {
        near.resize(Units.size());
        for (size_t i = 0; i < near.size(); i++) near[i] = int(i);
    }
    for (int index : near) {
        Unit& unit = Units[size_t(index)];
        if (std::fabs(unit.x - tile.x) > 2 || std::fabs(unit.y - tile.y) > 2) continue;
        float dx = (tile.x - unit.x) * 32 + 16, dy = (tile.y - unit.y) * 32 + 16;
        float reach = float(unit.width / 4 + 16);
        float distance = float(std::lround(std::sqrt(double(dx) * dx + double(dy) * dy)));
        if (distance >= reach) continue;
        // Away from the tile's centre, in every direction (also straight above or below it).
        double angle = std::atan2(-double(dy), -double(dx));
        unit.x += float((reach - distance) / 32 * std::cos(angle));
        unit.y += float((reach - distance) / 32 * std::sin(angle));
        if (++unit.pushCount > 20) {
            GiveUpPushedPath(unit);
            unit.x += float(unit.width / 512.0 * std::cos(angle));
            unit.y += float(unit.width / 512.0 * std::sin(angle));
        }
        UnitBucketMoved(index);
    }
}

void WorldPass()
{
    SpiceTileCount = 0;
    int changed = 0;
    RebuildUnitBuckets();
    for (size_t i = 0; i < GroundTiles.size(); i++) {
        GroundTile tile = GroundTiles[i];
        if (TerrainGrid[tile.x][tile.y] == SpiceColour) SpiceTileCount++;
        if (SpiceBloomTimer > 0) changed |= TryGrowSpice(tile.x, tile.y);
        if (IsCliffTile(tile.sprite)) PushUnitsOffCliff(tile);
    }
    if (SpiceBloomTimer == 10 && changed) PlaySound(4000, 0);
    if (SpiceBloomTimer > 0) SpiceBloomTimer--;
    if (SpiceTileCount < PlayerCount * 100) SpiceBloomTimer = 10;
    if (SpiceBloomTimer == 10) {
        SpiceBloomX = Rnd(MapWidth);
        SpiceBloomY = Rnd(MapHeight);
    }
}

// ---- the start of a game ----

static void SetUpPlayers(int humanPlayers, unsigned humanSeats)
{
    for (int p = 1; p <= PlayerCount; p++) {
        Player& player = Players[p];
        int human = humanSeats ? (humanSeats >> p) & 1 : p >= LocalPlayer && p < LocalPlayer + std::max(1, humanPlayers);
        player.kind = MissionMode ? (p == LocalPlayer ? 0 : 1) : (human ? 0 : 1);
        player.money = MissionMode ? 7000 : (human ? 10000 + 90000 * TechLevel : 17000);
        player.energy = TechLevel;
        for (int& flag : player.research) flag = TechLevel;
        player.attackTarget = 0;
        player.threatMemory = "000000|0";
        player.spiceMoney = player.unitsLost = player.unitsKilled = player.buildingsLost = player.buildingsDestroyed = 0;
    }
}

static void GiveEachPlayerABuilder()
{
    for (int p = 1; p <= PlayerCount; p++) {
        AddUnit(MakeUnit(float(NextObjectId), 2001, p, float(Players[p].startX), float(Players[p].startY), 3, 0));
        NextObjectId += 1;
    }
}

// The slot of the mission's start line, or 0 when the table has no such mission.
static int MissionStartSlot(int mission)
{
    std::string start = ">>> " + std::to_string(mission);
    for (int slot = 1; slot < MissionLineSlots && !MissionLines[slot].empty(); slot++)
        if (MissionLines[slot] == start) return slot;
    return 0;
}

// Why an object line cannot be placed, or null when it can: its cells (a building's whole
// footprint) must lie on the map's readable cells, its owner must play, its hour must come.
static const char* ObjectLineFault(int id, int x, int y, int owner, int hour)
{
    if (id <= 0) return "no object type";
    if (owner < 1 || owner > PlayerCount) return "owner is not a player of this map";
    if (hour < 0) return "negative hour";
    int cellsX = id < 2001 ? std::max(1, PictureWidth(id) / 64) : 1;
    int cellsY = id < 2001 ? std::max(1, PictureHeight(id) / 64) : 1;
    if (x < 1 || y < 1 || x + cellsX - 1 > MapWidth - 1 || y + cellsY - 1 > MapHeight - 1) return "outside the map";
    return nullptr;
}

// One object line: five right-aligned fields of five characters: id, x, y, owner, hour.
static void AddMissionObject(const std::string& line, int mission)
{
    int field[5];
    for (int i = 0; i < 5; i++) field[i] = ReadNumber(TrimSpaces(FieldAt(line, 1 + 5 * i, 5), 1));
    int id = field[0], owner = field[3], hour = field[4];
    if (const char* fault = ObjectLineFault(id, field[1], field[2], owner, hour)) {
        std::fprintf(stderr, "korax: mission %d: object line dropped (%s): %s\n", mission, fault, line.c_str());
        return;
    }
    if (id < 2001) {
        int objectId = (mission == 3 && id == 1410) ? 10000000 : NextObjectId;
        AddBuilding(MakeBuilding(objectId, id, owner, float(field[1]), float(field[2]), hour));
    } else {
        int stance = id <= 2002 ? 3 : 2;
        AddUnit(MakeUnit(float(NextObjectId), id, owner, float(field[1]), float(field[2]), stance, -hour));
    }
    NextObjectId += 10;
}

static int IsObjectLine(const std::string& line)
{
    return !line.empty() && line[0] != '>' && line.compare(0, 5, "EURO ") != 0;
}

static void AddMissionObjects(int mission)
{
    int slot = MissionStartSlot(mission);
    if (slot == 0) return;
    const std::string endLine(39, '-');
    for (slot++; slot < MissionLineSlots && !MissionLines[slot].empty() && MissionLines[slot] != endLine; slot++) {
        const std::string& line = MissionLines[slot];
        if (line.compare(0, 5, "EURO ") == 0) Players[LocalPlayer].money = ReadNumber(TrimSpaces(line.substr(5), 1));
        else if (IsObjectLine(line)) AddMissionObject(line, mission);
    }
    if (mission == 3 && LocalPlayer + 1 <= PlayerCount) {
        std::swap(Players[LocalPlayer].startX, Players[LocalPlayer + 1].startX);
        std::swap(Players[LocalPlayer].startY, Players[LocalPlayer + 1].startY);
    }
}

void StartNewGame(int humanPlayers, unsigned humanSeats)
{
    // The file keeps any hour; the clock only takes one of the day's.
    TimeOfDay = std::clamp(StartHour, 0, 23) * 3600;
    SetUpPlayers(humanPlayers, humanSeats);
    if (MissionMode) AddMissionObjects(MapNumber - 100);
    else GiveEachPlayerABuilder();
    const Player& local = Players[std::clamp(LocalPlayer, 1, MaxPlayers)];
    CamX = float(ScreenWidthPx / 2 - local.startX * 32);
    CamY = float(ScreenHeightPx / 2 - local.startY * 32);
    CursorX = ScreenWidthPx / 2;
    CursorY = ScreenHeightPx / 2;
    ResetFog();
    JoinWalls();
    RecomputeObstacles();
    // The ground was built before the clock was set: shadows follow the game's start hour.
    LoadShadowsForClock();
}
