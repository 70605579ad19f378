// game/ui/sidebar.cpp - build menus, item buttons, the sell button and placement.
#include "game/ui/sidebar.h"

#include "game/base/config.h"
#include "game/base/numbers.h"
#include "game/base/tables.h"
#include "game/save/recordrules.h"
#include "game/sim/buildings.h"
#include "game/sim/research.h"
#include "game/sim/sounds.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "game/ui/commands.h"
#include "game/view/gamedraw.h"
#include "game/view/uidraw.h"
#include "platform/latin1.h"
#include "platform/pictures.h"
#include "platform/sound.h"

#include <algorithm>
#include <cmath>

int BuildingToPlace = NoBuildingToPlace;
int PanelDrawn[PanelCount];
int PendingItem = -1;
std::string PendingQueue = "-1";

static Player& Local() { return Players[std::clamp(LocalPlayer, 0, MaxPlayers)]; }

static int Price(int id) { return id >= 0 && id < CatalogueSize ? CataloguePrice[id] : 0; }

// A panel's background, once a frame however many selected objects ask for it.
static void PanelBackground(int panel, float x, float y, float w, float h)
{
    if (PanelDrawn[panel]) return;
    PanelDrawn[panel] = 1;
    UiSprite(9012, x, y, w, h, 128);
}

// ---- the item button ----

static int QueueCount(const std::string& queue, int id)
{
    int count = 0;
    for (size_t entry = 0; entry < queue.size() / 10; entry++)
        if (ReadNumber(TrimSpaces(queue.substr(entry * 10, 4), 1)) == id) count++;
    return count;
}

static void DrawItemFace(int id, float x, float y, int hovered, int availability, int currentItem, float remaining, float total)
{
    int usable = availability == 1 || availability == 2;
    if (hovered && (MouseCode == 11 || MouseCode == 21) && usable) UiSprite(9014, x + 40 - 1, y + 40, -40, -40, 255);
    else UiSprite(9014, x, y, 40, 40, 255);
    if (usable) {
        if (availability == 1 && id == currentItem && currentItem > 0) {
            float left = total > 0 ? std::clamp(remaining / total, 0.0f, 1.0f) : 0.0f;
            UiSprite(9009, x, y, 40 * left, 40, 85);
            UiSprite(9011, x + 40 * left, y, 40 * (1 - left), 40, 85);
        } else {
            UiSprite(Local().money - Price(id) < 0 ? 9013 : 9010, x, y, 40, 40, 85);
        }
    }
    if (availability < 0) UiSprite(9015, x, y, 40, 40, 85);
    UiSprite(id, x + 4, y + 4, 32, 32, usable || availability < 0 ? 255 : 85);
}

static int Voiceless() { return VoiceEffects != 1; }

static void SayOrdered(int id)
{
    if (Voiceless()) return;
    PlayVoice(id < 1000 ? 33 : (id >= 2101 && id <= 2199) ? 31 : 32);
}

