// game/view/minimap.h - the map in small in the sidebar: terrain, every object as a team mark,
// storms, fog and the frame of the view. A left press or drag on it moves the view there; a
// right click sends the selected units there.
#pragma once

// 1 while the local player has a complete radar station and energy to run it.
int MinimapShown();
// The minimap, or "Keine Karte verfügbar" in its place.
void DrawMinimap();
// 1 while the minimap is shown and the pointer is over the map on it.
int PointerOnMinimap();
// The cell under the pointer on the minimap, kept on the map.
void MinimapCellUnderPointer(float& x, float& y);
// The left button on the minimap: the view follows the pointer while it is held there.
void MinimapViewStep();
