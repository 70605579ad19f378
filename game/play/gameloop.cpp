// game/play/gameloop.cpp - the frame order of a running game, its keys and end rules.
#include "game/play/gameloop.h"

#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/base/messages.h"
#include "game/base/textentry.h"
#include "game/net/netgame.h"
#include "game/sim/buildings.h"
#include "game/sim/paths.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "game/ui/commands.h"
#include "game/ui/interface.h"
#include "game/view/gamedraw.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/sprites.h"

#include <algorithm>
#include <cmath>

void (*EveryPlayedFrame)() = nullptr;

// Scan codes the game screen reacts to.
enum GameKey {
    KeyEscape = 0x01, KeyReturn = 0x1C, KeyF1 = 0x3B, KeyF9 = 0x43, KeyF12 = 0x58, KeyUp = 0xC8,
    KeyPageUp = 0xC9, KeyLeft = 0xCB, KeyRight = 0xCD, KeyDown = 0xD0, KeyPageDown = 0xD1, KeyDelete = 0xD3,
};

float ChangedSpeed(float speed, int delta)
{
    speed += float(delta);
    if (speed <= 0) speed = 1;
    if (speed >= 17) speed = 16;
    return speed;
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
    CloseWorldFrame();
    return over;
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
