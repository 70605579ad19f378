// tools/sceneshot - a developer's tool, not part of the game: it sets up a scene of the running
// game with the game's own code and pictures (a base going up, a battle, units round a cliff,
// the menus), lets the real game loop run it, and saves what the screen shows. Run it under
// Xvfb with SDL_VIDEODRIVER=x11 to see the real blending.
//
//   sceneshot <DATEN folder after its first start> <scene> <screen width> <output prefix>
//
// Scenes: cliff, battle, base, shadows (every building at 7, 12 and 17 o'clock), troops (three
// players' troops, speeders and quads at zoom 1 and 0.5), menus, bigbattle (the benchmarks'
// battle, F9 overlay held, at the real frame rate), statistics (an hour of computers playing,
// then the statistics and save pages), netbattle (a save of two armies meeting, for a network
// game), groupsave (a base and a group of twelve, to order about by hand).
#include "game/base/assets.h"
#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/base/tables.h"
#include "game/base/textentry.h"
#include "game/front/menus.h"
#include "game/front/space.h"
#include "game/front/startup.h"
#include "game/play/gameloop.h"
#include "game/save/savefile.h"
#include "game/sim/buildings.h"
#include "game/sim/research.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "game/ui/sidebar.h"
#include "game/ui/statistics.h"
#include "game/view/gamedraw.h"
#include "game/view/hud.h"
#include "battle_scene.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/pictures.h"
#include "platform/sound.h"
#include "platform/sprites.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

static std::string Prefix;

// A map from rows: . sand, : desert, E earth, # cliff, $ spice, P start, x border.
static void MapFromRows(const std::vector<std::string>& rows)
{
    Image map;
    MakeImage(map, int(rows[0].size()), int(rows.size()), 0);
    for (size_t y = 0; y < rows.size(); y++)
        for (size_t x = 0; x < rows[y].size(); x++) {
            uint32_t colour = 0;
            switch (rows[y][x]) {
            case '.': colour = SandColour; break;
            case ':': colour = DesertColour; break;
            case 'E': colour = EarthColour; break;
            case '#': colour = CliffColour; break;
            case '$': colour = SpiceColour; break;
            case 'P': colour = StartColour; break;
            default: colour = 0;
            }
            map.pixels[y * size_t(map.width) + x] = colour | 0xFF000000u;
        }
    SetPictureImage(1, map);
}

static std::vector<std::string> Rows(int w, int h, char ground)
{
    std::vector<std::string> rows(size_t(h), "x" + std::string(size_t(w - 1), ground));
    rows[0] = std::string(size_t(w), 'x');
    return rows;
}

// Two players: their start points go in the map's far corners.
static void StartScene(std::vector<std::string> rows, int hour)
{
    rows[2][2] = 'P';
    rows[rows.size() - 3][rows[0].size() - 3] = 'P';
    MapFromRows(rows);
    SetConfigurationDefaults();
    StartHour = hour;
    StormSetting = 0;
    SeedRandom(5);
    LocalPlayer = 1;
    MissionMode = 0;
    MapNumber = 1;
    ResetGameState();
    LoadMapTerrain(1);
    StartNewGame(1);
    Units.clear();
    FogOn = -1;
    OpponentOn = -1;
}

static int Building(int type, int owner, int x, int y, float done = 1)
{
    int index = AddBuilding(MakeBuilding(NextObjectId += 10, type, owner, float(x), float(y), 0));
    Buildings[size_t(index)].buildProgress = std::max(1.0f, Buildings[size_t(index)].buildTotal * done);
    return index;
}

static int Unit(int type, int owner, float x, float y, int stance = 2)
{
    return AddUnit(MakeUnit(float(NextObjectId += 10), type, owner, x, y, stance, 0));
}

static void LookAt(float cellX, float cellY)
{
    CamX = 384 / Zoom - cellX * 32;
    CamY = 384 / Zoom - cellY * 32;
    ClampCamera();
}

