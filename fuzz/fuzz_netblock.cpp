// Fuzzes the network block reader: any bytes either read as a whole message or are refused,
// and what a snapshot keeps lies on the map and belongs to whom it may.
#include "game/base/tables.h"
#include "game/net/blocks.h"
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
    std::string block((const char*)data, size);
    constexpr int Width = 64, Height = 48;
    const RecordBounds bounds{Width, Height, 4};
    ReceivedSnapshot snapshot;
    if (ReadGameSnapshot(block, 2, bounds, snapshot)) {
        for (const Unit& unit : snapshot.units)
            if (unit.owner == 2 || unit.x < 0 || unit.y < 0 || unit.x > Width || unit.y > Height) __builtin_trap();
        if (snapshot.gameSpeed < 1 || snapshot.gameSpeed > 16) __builtin_trap();
    }
    ReceivedSnapshot fromClient;
    if (ReadClientSnapshot(block, 3, bounds, fromClient)) {
        for (const Building& building : fromClient.buildings)
            if (building.owner != 3) __builtin_trap();
    }
    std::vector<std::string> names;
    HostTrailer trailer;
    if (ReadPlayerList(block, names, trailer)) {
        if (names.empty() || names.size() > MaxPlayers) __builtin_trap();
        for (const std::string& name : names)
            if (name.size() > NetNameLength) __builtin_trap();
    }
    int player = 0;
    std::string name;
    if (ReadClientPlayer(block, player, name) && (player < 0 || player > MaxPlayers)) __builtin_trap();
    Keyword(block);
    return 0;
}
