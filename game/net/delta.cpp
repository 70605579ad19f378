// game/net/delta.cpp - snapshot images, their differences and their compression.
#include "game/net/delta.h"

#include "game/net/blocks.h"
#include "game/save/records.h"
#include "game/save/recordrules.h"

#include <zstd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace {

// ---- the shape of a record on the wire ----

// Counts a record's numbers and where its text stands among them.
struct FieldCounter {
    int ints = 0, textAt = -1;
    void Long(int) { ints++; }
    void Float(float) { ints++; }
    void Cells(float) { ints++; }
    void Within(int, int, int) { ints++; }
    void Text(const std::string&) { textAt = ints; }
};

// The records of a list travel as a fixed run of 4-byte numbers, the text (up to its zero
// byte) at the same place among them in every record; a list is taken apart and put together
// by copying those runs whole. The game's numbers are little-endian on the wire and in memory.
static_assert(std::endian::native == std::endian::little, "snapshots are copied as they lie in memory");

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

// ---- whole numbers as bytes: zig-zag, seven bits a byte ----

uint64_t ZigZag(int64_t value) { return (uint64_t(value) << 1) ^ uint64_t(value >> 63); }
int64_t UnZigZag(uint64_t value) { return int64_t(value >> 1) ^ -int64_t(value & 1); }

// Writes into room made beforehand for the most the change can take.
struct DeltaWriter {
    char* at;

    void Varint(uint64_t value)
    {
        while (value >= 0x80) {
            *at++ = char((value & 0x7F) | 0x80);
            value >>= 7;
        }
        *at++ = char(value);
    }
    void Signed(int64_t value) { Varint(ZigZag(value)); }
    void Byte(int value) { *at++ = char(value); }
    void Bytes(std::string_view bytes)
    {
        if (bytes.empty()) return;
        std::memcpy(at, bytes.data(), bytes.size());
        at += bytes.size();
    }
};
// The most bytes a whole number takes.
constexpr size_t MostVarint = 10;

// Reads by position; after the first fault every read gives 0 and the whole decode fails.
struct DeltaReader {
    const unsigned char* at;
    const unsigned char* end;
    bool failed = false;

    explicit DeltaReader(const std::string& data)
        : at(reinterpret_cast<const unsigned char*>(data.data())), end(at + data.size())
    {
    }
    size_t Left() const { return size_t(end - at); }
    uint64_t Varint()
    {
        if (at < end && *at < 0x80) return *at++;
        uint64_t value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (failed || at >= end) break;
            unsigned char byte = *at++;
            value |= uint64_t(byte & 0x7F) << shift;
            if (!(byte & 0x80)) return value;
        }
        failed = true;
        return 0;
    }
    int64_t Signed() { return UnZigZag(Varint()); }
    // A count no larger than `most`.
    size_t Count(size_t most)
    {
        uint64_t value = Varint();
        if (value > most) failed = true;
        return failed ? 0 : size_t(value);
    }
    const unsigned char* Take(size_t length)
    {
        if (failed || length > Left()) {
            failed = true;
            return nullptr;
        }
        const unsigned char* bytes = at;
        at += length;
        return bytes;
    }
    std::string Bytes(size_t length)
    {
        const unsigned char* bytes = Take(length);
        return bytes ? std::string(reinterpret_cast<const char*>(bytes), length) : std::string();
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
    if (list != 2) {
        std::vector<int> order(size_t(fields), 0);
        for (int field = 0; field < fields; field++) order[size_t(field)] = field;
        return order;
    }
    return {ShotShooter, ShotLife, 0, ShotKind, ShotOwner, ShotHeading, ShotSpeed, ShotDamage, ShotRepair, ShotX, ShotY};
}

// ---- where a new shot comes from ----

// A new shot is told by where it comes from, in its shooter's column: the low two bits say how.
enum ShotOrigin {
    FromId = 0,   // a shooter that is no unit of the snapshot: its id
    FromUnit = 1, // fired by a unit: the step from the last new shot's shooter in the list of units
    FromCopy = 2  // a plasma ball's copy: the step from the last copy's parent, an earlier shot of
                  // the list; the sub-steps since it split travel in the low five bits of its
                  // life's code, as its life is its parent's less one
};
constexpr int SplitAgeBits = 5, MostSplitAge = (1 << SplitAgeBits) - 1;

struct Origin {
    int how = FromId;
    const int* record = nullptr; // the shooting unit's, or the parent shot's
    int age = 0;                 // a copy's sub-steps since it split
};

