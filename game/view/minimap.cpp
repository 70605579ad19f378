// game/view/minimap.cpp - the minimap: the map scaled to fill its panel, centred on layout point
// (896, 128), every cell a square of the same size whatever the map's shape.
#include "game/view/minimap.h"

#include "game/sim/buildings.h"
#include "game/sim/gamestate.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "game/view/gamedraw.h"
#include "game/view/uidraw.h"
#include "platform/latin1.h"
#include "platform/pictures.h"

#include <algorithm>
#include <cmath>

constexpr int MinimapPicture = 9990; // the minimap image, handed over for drawing when it changed
constexpr int FogMapPicture = 9991;  // the fog image likewise
constexpr float MinimapSide = 216;   // layout units the map fills, a little inside the 224 panel

int MinimapShown() { return MinimapAvailable && Players[std::clamp(LocalPlayer, 0, MaxPlayers)].energy >= 1; }

// The side of one cell in screen pixels, and the map's top-left corner.
static float CellSide() { return MinimapSide * UiScale / float(std::max({MapWidth, MapHeight, 1})); }
static float OriginX() { return std::round(896 * UiScale - float(MapWidth) * CellSide() / 2); }
static float OriginY() { return std::round(128 * UiScale - float(MapHeight) * CellSide() / 2); }

static float PointerPixelX() { return float(LogicalCursorX) * UiScale; }
static float PointerPixelY() { return float(LogicalCursorY) * UiScale; }

int PointerOnMinimap()
{
    float x = PointerPixelX() - OriginX(), y = PointerPixelY() - OriginY();
    return MinimapShown() && x >= 0 && y >= 0 && x < float(MapWidth) * CellSide() && y < float(MapHeight) * CellSide();
}

void MinimapCellUnderPointer(float& x, float& y)
{
    x = std::clamp((PointerPixelX() - OriginX()) / CellSide(), 0.0f, float(std::max(0, MapWidth - 1)));
    y = std::clamp((PointerPixelY() - OriginY()) / CellSide(), 0.0f, float(std::max(0, MapHeight - 1)));
}

// A press on the minimap, and a drag that started there, put the middle of the playfield over
// the cell under the pointer. A drag that started on the playfield stays a selection box.
static int DraggingView = 0;

void MinimapViewStep()
{
    int pressed = MouseCode == 10, held = MouseCode == 11, released = MouseCode == 12 || MouseCode == 14;
    if (pressed) DraggingView = PointerOnMinimap();
    if (!(pressed || held || released)) DraggingView = 0;
    if (!DraggingView) return;
    float cellX = 0, cellY = 0;
    MinimapCellUnderPointer(cellX, cellY);
    CamX = 384 / Zoom - cellX * 32;
    CamY = 384 / Zoom - cellY * 32;
    ClampCamera();
    if (released) DraggingView = 0;
}

// A mark of `sprite` of w x h screen pixels at a screen pixel.
static void Mark(int sprite, float x, float y, float w, float h, int opacity)
{
    SetSpriteSize(sprite, w, h);
    SetSpriteAngle(sprite, 0);
    DrawSprite3D(sprite, x, y, opacity);
}

static int TeamMark(int owner) { return 9100 + std::clamp(owner, 1, 4); }

static void DrawObjects(float x0, float y0, float cell)
{
    for (const Building& building : Buildings)
        if (building.state >= 0)
            Mark(TeamMark(building.owner), x0 + building.x * cell, y0 + building.y * cell, std::ceil(building.width / 64.0f) * cell,
                 std::ceil(building.height / 64.0f) * cell, 255);
    for (const Unit& unit : Units)
        if (unit.state >= 0)
            Mark(TeamMark(unit.owner), x0 + std::floor(unit.x) * cell, y0 + std::floor(unit.y) * cell, std::ceil(unit.width / 64.0f) * cell,
                 std::ceil(unit.height / 64.0f) * cell, 255);
    // A storm wanders a little beyond the map's edges; there the minimap has no place for it.
    for (const Sandstorm& storm : Sandstorms) {
        float x = std::round(storm.x / 32), y = std::round(storm.y / 32);
        if (x < 0 || y < 0 || x >= float(MapWidth) || y >= float(MapHeight)) continue;
        Mark(9010, x0 + (x - 1) * cell, y0 + (y - 1) * cell, 3 * cell, 3 * cell, 255);
    }
}

// The frame of what the playfield shows.
static void DrawViewFrame(float x0, float y0, float cell)
{
    float x = x0 - std::round(CamX / 32) * cell, y = y0 + (1 - std::round(CamY / 32)) * cell;
    float w = std::round(24 / Zoom) * cell, h = std::round(23 / Zoom) * cell;
    Mark(9015, x, y, w, 1, 100);
    Mark(9015, x, y + h - 1, w, 1, 100);
    Mark(9015, x, y, 1, h, 100);
    Mark(9015, x + w - 1, y, 1, h, 100);
}

// An image of the world drawn as a 3-D sprite, so that it can be scaled; handed to the display
// only when it changed since the last frame (the fog changes as units look about, the terrain
// where spice is taken), not in every frame.
static void DrawScaledImage(int picture, const Image& image, Image& shown, float x, float y, float w, float h)
{
    if (shown.width != image.width || shown.height != image.height || shown.pixels != image.pixels || !Sprite3DExists(picture)) {
        SetPictureImage(picture, image);
        CreateSprite3D(picture);
        shown = image;
    }
    Mark(picture, x, y, w, h, 255);
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
    static Image shownMap, shownFog;
    float x0 = OriginX(), y0 = OriginY(), cell = CellSide();
    float w = float(MapWidth) * cell, h = float(MapHeight) * cell;
    // Cells stay sharp squares when the map is drawn larger than one pixel a cell.
    SetTextureFiltering(cell < 1 ? 1 : 0);
    DrawScaledImage(MinimapPicture, MinimapImage, shownMap, x0, y0, w, h);
    DrawObjects(x0, y0, cell);
    if (FogOn == 1) DrawScaledImage(FogMapPicture, FogImage, shownFog, x0, y0, w, h);
    SetTextureFiltering(1);
    DrawViewFrame(x0, y0, cell);
}