static void PointerAt(int x, int y)
{
    CursorX = int(std::lround(x * UiScale));
    CursorY = int(std::lround(y * UiScale));
    LogicalCursorX = x;
    LogicalCursorY = y;
}

// Runs frames and saves the screen after the last one.
static void Shoot(int frames, const std::string& name)
{
    for (int i = 0; i < frames; i++) GameFrame();
    GrabScreen(9998);
    std::string path = Prefix + name + ".bmp";
    SavePicture(9998, path);
    std::printf("%s\n", path.c_str());
}

static void CliffScene()
{
    std::vector<std::string> rows = Rows(40, 30, '.');
    for (int y = 3; y < 21; y++) rows[size_t(y)][18] = rows[size_t(y)][19] = '#';
    StartScene(rows, 12);
    for (int i = 0; i < 6; i++) {
        int tank = Unit(i % 2 ? 2402 : 2302, 1, 10.5f + float(i % 2), 6.5f + float(i) * 1.2f);
        Units[size_t(tank)].target = 0;
        Units[size_t(tank)].destX = 28.5f;
        Units[size_t(tank)].destY = 8.5f + float(i % 3);
        Units[size_t(tank)].selection = 2;
    }
    RecomputeObstacles();
    LookAt(19, 12);
    PointerAt(700, 700);
    Shoot(140, "cliff-driving");
    ShowObstacles = 1;
    Shoot(60, "cliff-obstacles");
}

// Player 1's base on the left; a mixed army of player 2 comes at it from the right.
static void BattleScene()
{
    std::vector<std::string> rows = Rows(50, 34, 'E');
    for (int y = 1; y < 34; y++) rows[size_t(y)].replace(30, 20, std::string(20, '.'));
    StartScene(rows, 11);
    Building(1300, 1, 8, 8);
    Building(1240, 1, 12, 12);
    Building(1100, 1, 8, 13);
    Building(1400, 1, 13, 7);
    Building(1100, 1, 17, 8);
    Unit(1052, 1, 20.5f, 10.5f, 1);
    Unit(1054, 1, 20.5f, 14.5f, 1);
    for (int i = 0; i < 8; i++) Unit(i % 2 ? 2402 : 2101, 1, 17 + float(i % 4), 16 + float(i / 4), 2);
    static const int army[] = {2201, 2302, 2304, 2402, 2404, 2501, 2505, 2604, 2605, 2606, 2203, 2305};
    for (int i = 0; i < 24; i++) Unit(army[i % 12], 2, 25 + float(i % 6) * 1.5f, 6 + float(i / 6) * 2.5f, 2);
    Players[1].energy = Players[2].energy = 5;
    Players[2].attackTarget = 1;
    Players[2].kind = 1;
    RecomputeObstacles();
    LookAt(22, 12);
    PointerAt(700, 720);
    Shoot(90, "battle-1");
    Shoot(60, "battle-2");
    Shoot(90, "battle-3");
}

// A base at a given hour: some buildings complete, some going up.
static void BaseScene(int hour, const std::string& name)
{
    std::vector<std::string> rows = Rows(40, 30, 'E');
    for (int y = 20; y < 30; y++) rows[size_t(y)].replace(1, 39, std::string(39, '.'));
    StartScene(rows, hour);
    DayNightSetting = 1;
    Building(1300, 1, 6, 6);
    Building(1100, 1, 10, 6);
    Building(1100, 1, 12, 6, 0.3f);
    Building(1200, 1, 6, 10);
    Building(1400, 1, 10, 10, 0.6f);
    Building(1410, 1, 14, 10, 0.05f);
    Building(1210, 1, 14, 6);
    for (int x = 4; x < 18; x++) Building(1000, 1, x, 14);
    JoinWalls();
    Unit(2001, 1, 13, 9, 3);
    Unit(2002, 1, 9, 15, 3);
    RecomputeObstacles();
    LoadShadowsForClock();
    LookAt(11, 10);
    PointerAt(700, 700);
    Shoot(30, name);
}

