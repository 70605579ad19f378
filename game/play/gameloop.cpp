// game/play/gameloop.cpp - the frame order of a running game, its clock, keys and end rules.
#include "game/play/gameloop.h"

#include "game/base/assets.h"
#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/base/messages.h"
#include "game/base/textentry.h"
#include "game/net/netgame.h"
#include "game/sim/buildings.h"
#include "game/sim/combat.h"
#include "game/sim/effects.h"
#include "game/sim/opponent.h"
#include "game/sim/paths.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "game/ui/commands.h"
#include "game/ui/interface.h"
#include "game/ui/statistics.h"
#include "game/view/gamedraw.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/sprites.h"

#include <algorithm>
#include <cmath>

int LocalPlayer = 1;
int ChatActive = 0;
int NetworkGame = 0;
int NextObjectId = 100000;
int ElapsedSeconds = 0;
int TimeOfDay = 12 * 3600;
float CamX = 0, CamY = 0;
int CursorX = 0, CursorY = 0;
int LogicalCursorX = 0, LogicalCursorY = 0;
int MissionMode = 0;
int MapNumber = 1;
std::string MissionTask;
int StatSampleIndex = 0;
int StatSampleTimer = 0;
float GameSpeed = 4;
int AnimPhase = 0;
int StormPhase = 0;
float Zoom = 1.0f;
float DrawScale = 1.0f;
int RenderThisFrame = 1;
int FrameSkip = 0;
int HelpVisible = 0;
int HelpPage = 0;
int PathfindingOn = 1, ShowObstacles = -1, OpponentOn = 1, FogOn = 1;
int BlendMode1 = 0, BlendMode2 = 0;
int MouseCode = 0;
int GameResult = 0;
int ResultFrames = 0;
int OwnObjects = 0, OwnIncinerators = 0;
int RadarCaptured = -1;
int LeaveGame = 0;
int NextMission = 0;
int PauseRequested = 0;
void (*EveryPlayedFrame)() = nullptr;
int LowestFps = 0;

// Scan codes the game screen reacts to.
enum GameKey {
    KeyEscape = 0x01, KeyReturn = 0x1C, KeyF1 = 0x3B, KeyF9 = 0x43, KeyF12 = 0x58, KeyUp = 0xC8,
    KeyPageUp = 0xC9, KeyLeft = 0xCB, KeyRight = 0xCD, KeyDown = 0xD0, KeyPageDown = 0xD1, KeyDelete = 0xD3,
};

void ResetGameState()
{
    GameSpeed = std::clamp(GameSpeedSetting, 1.0f, 16.0f);
    FrameSkip = FrameSkipSetting == 1 ? 1 : 0;
    PathfindingOn = PathfindingSetting;
    ShowObstacles = PathTestSetting;
    OpponentOn = ComputerSetting;
    FogOn = FogSetting;
    AnimPhase = StormPhase = 0;
    RenderThisFrame = 1;
    HelpVisible = HelpPage = 0;
    ChatActive = 0;
    NetworkGame = 0;
    GameResult = ResultFrames = 0;
    OwnObjects = OwnIncinerators = 0;
    RadarCaptured = -1;
    LeaveGame = NextMission = PauseRequested = 0;
    StatSampleTimer = 0;
    LowestFps = 0;
    Projectiles.clear();
    Effects.clear();
    ClearStatistics();
    ResetInterface();
    ResetMouseEvents();
}

float ChangedSpeed(float speed, int delta)
{
    speed += float(delta);
    if (speed <= 0) speed = 1;
    if (speed >= 17) speed = 16;
    return speed;
}

int AdvancedClock(int timeOfDay, float speed)
{
    int next = int(std::lround(timeOfDay + speed));
    return next > 86399 ? 0 : next;
}

