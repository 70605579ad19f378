// game/net/blocks.cpp - writing and reading message blocks, and the snapshots read apart from
// the game.
#include "game/net/blocks.h"

#include "game/save/records.h"

#include <algorithm>

namespace {

// The smallest a record can be on the wire: its lead, its ints and an empty text's zero byte.
constexpr size_t BuildingBytes = 21 * 4 + 1;
constexpr size_t UnitBytes = 35 * 4 + 1;
constexpr size_t ShotBytes = 11 * 4;

// Reads the three object lists, keeping the records `keep` accepts. Every record is led by
// its owner, which its own owner field must repeat, and is read whole, kept or not, so that
// the next one starts where it should.
template <class Keep>
void GetObjects(NetReader& r, ReceivedSnapshot& into, const RecordBounds& bounds, Keep keep)
{
    auto readList = [&](auto& list, size_t bytes, int most, auto readFields, auto playable) {
        int count = r.GetCount(bytes, most);
        for (int i = 0; i < count && !r.failed; i++) {
            int lead = r.GetInt();
            typename std::remove_reference_t<decltype(list)>::value_type record;
            readFields(record);
            // Passed over or kept, every record must be one the game could play: a block that
            // carries anything else is no block of ours.
            if (record.owner != lead || !playable(record, bounds)) r.failed = true;
            if (!r.failed && keep(record.owner)) list.push_back(std::move(record));
        }
    };
    readList(into.buildings, BuildingBytes, MostBuildings, [&](Building& b) { BuildingFields(r, b, RecordUse::Network); },
             PlayableBuilding);
    readList(into.units, UnitBytes, MostUnits, [&](Unit& u) { UnitFields(r, u, RecordUse::Network); }, PlayableUnit);
    readList(into.shots, ShotBytes, MostShots, [&](Projectile& p) { ShotFields(r, p); }, PlayableShot);
}

// "DATEN" and the chat part that every snapshot starts with.
bool GetSnapshotHead(NetReader& r, ReceivedSnapshot& out)
{
    if (r.GetText() != "DATEN" || r.failed) return false;
    std::string kind = r.GetText();
    if (kind == "CHAT") out.chat = PrintableLine(r.GetText());
    else if (kind != "NOCHAT") r.failed = true;
    return !r.failed;
}

} // namespace

void NetBlock::PutText(const std::string& text)
{
    // A zero inside the text would end it early on the other side.
    size_t length = std::min(text.size(), text.find('\0'));
    if (overfull || bytes.size() + length + 1 > NetBlockLimit) {
        overfull = true;
        return;
    }
    bytes.append(text.data(), length);
    bytes.push_back('\0');
}

void NetBlock::PutInt(int value)
{
    if (overfull || bytes.size() + 4 > NetBlockLimit) {
        overfull = true;
        return;
    }
    AppendLong(bytes, value);
}

void NetBlock::Float(float value) { PutInt(RoundedField(value)); }
void NetBlock::Cells(float value) { PutInt(RoundedField(value * 32)); }

int NetReader::GetInt()
{
    int value = 0;
    if (failed || !TakeLong(data, at, value)) {
        failed = true;
        return 0;
    }
    return value;
}

std::string NetReader::GetText(size_t most)
{
    if (failed) return "";
    size_t end = data.find('\0', at);
    if (end == std::string::npos) {
        failed = true;
        return "";
    }
    std::string text = data.substr(at, std::min(end - at, most));
    at = end + 1;
    return text;
}

int NetReader::GetCount(size_t recordBytes, int most)
{
    int count = GetInt();
    if (count < 0 || count > most || size_t(count) * recordBytes > Left()) {
        failed = true;
        return 0;
    }
    return count;
}

std::string PrintableLine(const std::string& text)
{
    std::string line = text;
    for (char& c : line)
        if ((unsigned char)c < 32) c = ' ';
    return line;
}

std::string Keyword(const std::string& block)
{
    NetReader r(block);
    std::string keyword = r.GetText(32);
    return r.failed ? "" : keyword;
}

