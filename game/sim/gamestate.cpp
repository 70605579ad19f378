// game/sim/gamestate.cpp - the running game's state, its reset and the rules' share of a frame:
// the passes over the world, the storms, the clock, the statistics and the opponents' turns.
#include "game/sim/gamestate.h"

#include "game/base/assets.h"
#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/base/textentry.h"
#include "game/sim/buildings.h"
#include "game/sim/combat.h"
#include "game/sim/effects.h"
#include "game/sim/opponent.h"
#include "game/sim/statsamples.h"
#include "game/sim/units.h"
#include "game/sim/world.h"

#include <algorithm>
#include <cmath>

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
int LowestFps = 0;
void (*ResetScreensOfGame)() = nullptr;

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
    if (ResetScreensOfGame) ResetScreensOfGame();
    ResetMouseEvents();
}

int AdvancedClock(int timeOfDay, float speed)
{
    int next = int(std::lround(timeOfDay + speed));
    return next > 86399 ? 0 : next;
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

void AdvanceWorld()
{
    WorldPass();
    BuildingPass();
    ProjectileSteps(int(std::lround(GameSpeed)));
    UnitPass();
    MoveSandstorms();
}

void CloseWorldFrame()
{
    ClockStep();
    StatisticsStep();
    OpponentsStep();
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
    CloseWorldFrame();
}