// Keeps the map under the 768-unit playfield: never past its edges.
void ClampCamera()
{
    float leftmost = 768 / Zoom - MapWidth * 32.0f, topmost = 768 / Zoom - MapHeight * 32.0f;
    CamX = std::min(std::max(CamX, leftmost), 0.0f);
    CamY = std::min(std::max(CamY, topmost), 32 / Zoom);
}

// Sprites that follow the zoom: the fog tile covers two cells, ground sprites one.
static void SizeZoomedSprites()
{
    SetSpriteSize(3900, 64 * DrawScale, 64 * DrawScale);
    for (int number = 4000; number <= 6000; number++) SetSpriteSize(number, 32 * DrawScale, 32 * DrawScale);
}

void ZoomBy(int notches)
{
    float zoom = std::clamp(Zoom + 0.5f * notches, 0.5f, 2.0f);
    if (zoom == Zoom) return;
    // The world point under the playfield's centre stays there.
    float centreX = 384 / Zoom - CamX, centreY = 384 / Zoom - CamY;
    Zoom = zoom;
    DrawScale = UiScale * Zoom;
    CamX = 384 / Zoom - centreX;
    CamY = 384 / Zoom - centreY;
    SizeZoomedSprites();
}

// ---- the steps of a frame ----

// The ticker tells the new speed; a line that told the last one and is still there says it
// instead, so that a run of key presses leaves one line.
static void SayGameSpeed()
{
    const std::string said = "INFO: Spielgeschwindigkeit ";
    std::string line = said + std::to_string(int(std::lround(GameSpeed)));
    if (!Messages.empty() && Messages.back().text.compare(0, said.size(), said) == 0) Messages.back().text = line;
    else AddMessage(line);
}

// Escape pauses; Page Up and Down change the speed. 1 when the game is paused.
static int SpeedAndPauseKeys()
{
    if (ChatActive) return 0;
    if (KeyWentUp(KeyEscape)) {
        ClearPathWork();
        PauseRequested = 1;
        return 1;
    }
    if (KeyWentUp(KeyPageUp)) GameSpeed = ChangedSpeed(GameSpeed, -1);
    if (KeyWentUp(KeyPageDown)) GameSpeed = ChangedSpeed(GameSpeed, +1);
    if (KeyWentUp(KeyPageUp) || KeyWentUp(KeyPageDown)) SayGameSpeed();
    return 0;
}

// Storms wander; one that leaves the map comes back somewhere else; each sheds dust.
static void MoveSandstorms()
{
    if (Sandstorms.empty()) return;
    StormPhase = (StormPhase + 1) % 360;
    for (size_t i = 0; i < Sandstorms.size(); i++) {
        Sandstorm& storm = Sandstorms[i];
        float radians = storm.direction * DegreesToRadians;
        storm.x += std::cos(radians) * 0.1f * GameSpeed;
        storm.y += std::sin(radians) * 0.1f * GameSpeed;
        if (storm.x < -200 || storm.y < -200 || storm.x > MapWidth * 32 + 200 || storm.y > MapHeight * 32 + 200) {
            storm.x = float(Rnd(MapWidth * 32) + 1);
            storm.y = float(Rnd(MapHeight * 32) + 1);
            storm.direction = float(Rnd(359));
        }
        if (Rnd(2) == 0) storm.direction += float(Rnd(8) - 4);
        for (int d = 0; d < int(std::lround(GameSpeed / 2)); d++)
            AddEffect(31 + int(i), float(2 + Rnd(6)), storm.x, storm.y, float(12 + Rnd(3)), float(Rnd(7) * 45 + StormPhase),
                      float(100 + Rnd(100)));
    }
}

static void ReadMouseStep()
{
    ReadMouse();
    MouseCode = MouseEvent();
    if (MouseWheel() != 0) ZoomBy(MouseWheel());
    CursorX = std::clamp(CursorX + MouseMoveX() * MouseSpeed / 10, 0, ScreenWidthPx);
    CursorY = std::clamp(CursorY + MouseMoveY() * MouseSpeed / 10, 0, ScreenHeightPx);
    LogicalCursorX = int(std::lround(CursorX / UiScale));
    LogicalCursorY = int(std::lround(CursorY / UiScale));
}