// A copy of a plasma ball as it split off its parent: the same shooter, kind, owner and damage,
// one sub-step less to live, veered off by up to 20 degrees at 0.5 to 0.9 of the speed. Its
// place: the parent's, less the parent's flight since the split, plus its own flight for the
// sub-steps since then and the one in which it split.
int64_t CopiedFrom(const int* parent, int field, const int* shot, int age)
{
    switch (field) {
    case ShotLife: return int64_t(parent[ShotLife]) - 1;
    case ShotSpeed: return Rounded(int64_t(parent[ShotSpeed]) * 7, 10);
    case ShotX:
    case ShotY: {
        int64_t quarter = field == ShotY ? 90 : 0, speed = shot[ShotSpeed], parentSpeed = parent[ShotSpeed];
        if (std::abs(speed) > 100000 || std::abs(parentSpeed) > 100000) return parent[field];
        return int64_t(parent[field]) + Rounded(CosineOf(int64_t(shot[ShotHeading]) - quarter) * speed * (age + 1) -
                                                    CosineOf(int64_t(parent[ShotHeading]) - quarter) * parentSpeed * age,
                                                655360);
    }
    default: return parent[field];
    }
}

// What a shot's field is sent against: for a shot of the base its record there, its life less
// the sub-steps between the two snapshots and its place where it flew; a new one as its shooter
// fires it or as its parent split it; anything else as nought.
[[gnu::always_inline]] inline int64_t CarriedShot(int field, const int* before, const int* shot, int64_t lifeStep)
{
    if (field == ShotLife) return before[ShotLife] - lifeStep;
    // The guess is sane only for the short flights of the rules; a wild speed is sent plainly.
    if ((field == ShotX || field == ShotY) && std::abs(int64_t(before[ShotSpeed])) <= 100000 &&
        std::abs(int64_t(before[ShotLife]) - shot[ShotLife]) <= 100000)
        return GuessedPlace(before, shot[ShotLife], field);
    return before[field];
}

int64_t ExpectedShot(int field, const int* before, const int* shot, const Origin& origin, int64_t lifeStep)
{
    if (before) return CarriedShot(field, before, shot, lifeStep);
    if (origin.how == FromUnit) return FiredBy(origin.record, field, shot);
    if (origin.how == FromCopy) return CopiedFrom(origin.record, field, shot, origin.age);
    return 0;
}

// About the bytes a field's miss takes: the bits of its zig-zag code.
int CodeBits(int64_t miss)
{
    return int(std::bit_width(ZigZag(miss)));
}

// The encoder's choice of where each new shot comes from: for a plasma ball the earlier ball it
// split from, if there is one, else the unit that fired it, found by its id.
struct OriginFinder {
    const ImageList& units;
    const ImageList& shots;
    const size_t unitStride = size_t(Shape(1).ints), shotStride = size_t(Shape(2).ints);
    bool idsRising = true;               // the units lie in the order of their ids, as the game adds them
    std::unordered_map<int, int> unitAt; // when they do not: made when first needed
    // The plasma balls of the list by shooter and life, open addressed: place in the list + 1,
    // 0 for a free slot.
    std::vector<int> balls;
    size_t ballMask = 0;

    explicit OriginFinder(const SnapshotImage& image) : units(image.lists[1]), shots(image.lists[2])
    {
        for (size_t k = 1; k < units.count && idsRising; k++)
            idsRising = units.ints[(k - 1) * unitStride + 1] < units.ints[k * unitStride + 1];
        size_t count = 0;
        for (size_t i = 0; i < shots.count; i++) count += shots.ints[i * shotStride + ShotKind] == 3005;
        size_t size = 16;
        while (size < count * 2) size *= 2;
        balls.assign(size, 0);
        ballMask = size - 1;
        for (size_t i = 0; i < shots.count; i++) {
            const int* shot = &shots.ints[i * shotStride];
            if (shot[ShotKind] != 3005) continue;
            size_t slot = BallSlot(shot[ShotShooter], shot[ShotLife]);
            while (balls[slot]) slot = (slot + 1) & ballMask;
            balls[slot] = int(i) + 1;
        }
    }

    size_t BallSlot(int shooter, int life) const
    {
        return size_t(uint32_t(shooter) * 0x9E3779B1u ^ uint32_t(life) * 0x85EBCA77u) & ballMask;
    }

    // The units fire in their order: the shooter is mostly a little way past the last one.
    int UnitIndex(int id, int lastAt)
    {
        for (size_t k = size_t(lastAt + 1); k < units.count && k < size_t(lastAt + 17); k++)
            if (units.ints[k * unitStride + 1] == id) return int(k);
        if (idsRising) {
            size_t low = 0, high = units.count;
            while (low < high) {
                size_t middle = (low + high) / 2;
                if (units.ints[middle * unitStride + 1] < id) low = middle + 1;
                else high = middle;
            }
            return low < units.count && units.ints[low * unitStride + 1] == id ? int(low) : -1;
        }
        if (unitAt.empty())
            for (size_t k = 0; k < units.count; k++) unitAt.emplace(units.ints[k * unitStride + 1], int(k));
        auto found = unitAt.find(id);
        return found == unitAt.end() ? -1 : found->second;
    }

