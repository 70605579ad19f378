// game/ui/commands.cpp - selection, orders, groups, stances and the pointer.
#include "game/ui/commands.h"

#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/tables.h"
#include "game/sim/buildings.h"
#include "game/sim/gamestate.h"
#include "game/sim/sounds.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "game/ui/sidebar.h"
#include "game/view/gamedraw.h"
#include "game/view/minimap.h"
#include "game/view/uidraw.h"
#include "platform/input.h"
#include "platform/latin1.h"
#include "platform/pictures.h"

#include <algorithm>
#include <cmath>

int HoverOwner = 0;
int HoverType = 0;
DragBox SelectionBox = {-1, -1, -1, -1};

static int SelectionVoiceArmed = 1; // the first selection of a mouse action speaks
static std::vector<std::string> Tooltip;

void ResetCommands()
{
    HoverOwner = HoverType = 0;
    SelectionBox = {-1, -1, -1, -1};
    SelectionVoiceArmed = 1;
    Tooltip.clear();
    BuildingToPlace = NoBuildingToPlace;
}

// Building or loading a game forgets the pointer's state. The rules' reset lies on a floor
// below and cannot call up here, so the reset hangs itself there as the program starts.
static const int ResetWithEveryGame = (ResetScreensOfGame = ResetCommands, 1);

void ShowTooltip(const std::vector<std::string>& lines) { Tooltip = lines; }

// ---- where the pointer is ----

// The pointer in map pixels.
static float PointerX() { return float(LogicalCursorX) / Zoom - CamX; }
static float PointerY() { return float(LogicalCursorY) / Zoom - CamY; }
static int OnPlayfieldPointer() { return LogicalCursorX < 768; }

// A unit covers its position +- a quarter of its picture, in map pixels.
struct Extent {
    float left, right, top, bottom;
};
static Extent ExtentOf(const Unit& unit)
{
    float x = unit.x * 32, y = unit.y * 32;
    return Extent{x - float(unit.width >> 2), x + float(unit.width >> 2), y - float(unit.height >> 2), y + float(unit.height >> 2)};
}
static Extent ExtentOf(const Building& building)
{
    float x = building.x * 32, y = building.y * 32;
    return Extent{x, x + float(building.width) / 2, y, y + float(building.height) / 2};
}
static int Contains(const Extent& e, float x, float y) { return x >= e.left && x <= e.right && y >= e.top && y <= e.bottom; }
static int ContainsStrictly(const Extent& e, float x, float y) { return x > e.left && x < e.right && y > e.top && y < e.bottom; }

static int Visible(float cellX, float cellY) { return !HiddenByFog(int(cellX), int(cellY)); }

// On screen: some of it lies on the playfield.
template <typename Object>
static int OnScreenObject(const Object& object)
{
    Extent e = ExtentOf(object);
    float x = ScreenX(e.left), y = ScreenY(e.top);
    return OnPlayfield(x, y, (e.right - e.left) * DrawScale, (e.bottom - e.top) * DrawScale);
}

// ---- hover ----

template <typename Object>
static void Hover(Object& object, float px, float py, int pointerOnField, float hovered)
{
    int under = pointerOnField && object.state >= 0 && Visible(object.x, object.y) && Contains(ExtentOf(object), px, py);
    if (under) {
        if (object.selection == 0) object.selection = decltype(object.selection)(hovered);
        HoverOwner = object.owner;
        HoverType = int(object.typeId);
    } else if (object.selection == decltype(object.selection)(hovered)) {
        object.selection = 0;
    }
}

static void HoverStep()
{
    HoverOwner = HoverType = 0;
    if (MouseCode == 0) {
        SelectionBox = {-1, -1, -1, -1};
        SelectionVoiceArmed = 1;
    }
    float px = PointerX(), py = PointerY();
    int field = OnPlayfieldPointer();
    for (Unit& unit : Units) Hover(unit, px, py, field, 1.0f);
    for (Building& building : Buildings) Hover(building, px, py, field, 1);
}

