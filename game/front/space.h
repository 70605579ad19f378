// game/front/space.h - the space scene behind the menus and the briefing: stars, a turning
// planet, a light cone and the sun.
#pragma once

#include <vector>

// One star of the scene, in layout units.
struct SpaceStar {
    float x = 0, y = 0; // centre
    int size = 0;       // zoomed edge length
    int twinkle = 0;    // phase of the brightness curve, degrees 0..359
    int spin = 0;       // turns per rotation-counter step, 1..4
};

// One planet piece: column 0..36, row 0..18, longitude 10 x column, latitude 10 x (row - 9).
struct PlanetPiece {
    int column = 0, row = 0;
    int longitude = 0, latitude = 0; // degrees
};

constexpr int SpaceStarCount = 30;
constexpr float PlanetRadius = 240; // layout units

// Makes the planet pieces and 30 fresh stars, and loads the star as sprite 0. Once, when the
// menus start (the intro uses sprite 0 for its sand grains before).
void BuildSpaceScene();
// One frame of the scene; inside BeginScene/EndScene after the screen was cleared.
void DrawSpaceScene();

// What the scene holds, for drawing checks.
const std::vector<SpaceStar>& SpaceStars();
const std::vector<PlanetPiece>& PlanetPieces();
// 1 when a star may stand at layout x, y: off the planet's disc and out of the sun's corner.
int StarPlaceAllowed(float x, float y);
// The blend factors of the planet's first pass: 10/3, shifted by the two blend values that F1
// to F4 raise and lower in the menus.
void PlanetBlend(int& source, int& destination);
// 1 when the piece is drawn at this turn angle (degrees): the side of the globe facing the
// viewer. The last column only closes the texture's seam and the last row lies beyond the pole;
// neither is ever drawn.
int PlanetPieceDrawn(const PlanetPiece& piece, float turnAngle);
