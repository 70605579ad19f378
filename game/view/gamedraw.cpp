// game/view/gamedraw.cpp - the camera, the playfield in layers, and what is drawn over it.
#include "game/view/gamedraw.h"

#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/fonts.h"
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
#include "platform/latin1.h"
#include "platform/pictures.h"
#include "platform/sprites.h"
#include "platform/text.h"

#include <algorithm>
#include <cmath>
#include <string>

constexpr int FogPicture = 3900;     // the darkness tile

// Keeps the map under the 768-unit playfield: never past its edges.
void ClampCamera()
{
    float leftmost = 768 / Zoom - MapWidth * 32.0f, topmost = 768 / Zoom - MapHeight * 32.0f;
    CamX = std::min(std::max(CamX, leftmost), 0.0f);
    CamY = std::min(std::max(CamY, topmost), 32 / Zoom);
}

// Sprites that follow the zoom: the fog tile covers two cells, ground sprites one.
void SizeZoomedSprites()
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

float ScreenX(float worldX) { return (worldX + CamX) * DrawScale; }
float ScreenY(float worldY) { return (worldY + CamY) * DrawScale; }

int OnPlayfield(float x, float y, float w, float h)
{
    float right = 768 * UiScale, bottom = float(ScreenHeightPx);
    return x + w >= 0 && y + h >= 0 && x <= right && y <= bottom;
}

// A cell block is hidden while fog is on and none of its four cells has been seen. Blocks
// start at even cells, so that what is hidden is exactly what the fog tiles cover.
static int Hidden(int x, int y)
{
    if (FogOn != 1) return 0;
    x &= ~1;
    y &= ~1;
    for (int dx = 0; dx <= 1; dx++)
        for (int dy = 0; dy <= 1; dy++) {
            int cx = std::clamp(x + dx, 0, MaxMapSide), cy = std::clamp(y + dy, 0, MaxMapSide);
            if (FogGrid[cx][cy] == 0) return 0;
        }
    return 1;
}

int HiddenByFog(int x, int y) { return Hidden(x, y); }

// The local player's buildings keep their surroundings in sight (units do so in their pass).
static void RevealAroundOwnBuildings()
{
    if (FogOn != 1) return;
    for (const Building& building : Buildings) {
        if (building.owner != LocalPlayer || building.state < 0) continue;
        for (int fx = 0; fx < FootprintWidth(building); fx++)
            for (int fy = 0; fy < FootprintHeight(building); fy++) RevealCells(int(building.x) + fx, int(building.y) + fy, 7, 8);
    }
}

static void DrawGroundTiles()
{
    float size = 32 * DrawScale;
    for (const GroundTile& tile : GroundTiles) {
        float x = ScreenX((tile.x + 0.5f) * 32), y = ScreenY((tile.y + 0.5f) * 32);
        if (OnPlayfield(x, y, size, size) && !Hidden(tile.x, tile.y)) DrawSprite3D(tile.sprite, x, y, 255);
    }
}

static void DrawDecorations()
{
    for (const Decoration& decoration : Decorations) {
        float size = 32 * DrawScale, x = ScreenX(decoration.x * 32.0f) - size / 2, y = ScreenY(decoration.y * 32.0f) - size / 2;
        if (!OnPlayfield(x, y, size, size) || Hidden(decoration.x, decoration.y)) continue;
        SetSpriteAngle(decoration.sprite, float(decoration.angle));
        DrawSprite3D(decoration.sprite, x, y, 255);
    }
}

// The sun's height through the day: 1 at noon, about 181 at midnight.
int NightAlpha(int timeOfDay)
{
    float theta = timeOfDay / 240.0f * DegreesToRadians;
    float s = std::sin(theta);
    return int(std::lround(90 * std::cos(theta) * (1 + 0.6 * s * s) + 91));
}

static void DrawShadows()
{
    int hour = TimeOfDay / 3600;
    if (ShadowEffects != 1 || (DayNightSetting == 1 && (hour < 5 || hour > 18))) return;
    float theta = TimeOfDay / 240.0f * DegreesToRadians;
    float s = DayNightSetting == 1 ? float(70 * std::cos(theta) * (1 + 0.6 * std::sin(theta) * std::sin(theta))) : -45.0f;
    // A shadow takes light away from the ground beneath it (zero, inverse source alpha): the
    // shadow picture's grey marks where, the opacity how much.
    SetBlendFactors(1, 6);
    for (const Building& building : Buildings) {
        if (building.typeId < 1100 || building.state < 0) continue;
        float w = (building.width / 2.0f + 32) * DrawScale, h = (building.height / 2.0f + 32) * DrawScale;
        float x = ScreenX(building.x * 32) - 16 * DrawScale, y = ScreenY(building.y * 32) - 16 * DrawScale;
        if (!OnPlayfield(x, y, w, h) || Hidden(int(building.x), int(building.y))) continue;
        int opacity = building.buildProgress >= building.buildTotal ? int(std::lround(72 - s)) : 0;
        SetSpriteSize(building.typeId + 1, w, h);
        DrawSprite3D(building.typeId + 1, x, y, opacity);
    }
    SetBlendFactors(5, 6);
}