static void ScrollStep()
{
    if (HelpVisible || ChatActive) return;
    float step = 8.0f * ScrollSpeed;
    if (LogicalCursorX < 1 || KeyHeld(KeyLeft)) CamX += step;
    if (LogicalCursorX >= 1024 || KeyHeld(KeyRight)) CamX -= step;
    if (LogicalCursorY < 1 || KeyHeld(KeyUp)) CamY += step;
    if (LogicalCursorY >= 768 || KeyHeld(KeyDown)) CamY -= step;
}

// Delete removes the selected objects at once, without refund; walls close up, the ways open.
static void DeleteSelected()
{
    if (ChatActive || !KeyWentUp(KeyDelete)) return;
    std::vector<float> gone;
    for (const Unit& unit : Units)
        if (unit.selection == 2.0f) gone.push_back(unit.id);
    for (const Building& building : Buildings)
        if (building.selection == 2) gone.push_back(float(building.id));
    if (gone.empty()) return;
    Units.erase(std::remove_if(Units.begin(), Units.end(), [](const Unit& unit) { return unit.selection == 2.0f; }), Units.end());
    Buildings.erase(std::remove_if(Buildings.begin(), Buildings.end(), [](const Building& building) { return building.selection == 2; }),
                    Buildings.end());
    IndexUnits();
    IndexBuildings();
    for (float id : gone) DropTargetEverywhere(id);
    JoinWalls();
    RecomputeObstacles();
}

// Enter opens the chat line; while it is open, the line editor takes the keys.
static void ChatStep()
{
    if (ChatActive) {
        TextEntryStep();
        if (!TextEntry.active) ChatActive = 0;
        return;
    }
    if (KeyWentUp(KeyReturn)) {
        ChatActive = 1;
        TextEntry.maxLength = 60;
        BeginTextEntry("");
    }
}

// While F9 is held its letters switch the debug settings.
static void DebugKeys()
{
    if (!KeyHeld(KeyF9)) return;
    if (KeyWentUp(0x11)) PathfindingOn = -PathfindingOn; // W
    if (KeyWentUp(0x23)) ShowObstacles = -ShowObstacles; // H
    if (KeyWentUp(0x2E)) OpponentOn = -OpponentOn;       // C
    if (KeyWentUp(0x3B)) BlendMode1--;                   // F1
    if (KeyWentUp(0x3C)) BlendMode1++;                   // F2
    if (KeyWentUp(0x3D)) BlendMode2--;                   // F3
    if (KeyWentUp(0x3E)) BlendMode2++;                   // F4
    if (KeyWentUp(0x15)) FrameSkip = 1 - FrameSkip;      // Z (the key right of T)
    if (KeyWentUp(0x20)) FogOn = -FogOn;                 // D
}

static void HelpKeys()
{
    if (ChatActive || KeyHeld(KeyF9)) return;
    if (KeyWentUp(KeyF1)) HelpVisible = !HelpVisible;
    if (!HelpVisible) return;
    if (KeyWentUp(KeyLeft) && HelpPage > 0) HelpPage--;
    if (KeyWentUp(KeyRight) && HelpPage < 10) HelpPage++;
}

// The clock; at each full hour of daylight the shadows follow the sun.
static void ClockStep()
{
    TimeOfDay = AdvancedClock(TimeOfDay, GameSpeed);
    ElapsedSeconds = int(std::lround(ElapsedSeconds + GameSpeed));
    if (DayNightSetting != 1 || ShadowEffects != 1) return;
    int hour = TimeOfDay / 3600;
    if (hour >= 5 && hour <= 18 && hour * 3600 < TimeOfDay && TimeOfDay <= int(std::lround(hour * 3600 + GameSpeed)))
        LoadBuildingShadows(hour);
}

