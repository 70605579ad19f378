// game/view/hud.cpp - what the game screen shows besides the map and the menus: the head-up
// line, the message ticker and its hints, the selected units down the left edge, the chat
// line, the debug overlay, the tutorial pages and the sidebar's ground.
#include "game/view/hud.h"

#include "game/net/threads.h"

#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/base/messages.h"
#include "game/base/tables.h"
#include "game/base/textentry.h"
#include "game/sim/buildings.h"
#include "game/sim/combat.h"
#include "game/sim/effects.h"
#include "game/sim/gamestate.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/sprites.h"

#include <algorithm>
#include <cmath>
#include <string>

static std::string Padded(const std::string& text, size_t width)
{
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

static std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

static void DrawHeadUpLine()
{
    const Player& local = Players[std::clamp(LocalPlayer, 1, MaxPlayers)];
    int hours = TimeOfDay / 3600, minutes = TimeOfDay / 60 - hours * 60;
    DrawText("Zeit: " + TwoDigits(hours) + ":" + TwoDigits(minutes), 0, 8, 1, 1);
    DrawText("Energie:" + Padded(std::to_string(local.energy), 3) + " MW", 128, 8, 1, 1);
    DrawText("Geld:" + Padded(std::to_string(local.money), 7) + " Euro", 286, 8, 1, 1);
    // Page Up and Down leave the speed the options chose; the line says so while they do.
    int speed = int(std::lround(GameSpeed)), chosen = int(std::lround(std::clamp(GameSpeedSetting, 1.0f, 16.0f)));
    if (speed != chosen) DrawText("Spielgeschw.: " + std::to_string(speed), 470, 8, 1, 1);
}

// The ticker rises half a unit per drawn frame; lines leave at the top. Each line lies on a
// dark ground of its own and is drawn last, so that it reads over the map, the selected units
// and the head-up line it passes on its way out; under another text's letters it would not.
static void DrawTicker()
{
    for (Message& message : Messages) {
        DrawText(message.text, 8, message.y, 1, 1);
        message.y -= 0.5f;
    }
    Messages.erase(std::remove_if(Messages.begin(), Messages.end(), [](const Message& m) { return m.y < -30 / UiScale; }),
                   Messages.end());
}

static void AddHints()
{
    if (!Messages.empty() || Rnd(500) != 1) return;
    const Player& local = Players[std::clamp(LocalPlayer, 1, MaxPlayers)];
    if (local.money < 1500) {
        AddMessage("INFO: Bauen sie Sammler (in der kleinen Fabrik)");
        AddMessage("      und Verbrennungsanlagen um Geld zu verdienen.");
    }
    if (local.energy < 1) AddMessage("INFO: Bauen sie Solaranlagen um Energie zu gewinnen.");
    if (local.money > 2000 && local.energy >= 2 && !local.research[0] && !local.research[5]) {
        AddMessage("INFO: Bauen sie ein Forschungszentrum um neue");
        AddMessage("      Technologien zu erforschen.");
    }
    if (MissionMode) AddMessage("AUFGABE: " + MissionTask);
}

// Selected units stacked down the left edge: frame, icon and health.
static void DrawSelectedUnits()
{
    float x = 0, y = 32;
    for (const Unit& unit : Units) {
        if (unit.selection != 2.0f || unit.owner != LocalPlayer) continue;
        SetSpriteSize(9014, 24 * UiScale, 24 * UiScale);
        DrawSprite3D(9014, x * UiScale, y * UiScale, 255);
        int icon = int(unit.typeId);
        SetSpriteSize(icon, 24 * UiScale, 24 * UiScale);
        SetSpriteAngle(icon, 0);
        DrawSprite3D(icon, x * UiScale, y * UiScale, 255);
        float share = unit.hitPoints / std::max(1.0f, unit.maxHitPoints);
        SetSpriteSize(9011, 24 * share * UiScale, 2 * UiScale);
        DrawSprite3D(9011, x * UiScale, (y + 22) * UiScale, 255);
        y += 28;
        if (y > 732) {
            y = 32;
            x += 24;
        }
    }
}

static void DrawChatLine()
{
    if (!ChatActive) return;
    SetSpriteSize(9012, 768 * UiScale, 24 * UiScale);
    DrawSprite3D(9012, 0, 740 * UiScale, 170);
    std::string line = TextEntry.text;
    if ((AnimPhase / 45) % 2 == 0) line.insert(size_t(std::clamp(TextEntry.cursor, 0, int(line.size()))), "_");
    DrawText("> " + line, 8, 744, 1, 0);
}

static int OverlayFps = 0;
int OverlayFramesPerSecond() { return OverlayFps; }

static void DrawDebugOverlay()
{
    if (!KeyHeld(0x43)) return;
    int fps = FramesPerSecond();
    OverlayFps = fps;
    // In a network game the host's snapshots bring the lowest rate among all players.
    if (!NetworkGame && fps > 0 && (LowestFps == 0 || fps < LowestFps)) LowestFps = fps;
    const std::pair<const char*, long long> lines[] = {
        {"[W] Wegsuche             : ", PathfindingOn},     {"[H] Anz. Hindernisse     : ", ShowObstacles},
        {"[C] Computerspieler      : ", OpponentOn},        {"[F1/F2] Blending1        : ", BlendMode1},
        {"[F3/F4] Blending2        : ", BlendMode2},        {"Bodenplatten             : ", (long long)GroundTiles.size()},
        {"Objekte                  : ", (long long)Buildings.size()}, {"Einheiten                : ", (long long)Units.size()},
        {"Munition                 : ", (long long)Projectiles.size()}, {"Effekte                  : ", (long long)Effects.size()},
        {"ID-Element               : ", NextObjectId},      {"[Z] Jedes x mal ein Bild : ", FrameSkip},
        {"[D] dunkele Stellen      : ", FogOn},             {"InfoWerteZeit            : ", StatSampleIndex},
        {"Bilder pro Sekunde       : ", fps},               {"Bilder pro Sekunde min   : ", LowestFps},
    };
    float y = 50;
    for (const auto& [label, value] : lines) {
        DrawText(label + std::to_string(value), 0, y, 1, 1);
        y += 20;
    }
    // What the network game costs the line, a second at a time.
    if (NetworkGame) {
        long long sent = 0, received = 0;
        NetBytesPerSecond(sent, received);
        DrawText("Netz gesendet (Byte/s)   : " + std::to_string(sent), 0, y, 1, 1);
        DrawText("Netz empfangen (Byte/s)  : " + std::to_string(received), 0, y + 20, 1, 1);
    }
}

static void DrawTutorial()
{
    if (!HelpVisible) return;
    for (int line = 0; line < 10; line++) {
        int slot = HelpPage * 10 + line;
        if (slot < TutorialSlots && !TutorialLines[slot].empty()) DrawText(TutorialLines[slot], 32, float(60 + 20 * line), 1, 1);
    }
}

// At 1280 x 1024 the 4:3 layout leaves a strip below row 768; a bar closes it.
static void DrawBottomBar()
{
    if (ScreenWidthPx != 1280 || ScreenHeightPx != 1024) return;
    SetSpriteSize(9014, 1280, 64);
    DrawSprite3D(9014, 0, 960, 255);
}

void DrawSidebarGround()
{
    ShadeRectangle(int(std::lround(768 * UiScale)), 0, ScreenWidthPx, ScreenHeightPx, 2, 2, 2, 255);
}

void DrawHud()
{
    DrawBottomBar();
    AddHints();
    DrawSelectedUnits();
    DrawHeadUpLine();
    DrawTicker();
    DrawChatLine();
    DrawDebugOverlay();
    DrawTutorial();
}
