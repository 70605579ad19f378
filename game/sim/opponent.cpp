// game/sim/opponent.cpp - the computer opponent's turn, its decision tree and its wishes.
#include "game/sim/opponent.h"

#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/numbers.h"
#include "game/base/tables.h"
#include "game/sim/buildings.h"
#include "game/sim/gamestate.h"
#include "game/sim/research.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "platform/pictures.h"

#include <algorithm>
#include <cmath>
#include <string>

int AiPhase = 0;
int AiKnowledge[AiKnowledgeSize];
int AiBuilding = 0;
int AiUnit = 0;
int AiUnitCount = 0;
int AiResearch = 0;

static const char* const NoThreat = "000000|0";

static int& K(int id) { return AiKnowledge[std::clamp(id, 0, AiKnowledgeSize - 1)]; }
static int Price(int id) { return id >= 0 && id < CatalogueSize ? CataloguePrice[id] : 0; }
static int MoneySuffices(int id) { return K(0) >= Price(id); }

int AiPrice(int id)
{
    int difficulty = std::clamp(Difficulty, 1, 3);
    return int(std::lround(double(Price(id)) * (5 - difficulty) / 3));
}

// ---- the wishes ----

// One row of the wish table: what the item is, where it comes from, what research it needs.
enum WishKind { BuildingWish, UnitWish, ResearchWish };
struct WishRow {
    int id;
    WishKind kind;
    int source;   // units: their factory; research: the lab; buildings: 0 (a construction vehicle)
    int needs[2]; // research required, in order
};

static const WishRow WishTable[] = {
    {1100, BuildingWish, 0, {0, 0}},       {1210, BuildingWish, 0, {0, 0}},       {1400, BuildingWish, 0, {0, 0}},
    {1410, BuildingWish, 0, {0, 0}},       {1220, BuildingWish, 0, {722, 0}},     {1230, BuildingWish, 0, {723, 0}},
    {1240, BuildingWish, 0, {724, 0}},     {1052, BuildingWish, 0, {712, 0}},     {1054, BuildingWish, 0, {714, 0}},
    {2101, UnitWish, 1210, {0, 0}},        {2102, UnitWish, 1210, {712, 0}},      {2103, UnitWish, 1210, {713, 0}},
    {2201, UnitWish, 1220, {722, 0}},      {2203, UnitWish, 1220, {722, 713}},    {2302, UnitWish, 1230, {723, 712}},
    {2304, UnitWish, 1230, {723, 714}},    {2402, UnitWish, 1240, {724, 712}},    {2403, UnitWish, 1240, {724, 713}},
    {2404, UnitWish, 1240, {724, 714}},    {712, ResearchWish, 1400, {0, 0}},     {713, ResearchWish, 1400, {0, 0}},
    {714, ResearchWish, 1400, {0, 0}},     {722, ResearchWish, 1400, {0, 0}},     {723, ResearchWish, 1400, {0, 0}},
    {724, ResearchWish, 1400, {0, 0}},     {732, ResearchWish, 1400, {0, 0}},     {734, ResearchWish, 1400, {0, 0}},
};

static const WishRow* RowOf(int id)
{
    for (const WishRow& row : WishTable)
        if (row.id == id) return &row;
    return nullptr;
}

static void Wish(int id);

// A construction vehicle is what every building needs; the factory for it is all it needs.
static void WishBuilder()
{
    if (K(1200) > 0 && MoneySuffices(2001)) {
        AiUnit = 2001;
        AiUnitCount = 1;
    }
}

static void WishHarvester()
{
    if (K(1200) > 0) {
        if (MoneySuffices(2002)) {
            AiUnit = 2002;
            AiUnitCount = 1;
        }
    } else if (K(2001) > 0 && MoneySuffices(1200)) {
        AiBuilding = 1200;
    }
}

