// game/base/tables.h - the rules tables of TXT\: units, buildings, weapons, research, the
// damage matrix, the campaign's mission lines and the tutorial pages.
//
// The catalogue is filled once at start-up; unit, weapon and building rows are read from disk
// again each time an object is created (the files are small, objects are created rarely).
#pragma once

#include <string>

constexpr int CatalogueSize = 3001;   // ids 0..3000
constexpr int MissionLineSlots = 1000; // slots 1..999 hold lines
constexpr int TutorialSlots = 1000;    // page p holds slots 10p..10p+9

// One row of Einheiten.info, as the row lookup delivers it.
struct UnitType {
    int armourClass = 0; // "Typ": 1 troops .. 6 gliders, the row of EffectTable
    int hitPoints = 0;   // "TP"
    int maxSpeed = 0;    // "v"
    int turnRate = 0;    // "w"
    int weapon = 0;      // "Waffe": a row of Waffen.info
};

// One row of Waffen.info.
struct WeaponType {
    int range = 0;         // "RW", in cells
    int shotSpeed = 0;     // "v"
    int firePeriod = 0;    // "Sf"
    int repairAmount = 0;  // "HK", the construction tool's
    int harvestAmount = 0; // "SK", the collecting tool's
    int damage = 0;        // "ZK"
};

// One row of Gebaeude.info.
struct BuildingType {
    int price = 0;     // "Kosten", Euro
    int hitPoints = 0; // "TP"
    int buildTime = 0; // "Bauzeit"
    int energy = 0;    // "Energie": positive produces, negative consumes
};

// Catalogue, indexed by id 0..3000: filled from units, then buildings, then research, so an
// id in two files (the guard towers) keeps the later file's values.
extern std::string CatalogueName[CatalogueSize];  // display name
extern int CataloguePrice[CatalogueSize];         // Euro
extern std::string CatalogueInfo[CatalogueSize];  // build time (6 wide), energy, or research time (6 wide)
extern int CatalogueRow[CatalogueSize];           // line number of the id in its file, from 1

extern int EffectTable[7][7];                     // [weapon class][armour class], per mille
extern std::string MissionLines[MissionLineSlots]; // Missionen.info, slot 1 upward
extern std::string TutorialLines[TutorialSlots];   // Tutorial.txt by pages of ten slots

// Reads the catalogue, the damage matrix, the mission lines and the tutorial. A missing file
// leaves its table empty.
void LoadDataTables();
// Empties every table.
void ClearDataTables();

// The row of `id`, read again from its file. The last matching row wins; when no row matches,
// the result keeps the values of the previous lookup of the same kind.
UnitType LookupUnitType(int id);
WeaponType LookupWeaponType(int id);
BuildingType LookupBuildingType(int id);