// ---- selecting ----

static void DragStep()
{
    if (!OnPlayfieldPointer()) return;
    int px = int(std::lround(PointerX())), py = int(std::lround(PointerY()));
    if (MouseCode == 10) SelectionBox = {px, px, py, py};
    else if (MouseCode == 11 && SelectionBox.x1 != -1) {
        SelectionBox.x2 = px;
        SelectionBox.y2 = py;
    }
}

// The whole extent strictly inside the box, whichever way the box was dragged.
static int InsideBox(const Extent& e)
{
    const DragBox& box = SelectionBox;
    if (box.x1 == -1 || box.x2 == box.x1 || box.y2 == box.y1) return 0;
    float left = float(std::min(box.x1, box.x2)), right = float(std::max(box.x1, box.x2));
    float top = float(std::min(box.y1, box.y2)), bottom = float(std::max(box.y1, box.y2));
    return e.left > left && e.right < right && e.top > top && e.bottom < bottom;
}

static void SaySelected()
{
    if (!SelectionVoiceArmed) return;
    SelectionVoiceArmed = 0;
    PlayVoice(11 + Rnd(3));
}

static void SelectByClick()
{
    float px = PointerX(), py = PointerY();
    int selected = 0;
    for (Unit& unit : Units) {
        int own = unit.owner == LocalPlayer && unit.state >= 0;
        Extent extent = ExtentOf(unit);
        if (own && (InsideBox(extent) || Contains(extent, px, py))) {
            unit.selection = 2.0f;
            selected = 1;
        } else {
            unit.selection = 0;
        }
    }
    for (Building& building : Buildings)
        building.selection = building.owner == LocalPlayer && building.state >= 0 && Contains(ExtentOf(building), px, py) ? 2 : 0;
    if (selected) SaySelected();
}

// A double click takes every own object on screen of the type clicked.
static void SelectTypeOnScreen()
{
    float px = PointerX(), py = PointerY();
    int clickedType = 0;
    for (const Unit& unit : Units)
        if (unit.owner == LocalPlayer && unit.state >= 0 && Contains(ExtentOf(unit), px, py)) clickedType = int(unit.typeId);
    if (!clickedType)
        for (const Building& building : Buildings)
            if (building.owner == LocalPlayer && building.state >= 0 && Contains(ExtentOf(building), px, py)) clickedType = building.typeId;
    if (!clickedType) return;
    HoverType = clickedType;
    for (Unit& unit : Units)
        unit.selection = unit.owner == LocalPlayer && unit.state >= 0 && int(unit.typeId) == clickedType && OnScreenObject(unit) ? 2.0f : 0;
    for (Building& building : Buildings)
        building.selection =
            building.owner == LocalPlayer && building.state >= 0 && building.typeId == clickedType && OnScreenObject(building) ? 2 : 0;
}

// ---- spreading a group's point order ----

// Points of a square grid around a clicked point whose cells are free, nearest first: as many
// as wanted, or fewer where the ground around is blocked far and wide.
static std::vector<std::pair<float, float>> FreePointsAround(float x, float y, float pitch, size_t wanted)
{
    struct Point {
        float x, y, distance;
    };
    std::vector<Point> points;
    for (int ring = 0; ring <= 64; ring++) {
        for (int i = -ring; i <= ring; i++)
            for (int j = -ring; j <= ring; j++) {
                if (std::max(std::abs(i), std::abs(j)) != ring) continue;
                float px = x + float(i) * pitch, py = y + float(j) * pitch;
                int cx = int(std::floor(px)), cy = int(std::floor(py));
                if (cx < 0 || cy < 0 || cx >= MapWidth || cy >= MapHeight || ObstacleGrid[cx][cy] < 0) continue;
                points.push_back(Point{px, py, std::hypot(float(i), float(j))});
            }
        // Every point of a later ring lies at least `ring + 1` grid steps out: once the wanted
        // number are nearer than that, the nearest are all found.
        size_t nearer = size_t(std::count_if(points.begin(), points.end(), [&](const Point& p) { return p.distance <= float(ring + 1); }));
        if (nearer >= wanted) break;
    }
    std::stable_sort(points.begin(), points.end(), [](const Point& a, const Point& b) { return a.distance < b.distance; });
    std::vector<std::pair<float, float>> nearest;
    for (size_t k = 0; k < points.size() && k < wanted; k++) nearest.emplace_back(points[k].x, points[k].y);
    return nearest;
}