// Money comes from harvesters and an incinerator to take their loads.
static void WishEconomy()
{
    if (K(2002) < 2) WishHarvester();
    else if (K(1300) < 1 && K(2001) > 0) {
        if (MoneySuffices(1300)) AiBuilding = 1300;
    } else if (K(2001) <= 0) {
        WishBuilder();
    }
}

static void WishResearch(int id)
{
    if (K(1400) > 0) {
        if (MoneySuffices(id)) AiResearch = id;
    } else {
        Wish(1400);
    }
}

static void WishBuildingRow(const WishRow& row)
{
    if (K(2001) <= 0) {
        WishBuilder();
        return;
    }
    if (row.needs[0] && K(row.needs[0]) <= 0) WishResearch(row.needs[0]);
    else if (MoneySuffices(row.id)) AiBuilding = row.id;
}

static void WishUnitRow(const WishRow& row)
{
    if (K(row.source) <= 0) {
        Wish(row.source);
        return;
    }
    for (int research : row.needs)
        if (research && K(research) <= 0) {
            WishResearch(research);
            return;
        }
    if (MoneySuffices(row.id)) {
        AiUnit = row.id;
        AiUnitCount = 1;
    }
}

// A wish records one result, or passes on to the wish for its first missing prerequisite.
static void Wish(int id)
{
    if (id == 2001) return WishBuilder();
    if (id == 2002) return WishHarvester();
    const WishRow* row = RowOf(id);
    if (!row) return;
    switch (row->kind) {
    case BuildingWish: WishBuildingRow(*row); break;
    case UnitWish: WishUnitRow(*row); break;
    case ResearchWish: WishResearch(row->id); break;
    }
}

// ---- the decision tree ----

static int Count(std::initializer_list<int> types)
{
    int sum = 0;
    for (int type : types) sum += K(type);
    return sum;
}

static int ArmyCount() { return Count({2101, 2102, 2103, 2201, 2203, 2302, 2304, 2402, 2403, 2404}); }

// The base: an economy, a radar, then towers and the upgrades as research allows.
static void ThinkBase()
{
    if (K(1200) < 1 || K(1300) < 1) WishEconomy();
    else if (K(1410) < 1) Wish(1410);
    else if (K(712) > 0) {
        if (K(1052) < 3) Wish(1052);
        else if (K(723) > 0) {
            if (K(1052) < 6) Wish(1052);
            else if (K(732) < 1) Wish(732);
            else if (K(714) > 0) {
                if (K(1054) < 3) Wish(1054);
                else if (K(734) < 1) Wish(734);
            }
        }
    }
}

// The army: a slot drawn from what the research so far allows.
static void ThinkArmy()
{
    static const int slots[10] = {2101, 2102, 2201, 2103, 2203, 2302, 2304, 2402, 2403, 2404};
    int slot = 1;
    if (K(712) == 0 || K(722) == 0) slot = Rnd(5) == 1 ? Rnd(2) : 0;
    else if (K(713) == 0 || K(723) == 0) slot = Rnd(5) == 1 ? Rnd(5) : Rnd(2);
    else if (K(714) == 0 || K(724) == 0) slot = Rnd(5) == 1 ? Rnd(9) : Rnd(5);
    if (K(slots[slot]) < 4) Wish(slots[slot]);
}

// Against what attacked: for each class seen, the answers of its row; the last wish made counts.
static void ThinkThreat(Player& player)
{
    struct Answer {
        int cap, wish;
    };
    static const Answer answers[7][2] = {
        {{0, 0}, {0, 0}},
        {{2101, 2101}, {2201, 2201}}, {{2102, 2102}, {2304, 2304}}, {{2102, 2103}, {2304, 2203}},
        {{2103, 2103}, {2404, 2203}}, {{2204, 2103}, {2404, 2203}}, {{2204, 2103}, {2404, 2203}},
    };
    std::string& memory = player.threatMemory;
    if (memory.size() != 8) memory = NoThreat;
    if (ArmyCount() > 7 && memory[7] >= '1' && memory[7] <= '9') player.attackTarget = memory[7] - '0';
    for (int c = 1; c <= 6; c++) {
        if (memory[size_t(c - 1)] != '1') continue;
        for (const Answer& answer : answers[c])
            if (K(answer.cap) < 6) Wish(answer.wish);
    }
    memory = NoThreat;
}

