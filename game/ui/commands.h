// game/ui/commands.h - the player's hand on the units: what the pointer shows, selecting by
// click, box and double click, orders by right click, control groups, and the stance panel.
#pragma once

#include <string>
#include <vector>

extern int HoverOwner; // owner of what is under the pointer this frame, 0 for nothing
extern int HoverType;  // its type
struct DragBox {
    int x1, x2, y1, y2; // map pixels; -1 on every side when no box is being dragged
};
extern DragBox SelectionBox;

// Forgets the pointer's state (a new game).
void ResetCommands();
// Hover, selection and orders of one frame, after the mouse was read.
void CommandsStep();
// The keys 1..9 with Ctrl, Shift and Alt: make, extend, dissolve and recall control groups.
void GroupKeys();
// The stance buttons for a selected unit (factoryMode 0) or factory (1), by list index.
void StancePanel(int index, int factoryMode);

// A tooltip for this frame, drawn over everything at the pointer; the last one asked wins.
void ShowTooltip(const std::vector<std::string>& lines);
// Lines of the bitmap font on one translucent dark panel at layout (x, y), moved in from any
// edge of the screen they would cross. Drawn frames only.
void DrawTextPanel(const std::vector<std::string>& lines, float x, float y);
// The drag box, the rally points of selected factories, the tooltip and the pointer itself.
void DrawCommandsOverlay();