// Every building that casts a shadow, complete, on sand at a given hour with the day-night
// cycle on: the hourly shadows fall right in the morning, short and down at noon, left at night.
static void ShadowScene(int hour, const std::string& name)
{
    StartScene(Rows(40, 30, '.'), hour);
    DayNightSetting = 1;
    static const int rows[3][4] = {{1300, 1400, 1200, 1220}, {1230, 1240, 1250, 1260}, {1100, 1410, 1420, 1210}};
    for (int row = 0; row < 3; row++)
        for (int column = 0; column < 4; column++) Building(rows[row][column], 1, 4 + 5 * column, 4 + 5 * row);
    Building(1100, 2, 35, 25); // out of sight, so that the game is not won at once
    RecomputeObstacles();
    LoadShadowsForClock();
    LookAt(13.5f, 12);
    PointerAt(700, 740);
    Shoot(30, name);
}

// Troops, speeders and quads of three players meeting on earth and sand, with a tank, a robot
// and a glider each, seen at zoom 1 and 0.5: whose unit is whose must show on the unit itself.
static void TroopsScene()
{
    std::vector<std::string> rows = Rows(48, 40, 'E');
    for (int y = 19; y < 40; y++) rows[size_t(y)].replace(1, 47, std::string(47, '.'));
    StartScene(rows, 11);
    PlayerCount = 3;
    static const int army[] = {2101, 2102, 2103, 2107, 2101, 2201, 2203, 2206, 2102, 2103, 2302, 2304, 2305, 2402, 2501};
    // Each player's group: a corner cell, the way it faces, and which way its rows run.
    struct Group {
        float x, y;
        int heading;
        float rowX, rowY, columnX, columnY;
    };
    const Group groups[3] = {{13, 9, 20, 1.4f, 0, 0, 1.5f}, {34, 9, 160, -1.4f, 0, 0, 1.5f}, {20, 26, 270, 1.4f, 0, 0, -1.5f}};
    for (int player = 1; player <= 3; player++) {
        const Group& group = groups[player - 1];
        for (int i = 0; i < 15; i++) {
            float column = float(i % 5), row = float(i / 5);
            float x = group.x + column * group.rowX + row * group.columnX, y = group.y + column * group.rowY + row * group.columnY;
            int index = Unit(army[i], player, x, y, 2);
            Units[size_t(index)].heading = float((group.heading + i * 13 % 50 + 335) % 360);
        }
    }
    RecomputeObstacles();
    LookAt(24, 16);
    PointerAt(700, 740);
    Shoot(40, "troops-zoom1");
    ZoomBy(-1);
    LookAt(24, 16);
    Shoot(10, "troops-zoom05");
    ZoomBy(1);
}

