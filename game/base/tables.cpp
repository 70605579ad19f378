// game/base/tables.cpp - reading the fixed-column tables of TXT\.
#include "game/base/tables.h"

#include "game/base/numbers.h"
#include "platform/files.h"

#include <vector>

std::string CatalogueName[CatalogueSize];
int CataloguePrice[CatalogueSize];
std::string CatalogueInfo[CatalogueSize];
int CatalogueRow[CatalogueSize];
int EffectTable[7][7];
std::string MissionLines[MissionLineSlots];
std::string TutorialLines[TutorialSlots];

// The lines of a table file up to (not including) the first empty line; the end of the file
// counts as one.
static std::vector<std::string> TableLines(const std::string& path)
{
    std::string data;
    ReadWholeFile(path, data);
    std::vector<std::string> lines;
    LineReader reader = MakeLineReader(data);
    std::string line;
    while (ReadLine(reader, line) && !line.empty()) lines.push_back(line);
    return lines;
}

static int IsComment(const std::string& line) { return line.compare(0, 4, ">>> ") == 0; }

// Numeric field starting at `column`, seven wide, spaces at its end removed.
static int NumberAt(const std::string& line, int column) { return ReadNumber(TrimSpaces(FieldAt(line, column, 7), 0)); }

static int IdOf(const std::string& line) { return ReadNumber(TrimSpaces(FieldAt(line, 1, 4), 0)); }

// The text right-aligned to six characters, as the sidebar shows times.
static std::string RightAligned6(const std::string& text)
{
    return text.size() < 6 ? std::string(6 - text.size(), ' ') + text : text;
}

// What each table contributes to the catalogue.
struct CatalogueSource {
    const char* path;
    int nameWidth;
    int infoColumn;  // the field shown as info text
    int alignInfo;   // 1: right-aligned to six characters; 0: the field as it stands
};

static const CatalogueSource CatalogueSources[] = {
    {"TXT\\Einheiten.info", 20, 91, 1},
    {"TXT\\Gebaeude.info", 28, 71, 0},
    {"TXT\\Forschung.info", 28, 61, 1},
};

static void ReadCatalogue(const CatalogueSource& source)
{
    std::vector<std::string> lines = TableLines(source.path);
    for (size_t i = 0; i < lines.size(); i++) {
        const std::string& line = lines[i];
        if (IsComment(line)) continue;
        int id = IdOf(line);
        if (id < 0 || id >= CatalogueSize) continue; // an id outside the catalogue has no place in it
        std::string info = TrimSpaces(FieldAt(line, source.infoColumn, 7), 0);
        CatalogueRow[id] = int(i) + 1;
        CatalogueName[id] = TrimSpaces(FieldAt(line, 11, source.nameWidth), 0);
        CataloguePrice[id] = NumberAt(line, 41);
        CatalogueInfo[id] = source.alignInfo ? RightAligned6(info) : info;
    }
}

// Two header lines, then the six armour classes; weapon class w at column 10 w + 3, 5 wide.
static void ReadEffectTable()
{
    std::vector<std::string> lines = TableLines("TXT\\Wirkung.info");
    for (int armour = 1; armour <= 6 && size_t(armour + 1) < lines.size(); armour++)
        for (int weapon = 1; weapon <= 6; weapon++)
            EffectTable[weapon][armour] = ReadNumber(TrimSpaces(FieldAt(lines[size_t(armour + 1)], 10 * weapon + 3, 5), 1));
}

static void ReadMissionLines()
{
    std::vector<std::string> lines = TableLines("TXT\\Missionen.info");
    for (size_t i = 0; i < lines.size() && i + 1 < MissionLineSlots; i++) MissionLines[i + 1] = lines[i];
}

// Pages of ten slots: "<>" ends a page, "<><>" ends the tutorial.
static void ReadTutorial()
{
    std::vector<std::string> lines = TableLines("TXT\\Tutorial.txt");
    int slot = 0;
    for (const std::string& line : lines) {
        if (line == "<><>") break;
        if (line == "<>") {
            if (slot % 10 != 0) slot += 10 - slot % 10;
            continue;
        }
        if (slot >= TutorialSlots) break;
        TutorialLines[slot++] = line;
    }
}

void ClearDataTables()
{
    for (int id = 0; id < CatalogueSize; id++) {
        CatalogueName[id].clear();
        CataloguePrice[id] = 0;
        CatalogueInfo[id].clear();
        CatalogueRow[id] = 0;
    }
    for (auto& row : EffectTable)
        for (int& value : row) value = 0;
    for (std::string& line : MissionLines) line.clear();
    for (std::string& line : TutorialLines) line.clear();
}

void LoadDataTables()
{
    ClearDataTables();
    for (const CatalogueSource& source : CatalogueSources) ReadCatalogue(source);
    ReadEffectTable();
    ReadMissionLines();
    ReadTutorial();
}

// The data line of `id` in a table file, the last one when several match; empty when none.
static std::string RowOf(const std::string& path, int id)
{
    std::string found;
    for (const std::string& line : TableLines(path))
        if (!IsComment(line) && IdOf(line) == id) found = line;
    return found;
}

UnitType LookupUnitType(int id)
{
    static UnitType last;
    std::string line = RowOf("TXT\\Einheiten.info", id);
    if (!line.empty()) {
        last.armourClass = NumberAt(line, 31);
        last.hitPoints = NumberAt(line, 51);
        last.maxSpeed = NumberAt(line, 61);
        last.turnRate = NumberAt(line, 71);
        last.weapon = NumberAt(line, 81);
    }
    return last;
}

WeaponType LookupWeaponType(int id)
{
    static WeaponType last;
    std::string line = RowOf("TXT\\Waffen.info", id);
    if (!line.empty()) {
        last.range = NumberAt(line, 31);
        last.shotSpeed = NumberAt(line, 41);
        last.firePeriod = NumberAt(line, 51);
        last.repairAmount = NumberAt(line, 61);
        last.harvestAmount = NumberAt(line, 71);
        last.damage = NumberAt(line, 81);
    }
    return last;
}

BuildingType LookupBuildingType(int id)
{
    static BuildingType last;
    std::string line = RowOf("TXT\\Gebaeude.info", id);
    if (!line.empty()) {
        last.price = NumberAt(line, 41);
        last.hitPoints = NumberAt(line, 51);
        last.buildTime = NumberAt(line, 61);
        last.energy = NumberAt(line, 71);
    }
    return last;
}