static void StatisticsStep()
{
    if (StatSampleTimer == 0) {
        StatSampleTimer = -int(std::lround(384 / GameSpeed));
        // Past the samples' bound the diagram keeps what it has; a save holds no more.
        if (StatSampleIndex < MostStatSamples) {
            TakeStatisticsSample(StatSampleIndex);
            StatSampleIndex++;
        }
    }
    StatSampleTimer++;
}

static void OpponentsStep()
{
    // In a network game only the host plays the computer opponents; the clients see their
    // objects in the host's snapshots.
    if (NetworkGame && LocalPlayer != 1) return;
    if (Rnd(10) != 1) return;
    for (int p = 1; p <= PlayerCount; p++)
        if (Players[p].kind == 1) AiTurn(p);
}

// The end rules, evaluated on the counts of a drawn frame: 1 when the game is over and has
// shown its result long enough.
static int MissionResultStep()
{
    int allObjects = int(Units.size() + Buildings.size());
    int won = 0, lost = 0;
    if (MissionMode) {
        switch (MapNumber) {
        case 101: won = Players[LocalPlayer].money >= 10000; break;
        case 102: won = OwnObjects == allObjects; lost = OwnIncinerators < 4; break;
        case 103: won = RadarCaptured == 1; lost = OwnObjects == 0 || RadarCaptured == -1; break;
        case 104: won = OwnObjects == allObjects; lost = OwnObjects == 0; break;
        default: break;
        }
    } else {
        won = OwnObjects == allObjects;
        lost = OwnObjects == 0;
    }
    GameResult = won ? 1 : lost ? -1 : 0;
    if (GameResult != 0) {
        DrawResultText(GameResult);
        ResultFrames++;
    }
    OwnObjects = OwnIncinerators = 0;
    RadarCaptured = -1;
    if (ResultFrames < 100) return 0;
    LeaveGame = 1;
    if (MissionMode && GameResult == 1) NextMission = MapNumber - 99;
    return 1;
}

void AdvanceWorld()
{
    WorldPass();
    BuildingPass();
    ProjectileSteps(int(std::lround(GameSpeed)));
    UnitPass();
    MoveSandstorms();
}

int GameFrame()
{
    DrawScale = UiScale * Zoom;
    OrderMarkers.clear();
    AnimPhase = (AnimPhase + 5) % 360;
    ReadKeyboard();
    if (SpeedAndPauseKeys()) return 1;
    // Known before the world moves: the unit pass reveals fog and leaves tracks in drawn frames.
    RenderThisFrame = FrameSkip ? !RenderThisFrame : 1;
    AdvanceWorld();
    int over = 0;
    if (RenderThisFrame) {
        DrawPlayfield();
        over = MissionResultStep();
        EndScene();
    }
    ReadMouseStep();
    InterfaceFrame();
    ScrollStep();
    DeleteSelected();
    GroupKeys();
    ChatStep();
    DebugKeys();
    HelpKeys();
    ClampCamera();
    // A partner's pause ends the frame here, as the player's own Escape would.
    if (NetExchange()) return 1;
    SetFrameRate(40);
    CountFrame();
    ClockStep();
    StatisticsStep();
    OpponentsStep();
    return over;
}

void SimulateFrame()
{
    AnimPhase = (AnimPhase + 5) % 360;
    OrderMarkers.clear();
    RenderThisFrame = 0;
    AdvanceWorld();
    // Effects age as they are drawn; with nobody watching they must age all the same, or a
    // long game without a screen gathers them without end.
    AgeEffects();
    ComputeEnergy();
    ClockStep();
    StatisticsStep();
    OpponentsStep();
}

void RunGame()
{
    LeaveGame = NextMission = PauseRequested = 0;
    DrawScale = UiScale * Zoom;
    SizeZoomedSprites();
    while (!GameFrame()) {
        if (EveryPlayedFrame) EveryPlayedFrame();
        if (WindowCloseRequested()) {
            PauseRequested = 1;
            break;
        }
    }
}