static void MenusScene(const std::string& size)
{
    std::vector<std::string> rows = Rows(40, 30, 'E');
    for (int y = 18; y < 30; y++) rows[size_t(y)].replace(20, 20, std::string(20, '$'));
    StartScene(rows, 12);
    int factory = Building(1220, 1, 6, 6);
    int lab = Building(1400, 1, 12, 6);
    Building(1410, 1, 6, 11);
    Building(1100, 1, 9, 11);
    Building(1100, 1, 11, 11);
    Building(1100, 1, 13, 11);
    Building(1100, 1, 15, 14);
    for (int i = 0; i < 6; i++) Unit(2402, 2, 30 + float(i), 5, 0);
    Players[1].research[ResearchFlagIndex(722)] = 1;
    Players[1].research[ResearchFlagIndex(712)] = 1;
    Buildings[size_t(factory)].queue = "2201   600" "2201   600";
    Buildings[size_t(factory)].currentItem = 2201;
    Buildings[size_t(factory)].total = 600;
    Buildings[size_t(factory)].remaining = 250;
    Buildings[size_t(lab)].currentItem = 713;
    Buildings[size_t(lab)].total = 4000;
    Buildings[size_t(lab)].remaining = 1500;
    int builder = Unit(2001, 1, 16, 12, 3);
    RecomputeObstacles();
    LookAt(11, 10);

    Buildings[size_t(factory)].selection = 2;
    PointerAt(813, 414);
    Shoot(3, "menu-factory-" + size);
    Buildings[size_t(factory)].selection = 0;
    Buildings[size_t(lab)].selection = 2;
    PointerAt(813, 364);
    Shoot(3, "menu-lab-" + size);
    Buildings[size_t(lab)].selection = 0;
    Units[size_t(builder)].selection = 2;
    PointerAt(867, 534);
    Shoot(3, "menu-builder-" + size);
    BuildingToPlace = 1300;
    PointerAt(300, 420);
    Shoot(3, "ghost-fits-" + size);
    PointerAt(680, 640);
    Shoot(3, "ghost-refused-" + size);
}

// The benchmarks' big battle at the real 40 frames per second with the debug overlay held, so
// that the screen shows what the frame rate is.
static void BigBattleScene()
{
    StageBigBattle();
    StartFpsClock();
    SetFrameWait(1);
    InjectKey(0x43, 1);
    for (int second = 0; second < 12; second++) {
        auto start = std::chrono::steady_clock::now();
        for (int frame = 0; frame < 40; frame++) {
            TopUpBattleShots(2000);
            GameFrame();
        }
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("second %d: %.1f frames per second (the overlay: %d), %d draw calls\n", second, 40 / seconds, FramesPerSecond(), DrawCallsLastFrame());
    }
    // The overlay's rate moves between 39 and 40 as a late frame comes and goes from its
    // window; the picture is taken at the first frame of the next two seconds that shows 40.
    // The clock runs on beside the frames, so what counts is the rate the frame drew.
    for (int frame = 0; frame < 80 && (frame == 0 || OverlayFramesPerSecond() < 40); frame++) {
        TopUpBattleShots(2000);
        GameFrame();
    }
    std::printf("the overlay shows %d\n", OverlayFramesPerSecond());
    Shoot(0, "bigbattle"); // the frame just drawn, with the rate it read
    InjectKey(0x43, 0);
}

// A free game on the first shipped map with `humans` human players.
static void StartOnFirstFreeMap(unsigned seed, int humans)
{
    SetConfigurationDefaults();
    SeedRandom(seed);
    LocalPlayer = 1;
    MissionMode = 0;
    MapNumber = FreeMapFor(1);
    ResetGameState();
    LoadMapTerrain(MapNumber);
    StartNewGame(humans);
}

// An hour of play as the computers play it on the first free map (every player a computer, at
// speed 1, 40 frames a second), then the pause menu's statistics and save pages over it.
static void StatisticsScene()
{
    StartOnFirstFreeMap(9, 1);
    GameSpeed = 1;
    OpponentOn = 1;
    for (int p = 1; p <= PlayerCount; p++) {
        Players[p].kind = 1;
        Players[p].money = 17000;
    }
    auto start = std::chrono::steady_clock::now();
    for (int frame = 0; frame < 40 * 3600; frame++) SimulateFrame();
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("an hour of play in %.1f s: %d game seconds, %d samples, %zu units, %zu buildings, money %d %d\n", seconds,
                ElapsedSeconds, StatSampleIndex, Units.size(), Buildings.size(), Players[1].money, Players[2].money);
    Players[1].kind = 0;
    BuildSpaceScene();
    StartMenus();
    Menu.inGame = 1;
    auto page = [](int number, const std::string& name) {
        Menu.current = number;
        for (int i = 0; i < 60; i++) MenuFrame();
        GrabScreen(9998);
        std::string path = Prefix + name + ".bmp";
        SavePicture(9998, path);
        std::printf("%s\n", path.c_str());
    };
    page(TablePage, "statistics-table");
    page(DiagramPage, "statistics-diagrams");
    StatPlayerShown[2] = -1;
    StatSeriesShown[2] = -1;
    Menu.diagramStale = 1;
    page(DiagramPage, "statistics-diagrams-switched");
    SaveGame("Eine Stunde");
    page(SavePage, "save-page");
    page(LoadPage, "load-page");
}

