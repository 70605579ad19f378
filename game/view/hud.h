// game/view/hud.h - the game screen's texts and panels besides the map and the menus.
#pragma once

// The dark ground of the sidebar, under the minimap and the menus.
void DrawSidebarGround();
// Head-up line, ticker and hints, selected units, chat line, debug overlay and tutorial, and
// at 1280 x 1024 the bar below the 4:3 layout. Drawn frames only.
void DrawHud();
// The frame rate the debug overlay showed in the last frame it was drawn (0 before).
int OverlayFramesPerSecond();
