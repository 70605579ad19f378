// Plays what the snapshot changes ("DELTA") put together: the first byte says how the rest is
// taken — as a whole "DELTA" block (packed) or as the unpacked change itself, each against the
// base game's host snapshot (or none) — and what decodes is joined into a snapshot, applied as
// a client applies the host's, and played for 20 frames, after which the game must still save
// and read back.
#include "game/net/delta.h"
#include "play_world.h"

#include <cstdint>
#include <cstdlib>

namespace {

SnapshotImage& BaseImage()
{
    static SnapshotImage image;
    return image;
}

// The host's snapshot of the base game, and the same game's a few frames later.
void MakeSnapshots(std::string& before, std::string& after)
{
    StartFromBaseGame();
    NetBlock block;
    PutGameSnapshot(block, "", 40);
    before = block.bytes;
    PlayFrames(10);
    PutGameSnapshot(block, "Spieler 1: hallo", 40);
    after = block.bytes;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    PreparePlayWorld();
    std::string before, after;
    MakeSnapshots(before, after);
    SplitSnapshot(before, false, BaseImage());
    // KORAX_FUZZ_SEEDS names a folder that gets the change of the base game over ten frames,
    // packed as it travels and unpacked, and the whole snapshot against no base.
    if (const char* folder = std::getenv("KORAX_FUZZ_SEEDS")) {
        SnapshotImage later;
        SplitSnapshot(after, false, later);
        std::string change = EncodeDelta(later, &BaseImage());
        WriteOsFile(std::string(folder) + "/delta-block", std::string(1, '\0') + PutDelta(DeltaHeader{0, 1, 2, 1, 0}, change));
        WriteOsFile(std::string(folder) + "/delta-raw", std::string(1, '\1') + change);
        WriteOsFile(std::string(folder) + "/delta-whole", std::string(1, '\3') + EncodeDelta(later, nullptr));
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    int how = data[0];
    std::string bytes((const char*)data + 1, size - 1), change;
    if (how & 1) {
        change = bytes;
    } else {
        DeltaHeader header;
        if (!ReadDelta(bytes, header, change)) return 0;
    }
    SnapshotImage image;
    if (!DecodeDelta(change, how & 2 ? nullptr : &BaseImage(), image)) return 0;
    std::string block = JoinSnapshot(image);
    StartFromBaseGame();
    NetworkGame = 1;
    LocalPlayer = 2;
    ReceivedSnapshot taken;
    if (ApplyGameSnapshot(block, 2, taken)) {
        PlayFrames(20);
        WrittenGameReadsBack();
    }
    return 0;
}
