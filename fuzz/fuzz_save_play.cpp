// Plays what the save reader accepts: any bytes that load as a game run 40 frames of the rules
// on it (units, shots, buildings, the computer opponent), and the game they leave is saved and
// must read again.
#include "play_world.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    PreparePlayWorld();
    // KORAX_FUZZ_SEEDS names a folder that gets the base game as a seed, for the corpus.
    if (const char* folder = std::getenv("KORAX_FUZZ_SEEDS")) {
        WriteOsFile(std::string(folder) + "/base-game.sav", BaseGame);
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    StartFromBaseGame();
    if (!ApplyGameStateBytes(std::string((const char*)data, size))) return 0;
    PlayFrames(40);
    WrittenGameReadsBack();
    return 0;
}