    // The bits of a shot's fields told from `origin`: its place, or the others but its shooter.
    int Cost(const int* shot, const Origin& origin, bool place)
    {
        int bits = 0;
        for (int field = 0; field < int(shotStride); field++)
            if (field != ShotShooter && place == (field == ShotX || field == ShotY))
                bits += CodeBits(shot[field] - ExpectedShot(field, nullptr, shot, origin, 0));
        return bits;
    }

    // A copy's sub-steps since it split, as near as its place tells: it has flown one more
    // sub-step than its parent since the split, so its distance from the parent grows by the
    // difference of their flights each sub-step.
    int SplitAge(const int* shot, const int* parent)
    {
        double best = 0, apart = 0;
        for (int field : {ShotX, ShotY}) {
            int quarter = field == ShotY ? 90 : 0;
            double own = double(CosineOf(int64_t(shot[ShotHeading]) - quarter)) * shot[ShotSpeed] / 655360;
            double parents = double(CosineOf(int64_t(parent[ShotHeading]) - quarter)) * parent[ShotSpeed] / 655360;
            if (std::abs(own - parents) > std::abs(apart)) {
                apart = own - parents;
                best = (double(shot[field]) - parent[field] - own) / apart;
            }
        }
        return apart == 0 || !(best > 0) ? 0 : best > MostSplitAge ? MostSplitAge : int(std::lround(best));
    }

    // A shot told as the copy of the shot at `parentAt`, at the age that tells its place best.
    Origin CopyOf(const int* shot, int parentAt, bool alone, int& cost)
    {
        Origin copy{FromCopy, &shots.ints[size_t(parentAt) * shotStride], 0};
        // Only a choice between parents needs the bits of the fields besides the place.
        int rest = alone ? 0 : Cost(shot, copy, false), guess = SplitAge(shot, copy.record), bestAge = 0;
        cost = std::numeric_limits<int>::max();
        for (int age = std::max(0, guess - 1); age <= std::min(MostSplitAge, guess + 1); age++) {
            copy.age = age;
            int bits = rest + Cost(shot, copy, true);
            if (bits < cost) cost = bits, bestAge = age;
        }
        copy.age = bestAge;
        return copy;
    }

    // The plasma ball earlier in the list that new shot `i` split off, -1 for none: one of the
    // same shooter with one sub-step more to live (the copy flies in the sub-step it splits),
    // the one that tells it best.
    int ParentOf(size_t i, Origin& origin)
    {
        const int* shot = &shots.ints[i * shotStride];
        if (shot[ShotKind] != 3005 || shot[ShotLife] == std::numeric_limits<int>::max()) return -1;
        int found[8], parents = 0;
        for (size_t slot = BallSlot(shot[ShotShooter], shot[ShotLife] + 1); balls[slot] && parents < 8; slot = (slot + 1) & ballMask) {
            int at = balls[slot] - 1;
            const int* ball = &shots.ints[size_t(at) * shotStride];
            if (size_t(at) < i && ball[ShotShooter] == shot[ShotShooter] && ball[ShotLife] == shot[ShotLife] + 1) found[parents++] = at;
        }
        int parentAt = -1, best = std::numeric_limits<int>::max();
        for (int k = 0; k < parents; k++) {
            int cost = 0;
            Origin copy = CopyOf(shot, found[k], parents == 1, cost);
            if (cost < best) best = cost, origin = copy, parentAt = found[k];
        }
        return parentAt;
    }

    // The origin of new shot `i` and its code; `lastAt` and `lastParent` move on with it.
    uint64_t Find(size_t i, int& lastAt, int& lastParent, Origin& origin)
    {
        origin = Origin{};
        int parentAt = ParentOf(i, origin);
        if (parentAt >= 0) {
            uint64_t code = ZigZag(int64_t(parentAt) - lastParent - 1) << 2 | FromCopy;
            lastParent = parentAt;
            return code;
        }
        const int* shot = &shots.ints[i * shotStride];
        int at = UnitIndex(shot[ShotShooter], lastAt);
        if (at < 0) return ZigZag(shot[ShotShooter]) << 2 | FromId;
        origin = Origin{FromUnit, &units.ints[size_t(at) * unitStride], 0};
        uint64_t code = ZigZag(int64_t(at) - lastAt - 1) << 2 | FromUnit;
        lastAt = at;
        return code;
    }
};

