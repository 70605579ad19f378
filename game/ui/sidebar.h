// game/ui/sidebar.h - the build menus on the right: the factories' and the lab's item buttons,
// the construction vehicle's building menu, the sell button, and the placement of a building
// chosen in that menu.
#pragma once

#include <string>

constexpr int NoBuildingToPlace = 900;

extern int BuildingToPlace; // building type chosen for placement; 900 = none. Right click drops it

// The panels whose background was drawn this frame: seven factory menus, the lab, the
// building menu, the sell panel and the stance panel. Cleared at the start of the sidebar step.
enum SidebarPanel { FactoryPanel = 0, ResearchPanel = 7, BuildingPanel = 8, SellPanel = 9, StancesPanel = 10, PanelCount = 11 };
extern int PanelDrawn[PanelCount];

// One 40 x 40 item button at layout (x, y): drawn, hovered, left-clicked to order, right-clicked
// to cancel. `idText` is the 4-character id ("2101", "0712"), `timeText` its 6-character time.
// Availability: 1 orderable, 2 a building to place, 0 not yet, negative done. The id of a
// building chosen for placement, else -1. Orders leave their effect in the pending results.
int ShowItemButton(const std::string& idText, const std::string& timeText, float x, float y, const std::string& category,
                   int currentItem, const std::string& queue, float remaining, float total, int availability);
// The pending results of the last item button: the new current item (-1 unchanged) and the new
// queue ("-1" unchanged). ApplyItemResult copies them into the building (and into every lab
// of the local player, which all work on the same research).
extern int PendingItem;
extern std::string PendingQueue;
void ApplyItemResult(int buildingIndex);

// The sell button with its value; 1 when it was clicked this frame.
int ShowSellButton();

// The sidebar of a frame, after the playfield was drawn.
void SidebarStep();
// While a building is chosen for placement: its ghost under the pointer, green where it may
// stand and red where it may not with the reason, and a left click that puts it there.
void PlacementStep();
// The top-left cell under the pointer, where a building would be placed.
void PlacementCell(int& x, int& y);
