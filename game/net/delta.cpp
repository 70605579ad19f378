// game/net/delta.cpp - snapshot images, their differences and their compression.
#include "game/net/delta.h"

#include "game/net/blocks.h"
#include "game/save/records.h"
#include "game/save/recordrules.h"

#include <zstd.h>

#include <limits>
#include <unordered_map>

namespace {

// ---- the shape of a record on the wire ----

// Reads a record's fields as they travel, keeping the numbers and the text as they are.
struct FieldRecorder {
    NetReader& r;
    ImageRecord& record;
    void Long(int&) { record.ints.push_back(r.GetInt()); }
    void Float(float&) { record.ints.push_back(r.GetInt()); }
    void Cells(float&) { record.ints.push_back(r.GetInt()); }
    void Within(int&, int, int) { record.ints.push_back(r.GetInt()); }
    void Text(std::string&) { record.text = r.GetText(size_t(MostQueueEntries) * 10 + 1); }
};

// Counts a record's numbers and where its text stands among them.
struct FieldCounter {
    int ints = 0, textAt = -1;
    void Long(int) { ints++; }
    void Float(float) { ints++; }
    void Cells(float) { ints++; }
    void Within(int, int, int) { ints++; }
    void Text(const std::string&) { textAt = ints; }
};

struct ListShape {
    int ints = 0;    // with the owner that leads the record
    int textAt = -1; // numbers before the text (the lead counted); -1 none
    size_t leastBytes = 0;
    int most = 0;
};

ListShape ShapeOf(int list)
{
    FieldCounter counter;
    const Building building;
    const Unit unit;
    const Projectile shot;
    if (list == 0) BuildingFields(counter, building, RecordUse::Network);
    else if (list == 1) UnitFields(counter, unit, RecordUse::Network);
    else ShotFields(counter, shot);
    ListShape shape;
    shape.ints = counter.ints + 1;
    shape.textAt = counter.textAt < 0 ? -1 : counter.textAt + 1;
    shape.leastBytes = size_t(shape.ints) * 4 + (shape.textAt >= 0 ? 1 : 0);
    shape.most = list == 0 ? MostBuildings : list == 1 ? MostUnits : MostShots;
    return shape;
}

const ListShape& Shape(int list)
{
    static const ListShape shapes[3] = {ShapeOf(0), ShapeOf(1), ShapeOf(2)};
    return shapes[list];
}

void ReadRecord(NetReader& r, int list, ImageRecord& record)
{
    record.ints.push_back(r.GetInt()); // the owner that leads it
    FieldRecorder recorder{r, record};
    if (list == 0) {
        Building ignored;
        BuildingFields(recorder, ignored, RecordUse::Network);
    } else if (list == 1) {
        Unit ignored;
        UnitFields(recorder, ignored, RecordUse::Network);
    } else {
        Projectile ignored;
        ShotFields(recorder, ignored);
    }
}

// ---- whole numbers as bytes: zig-zag, seven bits a byte ----

void PutVarint(std::string& out, uint64_t value)
{
    while (value >= 0x80) {
        out.push_back(char((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.push_back(char(value));
}

void PutSigned(std::string& out, int64_t value) { PutVarint(out, (uint64_t(value) << 1) ^ uint64_t(value >> 63)); }

// Reads by position; after the first fault every read gives 0 and the whole decode fails.
struct DeltaReader {
    const std::string& data;
    size_t at = 0;
    bool failed = false;

    uint64_t Varint()
    {
        uint64_t value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (failed || at >= data.size()) break;
            unsigned char byte = (unsigned char)data[at++];
            value |= uint64_t(byte & 0x7F) << shift;
            if (!(byte & 0x80)) return value;
        }
        failed = true;
        return 0;
    }
    int64_t Signed()
    {
        uint64_t value = Varint();
        return int64_t(value >> 1) ^ -int64_t(value & 1);
    }
    // A count no larger than `most`.
    size_t Count(size_t most)
    {
        uint64_t value = Varint();
        if (value > most) failed = true;
        return failed ? 0 : size_t(value);
    }
    std::string Bytes(size_t length)
    {
        if (failed || length > data.size() - at) {
            failed = true;
            return "";
        }
        std::string bytes = data.substr(at, length);
        at += length;
        return bytes;
    }
};

// What identifies a record from one snapshot to the next: a building's or unit's id; a shot,
// which has none, by its shooter and how many of the shooter's shots come before it (a shot
// keeps its place in the list while it flies).
struct KeyMaker {
    std::unordered_map<long long, int> shotsOf;
    long long Key(int list, const ImageRecord& record)
    {
        long long id = record.ints.size() > 1 ? record.ints[1] : 0;
        if (list < 2) return id;
        return (id << 20) + shotsOf[id]++;
    }
};

constexpr size_t MostTextBytes = size_t(MostQueueEntries) * 10 + 1;
constexpr size_t MostPartBytes = NetBlockLimit;

} // namespace

bool SplitSnapshot(const std::string& block, bool clientForm, SnapshotImage& image)
{
    NetReader r(block);
    if (r.GetText() != "DATEN") return false;
    std::string kind = r.GetText();
    if (kind == "CHAT") r.GetText();
    else if (kind != "NOCHAT") return false;
    r.GetInt();                // the frame rate, or the client's player
    if (clientForm) r.GetInt(); // the client's frame rate
    if (r.failed) return false;
    SnapshotImage split;
    split.head = block.substr(0, r.at);
    for (int list = 0; list < 3 && !r.failed; list++) {
        int count = r.GetCount(Shape(list).leastBytes, Shape(list).most);
        split.lists[list].resize(size_t(count));
        for (ImageRecord& record : split.lists[list]) {
            ReadRecord(r, list, record);
            if (r.failed) return false;
        }
    }
    if (r.failed) return false;
    split.tail = block.substr(r.at);
    image = std::move(split);
    return true;
}

std::string JoinSnapshot(const SnapshotImage& image)
{
    NetBlock block;
    block.bytes = image.head;
    for (int list = 0; list < 3; list++) {
        block.PutInt(int(image.lists[list].size()));
        for (const ImageRecord& record : image.lists[list])
            for (int i = 0; i <= int(record.ints.size()); i++) {
                if (i == Shape(list).textAt) block.PutText(record.text);
                if (i < int(record.ints.size())) block.PutInt(record.ints[size_t(i)]);
            }
    }
    block.bytes += image.tail;
    return block.bytes;
}

std::string EncodeDelta(const SnapshotImage& current, const SnapshotImage* base)
{
    std::string out;
    PutVarint(out, current.head.size());
    out += current.head;
    for (int list = 0; list < 3; list++) {
        const std::vector<ImageRecord>& now = current.lists[list];
        const std::vector<ImageRecord>* before = base ? &base->lists[list] : nullptr;
        std::unordered_map<long long, int> where;
        if (before) {
            KeyMaker keys;
            for (size_t i = 0; i < before->size(); i++) where.emplace(keys.Key(list, (*before)[i]), int(i));
        }
        // Which earlier record each continues (-1: new), written as the step from the last one.
        std::vector<int> from(now.size(), -1);
        KeyMaker keys;
        for (size_t i = 0; i < now.size(); i++) {
            auto found = where.find(keys.Key(list, now[i]));
            if (found != where.end() && (*before)[size_t(found->second)].ints.size() == now[i].ints.size()) from[i] = found->second;
        }
        // 0 for a new record, else 1 + the step past the last one continued (zig-zag): a list
        // that keeps its order writes a column of ones.
        PutVarint(out, now.size());
        int last = -1;
        for (int f : from) {
            if (f < 0) {
                PutVarint(out, 0);
                continue;
            }
            int64_t step = int64_t(f) - last - 1;
            PutVarint(out, 1 + ((uint64_t(step) << 1) ^ uint64_t(step >> 63)));
            last = f;
        }
        // The fields column by column: the change from the earlier record, or the value.
        int fields = Shape(list).ints;
        for (int field = 0; field < fields; field++)
            for (size_t i = 0; i < now.size(); i++) {
                int64_t value = field < int(now[i].ints.size()) ? now[i].ints[size_t(field)] : 0;
                int64_t was = from[i] >= 0 ? (*before)[size_t(from[i])].ints[size_t(field)] : 0;
                PutSigned(out, value - was);
            }
        if (Shape(list).textAt >= 0)
            for (size_t i = 0; i < now.size(); i++) {
                if (from[i] >= 0 && (*before)[size_t(from[i])].text == now[i].text) {
                    PutVarint(out, 0);
                } else {
                    PutVarint(out, now[i].text.size() + 1);
                    out += now[i].text;
                }
            }
    }
    PutVarint(out, current.tail.size());
    out += current.tail;
    return out;
}

bool DecodeDelta(const std::string& bytes, const SnapshotImage* base, SnapshotImage& out)
{
    DeltaReader r{bytes};
    SnapshotImage image;
    image.head = r.Bytes(r.Count(MostPartBytes));
    for (int list = 0; list < 3 && !r.failed; list++) {
        const std::vector<ImageRecord>* before = base ? &base->lists[list] : nullptr;
        size_t count = r.Count(size_t(Shape(list).most));
        // Every record takes at least a byte per field: a count the bytes cannot hold is a lie.
        if (count > (bytes.size() - std::min(bytes.size(), r.at)) / size_t(Shape(list).ints)) r.failed = true;
        if (r.failed) break;
        std::vector<int> from(count, -1);
        int last = -1;
        for (size_t i = 0; i < count && !r.failed; i++) {
            uint64_t code = r.Varint();
            if (code == 0) continue;
            uint64_t zigzag = code - 1;
            int64_t f = int64_t(last) + 1 + (int64_t(zigzag >> 1) ^ -int64_t(zigzag & 1));
            if (!before || f < 0 || f >= int64_t(before->size())) r.failed = true;
            else from[i] = last = int(f);
        }
        std::vector<ImageRecord>& now = image.lists[list];
        now.resize(r.failed ? 0 : count);
        int fields = Shape(list).ints;
        for (ImageRecord& record : now) record.ints.resize(size_t(fields));
        for (int field = 0; field < fields && !r.failed; field++)
            for (size_t i = 0; i < count && !r.failed; i++) {
                int64_t value = r.Signed();
                if (from[i] >= 0) value += (*before)[size_t(from[i])].ints[size_t(field)];
                if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) r.failed = true;
                now[i].ints[size_t(field)] = int(value);
            }
        if (Shape(list).textAt >= 0)
            for (size_t i = 0; i < count && !r.failed; i++) {
                size_t length = r.Count(MostTextBytes + 1);
                if (length == 0) {
                    if (from[i] < 0) r.failed = true;
                    else now[i].text = (*before)[size_t(from[i])].text;
                } else {
                    now[i].text = r.Bytes(length - 1);
                    // The text travels up to its zero byte: one inside it would end it early.
                    if (now[i].text.find('\0') != std::string::npos) r.failed = true;
                }
            }
    }
    image.tail = r.Bytes(r.Count(MostPartBytes));
    if (r.failed || r.at != bytes.size()) return false;
    out = std::move(image);
    return true;
}

std::string Pack(const std::string& bytes)
{
    std::string packed(ZSTD_compressBound(bytes.size()), '\0');
    // The fastest level: a snapshot is packed once a frame for every receiver.
    size_t size = ZSTD_compress(packed.data(), packed.size(), bytes.data(), bytes.size(), 1);
    if (ZSTD_isError(size)) return "";
    packed.resize(size);
    return packed;
}

bool Unpack(const std::string& packed, size_t most, std::string& bytes)
{
    unsigned long long size = ZSTD_getFrameContentSize(packed.data(), packed.size());
    if (size == ZSTD_CONTENTSIZE_ERROR || size == ZSTD_CONTENTSIZE_UNKNOWN || size > most) return false;
    std::string out(size_t(size), '\0');
    size_t made = ZSTD_decompress(out.data(), out.size(), packed.data(), packed.size());
    if (ZSTD_isError(made) || made != size) return false;
    bytes = std::move(out);
    return true;
}

std::string PutDelta(const DeltaHeader& header, const std::string& delta)
{
    std::string packed = Pack(delta);
    NetBlock block;
    block.Start("DELTA");
    for (int value : {header.clientForm | header.chat << 1, header.seq, header.base, header.ack, int(packed.size())})
        block.PutInt(value);
    block.bytes += packed;
    return block.bytes;
}

// The header and where the packed change lies in the block.
static bool ReadHeader(const std::string& block, DeltaHeader& header, size_t& at, size_t& size)
{
    NetReader r(block);
    if (r.GetText(8) != "DELTA") return false;
    int flags = r.GetInt();
    DeltaHeader read{flags & 1, flags >> 1 & 1, r.GetInt(), r.GetInt(), r.GetInt()};
    int packed = r.GetInt();
    if (r.failed || flags < 0 || flags > 3 || read.seq < 1 || read.base < 0 || read.ack < 0 || packed < 0 ||
        size_t(packed) > r.Left())
        return false;
    header = read;
    at = r.at;
    size = size_t(packed);
    return true;
}

bool ReadDeltaHeader(const std::string& block, DeltaHeader& header)
{
    size_t at = 0, size = 0;
    return ReadHeader(block, header, at, size);
}

bool ReadDelta(const std::string& block, DeltaHeader& header, std::string& delta)
{
    size_t at = 0, size = 0;
    DeltaHeader read;
    // The change is never larger than the snapshot it stands for could be.
    if (!ReadHeader(block, read, at, size) || !Unpack(block.substr(at, size), NetBlockLimit * 2, delta)) return false;
    header = read;
    return true;
}
