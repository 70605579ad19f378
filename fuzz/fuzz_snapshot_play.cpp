// Plays what the snapshot readers accept: any bytes are put into the base game once as the host
// takes a client's "DATEN" (player 2's connection) and once as a client takes the host's, and
// each time the game runs 40 frames on what it took and must save a game that reads again, and
// send a snapshot that reads again.
#include "play_world.h"

#include <cstdint>
#include <cstdlib>

static void SnapshotReadsBack()
{
    NetBlock block;
    PutGameSnapshot(block, "", 40);
    ReceivedSnapshot again;
    if (!block.overfull && !ReadGameSnapshot(block.bytes, LocalPlayer == 1 ? 2 : 1, RunningGameBounds(), again)) {
        std::fprintf(stderr, "the game sent a snapshot its reader refuses\n");
        __builtin_trap();
    }
}

static void PlayWhatWasTaken()
{
    PlayFrames(40);
    WrittenGameReadsBack();
    SnapshotReadsBack();
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    PreparePlayWorld();
    // KORAX_FUZZ_SEEDS names a folder that gets both sides' snapshots of the base game.
    if (const char* folder = std::getenv("KORAX_FUZZ_SEEDS")) {
        NetBlock block;
        PutGameSnapshot(block, "Spieler 1: hallo", 40);
        WriteOsFile(std::string(folder) + "/host-snapshot", block.bytes);
        PutClientSnapshot(block, "Spieler 2: hallo", 2, 40);
        WriteOsFile(std::string(folder) + "/client-snapshot", block.bytes);
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string block((const char*)data, size);
    ReceivedSnapshot taken;
    StartFromBaseGame();
    NetworkGame = 1;
    if (ApplyClientSnapshot(block, 2, taken)) PlayWhatWasTaken();
    StartFromBaseGame();
    NetworkGame = 1;
    LocalPlayer = 2;
    if (ApplyGameSnapshot(block, 2, taken)) PlayWhatWasTaken();
    return 0;
}
