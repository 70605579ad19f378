// Fuzzes the rules-table readers: the same bytes as every table file, then the row lookups.
#include "game/base/tables.h"
#include "platform/files.h"

#include <cstdint>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static std::string folder;
    if (folder.empty()) {
        char pattern[] = "/tmp/korax-fuzz-tables-XXXXXX";
        folder = mkdtemp(pattern) ? pattern : "/tmp";
        SetProgramFolder(folder);
        MakeFolder("TXT");
    }
    std::string bytes((const char*)data, size);
    for (const char* name : {"Einheiten.info", "Gebaeude.info", "Forschung.info", "Waffen.info", "Wirkung.info",
                             "Missionen.info", "Tutorial.txt"})
        WriteWholeFile(std::string("TXT\\") + name, bytes);
    LoadDataTables();
    LookupUnitType(2001);
    LookupWeaponType(7);
    LookupBuildingType(1100);
    return 0;
}