// The origin a code names and the shooter it gives; false for a code that names no unit, no
// earlier shot or leaves 32 bits.
bool OriginOf(uint64_t code, const ImageList& units, const ImageList& shots, size_t i, int& lastAt, int& lastParent,
              Origin& origin, int& shooter)
{
    origin = Origin{};
    switch (code & 3) {
    case FromId: {
        int64_t id = UnZigZag(code >> 2);
        if (id < std::numeric_limits<int32_t>::min() || id > std::numeric_limits<int32_t>::max()) return false;
        shooter = int(id);
        return true;
    }
    case FromUnit: {
        int64_t at = int64_t(lastAt) + 1 + UnZigZag(code >> 2);
        if (at < 0 || at >= int64_t(units.count)) return false;
        lastAt = int(at);
        origin = Origin{FromUnit, &units.ints[size_t(at) * size_t(Shape(1).ints)], 0};
        shooter = origin.record[1];
        return true;
    }
    case FromCopy: {
        int64_t at = int64_t(lastParent) + 1 + UnZigZag(code >> 2);
        // The parent is an earlier shot of the list, whose fields are read before this one's.
        if (at < 0 || at >= int64_t(i)) return false;
        lastParent = int(at);
        origin = Origin{FromCopy, &shots.ints[size_t(at) * size_t(Shape(2).ints)], 0};
        shooter = origin.record[ShotShooter];
        return true;
    }
    default: return false;
    }
}

// ---- columns ----

// A column of codes, one per record: 0 when all are nought; 1, a bit per record for those
// that are not and then those; 2, every code. Most columns of a battle barely change, and
// their zeros are not even written.
enum ColumnForm { AllNought = 0, SomeCodes = 1, EveryCode = 2 };

size_t MostColumnBytes(size_t count) { return 1 + (count + 7) / 8 + count * MostVarint; }

void PutColumn(DeltaWriter& w, const uint64_t* codes, size_t count)
{
    thread_local std::vector<unsigned char> bitmap;
    bitmap.resize((count + 7) / 8);
    size_t set = 0;
    for (size_t i = 0; i < count; i += 8) {
        int bits = 0;
        for (size_t b = 0; b < 8 && i + b < count; b++) {
            bits |= int(codes[i + b] != 0) << b;
            set += codes[i + b] != 0;
        }
        bitmap[i / 8] = (unsigned char)bits;
    }
    if (set == 0) return w.Byte(AllNought);
    if (set * 8 >= count * 7) {
        w.Byte(EveryCode);
        for (size_t i = 0; i < count; i++) w.Varint(codes[i]);
        return;
    }
    w.Byte(SomeCodes);
    w.Bytes(std::string_view(reinterpret_cast<const char*>(bitmap.data()), bitmap.size()));
    for (size_t byte = 0; byte < bitmap.size(); byte++)
        for (unsigned bits = bitmap[byte]; bits; bits &= bits - 1) w.Varint(codes[byte * 8 + size_t(std::countr_zero(bits))]);
}

// A unit's push count runs from 0 to 20 and then starts again at 0 (a unit pushed that often
// gives up its way): in a crowded battle it changes for most units every frame. Within that
// round its change is told as the pushes since, counted round, which is never negative.
constexpr int UnitPushes = 11, PushRound = 21;
bool InPushRound(int64_t count) { return count >= 0 && count < PushRound; }

uint64_t PushCode(int was, int is)
{
    if (!InPushRound(was)) return ZigZag(int64_t(is) - was);
    if (!InPushRound(is)) return PushRound + ZigZag(int64_t(is) - was);
    return uint64_t((is - was + PushRound) % PushRound);
}

// The count again; false for one that leaves 32 bits.
bool PushFrom(uint64_t code, int& count)
{
    int64_t change = 0;
    if (!InPushRound(count)) change = UnZigZag(code);
    else if (code < PushRound) change = (count + int64_t(code)) % PushRound - count;
    else change = UnZigZag(code - PushRound);
    // The change of a 32-bit number fits in 33 bits.
    int64_t changed = count + change;
    if (change < -(int64_t(1) << 33) || change > int64_t(1) << 33 || changed < std::numeric_limits<int32_t>::min() ||
        changed > std::numeric_limits<int32_t>::max())
        return false;
    count = int(changed);
    return true;
}

