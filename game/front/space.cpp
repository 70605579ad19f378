// game/front/space.cpp - the space scene: built once, drawn every menu and briefing frame.
#include "game/front/space.h"

#include "game/base/common.h"
#include "game/base/frame.h"
#include "game/sim/gamestate.h"
#include "platform/sprites.h"

#include <cmath>

constexpr int StarSprite = 0;
constexpr int LightSprite = 4999;
constexpr int SunSprite = 7001;
constexpr int PlanetColumns = 37; // column 36 repeats column 0 so the texture closes
constexpr int PlanetRows = 19;
constexpr float CentreX = 512, CentreY = 384;
constexpr float StarFreeRadius = 250; // keeps the planet's disc clear of stars

static std::vector<SpaceStar> Stars;
static std::vector<PlanetPiece> Pieces;
static float TurnAngle = 0;     // degrees 0..360, the globe's turn
static int RotationCounter = 0; // 0..36000, +5 per frame; the stars' spin
static int FlickerCounter = 0;  // 0..100; dims the sun
static int LightningValue = 0;  // opacity of the lit planet pass, 0 but for a flash

const std::vector<SpaceStar>& SpaceStars() { return Stars; }

// F1 to F4 in the menus shift the two factors of the planet's own pass, from 10/3 round the
// eleven factors there are.
void PlanetBlend(int& source, int& destination)
{
    auto shifted = [](int factor, int by) { return ((factor - 1 + by) % 11 + 11) % 11 + 1; };
    source = shifted(10, BlendMode1);
    destination = shifted(3, BlendMode2);
}
const std::vector<PlanetPiece>& PlanetPieces() { return Pieces; }

int StarPlaceAllowed(float x, float y)
{
    if (Distance(int(x), int(y), int(CentreX), int(CentreY)) < StarFreeRadius) return 0;
    // The sun stands in the upper right; a star in front of it would look like a hole.
    if (x > 1024.0f * 2 / 3 && y < 768.0f * 2 / 3) return 0;
    return 1;
}

// The last row runs from the north pole on over it, onto the far side of the globe, and its
// slice lies past the texture's bottom, so it holds only the transparent black. The planet's
// blend (inverse destination colour, source colour) knows no transparency: drawn, that black
// would wipe out the polar cap drawn before it, piece by piece, and leave the globe a flat top.
int PlanetPieceDrawn(const PlanetPiece& piece, float turnAngle)
{
    if (piece.column >= PlanetColumns - 1 || piece.row >= PlanetRows - 1) return 0;
    float facing = float(piece.longitude) + turnAngle;
    return (facing >= 70 && facing <= 270) || (facing >= 430 && facing <= 630);
}

static void MakePlanetPieces()
{
    Pieces.clear();
    for (int column = 0; column < PlanetColumns; column++)
        for (int index = -9; index <= 9; index++) Pieces.push_back({column, index + 9, column * 10, index * 10});
}

static SpaceStar RandomStar()
{
    SpaceStar star;
    do {
        star.x = float(Rnd(1024));
        star.y = float(Rnd(768));
    } while (!StarPlaceAllowed(star.x, star.y));
    star.size = 12 + Rnd(20);
    star.twinkle = Rnd(359);
    star.spin = 1 + Rnd(3);
    return star;
}

void BuildSpaceScene()
{
    MakePlanetPieces();
    LoadTextureSprite(StarSprite, "BMP\\Stern.bmp");
    Stars.clear();
    while (int(Stars.size()) < SpaceStarCount) Stars.push_back(RandomStar());
}

static void AdvanceCounters()
{
    RotationCounter += 5;
    if (RotationCounter > 36000) RotationCounter -= 36000;
    FlickerCounter += Rnd(6);
    if (FlickerCounter > 100) FlickerCounter = 0;
    // A rare, one-frame flash of light over the planet.
    LightningValue = Rnd(150) == 0 ? 5 * Rnd(8) + Rnd(20) + 10 : 0;
    TurnAngle += 0.2f;
    if (TurnAngle >= 360) TurnAngle -= 360;
}