// The units of one point order do not all drive for the one point, where they would push each
// other about: each takes a point of a compact block around it, the nearest point going to the
// unit closest to it, then the next. The points lie a cell apart, each in a cell of its own so
// that the paths part; a unit reaches into its neighbour by a quarter of its own width and a
// sixth of the other's, which a cell leaves room for up to the widest vehicles.
static void SpreadPointOrder(const std::vector<int>& group, float x, float y)
{
    int widest = 0;
    for (int index : group) widest = std::max(widest, Units[size_t(index)].width);
    float reach = std::ceil(float(widest) * 5 / 12) + 2; // pixels, with a little to spare
    float pitch = std::max(1.0f, std::ceil(reach / 32));
    std::vector<std::pair<float, float>> points = FreePointsAround(x, y, pitch, group.size());
    std::vector<int> waiting = group;
    for (const std::pair<float, float>& point : points) {
        const float pointX = point.first, pointY = point.second;
        auto closest = std::min_element(waiting.begin(), waiting.end(), [&](int a, int b) {
            const Unit &ua = Units[size_t(a)], &ub = Units[size_t(b)];
            return std::hypot(ua.x - pointX, ua.y - pointY) < std::hypot(ub.x - pointX, ub.y - pointY);
        });
        Units[size_t(*closest)].destX = pointX;
        Units[size_t(*closest)].destY = pointY;
        waiting.erase(closest);
    }
}

// ---- orders ----

// The other side's object under the pointer (an own building for a builder): its id, or 0.
// Units count over buildings; of several, the last in the list.
static float ClickedObject(const Unit& unit, float px, float py, int& building)
{
    float found = 0;
    building = 0;
    for (const Building& b : Buildings)
        if ((b.owner != LocalPlayer || IsBuilder(unit)) && b.state >= 0 && ContainsStrictly(ExtentOf(b), px, py)) {
            found = float(b.id);
            building = 1;
        }
    for (const Unit& other : Units)
        if (other.owner != LocalPlayer && other.state == 0 && ContainsStrictly(ExtentOf(other), px, py)) found = std::round(other.id);
    return found;
}

// A unit told to go to a point (cells).
static void OrderToPoint(Unit& unit, float x, float y)
{
    unit.path.clear();
    unit.target = 0;
    unit.holdTarget = 1;
    unit.destX = x;
    unit.destY = y;
}

static void OrderUnits()
{
    float px = std::round(std::round(float(LogicalCursorX) / Zoom) - CamX), py = std::round(std::round(float(LogicalCursorY) / Zoom) - CamY);
    int onField = OnPlayfieldPointer(), onMinimap = !onField && PointerOnMinimap();
    float pointX = PointerX() / 32, pointY = PointerY() / 32;
    if (onMinimap) MinimapCellUnderPointer(pointX, pointY);
    int ordered = 0, atBuilding = 0;
    std::vector<int> toPoint; // the movers of this order; towers keep their place whatever they are told
    for (size_t i = 0; i < Units.size(); i++) {
        Unit& unit = Units[i];
        if (unit.selection != 2.0f || unit.owner != LocalPlayer) continue;
        int building = 0;
        float clicked = ClickedObject(unit, px, py, building);
        atBuilding |= building;
        if (onField && clicked != 0) {
            unit.holdTarget = 1;
            if (clicked != unit.target) {
                unit.path.clear();
                unit.destX = unit.waypointX = unit.x;
                unit.destY = unit.waypointY = unit.y;
                unit.target = clicked;
            }
        } else if (onField || onMinimap) {
            OrderToPoint(unit, pointX, pointY);
            if (!IsTower(unit)) toPoint.push_back(int(i));
        }
        ordered |= onField || onMinimap;
    }
    if (toPoint.size() > 1) SpreadPointOrder(toPoint, pointX, pointY);
    if (ordered) PlayVoice(atBuilding ? 25 : 21);
    if (!onField) return;
    for (Building& building : Buildings)
        if (building.selection == 2 && building.owner == LocalPlayer) {
            building.rallyX = PointerX() / 32;
            building.rallyY = PointerY() / 32;
        }
}