// Buildings and units: most of their fields stay as they were from one snapshot to the next.
// Each record's changed fields are marked in a word first, so that a column no record changed
// costs a byte and no pass over the list.
void PutRecords(DeltaWriter& w, const ImageList& now, const ImageList* before, const std::vector<int>& from, size_t stride)
{
    thread_local std::vector<uint64_t> changed;
    const size_t count = now.count;
    changed.resize(count);
    auto earlier = [&](size_t i) { return from[i] >= 0 ? &before->ints[size_t(from[i]) * stride] : nullptr; };
    uint64_t any = 0;
    for (size_t i = 0; i < count; i++) {
        const int* is = &now.ints[i * stride];
        const int* was = earlier(i);
        uint64_t marks = 0;
        if (was)
            for (size_t field = 0; field < stride; field++) marks |= uint64_t(is[field] != was[field]) << field;
        else
            for (size_t field = 0; field < stride; field++) marks |= uint64_t(is[field] != 0) << field;
        changed[i] = marks;
        any |= marks;
    }
    for (size_t field = 0; field < stride; field++) {
        if (!(any >> field & 1)) {
            w.Byte(AllNought);
            continue;
        }
        const bool pushes = stride == size_t(Shape(1).ints) && field == UnitPushes;
        auto code = [&](size_t i) {
            const int* was = earlier(i);
            int is = now.ints[i * stride + field], before = was ? was[field] : 0;
            return pushes ? PushCode(before, is) : ZigZag(int64_t(is) - before);
        };
        size_t set = 0;
        for (size_t i = 0; i < count; i++) set += changed[i] >> field & 1;
        if (set * 8 >= count * 7) {
            w.Byte(EveryCode);
            for (size_t i = 0; i < count; i++) w.Varint(code(i));
            continue;
        }
        w.Byte(SomeCodes);
        for (size_t i = 0; i < count; i += 8) {
            int bits = 0;
            for (size_t b = 0; b < 8 && i + b < count; b++) bits |= int(changed[i + b] >> field & 1) << b;
            w.Byte(bits);
        }
        for (size_t i = 0; i < count; i++)
            if (changed[i] >> field & 1) w.Varint(code(i));
    }
}

// Calls `each` with the place and code of every record a column names (every record, or those
// its bits mark); false for a column that is not one.
template <class Each>
bool ForColumn(DeltaReader& r, size_t count, Each each)
{
    uint64_t form = r.Varint();
    if (form == EveryCode) {
        for (size_t i = 0; i < count && !r.failed; i++) each(i, r.Varint());
    } else if (form == SomeCodes) {
        const unsigned char* bitmap = r.Take((count + 7) / 8);
        if (!bitmap) return false;
        // Bits past the last record would name records that are not there.
        if (count % 8 && bitmap[count / 8] >> (count % 8)) return false;
        for (size_t byte = 0; byte < (count + 7) / 8 && !r.failed; byte++)
            for (unsigned bits = bitmap[byte]; bits; bits &= bits - 1) each(byte * 8 + size_t(std::countr_zero(bits)), r.Varint());
    } else if (form != AllNought) {
        r.failed = true;
    }
    return !r.failed;
}

bool GetColumn(DeltaReader& r, uint64_t* codes, size_t count)
{
    std::fill(codes, codes + count, 0);
    return ForColumn(r, count, [&](size_t i, uint64_t code) { codes[i] = code; });
}

// The records as they were, or nought for new ones, and then the changes column by column.
bool GetRecords(DeltaReader& r, ImageList& now, const ImageList* before, const std::vector<int>& from, size_t stride)
{
    for (size_t i = 0; i < now.count; i++) {
        int* is = &now.ints[i * stride];
        if (from[i] >= 0) std::memcpy(is, &before->ints[size_t(from[i]) * stride], stride * sizeof(int));
        else std::fill(is, is + stride, 0);
    }
    bool good = true;
    for (size_t field = 0; field < stride && good; field++) {
        const bool pushes = stride == size_t(Shape(1).ints) && field == UnitPushes;
        good = ForColumn(r, now.count, [&](size_t i, uint64_t code) {
            int& value = now.ints[i * stride + field];
            if (pushes) {
                if (!PushFrom(code, value)) r.failed = true;
                return;
            }
            // The change of a 32-bit number fits in 33 bits.
            int64_t change = UnZigZag(code), changed = value + change;
            if (change < -(int64_t(1) << 33) || change > int64_t(1) << 33 || changed < std::numeric_limits<int32_t>::min() ||
                changed > std::numeric_limits<int32_t>::max())
                r.failed = true;
            else
                value = int(changed);
        }) && !r.failed;
    }
    return good;
}

// 0 for a new record, else 1 + the step past the last one continued (zig-zag): a list that
// keeps its order writes a column of ones.
void PutContinued(DeltaWriter& w, const std::vector<int>& from)
{
    int last = -1;
    for (int f : from) {
        if (f < 0) {
            w.Varint(0);
            continue;
        }
        w.Varint(1 + ZigZag(int64_t(f) - last - 1));
        last = f;
    }
}

