// Work that must always come round again: a new harvester leaves its rally point for the spice,
// a full one finds a way into its incinerator, a builder gets to its building, a harvester that
// has unloaded goes straight back to work, a captured lab works for its new owner.
#include "game/sim/unitscan.h"
#include "support/sim_world.h"

#include <cmath>

// Earth for the buildings, with a sand patch holding spice to the east.
static std::vector<std::string> BaseWithSpice(int spiceLeft)
{
    std::vector<std::string> rows = FilledRows(44, 36, 'E');
    for (int y = 8; y < 20; y++) rows[size_t(y)].replace(size_t(spiceLeft - 2), 10, "..........");
    for (int y = 10; y < 18; y++) rows[size_t(y)].replace(size_t(spiceLeft), 6, "$$$$$$");
    return rows;
}

// A computer's factory turns out two harvesters one after the other. Its rally point, the far
// corner, lies against a cliff: the cliff, the factory and the other harvester push each one
// about without its ever coming within 8 pixels of the corner. Each must still go harvesting.
TEST(Rounds, NewHarvestersCrowdingTheirRallyPointStillGoHarvesting)
{
    std::vector<std::string> rows = BaseWithSpice(30);
    rows[16][14] = '#'; // its tiles reach up to the corner (13, 15)
    SimWorld world(rows);
    Players[2].kind = 1;
    int factory = world.AddComplete(1200, 2, 10, 12);
    Buildings[size_t(factory)].stance = 3;
    Buildings[size_t(factory)].queue = "2002     1" "2002     1";
    std::vector<float> collected;
    world.Run(6000, [&] {
        for (const Unit& unit : Units)
            if (IsHarvester(unit) && unit.load != 0 && std::find(collected.begin(), collected.end(), unit.id) == collected.end())
                collected.push_back(unit.id);
        return collected.size() == 2;
    });
    int harvesters = 0;
    for (const Unit& unit : Units) harvesters += IsHarvester(unit);
    ASSERT_EQ(harvesters, 2);
    EXPECT_EQ(collected.size(), 2u) << "both harvesters took spice";
    for (const Unit& unit : Units) EXPECT_EQ(unit.stance, 3);
}

// A solar cell flush against the incinerator's west side: the edge cell nearest to a harvester
// coming from the west has no free cell beside it. It must unload at a side it can reach.
TEST(Rounds, AFullHarvesterUnloadsAtASideItCanReach)
{
    SimWorld world(FilledRows(44, 36, 'E'));
    Players[2].kind = 1;
    world.AddComplete(1300, 2, 20, 20);
    world.AddComplete(1100, 2, 18, 20); // 2 x 2 cells: 18..19 x 20..21
    int harvester = world.Add(2002, 2, 8.5f, 21.5f, 3);
    Units[size_t(harvester)].load = -5;
    Players[2].money = 0;
    world.Run(4000, [] { return Players[2].money >= 500; });
    EXPECT_EQ(Players[2].money, 500) << "five unloads";
    EXPECT_EQ(Units[size_t(harvester)].stance, 3) << "the order was never given up";
}

// A cliff spur lies between the builder and the first point of a path that a search from three
// cells away made: driving at that point, the builder is pushed back by the cliff again and
// again. Once the push limit has dropped that path, the cache must not hand it out again: a
// search of its own finds the way round.
TEST(Rounds, ABuilderIsNotGivenACachedPathThatFailedItAgain)
{
    std::vector<std::string> rows = FilledRows(44, 36, 'E');
    rows[13].replace(12, 4, "####");
    SimWorld world(rows);
    int site = AddPlacedBuilding(1, 1100, 24, 6);
    NextObjectId += 10;
    std::string cached;
    ASSERT_EQ(SearchPath(13, 10, 24, 7, cached), 1);
    int builder = world.Add(2001, 1, 13.5f, 15.5f, 3);
    Unit& unit = Units[size_t(builder)];
    unit.target = float(Buildings[size_t(site)].id);
    unit.destX = 24.5f;
    unit.destY = 7.5f;
    CachePath(13, 12, 24, 7, cached); // from two cells away, the way a search there found it
    int frames = world.Run(3000, [&] { return IsComplete(Buildings[size_t(site)]); });
    EXPECT_LT(frames, 3000) << "the solar cell was built; the builder is at " << Units[size_t(builder)].x << ","
                            << Units[size_t(builder)].y;
}