int ShowItemButton(const std::string& idText, const std::string& timeText, float x, float y, const std::string& category,
                   int currentItem, const std::string& queue, float remaining, float total, int availability)
{
    (void)category;
    PendingItem = -1;
    PendingQueue = "-1";
    int id = ReadNumber(TrimSpaces(idText, 1));
    if (id < 0 || id >= CatalogueSize) return -1;
    int cost = Price(id);
    int hovered = PicturesOverlap(9006, int(std::lround(x)), int(std::lround(y)), 9005, LogicalCursorX, LogicalCursorY);
    int usable = availability == 1 || availability == 2;
    DrawItemFace(id, x, y, hovered, availability, currentItem, remaining, total);
    if (hovered) {
        std::vector<std::string> lines = {CatalogueName[id], NumberText(cost) + " EURO"};
        if (id >= 1000 && id <= 1999) lines.push_back(TrimSpaces(CatalogueInfo[id], 1) + " MW");
        ShowTooltip(lines);
    }
    int count = availability == 1 ? QueueCount(queue, id) : 0;
    if (availability == 1 && id > 900) UiText(NumberText(count), x + 28, y + 24, 1, 0);
    int result = -1;
    int leftClick = MouseCode == 12 || MouseCode == 14, rightClick = MouseCode == 22 || MouseCode == 24;
    // Units queue up; a research runs alone and cannot be queued.
    int free = id > 900 || (queue.empty() && count == 0 && currentItem <= 0);
    // A queue holds so many entries that no player reaches the end; a save carries no more.
    int room = queue.size() < size_t(MostQueueEntries) * 10;
    if (hovered && leftClick && usable && Local().money - cost >= 0 && free && room) {
        if (availability == 1) {
            Local().money -= cost;
            PendingQueue = queue + idText + timeText;
            SayOrdered(id);
        } else {
            result = id;
        }
    }
    if (hovered && rightClick && availability == 1) {
        // Entries are ten characters; the id is looked for where an entry starts, not in a time.
        size_t at = 0;
        while (at < queue.size() && queue.compare(at, idText.size(), idText) != 0) at += 10;
        if (at < queue.size()) {
            Local().money += cost;
            PendingQueue = queue.substr(0, at) + (at + 10 < queue.size() ? queue.substr(at + 10) : "");
            if (!Voiceless()) PlayVoice(61);
        } else if (id == currentItem) {
            PendingItem = 0; // the work done on it is lost, the money is not
            Local().money += cost;
            if (!Voiceless()) PlayVoice(61);
        }
    }
    return result;
}

void ApplyItemResult(int buildingIndex)
{
    if (buildingIndex < 0 || size_t(buildingIndex) >= Buildings.size()) return;
    auto apply = [](Building& building) {
        if (PendingItem != -1) building.currentItem = PendingItem;
        if (PendingQueue != "-1") building.queue = PendingQueue;
    };
    Building& building = Buildings[size_t(buildingIndex)];
    apply(building);
    // Every lab of the player works on the same research.
    if (building.typeId == 1400)
        for (Building& lab : Buildings)
            if (lab.typeId == 1400 && lab.owner == LocalPlayer) apply(lab);
}

// ---- the menus ----

// One button of a menu: its item, its place, and the research it needs (0 for none).
struct BuildMenuItem {
    int menu; // the building type whose menu it is in; 2001 for the construction vehicle's
    int id;
    float x, y;
    int needs[2];
};

static const BuildMenuItem BuildMenuItems[] = {
    {1200, 2001, 793, 344, {0, 0}}, {1200, 2002, 793, 394, {0, 0}},
    {1210, 2101, 793, 344, {0, 0}}, {1210, 2107, 843, 344, {0, 0}}, {1210, 2102, 793, 394, {712, 0}}, {1210, 2103, 793, 444, {713, 0}},
    {1220, 2201, 793, 344, {722, 0}}, {1220, 2203, 793, 394, {722, 713}}, {1220, 2206, 793, 444, {722, 716}},
    {1230, 2302, 793, 344, {723, 712}}, {1230, 2304, 793, 394, {723, 714}}, {1230, 2305, 793, 444, {723, 715}},
    {1240, 2402, 793, 344, {724, 712}}, {1240, 2403, 793, 394, {724, 713}}, {1240, 2404, 793, 444, {724, 714}},
    {1250, 2501, 793, 344, {725, 0}}, {1250, 2505, 793, 394, {725, 715}}, {1250, 2506, 793, 444, {725, 716}},
    {1260, 2604, 793, 344, {726, 714}}, {1260, 2605, 793, 394, {726, 715}}, {1260, 2606, 793, 444, {726, 716}},
    {2001, 1300, 797, 604, {0, 0}}, {2001, 1100, 847, 604, {0, 0}}, {2001, 1400, 797, 534, {0, 0}},
    {2001, 1410, 847, 534, {0, 0}}, {2001, 1420, 897, 534, {731, 0}}, {2001, 1240, 797, 464, {724, 0}},
    {2001, 1260, 847, 464, {726, 0}}, {2001, 1250, 897, 464, {725, 0}}, {2001, 1200, 797, 414, {0, 0}},
    {2001, 1210, 847, 414, {0, 0}}, {2001, 1220, 897, 414, {722, 0}}, {2001, 1230, 947, 414, {723, 0}},
    {2001, 1000, 797, 344, {0, 0}}, {2001, 1052, 847, 344, {712, 0}}, {2001, 1054, 897, 344, {714, 0}},
    {2001, 1056, 947, 344, {716, 0}},
};