bool GetContinued(DeltaReader& r, const ImageList* before, std::vector<int>& from)
{
    int last = -1;
    for (size_t i = 0; i < from.size() && !r.failed; i++) {
        uint64_t code = r.Varint();
        from[i] = -1;
        if (code == 0) continue;
        int64_t f = int64_t(last) + 1 + UnZigZag(code - 1);
        if (!before || f < 0 || f >= int64_t(before->count)) r.failed = true;
        else from[i] = last = int(f);
    }
    return !r.failed;
}

// A record's text: 0 when it is its earlier record's; odd, the earlier one less as many of its
// first bytes as the code's upper bits say (a unit walking its path drops the points it
// reached from the front); else twice its length + 1, and its bytes.
void PutTexts(DeltaWriter& w, const ImageList& now, const ImageList* before, const std::vector<int>& from)
{
    for (size_t i = 0; i < now.count; i++) {
        std::string_view text = now.Text(i), earlier = from[i] >= 0 ? before->Text(size_t(from[i])) : std::string_view();
        if (from[i] >= 0 && earlier == text) {
            w.Varint(0);
        } else if (from[i] >= 0 && earlier.size() > text.size() && earlier.ends_with(text)) {
            w.Varint((earlier.size() - text.size()) << 1 | 1);
        } else {
            w.Varint((text.size() + 1) << 1);
            w.Bytes(text);
        }
    }
}

constexpr size_t MostTextBytes = size_t(MostQueueEntries) * 10 + 1;
constexpr size_t MostPartBytes = NetBlockLimit;

bool GetTexts(DeltaReader& r, ImageList& now, const ImageList* before, const std::vector<int>& from)
{
    now.text.clear();
    now.textEnd.resize(now.count);
    for (size_t i = 0; i < now.count && !r.failed; i++) {
        uint64_t code = r.Count((MostTextBytes + 1) << 1);
        if (code == 0 || code & 1) {
            if (from[i] < 0) return false;
            std::string_view earlier = before->Text(size_t(from[i]));
            if (code >> 1 > earlier.size()) return false;
            now.text += earlier.substr(size_t(code >> 1));
        } else {
            size_t length = size_t(code >> 1) - 1;
            const unsigned char* bytes = r.Take(length);
            // The text travels up to its zero byte: one inside it would end it early.
            if (!bytes || std::memchr(bytes, 0, length)) return false;
            now.text.append(reinterpret_cast<const char*>(bytes), length);
        }
        now.textEnd[i] = uint32_t(now.text.size());
    }
    return !r.failed;
}

// The bytes of a list as it travels: its count, its records and their texts.
size_t ListBytes(const ImageList& list, int stride, bool texts)
{
    return 4 + list.count * size_t(stride) * 4 + (texts ? list.text.size() + list.count : 0);
}

// The order the columns of the list are written in; for shots, which columns come before.
const std::vector<int>& Columns(int list)
{
    static const std::vector<int> orders[3] = {ColumnOrder(0, Shape(0).ints), ColumnOrder(1, Shape(1).ints),
                                               ColumnOrder(2, Shape(2).ints)};
    return orders[list];
}


// The codes of the shots, column after column.
thread_local std::vector<uint64_t> ColumnCodes;