// A health bar: green for what is left, red for what is lost.
static void DrawHealthBar(float x, float y, float width, float share)
{
    share = std::clamp(share, 0.0f, 1.0f);
    SetSpriteSize(9011, width * share, 3 * DrawScale);
    DrawSprite3D(9011, x, y, 220);
    SetSpriteSize(9009, width * (1 - share), 3 * DrawScale);
    DrawSprite3D(9009, x + width * share, y, 220);
}

// The four corners of a selection frame around a screen rectangle (the marks are 8 x 8 pixels).
static void DrawSelectionCorners(float x, float y, float w, float h, int opacity)
{
    DrawSprite3D(9248, x - 2, y - 2, opacity);
    DrawSprite3D(9286, x + w - 6, y - 2, opacity);
    DrawSprite3D(9262, x + w - 6, y + h - 6, opacity);
    DrawSprite3D(9224, x - 2, y + h - 6, opacity);
}

// A building going up: its foundation plates, the building rising faint from them as the
// work goes on, and a bar of how far it has come.
static void DrawConstruction(const Building& building, int sprite, float x, float y, float w, float h)
{
    float plate = 32 * DrawScale;
    SetSpriteSize(900, plate, plate);
    SetSpriteAngle(900, 0);
    for (int cx = 0; cx < FootprintWidth(building); cx++)
        for (int cy = 0; cy < FootprintHeight(building); cy++) DrawSprite3D(900, x + cx * plate, y + cy * plate, 255);
    float done = std::clamp(building.buildProgress / std::max(1.0f, building.buildTotal), 0.0f, 1.0f);
    DrawSprite3D(sprite, x, y, int(40 + 150 * done));
    SetSpriteSize(9010, w * done, 3 * DrawScale);
    DrawSprite3D(9010, x, y + h - 4 * DrawScale, 220);
}

static void DrawBuilding(const Building& building)
{
    float w = building.width / 2.0f * DrawScale, h = building.height / 2.0f * DrawScale;
    float x = ScreenX(building.x * 32), y = ScreenY(building.y * 32);
    if (!OnPlayfield(x, y, w, h) || Hidden(int(building.x), int(building.y))) return;
    int sprite = building.typeId + building.variant;
    SetSpriteSize(sprite, w, h);
    SetSpriteAngle(sprite, 0);
    if (IsComplete(building)) DrawSprite3D(sprite, x, y, building.state > 0 ? 170 : 255);
    else DrawConstruction(building, sprite, x, y, w, h);
    if (building.selection >= 1) DrawSelectionCorners(x, y, w, h, building.selection >= 2 ? 255 : 120);
    if (building.selection >= 2 || building.hitPoints < building.maxHitPoints)
        DrawHealthBar(x, y - 5 * DrawScale, w, building.hitPoints / std::max(1.0f, building.maxHitPoints));
}

static void DrawBuildings()
{
    for (const Building& building : Buildings) {
        if (building.owner == LocalPlayer && building.state >= 0) {
            OwnObjects++;
            OwnIncinerators += building.typeId == 1300;
        }
        if (building.id == 10000000) RadarCaptured = building.owner == 1 ? 1 : 0;
        if (building.state >= 0) DrawBuilding(building);
    }
}

// A unit's group number on its marker, below its right side.
static void DrawGroupNumber(int group, float x, float y)
{
    if (group < 1 || group > 9) return;
    DrawPicture(7773, int(std::lround(x)), int(std::lround(y)), 1);
    DrawText(std::to_string(group), (x + 4 * UiScale) / UiScale, (y + 1) / UiScale, 1, 0);
}

// A unit's team colour lies beneath it: a square of its owner's colour under its centre, 8
// pixels wide under a trooper and 12 under a vehicle at scale 1, which the picture shows
// through its windows (a trooper's helmet, a turret's roof, a speeder's chevron). Pictures are
// shared by all players; this way the colour is still on the unit itself rather than on a mark
// beside it. The square stays unturned: each picture is solid out to its corners in every
// direction, and an unturned square is a plain copy for the software renderer.
static void DrawTeamColour(const Unit& unit, float centreX, float centreY, int opacity)
{
    int team = 9100 + std::clamp(unit.owner, 1, 4);
    float side = (unit.width > 32 ? 12.0f : 8.0f) * DrawScale;
    SetSpriteSize(team, side, side);
    SetSpriteAngle(team, 0);
    DrawSprite3D(team, centreX - side / 2, centreY - side / 2, opacity);
}

