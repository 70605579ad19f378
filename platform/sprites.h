// platform/sprites.h - 3-D sprites: textured quads that are zoomed, turned, bent and blended.
//
// A 3-D sprite N draws picture N. It is drawn at x, y (its top-left corner before turning) with
// its size, turned about its centre by its angle, or - once its four corners are set - as the
// quad through those corners, relative to x, y. A negative size mirrors it. Blend factors carry
// the classic numbering: 1 zero, 2 one, 3 source colour, 4 inverse source colour, 5 source alpha,
// 6 inverse source alpha, 7 destination alpha, 8 inverse destination alpha, 9 destination colour,
// 10 inverse destination colour, 11 source alpha saturated. The screen has no alpha of its own,
// so destination alpha always reads as fully opaque.
#pragma once

#include <vector>

// Makes 3-D sprite `number` from picture `number` at the picture's size; 1 on success.
int CreateSprite3D(int number);
int Sprite3DExists(int number);

void BeginScene(); // all 3-D drawing of a frame lies between these two
void EndScene();

void SetSpriteSize(int number, float width, float height);
void SetSpriteAngle(int number, float degrees); // clockwise on screen
// Corners relative to the draw position: top-left, top-right, bottom-right, bottom-left.
void SetSpriteCorners(int number, float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4);
void DrawSprite3D(int number, float x, float y, int opacity);

// Blend factors of the drawings that follow; 5/6 (ordinary see-through) at start.
void SetBlendFactors(int source, int destination);
// Smooth (1) or blocky (0) zooming of the drawings that follow; smooth at start.
void SetTextureFiltering(int on);

// Atlases: the pictures of a group (those that exist as 3-D sprites, are small enough and are
// not in another group already) packed into shared textures, so that their drawings batch
// into few calls. The game still draws them by number; a picture replaced by one of the same
// size keeps its place, one of another size falls back on a texture of its own. Packing a
// group again replaces it. Returns the number of pictures packed.
int PackSpriteAtlas(int group, const std::vector<int>& numbers);
void DropSpriteAtlas(int group);
void DropSpriteAtlases();
// The atlas page a picture is drawn from, -1 for its own texture.
int SpriteAtlasPage(int number);

// The software renderer lays sprites straight into the screen's pixels, from copies made at
// their size and turned in advance (1, the default); 0 has SDL draw them as geometry like
// every other renderer (tests compare).
void SetTurnedSpriteCopies(int on);