// The shots: the sub-steps between the snapshots, then their columns, and every shot's fields
// from its codes and guesses, one shot after another in the order of the columns.
bool GetShots(DeltaReader& r, const ImageList& units, ImageList& now, const ImageList* before, const std::vector<int>& from)
{
    const size_t stride = size_t(Shape(2).ints), count = now.count;
    const std::vector<int>& columns = Columns(2);
    int64_t lifeStep = r.Signed();
    if (lifeStep < std::numeric_limits<int32_t>::min() || lifeStep > std::numeric_limits<int32_t>::max()) return false;
    ColumnCodes.resize(columns.size() * count);
    uint64_t* codes = ColumnCodes.data();
    for (size_t c = 0; c < columns.size(); c++)
        if (!GetColumn(r, codes + c * count, count)) return false;
    // A field from its code and its guess; false when it leaves 32 bits. Guesses stay far
    // inside 40 bits, and a miss past them is no miss of ours.
    auto set = [](int& field, uint64_t code, int64_t guess) {
        int64_t miss = UnZigZag(code), value = miss + guess;
        field = int(value);
        return miss >= -(int64_t(1) << 40) && miss <= int64_t(1) << 40 && value >= std::numeric_limits<int32_t>::min() &&
               value <= std::numeric_limits<int32_t>::max();
    };
    int lastAt = -1, lastParent = -1;
    bool good = true;
    for (size_t i = 0; i < count && good; i++) {
        int* is = &now.ints[i * stride];
        const int* was = from[i] >= 0 ? &before->ints[size_t(from[i]) * stride] : nullptr;
        Origin origin;
        for (size_t c = 0; c < columns.size() && good; c++) {
            int field = columns[c];
            uint64_t code = codes[c * count + i];
            if (was) good = set(is[field], code, CarriedShot(field, was, is, lifeStep));
            else if (field == ShotShooter) good = OriginOf(code, units, now, i, lastAt, lastParent, origin, is[field]);
            else if (field == ShotLife && origin.how == FromCopy) {
                origin.age = int(code & MostSplitAge);
                good = set(is[field], code >> SplitAgeBits, ExpectedShot(field, nullptr, is, origin, 0));
            } else good = set(is[field], code, ExpectedShot(field, nullptr, is, origin, 0));
        }
    }
    return good;
}

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
    for (int list = 0; list < 3; list++) {
        const ListShape& shape = Shape(list);
        ImageList& into = image.lists[list];
        into.count = size_t(r.GetCount(shape.leastBytes, shape.most));
        if (r.failed) return false;
        into.ints.resize(into.count * size_t(shape.ints));
        into.text.clear();
        into.textEnd.resize(shape.textAt >= 0 ? into.count : 0);
        const char* at = block.data() + r.at;
        const char* end = block.data() + block.size();
        // A list without texts is its numbers as they lie (its count was held to the bytes left).
        if (shape.textAt < 0) {
            if (!into.ints.empty()) std::memcpy(into.ints.data(), at, into.ints.size() * 4);
            r.at += into.ints.size() * 4;
            continue;
        }
        // Before the text and after it, the numbers lie as they will in the image.
        const size_t before = size_t(shape.textAt >= 0 ? shape.textAt : shape.ints) * 4;
        const size_t after = size_t(shape.ints) * 4 - before;
        for (size_t i = 0; i < into.count; i++) {
            char* ints = reinterpret_cast<char*>(&into.ints[i * size_t(shape.ints)]);
            if (size_t(end - at) < before) return false;
            std::memcpy(ints, at, before);
            at += before;
            if (shape.textAt >= 0) {
                const char* zero = static_cast<const char*>(std::memchr(at, 0, size_t(end - at)));
                if (!zero) return false;
                // A text longer than any record may carry is kept cut, and refused by its rule.
                into.text.append(at, std::min(size_t(zero - at), MostTextBytes));
                into.textEnd[i] = uint32_t(into.text.size());
                at = zero + 1;
            }
            if (size_t(end - at) < after) return false;
            std::memcpy(ints + before, at, after);
            at += after;
        }
        r.at = size_t(at - block.data());
    }
    image.tail.assign(block, r.at);
    return true;
}

std::string JoinSnapshot(const SnapshotImage& image)
{
    size_t size = image.head.size() + image.tail.size();
    for (int list = 0; list < 3; list++) size += ListBytes(image.lists[list], Shape(list).ints, Shape(list).textAt >= 0);
    std::string block;
    block.reserve(size);
    block += image.head;
    for (int list = 0; list < 3; list++) {
        const ListShape& shape = Shape(list);
        const ImageList& from = image.lists[list];
        const char* ints = reinterpret_cast<const char*>(from.ints.data());
        int32_t count = int32_t(from.count);
        block.append(reinterpret_cast<const char*>(&count), 4);
        // A list without texts is its numbers as they lie.
        if (shape.textAt < 0) {
            block.append(ints, from.count * size_t(shape.ints) * 4);
            continue;
        }
        const size_t before = size_t(shape.textAt) * 4, after = size_t(shape.ints) * 4 - before;
        for (size_t i = 0; i < from.count; i++, ints += before + after) {
            block.append(ints, before);
            block += from.Text(i);
            block.push_back('\0');
            block.append(ints + before, after);
        }
    }
    block += image.tail;
    return block;
}

