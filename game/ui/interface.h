// game/ui/interface.h - the interface's share of a frame, after the mouse was read.
#pragma once

// Selection and orders, placement, the minimap, the menus, the head-up texts and the pointer.
// Its rules run in every frame; it draws in the drawn ones.
void InterfaceFrame();