// The product of the flags an item needs, of the given player.
static int Needs(const BuildMenuItem& item, int player)
{
    int value = 1;
    for (int research : item.needs)
        if (research) value *= HasResearch(player, research);
    return value;
}

static std::string IdText(int id)
{
    std::string text = NumberText(id);
    return text.size() < 4 ? std::string(4 - text.size(), '0') + text : text;
}

static void FactoryMenu(int index)
{
    int typeId = Buildings[size_t(index)].typeId;
    PanelBackground(FactoryPanel + (typeId - 1200) / 10, 784, 328, 224, 336);
    for (const BuildMenuItem& item : BuildMenuItems) {
        if (item.menu != typeId) continue;
        const Building& factory = Buildings[size_t(index)];
        ShowItemButton(IdText(item.id), CatalogueInfo[item.id], item.x, item.y, "Einheiten", factory.currentItem, factory.queue,
                       factory.remaining, factory.total, Needs(item, factory.owner));
        ApplyItemResult(index);
    }
}

static void ResearchMenu(int index)
{
    PanelBackground(ResearchPanel, 784, 328, 224, 336);
    for (int i = 0; i < 14; i++) {
        int id = ResearchItems[i];
        int column = i < 5 ? 0 : i < 10 ? 1 : 2, row = i < 10 ? i % 5 : i - 10;
        const Building& lab = Buildings[size_t(index)];
        ShowItemButton(IdText(id), CatalogueInfo[id], float(793 + 50 * column), float(344 + 50 * row), "Forschung", lab.currentItem,
                       lab.queue, lab.remaining, lab.total, ResearchAvailability(lab.owner, id));
        ApplyItemResult(index);
    }
}

static void BuildingMenu(const Unit& builder)
{
    PanelBackground(BuildingPanel, 784, 328, 224, 336);
    for (const BuildMenuItem& item : BuildMenuItems) {
        if (item.menu != 2001) continue;
        int chosen = ShowItemButton(IdText(item.id), "      ", item.x, item.y, "Gebaeude", 0, "", 1, 1, 2 * Needs(item, builder.owner));
        if (chosen > 0) BuildingToPlace = chosen;
    }
}

// ---- selling ----

int ShowSellButton()
{
    PanelBackground(SellPanel, 784, 680, 224, 72);
    int hovered = PicturesOverlap(9007, 964, 692, 9005, LogicalCursorX, LogicalCursorY);
    if (hovered && MouseCode == 11) {
        UiSprite(9014, 996, 724, -32, -32, 255);
    } else {
        UiSprite(9014, 964, 692, 32, 32, 255);
        UiSprite(9010, 964, 692, 32, 32, 85);
        UiSprite(9504, 964, 692, 32, 32, 255);
    }
    if (!hovered) return 0;
    ShowTooltip({"Verkaufen", "+ " + NumberText(SaleValue()) + " EURO"});
    return MouseCode == 12;
}

