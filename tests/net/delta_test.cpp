// Snapshots as they travel: the change to what the receiver acknowledged, packed. Put back
// together it is the very block a full snapshot would have been, frame after frame of a
// battle, whatever the receiver acknowledged and whatever went missing on the way.
#include "game/net/delta.h"
#include "game/net/protocol.h"
#include "game/save/recordrules.h"
#include "support/sim_world.h"

#include <deque>
#include <map>
#include <random>

namespace {

// Two armies facing each other across a 60 x 40 field, with bases behind them.
void StageSkirmish(SimWorld& world)
{
    static const int army[] = {2101, 2201, 2302, 2304, 2402, 2404, 2501, 2505, 2604, 2002, 2001};
    for (int p = 1; p <= 2; p++) {
        world.AddComplete(1300, p, p == 1 ? 3 : 52, 4);
        world.AddComplete(1240, p, p == 1 ? 3 : 52, 10);
        world.AddComplete(1100, p, p == 1 ? 3 : 54, 16);
        for (int i = 0; i < 44; i++) {
            int index = world.Add(army[i % 11], p, float(p == 1 ? 10 + i % 4 : 47 + i % 4), float(4 + i / 4 * 3), 2);
            world.OrderTo(index, p == 1 ? 45.0f : 14.0f, float(5 + i % 30));
        }
    }
}

} // namespace

TEST(SnapshotDeltas, PutBackTogetherTheyAreTheFullSnapshotFrameAfterFrame)
{
    SimWorld world{FilledRows(60, 40, 'E'), 2};
    StageSkirmish(world);
    std::mt19937 random(17);
    // The sender's images by number, and what the receiver has decoded.
    std::deque<std::pair<int, SharedImage>> sent;
    std::map<int, SharedImage> received;
    int ack = 0;
    size_t fullBytes = 0, deltaBytes = 0, fullWhole = 0;
    int frames = 600, shotsSeen = 0;
    for (int seq = 1; seq <= frames; seq++) {
        world.Run(1);
        shotsSeen = std::max(shotsSeen, int(Projectiles.size()));
        NetBlock block;
        PutGameSnapshot(block, seq % 97 == 0 ? "Spieler 1: weiter" : "", 40);
        auto image = std::make_shared<SnapshotImage>();
        ASSERT_TRUE(SplitSnapshot(block.bytes, false, *image)) << "frame " << seq;
        ASSERT_EQ(JoinSnapshot(*image), block.bytes) << "taken apart and put together, frame " << seq;
        sent.emplace_back(seq, image);
        if (sent.size() > 64) sent.pop_front();

        SharedImage base;
        for (const auto& kept : sent)
            if (kept.first == ack) base = kept.second;
        DeltaHeader header{0, 0, seq, base ? ack : 0, 0};
        std::string message = PutDelta(header, EncodeDelta(*image, base.get()));
        fullBytes += block.bytes.size();
        fullWhole += Pack(block.bytes).size();
        deltaBytes += message.size();
        // A tenth of the snapshots are lost on the way.
        if (random() % 10 == 0) continue;

        DeltaHeader read;
        std::string delta;
        ASSERT_TRUE(ReadDelta(message, read, delta));
        SharedImage from = read.base ? received[read.base] : nullptr;
        ASSERT_TRUE(read.base == 0 || from) << "a base the receiver never had, frame " << seq;
        SnapshotImage decoded;
        ASSERT_TRUE(DecodeDelta(delta, from.get(), decoded)) << "frame " << seq;
        ASSERT_EQ(JoinSnapshot(decoded), block.bytes) << "frame " << seq << " against " << read.base;
        received[seq] = std::make_shared<SnapshotImage>(decoded);
        // The acknowledgement comes back a few frames late, now and then not at all.
        if (random() % 4 != 0) {
            auto back = received.upper_bound(seq - int(random() % 6));
            if (back != received.begin()) ack = std::max(ack, std::prev(back)->first);
        }
    }
    EXPECT_GT(shotsSeen, 10) << "the armies fought";
    EXPECT_LT(deltaBytes * 5, fullWhole) << "changes, packed, are a fraction of the whole snapshots packed";
    EXPECT_LT(fullWhole * 2, fullBytes) << "whole snapshots pack to less than half";
}

TEST(SnapshotDeltas, ChangesThatDoNotFitTheirBaseAreRefused)
{
    SimWorld world{FilledRows(60, 40, 'E'), 2};
    StageSkirmish(world);
    world.Run(5);
    NetBlock first, second;
    PutGameSnapshot(first, "", 40);
    world.Run(5);
    PutGameSnapshot(second, "", 40);
    SnapshotImage a, b, out;
    ASSERT_TRUE(SplitSnapshot(first.bytes, false, a));
    ASSERT_TRUE(SplitSnapshot(second.bytes, false, b));
    std::string delta = EncodeDelta(b, &a);
    ASSERT_TRUE(DecodeDelta(delta, &a, out));
    EXPECT_FALSE(DecodeDelta(delta, nullptr, out)) << "a change read without the snapshot it is from";
    for (size_t cut : {size_t(0), size_t(1), delta.size() / 2, delta.size() - 1})
        EXPECT_FALSE(DecodeDelta(delta.substr(0, cut), &a, out)) << "cut at " << cut;
    EXPECT_FALSE(DecodeDelta(delta + "x", &a, out)) << "bytes left over";
    SnapshotImage empty;
    EXPECT_FALSE(DecodeDelta(delta, &empty, out)) << "a base with fewer records than it names";

    // A packed frame that claims to unpack past the bound is refused before it is unpacked.
    std::string big(size_t(5) << 20, 'a');
    std::string unpacked;
    EXPECT_FALSE(Unpack(Pack(big), size_t(4) << 20, unpacked));
    EXPECT_TRUE(Unpack(Pack(big), size_t(6) << 20, unpacked));
    EXPECT_EQ(unpacked, big);
    EXPECT_FALSE(Unpack("not packed", 1000, unpacked));

    // Noise never decodes into more than the bounds allow, and never crashes.
    std::mt19937 random(5);
    for (int round = 0; round < 300; round++) {
        std::string noise = delta;
        for (int k = 0; k < 6; k++) noise[random() % noise.size()] = char(random());
        if (DecodeDelta(noise, &a, out)) {
            for (const auto& list : out.lists) EXPECT_LE(list.count, size_t(MostShots));
        }
    }
}

