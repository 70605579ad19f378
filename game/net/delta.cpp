// game/net/delta.cpp - snapshot images, their differences and their compression.
#include "game/net/delta.h"

#include "game/net/blocks.h"
#include "game/save/records.h"
#include "game/save/recordrules.h"

#include <zstd.h>

#include <cstdlib>
#include <limits>
#include <optional>
#include <unordered_map>

namespace {

// ---- the shape of a record on the wire ----

// Reads a record's fields as they travel, keeping the numbers and the text as they are.
struct FieldRecorder {
    NetReader& r;
    ImageList& list;
    void Long(int&) { list.ints.push_back(r.GetInt()); }
    void Float(float&) { list.ints.push_back(r.GetInt()); }
    void Cells(float&) { list.ints.push_back(r.GetInt()); }
    void Within(int&, int, int) { list.ints.push_back(r.GetInt()); }
    void Text(std::string&) { list.texts.push_back(r.GetText(size_t(MostQueueEntries) * 10 + 1)); }
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

void ReadRecord(NetReader& r, int list, ImageList& into)
{
    into.ints.push_back(r.GetInt()); // the owner that leads it
    FieldRecorder recorder{r, into};
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

// Which earlier record each record continues, -1 for a new one. Buildings and units are known
// by their ids. A shot has none; but shots keep their order in the list while they fly (the
// spent ones drop out, new ones come at the end), so each is matched to the next earlier one
// of the same shooter, kind, owner, heading and speed, with no more life than that had.
std::vector<int> Continued(int list, const ImageList& now, const ImageList* before)
{
    std::vector<int> from(now.count, -1);
    if (!before) return from;
    const size_t stride = size_t(Shape(list).ints);
    auto was = [&](size_t k) { return &before->ints[k * stride]; };
    auto is = [&](size_t i) { return &now.ints[i * stride]; };
    if (list < 2) {
        // Mostly the next record is the one after the last found; the others are looked up.
        std::unordered_map<int, int> where;
        size_t next = 0;
        for (size_t i = 0; i < now.count; i++) {
            int id = is(i)[1];
            if (next < before->count && was(next)[1] == id) {
                from[i] = int(next++);
                continue;
            }
            if (where.empty())
                for (size_t k = 0; k < before->count; k++) where.emplace(was(k)[1], int(k));
            auto found = where.find(id);
            if (found != where.end()) {
                from[i] = found->second;
                next = size_t(found->second) + 1;
            }
        }
        return from;
    }
    auto same = [](const int* was, const int* is) {
        for (int field : {1, 2, 3, 6, 7})
            if (was[field] != is[field]) return false;
        return is[10] <= was[10];
    };
    // Looks a little way ahead only: shots that fall out between two snapshots are few.
    constexpr size_t LookAhead = 256;
    size_t next = 0;
    for (size_t i = 0; i < now.count; i++)
        for (size_t k = next; k < before->count && k < next + LookAhead; k++)
            if (same(was(k), is(i))) {
                from[i] = int(k);
                next = k + 1;
                break;
            }
    return from;
}

// ---- where a shot will be ----

// A shot flies straight: from one snapshot to the next it moves `life` sub-steps' worth along
// its heading. Its place is sent as the miss of that guess, which is nearly always nought. The
// guess must come out the same on every machine, so it is worked out in whole numbers from a
// cosine table the compiler makes.
constexpr double TableCos(int degrees)
{
    double x = double(degrees % 360) * 3.14159265358979323846 / 180;
    while (x > 3.14159265358979323846) x -= 2 * 3.14159265358979323846;
    double term = 1, sum = 1;
    for (int k = 1; k < 30; k++) {
        term *= -x * x / double((2 * k - 1) * (2 * k));
        sum += term;
    }
    return sum;
}

struct CosineTable {
    int64_t value[360] = {};
    constexpr CosineTable()
    {
        for (int d = 0; d < 360; d++) {
            double c = TableCos(d) * 65536;
            value[d] = int64_t(c < 0 ? c - 0.5 : c + 0.5);
        }
    }
};
constexpr CosineTable Cosines;

enum ShotField { ShotShooter = 1, ShotKind = 2, ShotOwner = 3, ShotX = 4, ShotY = 5, ShotHeading = 6, ShotSpeed = 7,
                 ShotDamage = 8, ShotRepair = 9, ShotLife = 10 };
// The unit fields a new shot takes after (a unit's record as it travels, led by its owner).
enum UnitField { UnitOwner = 6, UnitWidth = 3, UnitX = 9, UnitY = 10, UnitHeading = 12, UnitWeapon = 20, UnitRange = 21,
                 UnitShotSpeed = 22, UnitDamage = 26, UnitRepair = 27 };

int64_t Rounded(int64_t numerator, int64_t denominator)
{
    return numerator >= 0 ? (numerator + denominator / 2) / denominator : -((-numerator + denominator / 2) / denominator);
}

int64_t CosineOf(int64_t degrees) { return Cosines.value[((degrees % 360) + 360) % 360]; }

// The guess of a shot's x (or y) from its earlier record and the life it has now.
int64_t GuessedPlace(const int* before, int64_t lifeNow, int field)
{
    int64_t steps = int64_t(before[ShotLife]) - lifeNow;
    // sin h = cos(h - 90). Speed is pixels a sub-step x 10; the table is x 65536.
    int64_t heading = int64_t(before[ShotHeading]) - (field == ShotY ? 90 : 0);
    return int64_t(before[field]) + Rounded(CosineOf(heading) * int64_t(before[ShotSpeed]) * steps, 655360);
}

// The sub-steps a shot of this unit lives: 100 / speed x range x 4.
int64_t FullLife(const int* unit)
{
    int64_t speed = unit[UnitShotSpeed], range = unit[UnitRange];
    return speed > 0 && speed <= 100000 && std::abs(range) <= 100000 ? Rounded(400 * range, speed) : 0;
}

// A new shot as its shooter would have fired it: from the front of the unit, along its heading,
// with its weapon's speed, damage and flight; its place flown on from there for the life it
// has already spent (its own life, heading and speed are known by then).
int64_t FiredBy(const int* unit, int field, const int* shot)
{
    auto at = [&](int f) { return int64_t(unit[f]); };
    switch (field) {
    case 0:
    case ShotOwner: return at(UnitOwner);
    case ShotKind: return 3000 + at(UnitWeapon);
    case ShotHeading: return at(UnitHeading);
    case ShotSpeed: return at(UnitShotSpeed);
    case ShotDamage: return at(UnitDamage);
    case ShotRepair: return at(UnitRepair);
    case ShotLife: return FullLife(unit);
    case ShotX:
    case ShotY: {
        int64_t quarter = field == ShotY ? 90 : 0;
        int64_t muzzle = at(field == ShotX ? UnitX : UnitY) + Rounded(CosineOf(at(UnitHeading) - quarter) * (at(UnitWidth) / 4), 65536);
        int64_t spent = FullLife(unit) - shot[ShotLife], speed = shot[ShotSpeed];
        if (spent <= 0 || spent > 100000 || std::abs(speed) > 100000) return muzzle;
        return muzzle + Rounded(CosineOf(int64_t(shot[ShotHeading]) - quarter) * speed * spent, 655360);
    }
    default: return 0;
    }
}

// The fields of a list in the order their columns are written: a shot's shooter first, which
// a new shot's other fields are guessed from; its place last, after the life, heading and
// speed that the guess of its flight needs.
std::vector<int> ColumnOrder(int list, int fields)
{
    std::vector<int> order;
    if (list == 2) order.insert(order.end(), {ShotShooter, ShotLife});
    for (int field = 0; field < fields; field++)
        if (list != 2 || (field != ShotX && field != ShotY && field != ShotShooter && field != ShotLife)) order.push_back(field);
    if (list == 2) order.insert(order.end(), {ShotX, ShotY});
    return order;
}

// What the shots of a snapshot are guessed from: its units by id and by place in their list.
struct ShotGuess {
    std::unordered_map<int, int> unitAt;
    const ImageList& units;
    const size_t stride = size_t(Shape(1).ints);

    explicit ShotGuess(const SnapshotImage& image) : units(image.lists[1])
    {
        unitAt.reserve(units.count);
        for (size_t i = 0; i < units.count; i++) unitAt.emplace(units.ints[i * stride + 1], int(i));
    }
    const int* Unit(int id) const
    {
        auto found = unitAt.find(id);
        return found == unitAt.end() ? nullptr : &units.ints[size_t(found->second) * stride];
    }
};

// What a field is sent against: the earlier record's value, for a shot's place the guess of
// where it flew; a new shot's fields as its shooter fires; anything else new as nought.
int64_t Expected(int list, int field, const int* before, const int* is, const ShotGuess* guess)
{
    if (list < 2) return before ? before[field] : 0;
    if (!before) {
        const int* shooter = guess->Unit(is[ShotShooter]);
        return shooter ? FiredBy(shooter, field, is) : 0;
    }
    // The guess is sane only for the short flights of the rules; a wild speed is sent plainly.
    if ((field == ShotX || field == ShotY) && std::abs(int64_t(before[ShotSpeed])) <= 100000 &&
        std::abs(int64_t(before[ShotLife]) - is[ShotLife]) <= 100000)
        return GuessedPlace(before, is[ShotLife], field);
    return before[field];
}

// A new shot's shooter: as the step from the last new shot's shooter in the list of units (the
// units fire in their order), odd; a shooter that is no unit of the snapshot as its id, even.
uint64_t ShooterCode(const ShotGuess& guess, int shooter, int& lastAt)
{
    auto found = guess.unitAt.find(shooter);
    if (found == guess.unitAt.end()) return ((uint64_t(int64_t(shooter)) << 1) ^ uint64_t(int64_t(shooter) >> 63)) << 1;
    int64_t step = int64_t(found->second) - lastAt - 1;
    lastAt = found->second;
    return ((uint64_t(step) << 1) ^ uint64_t(step >> 63)) << 1 | 1;
}

// The shooter again; false for a code that names no unit or leaves 32 bits.
bool ShooterOf(const ShotGuess& guess, uint64_t code, int& lastAt, int& shooter)
{
    uint64_t zigzag = code >> 1;
    int64_t value = int64_t(zigzag >> 1) ^ -int64_t(zigzag & 1);
    if (!(code & 1)) {
        if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) return false;
        shooter = int(value);
        return true;
    }
    int64_t at = int64_t(lastAt) + 1 + value;
    if (at < 0 || at >= int64_t(guess.units.count)) return false;
    lastAt = int(at);
    shooter = guess.units.ints[size_t(at) * guess.stride + 1];
    return true;
}

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
    image.head.assign(block, 0, r.at);
    for (int list = 0; list < 3 && !r.failed; list++) {
        ImageList& into = image.lists[list];
        into.count = size_t(r.GetCount(Shape(list).leastBytes, Shape(list).most));
        into.ints.clear();
        into.texts.clear();
        into.ints.reserve(into.count * size_t(Shape(list).ints));
        for (size_t i = 0; i < into.count && !r.failed; i++) ReadRecord(r, list, into);
    }
    if (r.failed) return false;
    image.tail.assign(block, r.at);
    return true;
}

std::string JoinSnapshot(const SnapshotImage& image)
{
    NetBlock block;
    size_t size = image.head.size() + image.tail.size() + 12;
    for (const ImageList& list : image.lists) {
        size += list.ints.size() * 4;
        for (const std::string& text : list.texts) size += text.size() + 1;
    }
    block.bytes.reserve(size);
    block.bytes = image.head;
    for (int list = 0; list < 3; list++) {
        const ImageList& from = image.lists[list];
        const int stride = Shape(list).ints, textAt = Shape(list).textAt;
        block.PutInt(int(from.count));
        for (size_t record = 0; record < from.count; record++) {
            const int* ints = &from.ints[record * size_t(stride)];
            for (int i = 0; i <= stride; i++) {
                if (i == textAt) block.PutText(from.texts[record]);
                if (i < stride) block.PutInt(ints[i]);
            }
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
        const ImageList& now = current.lists[list];
        const ImageList* before = base ? &base->lists[list] : nullptr;
        const size_t stride = size_t(Shape(list).ints);
        std::vector<int> from = Continued(list, now, before);
        // 0 for a new record, else 1 + the step past the last one continued (zig-zag): a list
        // that keeps its order writes a column of ones.
        PutVarint(out, now.count);
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
        std::optional<ShotGuess> guess;
        if (list == 2) guess.emplace(current);
        for (int field : ColumnOrder(list, int(stride))) {
            int lastAt = -1;
            for (size_t i = 0; i < now.count; i++) {
                const int* is = &now.ints[i * stride];
                const int* earlier = from[i] >= 0 ? &before->ints[size_t(from[i]) * stride] : nullptr;
                if (list == 2 && field == ShotShooter && !earlier) PutVarint(out, ShooterCode(*guess, is[ShotShooter], lastAt));
                else PutSigned(out, int64_t(is[field]) - Expected(list, field, earlier, is, guess ? &*guess : nullptr));
            }
        }
        if (Shape(list).textAt >= 0)
            for (size_t i = 0; i < now.count; i++) {
                if (from[i] >= 0 && before->texts[size_t(from[i])] == now.texts[i]) {
                    PutVarint(out, 0);
                } else {
                    PutVarint(out, now.texts[i].size() + 1);
                    out += now.texts[i];
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
        const ImageList* before = base ? &base->lists[list] : nullptr;
        const size_t stride = size_t(Shape(list).ints);
        size_t count = r.Count(size_t(Shape(list).most));
        // Every record takes at least a byte per field: a count the bytes cannot hold is a lie.
        if (count > (bytes.size() - std::min(bytes.size(), r.at)) / stride) r.failed = true;
        if (r.failed) break;
        std::vector<int> from(count, -1);
        int last = -1;
        for (size_t i = 0; i < count && !r.failed; i++) {
            uint64_t code = r.Varint();
            if (code == 0) continue;
            uint64_t zigzag = code - 1;
            int64_t f = int64_t(last) + 1 + (int64_t(zigzag >> 1) ^ -int64_t(zigzag & 1));
            if (!before || f < 0 || f >= int64_t(before->count)) r.failed = true;
            else from[i] = last = int(f);
        }
        if (r.failed) break;
        ImageList& now = image.lists[list];
        now.count = count;
        now.ints.assign(count * stride, 0);
        std::optional<ShotGuess> guess;
        if (list == 2) guess.emplace(image);
        for (int field : ColumnOrder(list, int(stride))) {
            int lastAt = -1;
            for (size_t i = 0; i < count && !r.failed; i++) {
                int* is = &now.ints[i * stride];
                const int* earlier = from[i] >= 0 ? &before->ints[size_t(from[i]) * stride] : nullptr;
                if (list == 2 && field == ShotShooter && !earlier) {
                    if (!ShooterOf(*guess, r.Varint(), lastAt, is[ShotShooter])) r.failed = true;
                    continue;
                }
                int64_t value = r.Signed() + Expected(list, field, earlier, is, guess ? &*guess : nullptr);
                if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) r.failed = true;
                is[field] = int(value);
            }
        }
        if (Shape(list).textAt >= 0) {
            now.texts.resize(count);
            for (size_t i = 0; i < count && !r.failed; i++) {
                size_t length = r.Count(MostTextBytes + 1);
                if (length == 0) {
                    if (from[i] < 0) r.failed = true;
                    else now.texts[i] = before->texts[size_t(from[i])];
                } else {
                    now.texts[i] = r.Bytes(length - 1);
                    // The text travels up to its zero byte: one inside it would end it early.
                    if (now.texts[i].find('\0') != std::string::npos) r.failed = true;
                }
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