// Screen position (pixels) of a point of the globe.
static void GlobePoint(float longitude, float latitude, float& x, float& y)
{
    float lon = (longitude + TurnAngle) * DegreesToRadians, lat = latitude * DegreesToRadians;
    x = (CentreX + std::sin(lon) * PlanetRadius * std::cos(lat)) * UiScale;
    y = (CentreY - PlanetRadius * std::sin(lat)) * UiScale;
}

// The texture runs the way the globe turns, so the piece's first longitude and latitude are
// its top-left corner; that keeps neighbouring pieces seamless.
static void PlacePiece(const PlanetPiece& piece)
{
    float lon1 = float(piece.longitude), lon2 = lon1 + 10;
    float lat1 = float(piece.latitude), lat2 = lat1 + 10;
    float x[4], y[4];
    GlobePoint(lon1, lat1, x[0], y[0]);
    GlobePoint(lon2, lat1, x[1], y[1]);
    GlobePoint(lon2, lat2, x[2], y[2]);
    GlobePoint(lon1, lat2, x[3], y[3]);
    SetSpriteCorners(5000 + 100 * piece.row + piece.column, x[0], y[0], x[1], y[1], x[2], y[2], x[3], y[3]);
}

// Two passes over the facing pieces: the planet itself, then its lit copy at the lightning
// value. Passes rather than piece by piece, so each pass keeps one blend mode.
static void DrawPlanet()
{
    int source = 10, destination = 3;
    PlanetBlend(source, destination);
    SetBlendFactors(source, destination);
    for (const PlanetPiece& piece : Pieces) {
        if (!PlanetPieceDrawn(piece, TurnAngle)) continue;
        PlacePiece(piece);
        DrawSprite3D(5000 + 100 * piece.row + piece.column, 0, 0, 255);
    }
    if (LightningValue <= 0) return;
    SetBlendFactors(5, 7);
    for (const PlanetPiece& piece : Pieces)
        if (PlanetPieceDrawn(piece, TurnAngle)) DrawSprite3D(5000 + 100 * piece.row + piece.column, 0, 0, LightningValue);
}

static void DrawLightAndSun()
{
    SetBlendFactors(9, 6);
    SetSpriteSize(LightSprite, 1000 * UiScale, 1000 * UiScale);
    DrawSprite3D(LightSprite, (612 - 350) * UiScale, (284 - 650) * UiScale, 200);
    DrawSprite3D(LightSprite, (612 - 350) * UiScale, (284 - 650) * UiScale, 100);
    EndScene();
    BeginScene();
    SetBlendFactors(5, 6);
    SetSpriteSize(SunSprite, 256 * UiScale, 256 * UiScale);
    DrawSprite3D(SunSprite, (850 - 150) * UiScale, 0, 255 - FlickerCounter);
}

static void DrawStars()
{
    for (SpaceStar& star : Stars) {
        star.twinkle = (star.twinkle + 3) % 360;
        int opacity = 150 + int(std::lround(100 * std::sin(float(star.twinkle) * DegreesToRadians)));
        float size = float(star.size) * UiScale;
        SetSpriteSize(StarSprite, size, size);
        SetSpriteAngle(StarSprite, float((RotationCounter / 10 * star.spin) % 360));
        DrawSprite3D(StarSprite, star.x * UiScale - size / 2, star.y * UiScale - size / 2, opacity);
        float glint = 9 * UiScale;
        SetSpriteSize(StarSprite, glint, glint);
        SetSpriteAngle(StarSprite, 0);
        DrawSprite3D(StarSprite, star.x * UiScale - glint / 2, star.y * UiScale - glint / 2, 100 + Rnd(155));
    }
}

void DrawSpaceScene()
{
    AdvanceCounters();
    DrawPlanet();
    DrawLightAndSun();
    DrawStars();
}
