// Fuzzes the save-file reader: any bytes either read as a whole game or are refused, and
// nothing outside the fresh game is ever touched.
#include "game/base/tables.h"
#include "game/save/saveformat.h"
#include "platform/files.h"

#include <cstdint>
#include <string>

// The records' types are rows of the rules tables we ship.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetProgramFolder(KORAX_SOURCE_DATA);
    LoadDataTables();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes((const char*)data, size);
    SavedGame game;
    game.terrain.assign(257 * 257, 0);
    game.fog.assign(257 * 257, 1);
    if (ParseGameState(bytes, game)) {
        // A game read whole has its records within what the grids hold.
        for (const Unit& unit : game.units)
            if (unit.x < 0 || unit.y < 0 || unit.x > float(game.mapWidth) || unit.y > float(game.mapHeight)) __builtin_trap();
        if (game.mapWidth > MaxMapSide || game.mapHeight > MaxMapSide) __builtin_trap();
    }
    return 0;
}