// Enough troops for the stage the computer has reached: it goes for the player at this computer.
static void AttackRule(Player& player)
{
    if (K(1220) < 1) {
        if (Count({2101, 2102, 2103}) > 7) player.attackTarget = LocalPlayer;
    } else if (K(1230) < 1) {
        if (Count({2101, 2102, 2103, 2201, 2203}) > 9) player.attackTarget = LocalPlayer;
    } else if (K(1240) < 1) {
        if (Count({2101, 2102, 2103, 2201, 2203, 2302, 2304}) > 11) player.attackTarget = LocalPlayer;
    } else if (K(1250) < 1) {
        if (ArmyCount() > 13) player.attackTarget = LocalPlayer;
    }
}

void Think(int player)
{
    Player& self = Players[std::clamp(player, 0, MaxPlayers)];
    self.attackTarget = 0;
    if (self.threatMemory.empty() || self.threatMemory == NoThreat) {
        if (K(1) < 3) Wish(1100);
        else if (K(0) < 7000) WishEconomy();
        else if (Rnd(1) == 0) ThinkBase();
        else ThinkArmy();
    } else {
        ThinkThreat(self);
    }
    AttackRule(self);
}

// ---- a turn ----

static void SetStances(int player)
{
    for (Building& building : Buildings) {
        if (building.owner != player) continue;
        if (building.typeId == 1200) building.stance = 3;
        else if (building.typeId > 1200 && building.typeId < 1270) building.stance = 2;
    }
    for (Unit& unit : Units)
        if (unit.owner == player) unit.stance = unit.typeId < 2003.0f ? 3 : 2;
}

// Waits while anything of the player is still being built, unless something attacked it. A
// site whose construction vehicle was destroyed holds nothing up: nobody is left to finish it,
// and only a turn can order a new vehicle - waiting for it would stop the computer for good.
static int DecidePhase(const Player& self, int player)
{
    int allFinished = 1, canBuild = 0;
    for (const Unit& unit : Units) canBuild |= unit.owner == player && unit.state == 0 && IsBuilder(unit);
    for (const Building& building : Buildings)
        if (building.owner == player && !IsComplete(building) && canBuild) allFinished = 0;
    AiPhase = allFinished && AiPhase != 2 ? 0 : 1;
    if (!self.threatMemory.empty() && self.threatMemory != NoThreat) AiPhase = 0;
    return AiPhase == 0;
}

void TakeStock(int player)
{
    for (int id = 1000; id <= 2500; id++) AiKnowledge[id] = 0;
    for (const Building& building : Buildings)
        if (building.owner == player && building.state >= 0) K(building.typeId)++;
    for (const Unit& unit : Units)
        if (unit.owner == player && unit.state >= 0) K(int(std::lround(unit.typeId)))++;
    const Player& self = Players[std::clamp(player, 0, MaxPlayers)];
    K(0) = self.money;
    K(1) = self.energy;
    for (int i = 0; i < 14; i++) K(ResearchItems[i]) = self.research[i];
    AiBuilding = AiUnit = AiUnitCount = AiResearch = 0;
}

static std::string QueueEntry(int id)
{
    std::string text = NumberText(id);
    if (text.size() < 4) text = std::string(4 - text.size(), ' ') + text;
    return text + (id < CatalogueSize ? CatalogueInfo[id] : "");
}

