// game/ui/minimap.cpp - the minimap: one pixel per cell, centred on layout point (896, 128).
#include "game/ui/minimap.h"

#include "game/sim/buildings.h"
#include "game/sim/gameloop.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "game/ui/uidraw.h"
#include "platform/latin1.h"
#include "platform/pictures.h"

#include <algorithm>
#include <cmath>

constexpr int MinimapPicture = 9990; // the minimap image, handed over for drawing each frame
constexpr int FogMapPicture = 9991;  // the fog image likewise

int MinimapShown() { return MinimapAvailable && Players[std::clamp(LocalPlayer, 0, MaxPlayers)].energy >= 1; }

// The minimap's top-left corner in screen pixels.
static int OriginX() { return int(std::lround(768 * UiScale)) + int(std::lround(128 * UiScale)) - MapWidth / 2; }
static int OriginY() { return int(std::lround(128 * UiScale)) - MapHeight / 2; }

void MinimapCellUnderPointer(float& x, float& y)
{
    x = float(LogicalCursorX) * UiScale - (128 * UiScale + 768 * UiScale - float(MapWidth) / 2);
    y = float(LogicalCursorY) * UiScale - (128 * UiScale - float(MapHeight) / 2);
}

// A mark of `sprite` of w x h screen pixels at a screen pixel.
static void Mark(int sprite, float x, float y, float w, float h, int opacity)
{
    SetSpriteSize(sprite, w, h);
    SetSpriteAngle(sprite, 0);
    DrawSprite3D(sprite, x, y, opacity);
}

static int TeamMark(int owner) { return 9100 + std::clamp(owner, 1, 4); }

static void DrawObjects(int x0, int y0)
{
    for (const Building& building : Buildings)
        if (building.state >= 0)
            Mark(TeamMark(building.owner), float(x0) + building.x, float(y0) + building.y, std::ceil(building.width / 64.0f),
                 std::ceil(building.height / 64.0f), 255);
    for (const Unit& unit : Units)
        if (unit.state >= 0)
            Mark(TeamMark(unit.owner), float(x0) + std::floor(unit.x), float(y0) + std::floor(unit.y), std::ceil(unit.width / 64.0f),
                 std::ceil(unit.height / 64.0f), 255);
    for (const Sandstorm& storm : Sandstorms)
        Mark(9010, float(x0) + std::round(storm.x / 32) - 1, float(y0) + std::round(storm.y / 32) - 1, 3, 3, 255);
}

// The frame of what the playfield shows.
static void DrawViewFrame(int x0, int y0)
{
    float x = float(x0) - std::round(CamX / 32), y = float(y0) - std::round(CamY / 32) + 1;
    float w = std::round(24 / Zoom), h = std::round(23 / Zoom);
    Mark(9015, x, y, w, 1, 100);
    Mark(9015, x, y + h - 1, w, 1, 100);
    Mark(9015, x, y, 1, h, 100);
    Mark(9015, x + w - 1, y, 1, h, 100);
}

void DrawMinimap()
{
    UiSprite(9012, 784, 16, 224, 224, 128);
    if (!MinimapShown()) {
        UiText("Keine Karte", 896, 108, 0, 0);
        UiText(L1("verfügbar"), 896, 128, 0, 0);
        return;
    }
    if (!RenderThisFrame) return;
    int x0 = OriginX(), y0 = OriginY();
    SetPictureImage(MinimapPicture, MinimapImage);
    DrawPicture(MinimapPicture, x0, y0, 0);
    DrawObjects(x0, y0);
    if (FogOn == 1) {
        SetPictureImage(FogMapPicture, FogImage);
        DrawPicture(FogMapPicture, x0, y0, 1);
    }
    DrawViewFrame(x0, y0);
}