void SidebarStep()
{
    for (int& drawn : PanelDrawn) drawn = 0;
    int sell = 0;
    for (size_t i = 0; i < Buildings.size(); i++) {
        const Building& building = Buildings[i];
        if (building.selection != 2 || building.owner != LocalPlayer || !IsComplete(building)) continue;
        if (building.typeId >= 1200 && building.typeId <= 1260 && building.typeId % 10 == 0) FactoryMenu(int(i));
        else if (building.typeId == 1400) ResearchMenu(int(i));
        sell |= ShowSellButton();
    }
    for (size_t i = 0; i < Units.size(); i++) {
        if (Units[i].selection != 2.0f || Units[i].owner != LocalPlayer) continue;
        StancePanel(int(i), 0);
        if (IsBuilder(Units[i])) BuildingMenu(Units[i]);
        sell |= ShowSellButton();
    }
    for (size_t i = 0; i < Buildings.size(); i++) {
        const Building& building = Buildings[i];
        if (building.selection != 2 || building.owner != LocalPlayer || building.typeId < 1200 || building.typeId > 1260) continue;
        StancePanel(int(i), 1);
        sell |= ShowSellButton();
    }
    // Sold after the menus, which walk the lists the sale shortens.
    if (sell) SellSelected();
}

// ---- placement ----

void PlacementCell(int& x, int& y)
{
    x = int(std::floor((LogicalCursorX / Zoom - CamX) / 32));
    y = int(std::floor((LogicalCursorY / Zoom - CamY) / 32));
}

// Why a single cell of the footprint cannot carry the building, for its colour on the ghost.
static int CellRefused(int x, int y)
{
    if (x < 1 || y < 1 || x > MapWidth - 2 || y > MapHeight - 2) return 1;
    return !FullEarthAt(x, y) || ObstacleGrid[x][y] < 0;
}

static const char* RefusalText(int fault)
{
    switch (fault) {
    case PlacementOffMap: return "Zu nah am Kartenrand";
    case PlacementNotOnEarth: return "Nur auf freier Erde baubar";
    case PlacementOccupied: return "Der Platz ist belegt";
    case PlacementNoMoney: return "Zu wenig Geld";
    default: return "";
    }
}

static void DrawGhost(int typeId, int x, int y, int fault)
{
    if (!RenderThisFrame) return;
    int width = PictureWidth(typeId), height = PictureHeight(typeId);
    float sx = ScreenX(float(x) * 32), sy = ScreenY(float(y) * 32), cell = 32 * DrawScale;
    for (int cx = 0; cx < std::max(1, width / 64); cx++)
        for (int cy = 0; cy < std::max(1, height / 64); cy++) {
            int refused = fault != PlacementFits && (fault == PlacementOffMap || fault == PlacementNoMoney || CellRefused(x + cx, y + cy));
            int tile = refused ? 9009 : 9011;
            SetSpriteSize(tile, cell - 2, cell - 2);
            SetSpriteAngle(tile, 0);
            DrawSprite3D(tile, sx + cx * cell + 1, sy + cy * cell + 1, 70);
        }
    // The building itself over the cells' colours, half see-through.
    int sprite = typeId + VariantFor(LocalPlayer, typeId);
    SetSpriteSize(sprite, width / 2.0f * DrawScale, height / 2.0f * DrawScale);
    SetSpriteAngle(sprite, 0);
    DrawSprite3D(sprite, sx, sy, 160);
    if (fault != PlacementFits) DrawTextPanel({L1(RefusalText(fault))}, float(LogicalCursorX + 16), float(LogicalCursorY + 24));
}

void PlacementStep()
{
    if (BuildingToPlace <= NoBuildingToPlace) return;
    if (LogicalCursorX >= 768) return; // over the sidebar: the menus have the pointer
    int x = 0, y = 0;
    PlacementCell(x, y);
    int fault = PlacementFaultAt(BuildingToPlace, x, y);
    if (fault == PlacementFits && Local().money < Price(BuildingToPlace)) fault = PlacementNoMoney;
    DrawGhost(BuildingToPlace, x, y, fault);
    if (MouseCode != 12 && MouseCode != 14) return;
    int placed = fault == PlacementFits && PlaceBuilding(BuildingToPlace, x, y);
    if (SoundEffects == 1) PlaySound(placed ? 3 : 1, 0);
    if (placed) BuildingToPlace = NoBuildingToPlace;
}