// Every idle lab pays and starts the research. Idle means nothing queued and nothing running:
// a lab at work would otherwise be paid again on every turn for the research it already does.
static void StartResearch(int player)
{
    if (!AiResearch) return;
    int cost = AiPrice(AiResearch);
    for (Building& lab : Buildings) {
        if (lab.owner != player || lab.typeId != 1400 || !IsComplete(lab) || !lab.queue.empty() || lab.currentItem > 0) continue;
        if (K(0) - cost < 0) continue;
        K(0) -= cost;
        lab.queue = QueueEntry(AiResearch);
    }
}

static void OrderUnits(int player)
{
    if (!AiUnit) return;
    int factory = AiUnit / 10 + 1000, cost = AiPrice(AiUnit);
    for (Building& building : Buildings) {
        if (building.owner != player || building.typeId != factory || !IsComplete(building) || !building.queue.empty() ||
            building.currentItem > 0)
            continue;
        for (int n = 0; n < AiUnitCount; n++)
            if (K(0) - cost >= 0) {
                K(0) -= cost;
                building.queue += QueueEntry(AiUnit);
            }
    }
}

// Whether the building's picture drawn at (x, y) in a layout of 65 pixels a cell meets another
// building's picture there, or the same one step of 65 above or below (a lane stays free).
static int MeetsBuildings(int typeId, int x, int y)
{
    for (const Building& other : Buildings) {
        int ox = int(std::floor(other.x)) * 65, oy = int(std::floor(other.y)) * 65;
        int picture = other.typeId + other.variant;
        if (!PictureExists(picture)) picture = other.typeId;
        for (int step : {0, -65, 65})
            if (PicturesOverlap(typeId, x * 65, y * 65, picture, ox, oy + step)) return 1;
    }
    return 0;
}

static int SpotFree(int typeId, int x, int y)
{
    int cellsX = PictureWidth(typeId) / 64, cellsY = PictureHeight(typeId) / 64;
    if (x < 2 || y < 2 || x > MapWidth - cellsX - 2 || y > MapHeight - cellsY - 2) return 0;
    for (const Unit& unit : Units)
        if (IsTower(unit)) {
            int tx = int(std::floor(unit.x)), ty = int(std::floor(unit.y));
            if (tx >= x && tx < x + std::max(1, cellsX) && ty >= y && ty < y + std::max(1, cellsY)) return 0;
        }
    // Only on plain earth, as the player builds.
    for (int cx = x; cx < x + std::max(1, cellsX); cx++)
        for (int cy = y; cy < y + std::max(1, cellsY); cy++)
            if (!FullEarthAt(cx, cy)) return 0;
    return !MeetsBuildings(typeId, x, y);
}

int PlaceAiBuilding(int player, int typeId)
{
    int builder = -1;
    for (size_t i = 0; i < Units.size(); i++)
        if (Units[i].owner == player && IsBuilder(Units[i])) {
            Units[i].stance = 3;
            builder = int(i);
        }
    if (builder < 0) return 0;
    int x0 = int(std::floor(Units[size_t(builder)].x)), y0 = int(std::floor(Units[size_t(builder)].y));
    for (int attempt = 0; attempt < 512; attempt++) {
        int x = x0 + Rnd(16) - 8, y = y0 + Rnd(16) - 8;
        if (!SpotFree(typeId, x, y)) continue;
        int cost = AiPrice(typeId);
        if (K(0) - cost < 0) return 0;
        K(0) -= cost;
        NextObjectId += 10;
        AddPlacedBuilding(player, typeId, x, y);
        return 1;
    }
    AiPhase = 2;
    return 0;
}

void AiTurn(int player)
{
    if (OpponentOn != 1 || player < 1 || player > MaxPlayers) return;
    Player& self = Players[player];
    SetStances(player);
    if (!DecidePhase(self, player)) return;
    TakeStock(player);
    Think(player);
    StartResearch(player);
    OrderUnits(player);
    if (AiBuilding) PlaceAiBuilding(player, AiBuilding);
    self.money = K(0);
    self.energy = K(1);
}