std::string EncodeDelta(const SnapshotImage& current, const SnapshotImage* base)
{
    // Room for the most the change can take: every number at its longest.
    size_t room = 3 * MostVarint + current.head.size() + current.tail.size();
    for (int list = 0; list < 3; list++) {
        size_t count = current.lists[list].count;
        room += MostVarint * (2 + 2 * count) + current.lists[list].text.size() +
                (size_t(Shape(list).ints) + 1) * MostColumnBytes(count);
    }
    thread_local std::string buffer;
    if (buffer.size() < room) buffer.resize(room);
    DeltaWriter w{buffer.data()};

    w.Varint(current.head.size());
    w.Bytes(current.head);
    for (int list = 0; list < 3; list++) {
        const ImageList& now = current.lists[list];
        const ImageList* before = base ? &base->lists[list] : nullptr;
        const size_t stride = size_t(Shape(list).ints), count = now.count;
        const std::vector<int>& columns = Columns(list);
        std::vector<int> from = Continued(list, now, before);
        w.Varint(count);
        PutContinued(w, from);
        if (list < 2) {
            PutRecords(w, now, before, from, stride);
        } else {
            // The codes are worked out record by record, as the records lie, and written column
            // by column.
            ColumnCodes.resize(columns.size() * count);
            uint64_t* codes = ColumnCodes.data();
            auto earlier = [&](size_t i) { return from[i] >= 0 ? &before->ints[size_t(from[i]) * stride] : nullptr; };
            // The sub-steps between the two snapshots, which every shot of both has lived.
            int64_t lifeStep = 0;
            for (size_t i = 0; i < count; i++)
                if (const int* was = earlier(i)) {
                    lifeStep = int64_t(was[ShotLife]) - now.ints[i * stride + ShotLife];
                    break;
                }
            w.Signed(lifeStep);
            OriginFinder finder(current);
            int lastAt = -1, lastParent = -1;
            for (size_t i = 0; i < count; i++) {
                const int* is = &now.ints[i * stride];
                const int* was = earlier(i);
                Origin origin;
                for (size_t c = 0; c < columns.size(); c++) {
                    int field = columns[c];
                    uint64_t& code = codes[c * count + i];
                    if (was) code = ZigZag(is[field] - CarriedShot(field, was, is, lifeStep));
                    else if (field == ShotShooter) code = finder.Find(i, lastAt, lastParent, origin);
                    else code = ZigZag(is[field] - ExpectedShot(field, nullptr, is, origin, 0));
                    if (!was && field == ShotLife && origin.how == FromCopy) code = code << SplitAgeBits | uint64_t(origin.age);
                }
            }
            for (size_t c = 0; c < columns.size(); c++) PutColumn(w, codes + c * count, count);
        }
        if (Shape(list).textAt >= 0) PutTexts(w, now, before, from);
    }
    w.Varint(current.tail.size());
    w.Bytes(current.tail);
    return std::string(buffer.data(), size_t(w.at - buffer.data()));
}

bool DecodeDelta(const std::string& bytes, const SnapshotImage* base, SnapshotImage& out)
{
    DeltaReader r{bytes};
    out.head = r.Bytes(r.Count(MostPartBytes));
    size_t joined = out.head.size();
    for (int list = 0; list < 3 && !r.failed; list++) {
        const ImageList* before = base ? &base->lists[list] : nullptr;
        const size_t stride = size_t(Shape(list).ints);
        // Every record takes at least a byte to say what it continues: a count the bytes cannot
        // hold is a lie.
        size_t count = r.Count(size_t(Shape(list).most));
        if (count > r.Left()) return false;
        std::vector<int> from(count, -1);
        if (!GetContinued(r, before, from)) return false;
        ImageList& now = out.lists[list];
        now.count = count;
        now.ints.resize(count * stride);
        bool good = list < 2 ? GetRecords(r, now, before, from, stride) : GetShots(r, out.lists[1], now, before, from);
        if (!good || (Shape(list).textAt >= 0 && !GetTexts(r, now, before, from))) return false;
        joined += ListBytes(now, int(stride), Shape(list).textAt >= 0);
    }
    out.tail = r.Bytes(r.Count(MostPartBytes));
    joined += out.tail.size();
    // Put together, it must be a block we could have been sent.
    return !r.failed && r.at == r.end && joined <= NetBlockLimit;
}

// The contexts of the compressor are kept for the next snapshot: making them anew each time
// costs more than the packing of a small change.
std::string Pack(const std::string& bytes)
{
    thread_local std::unique_ptr<ZSTD_CCtx, size_t (*)(ZSTD_CCtx*)> context(ZSTD_createCCtx(), ZSTD_freeCCtx);
    std::string packed(ZSTD_compressBound(bytes.size()), '\0');
    // The fastest level: a snapshot is packed once a frame for every receiver. (The library's
    // default packs the change of a big battle a hundredth smaller, for half as long again.)
    size_t size = ZSTD_compressCCtx(context.get(), packed.data(), packed.size(), bytes.data(), bytes.size(), 1);
    if (ZSTD_isError(size)) return "";
    packed.resize(size);
    return packed;
}

bool Unpack(const std::string& packed, size_t most, std::string& bytes)
{
    thread_local std::unique_ptr<ZSTD_DCtx, size_t (*)(ZSTD_DCtx*)> context(ZSTD_createDCtx(), ZSTD_freeDCtx);
    unsigned long long size = ZSTD_getFrameContentSize(packed.data(), packed.size());
    if (size == ZSTD_CONTENTSIZE_ERROR || size == ZSTD_CONTENTSIZE_UNKNOWN || size > most) return false;
    std::string out(size_t(size), '\0');
    size_t made = ZSTD_decompressDCtx(context.get(), out.data(), out.size(), packed.data(), packed.size());
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