void PutPlayerList(NetBlock& block, const std::vector<std::string>& names)
{
    block.Start("PLAYER");
    block.PutInt(int(names.size()));
    for (const std::string& name : names) block.PutText(name.substr(0, NetNameLength));
}

void PutHostTrailer(std::string& message, int player, int screenWidth, int screenHeight, int startX, int startY)
{
    NetBlock trailer;
    trailer.PutInt(player);
    trailer.PutInt(screenWidth / 2 - 32 * startX);
    trailer.PutInt(screenHeight / 2 - 32 * startY);
    message += trailer.bytes;
}

HostTrailer GetHostTrailer(NetReader& reader)
{
    HostTrailer trailer;
    trailer.player = reader.GetInt();
    trailer.camX = reader.GetInt();
    trailer.camY = reader.GetInt();
    if (trailer.player < 0 || trailer.player > MaxPlayers) reader.failed = true;
    return trailer;
}

bool ReadPlayerList(const std::string& block, std::vector<std::string>& names, HostTrailer& trailer)
{
    NetReader r(block);
    if (r.GetText() != "PLAYER") return false;
    int count = r.GetCount(1, MaxPlayers);
    std::vector<std::string> received;
    for (int i = 0; i < count && !r.failed; i++) received.push_back(r.GetText(NetNameLength));
    HostTrailer read = GetHostTrailer(r);
    if (r.failed || count < 1) return false;
    names = std::move(received);
    trailer = read;
    return true;
}

void PutClientPlayer(NetBlock& block, int player, const std::string& name)
{
    block.Start("PLAYER");
    block.PutInt(player);
    block.PutText(name.substr(0, NetNameLength));
}

bool ReadClientPlayer(const std::string& block, int& player, std::string& name)
{
    NetReader r(block);
    if (r.GetText() != "PLAYER") return false;
    int number = r.GetInt();
    std::string received = r.GetText(NetNameLength);
    if (r.failed || number < 0 || number > MaxPlayers) return false;
    player = number;
    name = received;
    return true;
}

bool ReadGameSnapshot(const std::string& block, int localPlayer, const RecordBounds& bounds, ReceivedSnapshot& out)
{
    NetReader r(block);
    ReceivedSnapshot read;
    if (!GetSnapshotHead(r, read)) return false;
    read.frameRate = r.GetInt();
    GetObjects(r, read, bounds, [&](int owner) { return owner != localPlayer; });
    int count = r.GetCount(16, MostStorms);
    for (int i = 0; i < count && !r.failed; i++) {
        StormFields(r, read.storms.emplace_back());
        if (!PlayableStorm(read.storms.back(), bounds)) r.failed = true;
    }
    read.timeOfDay = r.GetInt();
    read.elapsedSeconds = r.GetInt();
    read.gameSpeed = r.GetInt();
    if (read.timeOfDay < 0 || read.timeOfDay > 86399 || read.elapsedSeconds < 0 ||
        read.elapsedSeconds > MostElapsedSeconds || read.gameSpeed < 1 || read.gameSpeed > 16)
        r.failed = true;
    if (r.failed) return false;
    out = std::move(read);
    return true;
}

bool ReadClientSnapshot(const std::string& block, int sender, const RecordBounds& bounds, ReceivedSnapshot& out)
{
    NetReader r(block);
    ReceivedSnapshot read;
    if (!GetSnapshotHead(r, read)) return false;
    read.player = r.GetInt();
    read.frameRate = r.GetInt();
    int p = read.player;
    if (r.failed || p != sender || p < 2 || p > MaxPlayers) return false;
    GetObjects(r, read, bounds, [&](int owner) { return owner == p; });
    if (r.failed) return false;
    out = std::move(read);
    return true;
}

bool ReadWatcherSnapshot(const std::string& block, std::string& chat)
{
    NetReader r(block);
    ReceivedSnapshot read;
    if (!GetSnapshotHead(r, read)) return false;
    int player = r.GetInt();
    r.GetInt(); // its frame rate, which no one waits for
    for (int list = 0; list < 3; list++)
        if (r.GetInt() != 0) r.failed = true;
    if (r.failed || player != 0) return false;
    chat = read.chat;
    return true;
}