void CommandsStep()
{
    HoverStep();
    DragStep();
    int leftClick = MouseCode >= 12 && MouseCode <= 14;
    // In placement mode the left click puts the building down; over the sidebar it works the menus.
    if (leftClick && OnPlayfieldPointer() && BuildingToPlace <= NoBuildingToPlace) {
        SelectByClick();
        if (MouseCode == 14) SelectTypeOnScreen();
    }
    // A quick second right click is an order as well as the first.
    if (MouseCode == 22 || MouseCode == 24) {
        if (BuildingToPlace > NoBuildingToPlace) BuildingToPlace = NoBuildingToPlace;
        else OrderUnits();
    }
}

// ---- groups ----

void GroupKeys()
{
    if (ChatActive) return;
    int ctrl = KeyHeld(0x1D) || KeyHeld(0x9D), shift = KeyHeld(0x2A) || KeyHeld(0x36), alt = KeyHeld(0x38) || KeyHeld(0xB8);
    for (int g = 1; g <= 9; g++) {
        if (!KeyWentUp(0x01 + g)) continue;
        for (Unit& unit : Units) {
            int selected = unit.selection == 2.0f;
            if (ctrl && !shift) unit.group = selected ? g : (unit.group == g ? -1 : unit.group);
            else if (ctrl && shift) unit.group = selected ? g : unit.group;
            else if (alt && !shift) unit.group = unit.group == g ? -1 : unit.group;
            else if (alt && shift) unit.group = selected && unit.group == g ? -1 : unit.group;
            else unit.selection = unit.group == g && unit.owner == LocalPlayer ? 2.0f : 0;
        }
    }
}

// ---- stances ----

static const char* const StanceLines[4][2] = {
    {"Passiv &", "nichts machen"}, {"Aggressiv & ", "nicht verfolgen"}, {"Aggressiv & ", "verfolgen"}, {"Routine &", "Arbeit machen"}};

// Which stances an object may take: work vehicles and their factory work or rest; towers hold
// fire or shoot; everything else may also pursue.
static int StanceOffered(int typeId, int stance)
{
    if (typeId == 2001 || typeId == 2002 || typeId == 1200) return stance == 0 || stance == 3;
    if (typeId >= 1051 && typeId <= 1059) return stance == 0 || stance == 1;
    return stance <= 2;
}

void StancePanel(int index, int factoryMode)
{
    if (index < 0) return;
    if (!PanelDrawn[StancesPanel]) {
        PanelDrawn[StancesPanel] = 1;
        UiSprite(9012, 784, 256, 224, 56, 128);
    }
    int typeId = factoryMode ? Buildings[size_t(index)].typeId : int(Units[size_t(index)].typeId);
    int stance = factoryMode ? Buildings[size_t(index)].stance : Units[size_t(index)].stance;
    for (int i = 0; i < 4; i++) {
        if (!StanceOffered(typeId, i)) continue;
        float x = float(796 + 36 * i), y = 268;
        int hovered = PicturesOverlap(9007, int(x), int(y), 9005, LogicalCursorX, LogicalCursorY);
        if (hovered && MouseCode == 11) UiSprite(9014, x + 32, y + 32, -32, -32, 255);
        else UiSprite(9014, x, y, 32, 32, 255);
        UiSprite(i == stance ? 9011 : 9009, x, y, 32, 32, 85);
        UiSprite(9500 + i, x, y, 32, 32, 255);
        if (!hovered) continue;
        ShowTooltip({StanceLines[i][0], StanceLines[i][1]});
        if (MouseCode == 12) stance = i;
    }
    if (factoryMode) Buildings[size_t(index)].stance = stance;
    else Units[size_t(index)].stance = stance;
}

