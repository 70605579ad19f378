// game/ui/minimap.h - the map in small in the sidebar: terrain, every object as a team mark,
// storms, fog and the frame of the view; a right click on it sends the selected units there.
#pragma once

// 1 while the local player has a complete radar station and energy to run it.
int MinimapShown();
// The minimap, or "Keine Karte verfügbar" in its place.
void DrawMinimap();
// The cell under the pointer on the minimap.
void MinimapCellUnderPointer(float& x, float& y);