// After its last unload a harvester turns back to the spice. The way it came into the
// incinerator must not lead it on into the building, to be pushed out of it until the push
// limit gives up.
TEST(Rounds, AfterUnloadingTheHarvesterLeavesTheIncineratorAtOnce)
{
    SimWorld world(BaseWithSpice(30));
    world.AddComplete(1300, 1, 10, 12);
    int harvester = world.Add(2002, 1, 14.5f, 9.5f, 3);
    Units[size_t(harvester)].load = -5;
    Players[1].money = 0;
    ASSERT_LT(world.Run(4000, [] { return Players[1].money >= 500; }), 4000) << "it unloaded";
    int mostPushes = 0, frames = world.Run(2000, [&] {
        const Unit& unit = Units[size_t(harvester)];
        mostPushes = std::max(mostPushes, unit.pushCount);
        return unit.load > 0;
    });
    EXPECT_LT(frames, 2000) << "it collected again";
    EXPECT_LT(mostPushes, 20) << "it drove away, not into the incinerator";
}

// A pioneer takes a lab: the lab now speeds its new owner's research, not its old one's.
TEST(Rounds, ACapturedLabCountsForItsNewOwner)
{
    SimWorld world(FilledRows(44, 36, 'E'));
    int lab = world.AddComplete(1400, 2, 20, 20);
    world.AddComplete(1400, 2, 30, 20);
    ASSERT_EQ(Players[2].labCount, 2);
    int pioneer = world.Add(2107, 1, 17.5f, 21.5f, 2);
    Units[size_t(pioneer)].target = float(Buildings[size_t(lab)].id);
    Units[size_t(pioneer)].holdTarget = 1;
    ASSERT_LT(world.Run(1000, [&] { return Buildings[size_t(lab)].owner == 1; }), 1000) << "the lab was taken";
    world.Run(1);
    EXPECT_EQ(Players[1].labCount, 1);
    EXPECT_EQ(Players[2].labCount, 1);
    // Player 1's research in the captured lab runs at its own single lab's pace.
    Building& taken = Buildings[size_t(lab)];
    taken.currentItem = 712;
    taken.remaining = taken.total = 100;
    world.Run(1);
    EXPECT_FLOAT_EQ(taken.remaining, 100 - GameSpeed);
}

// The barracks' far corner, where its units come out, is walled in by two solar cells and a
// cliff: a unit coming out there could never leave. It comes out on the open side instead.
TEST(Rounds, AUnitMadeBesideAPocketComesOutOnTheOpenSide)
{
    std::vector<std::string> rows = FilledRows(44, 36, 'E');
    rows[15][11] = rows[16][12] = '#'; // their tiles block the cells left of and below the corner
    SimWorld world(rows);
    int barracks = world.AddComplete(1210, 1, 10, 12); // 2 x 2 cells, the far corner (12, 14)
    world.AddComplete(1100, 1, 12, 12);
    world.AddComplete(1100, 1, 13, 14);
    ASSERT_EQ(CanReach(12, 14, 30, 30), 0) << "the corner cell is a pocket";
    Buildings[size_t(barracks)].stance = 2;
    Buildings[size_t(barracks)].queue = "2101     1";
    ASSERT_LT(world.Run(10, [] { return !Units.empty(); }), 10);
    world.Run(20);
    const Unit& troop = Units[0];
    EXPECT_EQ(CanReach(int(troop.x), int(troop.y), 30, 30), 1) << "it stands at " << troop.x << "," << troop.y;
}

// Pushed by another unit until the push limit drops its cached path (two harvesters meeting
// head-on in a gap), a unit does not take that cached way again: it searches its own.
TEST(Rounds, AUnitJostledOffItsCachedPathSearchesItsOwn)
{
    SimWorld world(FilledRows(44, 36, 'E'));
    int mover = world.Add(2402, 1, 10.5f, 10.5f, 2);
    int enemy = world.Add(2101, 2, 30.5f, 30.5f, 0);
    const std::string stale = std::string{PathChar(10), PathChar(30), PathChar(30), PathChar(30), PathChar(30), PathChar(30)};
    CachePath(10, 10, 30, 30, stale); // a way down and across, as a search elsewhere found it
    Unit& unit = Units[size_t(mover)];
    unit.target = Units[size_t(enemy)].id;
    unit.holdTarget = 1;
    unit.destX = unit.destY = 30.5f;
    world.Run(1);
    ASSERT_EQ(Units[size_t(mover)].path, stale) << "first it takes the cached way";
    Units[size_t(mover)].pushCount = 20;
    world.Add(2402, 1, 10.6f, 10.6f, 0); // right on top of it: the next push passes the limit
    std::string taken;
    world.Run(60, [&] {
        taken = Units[size_t(mover)].path;
        return !taken.empty() && taken != stale;
    });
    EXPECT_FALSE(taken.empty()) << "a new way";
    EXPECT_NE(taken, stale) << "its own search's, straight across";
}
