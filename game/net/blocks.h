// game/net/blocks.h - the messages of a network game: blocks built with PutText / PutInt and
// read with GetText / GetInt through a reader that fails for good at the first fault. Nothing
// here touches the running game, so the fuzzer reads blocks without one.
#pragma once

#include "game/save/recordrules.h"
#include "game/sim/buildings.h"
#include "game/sim/combat.h"
#include "game/sim/units.h"
#include "game/sim/world.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The block a message starts in; it grows up to the limit, so that armies of a thousand units
// and more travel in one snapshot.
constexpr size_t NetBlockSize = 30000;
constexpr size_t NetBlockLimit = size_t(4) << 20;
// Names are cut to what the menus' name field holds.
constexpr size_t NetNameLength = 16;
// A chat line or save name longer than this is cut.
constexpr size_t NetTextLength = 200;

// A message being built. Starting a message empties it; a message that would grow past the
// limit is marked overfull and must not be sent.
struct NetBlock {
    std::string bytes;
    bool overfull = false;

    NetBlock() { bytes.reserve(NetBlockSize); }
    void Start(const char* keyword)
    {
        bytes.clear();
        overfull = false;
        PutText(keyword);
    }
    void PutText(const std::string& text);
    void PutInt(int value);

    // The record walk of records.h writes through these.
    void Long(int value) { PutInt(value); }
    void Float(float value);
    void Cells(float value);
    void Text(const std::string& text) { PutText(text); }
    void Within(int value, int, int) { PutInt(value); }
};

// Reads a received block by position. After the first shortfall or bad value every read gives
// 0 or "" and the whole block counts as failed.
struct NetReader {
    const std::string& data;
    size_t at = 0;
    bool failed = false;

    explicit NetReader(const std::string& block) : data(block) {}
    int GetInt();
    // A text up to its zero byte, at most `most` bytes kept (the rest is skipped); a text
    // without its zero byte fails the block.
    std::string GetText(size_t most = NetTextLength);
    // A count of records of at least `recordBytes` each, no more than `most`.
    int GetCount(size_t recordBytes, int most);
    size_t Left() const { return data.size() - at; }

    void Long(int& value) { value = GetInt(); }
    void Float(float& value) { value = float(GetInt()); }
    void Cells(float& value) { value = float(GetInt()) / 32; }
    // A record's text one byte longer than any playable one is kept so, and refused by its rule.
    void Text(std::string& text) { text = GetText(size_t(MostQueueEntries) * 10 + 1); }
    void Within(int& value, int lo, int hi)
    {
        value = GetInt();
        if (value < lo || value > hi) failed = true;
    }
};

// A received line as the ticker and the files may carry it: control characters (line ends
// among them) become blanks.
std::string PrintableLine(const std::string& text);

// The keyword a block starts with ("" for a block that does not start with a text).
std::string Keyword(const std::string& block);

// ---- set-up messages ----
// "PLAYER" from the host: the names of every player, the host's first.
void PutPlayerList(NetBlock& block, const std::vector<std::string>& names);
// The three ints the host's send thread appends for each client: its player number and the
// camera that centres its start cell on the host's screen.
void PutHostTrailer(std::string& message, int player, int screenWidth, int screenHeight, int startX, int startY);
struct HostTrailer {
    int player = 0, camX = 0, camY = 0;
};
// Reads the trailer after a message's body has been read up to it.
HostTrailer GetHostTrailer(NetReader& reader);
// The host's "PLAYER": the names, then the trailer; false for a broken block.
bool ReadPlayerList(const std::string& block, std::vector<std::string>& names, HostTrailer& trailer);
// "PLAYER" from a client: its number (0 until known) and its name.
void PutClientPlayer(NetBlock& block, int player, const std::string& name);
bool ReadClientPlayer(const std::string& block, int& player, std::string& name);

// ---- snapshots as read, before they touch the game ----
struct ReceivedSnapshot {
    std::string chat;  // "" when the sender had no chat line
    int frameRate = 0; // host snapshots: the lowest among the players; client snapshots: the sender's
    int player = 0;    // client snapshots: the sender's player number
    std::vector<Building> buildings; // the records kept (see the readers)
    std::vector<Unit> units;
    std::vector<Projectile> shots;
    std::vector<Sandstorm> storms;   // host snapshots
    int timeOfDay = 0, elapsedSeconds = 0, gameSpeed = 1; // host snapshots
};

// A host's "DATEN" as a client keeps it: every record not of `localPlayer` (the client's own
// are read and passed over). Every record, kept or not, must be one the game can play within
// `bounds` (recordrules.h). False for anything but a whole block of good values.
bool ReadGameSnapshot(const std::string& block, int localPlayer, const RecordBounds& bounds, ReceivedSnapshot& out);
// A client's "DATEN" as the host keeps it: only the records of the sender, which must be the
// player `sender` the connection belongs to.
bool ReadClientSnapshot(const std::string& block, int sender, const RecordBounds& bounds, ReceivedSnapshot& out);
// A watcher's "DATEN" as the host takes it: a chat line ("" for none) and nothing else; a block
// that claims a player or carries objects is refused.
bool ReadWatcherSnapshot(const std::string& block, std::string& chat);
