// game/net/delta.h - snapshots as they travel: the difference to what the receiver already
// has, compressed.
//
// A snapshot ("DATEN") is taken apart into its records (an image). The next one to a receiver
// names the last snapshot that receiver acknowledged and carries, list by list, which of its
// records each record continues and the change of every field, column by column: a column says
// which records it changed (a bit each) and by how much, so that a field nobody changed costs a
// byte. Shots are told against where they flew, a new one against how its unit fires or how
// the plasma ball it split off flies. The receiver puts the snapshot back together byte for byte as the full one was, so
// every check of the records applies to it as to a full snapshot. A receiver with nothing
// acknowledged gets the whole snapshot the same way, against no base.
//
// Nothing here touches the running game: the fuzzers read deltas without one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One list of a snapshot: its records' whole numbers one record after another, in the order
// they travel (each led by its owner), and for the lists that carry one each record's text,
// all of them end to end in `text`, record i's ending at `textEnd[i]`. Everything lies flat so
// that taking a snapshot apart once a frame costs no allocation per record, and a kept image
// taken apart again reuses its room.
struct ImageList {
    size_t count = 0;
    std::vector<int> ints;
    std::string text;
    std::vector<uint32_t> textEnd;

    std::string_view Text(size_t record) const
    {
        size_t start = record ? textEnd[record - 1] : 0;
        return std::string_view(text).substr(start, textEnd[record] - start);
    }
};

// A snapshot taken apart. `head` is what comes before the lists (keyword, chat, frame rate,
// the client's player); `tail` what follows them (the host's storms and clock).
struct SnapshotImage {
    std::string head;
    ImageList lists[3]; // buildings, units, shots
    std::string tail;
};
using SharedImage = std::shared_ptr<const SnapshotImage>;

// A "DATEN" block taken apart; false when it is none (and `image` is then of no use).
// `clientForm`: a client's (its player number before its frame rate), else the host's.
bool SplitSnapshot(const std::string& block, bool clientForm, SnapshotImage& image);
// The block again, byte for byte.
std::string JoinSnapshot(const SnapshotImage& image);

// The change from `base` (null: from nothing) to `current`, uncompressed.
std::string EncodeDelta(const SnapshotImage& current, const SnapshotImage* base);
// The image again; false for bytes that do not decode against this base (a base they do not
// name, counts past the bounds, numbers that leave 32 bits, a snapshot past the block limit,
// bytes short or left over), and `out` is then of no use. `out` reuses its room; it must not be
// `base`.
bool DecodeDelta(const std::string& bytes, const SnapshotImage* base, SnapshotImage& out);

// Compression of snapshots and the transfer file (zstd). Unpacking never makes more than
// `most` bytes: a frame that claims more is refused.
std::string Pack(const std::string& bytes);
bool Unpack(const std::string& packed, size_t most, std::string& bytes);

// ---- the "DELTA" message ----
struct DeltaHeader {
    int clientForm = 0; // a client's snapshot
    int chat = 0;       // it carries a chat line: it must not be replaced by a newer one
    int seq = 0;        // the sender's number of this snapshot, from 1
    int base = 0;       // the snapshot it is the change from; 0 none
    int ack = 0;        // the last snapshot of the receiver's that the sender applied; 0 none
};
// "DELTA", the header, the packed change; what a host appends for each client may follow.
std::string PutDelta(const DeltaHeader& header, const std::string& delta);
// The header and the unpacked change (bounded by the block limit); false for a broken block.
bool ReadDelta(const std::string& block, DeltaHeader& header, std::string& delta);
// Only the header, without unpacking (the receiving thread asks whether a block has chat).
bool ReadDeltaHeader(const std::string& block, DeltaHeader& header);