// A save for a network game of two: both bases on the first free map and their armies
// meeting between them, the view over the battle; written as "Netzschlacht" in SAVE.
static void NetworkBattleSave()
{
    StartOnFirstFreeMap(4, 2);
    PlayerCount = std::min(PlayerCount, 2);
    float midX = float(Players[1].startX + Players[2].startX) / 2, midY = float(Players[1].startY + Players[2].startY) / 2;
    static const int army[] = {2101, 2201, 2302, 2304, 2402, 2404, 2501, 2505, 2604, 2605};
    for (int p = 1; p <= 2; p++) {
        float side = p == 1 ? -1.0f : 1.0f;
        for (int i = 0; i < 30; i++) {
            float x = midX + side * (2.5f + float(i % 3)), y = midY - 5 + float(i / 3);
            if (x < 2 || y < 2 || x > float(MapWidth - 3) || y > float(MapHeight - 3) || ObstacleGrid[int(x)][int(y)] != 0) continue;
            int index = Unit(army[i % 10], p, x, y, 2);
            Units[size_t(index)].heading = p == 1 ? 0 : 180;
        }
    }
    for (int x = int(midX) - 14; x <= int(midX) + 14; x++)
        for (int y = int(midY) - 12; y <= int(midY) + 12; y++)
            if (x >= 0 && y >= 0 && x <= MapWidth && y <= MapHeight) FogGrid[x][y] = 0;
    RecomputeObstacles();
    LookAt(midX, midY);
    GameSpeed = 1;
    SaveGame("Netzschlacht");
    std::printf("SAVE\\Netzschlacht.sav: %zu units between %d,%d and %d,%d\n", Units.size(), Players[1].startX,
                Players[1].startY, Players[2].startX, Players[2].startY);
}