// ---- drawing ----

static void DrawSelectionBox()
{
    const DragBox& box = SelectionBox;
    if (MouseCode != 11 || box.x1 == -1 || (box.x1 == box.x2 && box.y1 == box.y2) || !RenderThisFrame) return;
    float left = ScreenX(float(std::min(box.x1, box.x2))), right = ScreenX(float(std::max(box.x1, box.x2)));
    float top = ScreenY(float(std::min(box.y1, box.y2))), bottom = ScreenY(float(std::max(box.y1, box.y2)));
    auto bar = [](float x, float y, float w, float h) {
        SetSpriteSize(9011, std::max(1.0f, w), std::max(1.0f, h));
        SetSpriteAngle(9011, 0);
        DrawSprite3D(9011, x, y, 200);
    };
    bar(left, top, right - left, 1);
    bar(left, bottom, right - left, 1);
    bar(left, top, 1, bottom - top);
    bar(right, top, 1, bottom - top + 1);
}

static void DrawRallyPoints()
{
    if (!RenderThisFrame) return;
    for (const Building& building : Buildings) {
        if (building.selection != 2 || building.owner != LocalPlayer || building.typeId < 1200 || building.typeId > 1260) continue;
        float size = 32 * DrawScale, x = ScreenX(building.rallyX * 32) - size / 2, y = ScreenY(building.rallyY * 32) - size;
        if (!OnPlayfield(x, y, size, size)) continue;
        SetSpriteSize(1503, size, size);
        SetSpriteAngle(1503, 0);
        DrawSprite3D(1503, x, y, 230);
    }
}

void DrawTextPanel(const std::vector<std::string>& lines, float x, float y)
{
    if (!RenderThisFrame || lines.empty()) return;
    // The bitmap font's cell in layout units, and the panel round the lines as DrawText lays
    // its own box: half a cell in from x, a cell wider than the text, from just above the line.
    float cell = 12 * FontScale / UiScale, lineHeight = 20;
    size_t longest = 0;
    for (const std::string& line : lines) longest = std::max(longest, line.size());
    float width = float(longest + 1) * cell, height = lineHeight * float(lines.size());
    float screenWidth = float(ScreenWidthPx) / UiScale, screenHeight = float(ScreenHeightPx) / UiScale;
    x = std::max(std::min(x, screenWidth - width - cell / 2), -cell / 2);
    y = std::max(std::min(y, screenHeight - height + 3), 3.0f);
    UiSprite(9012, x + cell / 2, y - 3, width, height, 170);
    for (size_t i = 0; i < lines.size(); i++) UiText(lines[i], x, y + lineHeight * float(i), 1, 0);
}

static int TooltipShown = 0;

static void DrawTooltip()
{
    DrawTextPanel(Tooltip, float(LogicalCursorX - 16), float(LogicalCursorY + 24));
    TooltipShown = !Tooltip.empty();
    Tooltip.clear();
}

// The player's pointer in the colour of whoever owns what it is over, the arrow over it, and
// the name of that thing beside it.
static void DrawPointer()
{
    float size = 20;
    int team = 9090 + std::clamp(HoverOwner, 0, 4);
    UiSprite(team, float(LogicalCursorX), float(LogicalCursorY), size, size, 255);
    UiSprite(9000, float(LogicalCursorX), float(LogicalCursorY), size, size, 155);
    if (HoverType > 0 && HoverType < CatalogueSize && !TooltipShown)
        DrawTextPanel({CatalogueName[HoverType]}, float(LogicalCursorX + 16), float(LogicalCursorY));
}

void DrawCommandsOverlay()
{
    DrawSelectionBox();
    DrawRallyPoints();
    DrawTooltip();
    DrawPointer();
}