namespace {

// The snapshot of the world as it stands, taken apart.
SnapshotImage ImageOfWorld(std::string& block)
{
    NetBlock written;
    PutGameSnapshot(written, "", 40);
    block = written.bytes;
    SnapshotImage image;
    EXPECT_TRUE(SplitSnapshot(block, false, image));
    return image;
}

} // namespace

TEST(SnapshotDeltas, APlasmaCopyIsToldByItsParentWhichMustComeBeforeIt)
{
    SimWorld world{FilledRows(30, 30, 'E'), 2};
    int index = world.Add(2505, 1, 10, 10);
    int shooter = int(Units[size_t(index)].id);
    Projectiles.clear();
    // A ball and the copy that split off it two sub-steps ago: one sub-step less to live,
    // veered off and slower.
    AddProjectile(shooter, 3005, 16, 1, 400, 300, 30, 100, 60, 0, 50);
    AddProjectile(shooter, 3005, 14, 1, 390, 305, 45, 70, 60, 0, 49);
    std::string block;
    SnapshotImage image = ImageOfWorld(block), out;
    std::string delta = EncodeDelta(image, nullptr);
    ASSERT_TRUE(DecodeDelta(delta, nullptr, out));
    EXPECT_EQ(JoinSnapshot(out), block);

    // The shots as they travel: two of them, both new, the sub-steps between snapshots (none),
    // and the shooter's column with a code for each: every code written (2), the first shot
    // fired by the unit right after none (1), the second the copy of the shot right after none
    // (2), which is the first.
    const std::string shooters("\x02\x00\x00\x00\x02\x01\x02", 7);
    size_t at = delta.find(shooters);
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(delta.find(shooters, at + 1), std::string::npos);
    at += shooters.size() - 1;
    // Its parent one shot later (itself), or one before the list; and a fourth kind of origin.
    for (char code : {char(1 << 2 | 2), char(2 << 2 | 2), char(3 << 2 | 2), char(3)}) {
        std::string broken = delta;
        broken[at] = code;
        EXPECT_FALSE(DecodeDelta(broken, nullptr, out)) << "origin code " << int(code);
    }
    // Whatever the bytes, what decodes stays within its lists and the block limit.
    std::mt19937 random(9);
    for (int round = 0; round < 2000; round++) {
        std::string noise = delta;
        for (int k = 0; k < 1 + round % 3; k++) noise[random() % noise.size()] = char(random());
        if (DecodeDelta(noise, nullptr, out)) {
            EXPECT_LE(JoinSnapshot(out).size(), NetBlockLimit);
        }
    }
}

TEST(SnapshotDeltas, PushesAndWalkedPathsComeBackExactly)
{
    SimWorld world{FilledRows(30, 30, 'E'), 2};
    for (int i = 0; i < 4; i++) world.Add(2101, 1, float(5 + 2 * i), 5);
    // Push counts that go round, leave the round, come back into it and stay; paths that lose
    // their first points, change, or are walked to the end.
    const int pushesBefore[] = {19, 5, 40, 7}, pushesAfter[] = {2, 50, 3, 7};
    const char* pathsBefore[] = {"aabbccdd", "aabb", "aabb", "ab"};
    const char* pathsAfter[] = {"ccdd", "xxbb", "", "ab"};
    for (size_t i = 0; i < 4; i++) {
        Units[i].pushCount = pushesBefore[i];
        Units[i].path = pathsBefore[i];
    }
    std::string before, after;
    SnapshotImage base = ImageOfWorld(before);
    for (size_t i = 0; i < 4; i++) {
        Units[i].pushCount = pushesAfter[i];
        Units[i].path = pathsAfter[i];
    }
    SnapshotImage now = ImageOfWorld(after), out;
    ASSERT_TRUE(DecodeDelta(EncodeDelta(now, &base), &base, out));
    EXPECT_EQ(JoinSnapshot(out), after);
    ASSERT_TRUE(DecodeDelta(EncodeDelta(base, &now), &now, out));
    EXPECT_EQ(JoinSnapshot(out), before);
}

TEST(SnapshotDeltas, AChangeThatWouldPutTogetherABlockPastTheLimitIsRefused)
{
    SnapshotImage image, out;
    image.head.assign(size_t(1) << 20, 'h');
    image.tail.assign(size_t(1) << 20, 't');
    ASSERT_TRUE(DecodeDelta(EncodeDelta(image, nullptr), nullptr, out));
    EXPECT_EQ(out.head, image.head);
    image.tail.assign(NetBlockLimit - image.head.size() - 12 + 1, 't');
    EXPECT_FALSE(DecodeDelta(EncodeDelta(image, nullptr), nullptr, out)) << "one byte past the limit";
}