static void DrawUnit(const Unit& unit)
{
    float w = unit.width / 2.0f * DrawScale, h = unit.height / 2.0f * DrawScale;
    float x = ScreenX(unit.x * 32) - w / 2, y = ScreenY(unit.y * 32) - h / 2;
    if (!OnPlayfield(x, y, w, h) || Hidden(int(unit.x), int(unit.y))) return;
    int sprite = int(unit.typeId), opacity = unit.state > 0 ? 160 : 255;
    DrawTeamColour(unit, x + w / 2, y + h / 2, opacity);
    SetSpriteSize(sprite, w, h);
    SetSpriteAngle(sprite, unit.heading);
    DrawSprite3D(sprite, x, y, opacity);
    if (unit.selection >= 1.0f) DrawSelectionCorners(x, y, w, h, unit.selection >= 2.0f ? 255 : 120);
    // The health bar shows on every hurt unit, and on the selected ones.
    if (unit.selection >= 2.0f || unit.hitPoints < unit.maxHitPoints)
        DrawHealthBar(x, y - 4 * DrawScale, w, unit.hitPoints / std::max(1.0f, unit.maxHitPoints));
    if (unit.selection >= 2.0f) DrawGroupNumber(unit.group, x + w - 8 * UiScale, y + h - 8 * UiScale);
}

static void DrawUnits()
{
    for (const Unit& unit : Units) {
        if (unit.owner == LocalPlayer && unit.state >= 0) OwnObjects++;
        if (unit.state >= 0) DrawUnit(unit);
    }
}

// The orders of the selected units: a marker where each is headed, pulsing gently.
static void DrawOrderMarkers()
{
    float size = (28 + 4 * std::sin(AnimPhase * 2 * DegreesToRadians)) * DrawScale;
    for (const OrderMarker& marker : OrderMarkers) {
        float x = ScreenX(marker.x * 32) - size / 2, y = ScreenY(marker.y * 32) - size / 2;
        if (!OnPlayfield(x, y, size, size)) continue;
        SetSpriteSize(marker.sprite, size, size);
        SetSpriteAngle(marker.sprite, 0);
        DrawSprite3D(marker.sprite, x, y, 220);
    }
}

// Explosions, smoke and dust add their light to what lies beneath, weighted by their life
// (source alpha, one), so that they fade as they age.
static void DrawEffect(const Effect& effect)
{
    int dust = effect.kind >= 31 && effect.kind <= 33;
    float size = effect.size * (dust ? 2 : 1) * DrawScale;
    float x = ScreenX(effect.x) - size / 2, y = ScreenY(effect.y) - size / 2;
    if (!OnPlayfield(x, y, size, size) || Hidden(int(effect.x / 32), int(effect.y / 32))) return;
    SetSpriteSize(effect.kind, size, size);
    SetSpriteAngle(effect.kind, dust ? float(-AnimPhase) : effect.angle);
    DrawSprite3D(effect.kind, x, y, int(std::clamp(effect.life, 0.0f, 255.0f)));
}

// Tracks and debris on the ground, fading with their life.
static void DrawGroundMarks()
{
    for (const Effect& effect : Effects)
        if (IsGroundMark(effect.kind)) DrawEffect(effect);
}

// Shots in flight, each turned along its way.
static void DrawProjectiles()
{
    for (const Projectile& shot : Projectiles) {
        int sprite = int(shot.kind);
        float size = float(shot.size) * DrawScale;
        float x = ScreenX(shot.x) - size / 2, y = ScreenY(shot.y) - size / 2;
        if (!OnPlayfield(x, y, size, size) || Hidden(int(shot.x / 32), int(shot.y / 32))) continue;
        SetSpriteSize(sprite, size, size);
        SetSpriteAngle(sprite, shot.heading);
        DrawSprite3D(sprite, x, y, 255);
    }
}

// Explosions, smoke, trails and dust add their light to what lies beneath, weighted by their
// life (source alpha, one), so that they fade as they age.
static void DrawEffects()
{
    SetBlendFactors(5, 2);
    for (const Effect& effect : Effects)
        if (!IsGroundMark(effect.kind)) DrawEffect(effect);
    SetBlendFactors(5, 6);
    AgeEffects();
}