// A save for walking through a group order by hand: the first free map, the player's base with
// a radar station (the minimap shows) and a group of twelve of every kind beside it, the view
// over them; written as "Gruppe" in SAVE.
static void GroupSave()
{
    StartOnFirstFreeMap(6, 1);
    int sx = Players[1].startX, sy = Players[1].startY;
    auto place = [&](int type) {
        for (int ring = 2; ring < 20; ring++)
            for (int dx = -ring; dx <= ring; dx++)
                for (int dy = -ring; dy <= ring; dy++)
                    if (PlacementFaultAt(type, sx + dx, sy + dy) == PlacementFits) {
                        Building(type, 1, sx + dx, sy + dy);
                        RecomputeObstacles();
                        return;
                    }
    };
    for (int type : {1410, 1100, 1100, 1100}) place(type);
    static const int group[] = {2101, 2101, 2101, 2101, 2201, 2201, 2302, 2302, 2402, 2402, 2501, 2501};
    int placed = 0;
    for (int dy = -6; dy <= 6 && placed < 12; dy++)
        for (int dx = -6; dx <= 6 && placed < 12; dx++) {
            int x = sx + dx, y = sy + dy;
            if (x < 2 || y < 2 || x > MapWidth - 3 || y > MapHeight - 3 || ObstacleGrid[x][y] != 0 || std::abs(dx) + std::abs(dy) < 2) continue;
            Unit(group[placed++], 1, float(x) + 0.5f, float(y) + 0.5f, 0);
        }
    for (int x = 0; x <= MapWidth; x++)
        for (int y = 0; y <= MapHeight; y++)
            if (std::abs(x - sx) <= 16 && std::abs(y - sy) <= 16) FogGrid[x][y] = 0;
    Players[1].money = 20000;
    LookAt(float(sx), float(sy));
    SaveGame("Gruppe");
    // Where a walk finds them on a 1024 x 768 screen at zoom 1: the group's box, and a free
    // point about ten cells away that the view shows.
    auto screenX = [](float cell) { return int(std::lround(cell * 32 + CamX)); };
    auto screenY = [](float cell) { return int(std::lround(cell * 32 + CamY)); };
    int left = 1024, top = 768, right = 0, bottom = 0;
    float cx = 0, cy = 0;
    for (const auto& unit : Units)
        if (unit.typeId != 2001) {
            left = std::min(left, screenX(unit.x) - 20);
            right = std::max(right, screenX(unit.x) + 20);
            top = std::min(top, screenY(unit.y) - 20);
            bottom = std::max(bottom, screenY(unit.y) + 20);
            cx += unit.x / 12;
            cy += unit.y / 12;
        }
    int targetX = -1, targetY = -1, best = -1;
    for (int x = 1; x < MapWidth - 1; x++)
        for (int y = 1; y < MapHeight - 1; y++) {
            float d = std::hypot(float(x) - cx, float(y) - cy);
            int px = screenX(float(x) + 0.5f), py = screenY(float(y) + 0.5f);
            int inland = x >= 5 && y >= 5 && x < MapWidth - 5 && y < MapHeight - 5;
            if (d < 8 || d > 12 || !inland || px < 40 || px > 728 || py < 60 || py > 728) continue;
            int free = 0;
            for (int dx = -3; dx <= 3; dx++)
                for (int dy = -3; dy <= 3; dy++) free += ObstacleGrid[std::clamp(x + dx, 0, 256)][std::clamp(y + dy, 0, 256)] == 0;
            if (free > best) {
                best = free;
                targetX = px;
                targetY = py;
            }
        }
    std::printf("SAVE\\Gruppe.sav: %d units at %d,%d\n", placed, sx, sy);
    std::printf("group %d %d %d %d target %d %d builder %d %d\n", left, top, right, bottom, targetX, targetY, screenX(Units[0].x),
                screenY(Units[0].y));
}

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: sceneshot <DATEN folder> <cliff|battle|base|shadows|troops|menus|bigbattle|statistics|netbattle|groupsave> <width> <output prefix>\n");
        return 2;
    }
    SetProgramFolder(argv[1]);
    std::string scene = argv[2];
    int width = std::atoi(argv[3]);
    Prefix = argv[4];
    if (!StartDisplayLayer() || !StartSpriteLayer()) return 1;
    StartSoundLayer();
    int height = width == 1280 ? 1024 : 768;
    SetConfigurationDefaults();
    ResolutionIndex = width == 1280 ? 5 : 3;
    if (!OpenGameDisplay()) return 1;
    SetFrameWait(0);
    LoadAssets();
    LoadSounds();
    LoadDataTables();
    if (TitleFontFamily.empty()) TitleFontFamily = "Omicron Zeta Pressed";
    CreateFonts();
    (void)height;
    if (scene == "cliff") CliffScene();
    else if (scene == "battle") BattleScene();
    else if (scene == "base") {
        BaseScene(12, "base-noon");
        BaseScene(18, "base-dusk");
    } else if (scene == "shadows") {
        ShadowScene(7, "shadows-07");
        ShadowScene(12, "shadows-12");
        ShadowScene(17, "shadows-17");
    } else if (scene == "troops") TroopsScene();
    else if (scene == "menus") MenusScene(std::to_string(width));
    else if (scene == "bigbattle") BigBattleScene();
    else if (scene == "statistics") StatisticsScene();
    else if (scene == "netbattle") NetworkBattleSave();
    else if (scene == "groupsave") GroupSave();
    StopLayers();
    return 0;
}
