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