// Darkness over the playfield, and from 19:00 to 5:00 pools of light around the own base.
static void DrawNight()
{
    if (DayNightSetting != 1) return;
    // The dark layer is a plain colour, the same near-black as the dark picture 9012.
    ShadeRectangle(0, 0, int(std::lround(768 * UiScale)), ScreenHeightPx, 2, 2, 2, NightAlpha(TimeOfDay));
    int hour = TimeOfDay / 3600;
    if (hour >= 5 && hour < 19) return;
    SetBlendFactors(5, 2);
    auto light = [](float worldX, float worldY, float radius) {
        float size = radius * 2 * DrawScale, x = ScreenX(worldX) - size / 2, y = ScreenY(worldY) - size / 2;
        if (!OnPlayfield(x, y, size, size)) return;
        SetSpriteSize(800, size, size);
        DrawSprite3D(800, x, y, 40);
    };
    for (const Building& building : Buildings)
        if (building.owner == LocalPlayer && building.state >= 0)
            light(building.x * 32 + building.width / 4.0f, building.y * 32 + building.height / 4.0f, building.width / 2.0f + 24);
    for (const Unit& unit : Units)
        if (unit.owner == LocalPlayer && unit.state >= 0) light(unit.x * 32, unit.y * 32, unit.width / 2.0f + 16);
    SetBlendFactors(5, 6);
}

static void DrawFog()
{
    if (FogOn != 1) return;
    float size = 64 * DrawScale;
    for (int x = 0; x < MapWidth; x += 2)
        for (int y = 0; y < MapHeight; y += 2) {
            // Laid over the ground tiles, which sit half a cell in from their cells' corners.
            float sx = ScreenX((x + 0.5f) * 32), sy = ScreenY((y + 0.5f) * 32);
            if (OnPlayfield(sx, sy, size, size) && Hidden(x, y)) DrawSprite3D(FogPicture, sx, sy, 255);
        }
}

static void DrawObstacles()
{
    if (ShowObstacles != 1) return;
    float size = 32 * DrawScale;
    SetSpriteSize(9009, size, size);
    for (int x = 0; x < MapWidth; x++)
        for (int y = 0; y < MapHeight; y++)
            if (ObstacleGrid[x][y] < 0 && OnPlayfield(ScreenX(x * 32.0f), ScreenY(y * 32.0f), size, size))
                DrawSprite3D(9009, ScreenX(x * 32.0f), ScreenY(y * 32.0f), 90);
}

// The screen as a picture beside the game program; the ticker says under which name.
static void TakeScreenshot()
{
    const int scratch = 9998;
    std::string name = "Bild" + std::to_string(Rnd(8999)) + ".bmp";
    if (GrabScreen(scratch) && SavePicture(scratch, name)) AddMessage("INFO: Bildschirmfoto gespeichert: " + name);
    else AddMessage("INFO: Das Bildschirmfoto konnte nicht gespeichert werden.");
    FreePicture(scratch);
}

void DrawPlayfield()
{
    if (KeyWentUp(0x58)) TakeScreenshot();
    FlipScreen();
    ClearScreen(0, 0, 0);
    BeginScene();
    SetBlendFactors(5, 6);
    ComputeEnergy();
    RevealAroundOwnBuildings();
    EmitFrameEffects();
    DrawGroundTiles();
    DrawGroundMarks();
    DrawDecorations();
    DrawShadows();
    DrawBuildings();
    DrawUnits();
    DrawOrderMarkers();
    DrawProjectiles();
    DrawEffects();
    DrawNight();
    DrawFog();
    DrawObstacles();
}

void DrawResultText(int result)
{
    static const char* const texts[2][2] = {{"S i e   h a b e n   v e r l o r e n", "S i e   h a b e n   g e w o n n e n"},
                                            {"M i s s i o n   g e s c h e i t e r t", "M i s s i o n   e r f o l g r e i c h"}};
    std::string text = texts[MissionMode ? 1 : 0][result > 0 ? 1 : 0];
    int won = result > 0;
    int width = TextWidth(LargeTitleFont, text);
    float wobbleX = std::sin(AnimPhase * DegreesToRadians), wobbleY = std::cos(AnimPhase * DegreesToRadians);
    int x = ScreenWidthPx / 2 - width / 2, y = ScreenHeightPx / 2 - 12;
    DrawFontText(LargeTitleFont, text, x + int(wobbleX * 4), y + int(wobbleY * 4), 100, won ? 150 : 100, won ? 100 : 150);
    DrawFontText(LargeTitleFont, text, x + int(wobbleX * 2), y + int(wobbleY * 2), 50, won ? 200 : 50, won ? 50 : 200);
    DrawFontText(LargeTitleFont, text, x, y, 0, won ? 250 : 0, won ? 0 : 250);
}

