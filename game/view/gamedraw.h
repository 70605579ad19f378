// game/view/gamedraw.h - drawing the running game: the camera, the playfield in layers and
// the interface.
#pragma once

// The camera: kept over the map, zoomed by the mouse wheel about the playfield's centre.
void ClampCamera();
void ZoomBy(int notches);
// Sizes the sprites that follow the zoom (fog, ground) for the current DrawScale.
void SizeZoomedSprites();

// Screen pixel of a world pixel: (world + camera) x DrawScale.
float ScreenX(float worldX);
float ScreenY(float worldY);
// Whether a screen rectangle touches the playfield (the left 768 layout units).
int OnPlayfield(float x, float y, float w, float h);
// Whether the fog hides the 2 x 2 cell block at a cell.
int HiddenByFog(int x, int y);

// Flips the previous frame, then draws the playfield layers into an open 3-D pass and counts
// the local player's objects for the end rules.
void DrawPlayfield();
// The end-of-game text (1 won, -1 lost), wobbling with AnimPhase.
void DrawResultText(int result);
// Night darkness over the playfield (0 at noon .. 181 at midnight) for a time of day.
int NightAlpha(int timeOfDay);
