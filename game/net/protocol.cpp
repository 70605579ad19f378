// game/net/protocol.cpp - the snapshots: written from the running game, and put into it.
#include "game/net/protocol.h"

#include "game/save/records.h"
#include "game/sim/gamestate.h"

#include <algorithm>
#include <cmath>

namespace {

void PutChat(NetBlock& block, const std::string& chat)
{
    if (chat.empty()) {
        block.PutText("NOCHAT");
    } else {
        block.PutText("CHAT");
        block.PutText(chat.substr(0, NetTextLength));
    }
}

// Every record led by its owner; with `onlyOwner` above 0 only that player's records.
void PutObjects(NetBlock& block, int onlyOwner)
{
    auto put = [&](const auto& list, auto fields) {
        int count = onlyOwner == 0 ? int(list.size())
                                   : int(std::count_if(list.begin(), list.end(), [&](const auto& r) { return r.owner == onlyOwner; }));
        block.PutInt(count);
        for (const auto& record : list)
            if (onlyOwner == 0 || record.owner == onlyOwner) {
                block.PutInt(record.owner);
                fields(record);
            }
    };
    put(Buildings, [&](const Building& b) { BuildingFields(block, b, RecordUse::Network); });
    put(Units, [&](const Unit& u) { UnitFields(block, u, RecordUse::Network); });
    put(Projectiles, [&](const Projectile& p) { ShotFields(block, p); });
}

// What the obstacle grid is made of: building footprints and tower cells. Only when a snapshot
// changes it is the grid rebuilt (and the path cache dropped).
uint64_t ObstacleSignature()
{
    uint64_t hash = 1469598103934665603ull;
    auto mix = [&](long long value) {
        hash ^= uint64_t(value);
        hash *= 1099511628211ull;
    };
    for (const Building& b : Buildings)
        for (long long value : {(long long)b.id, (long long)b.typeId, (long long)b.owner, (long long)std::floor(b.x),
                                (long long)std::floor(b.y), (long long)b.width, (long long)b.height})
            mix(value);
    for (const Unit& u : Units)
        if (IsTowerType(int(u.typeId))) {
            mix((long long)std::floor(u.x));
            mix((long long)std::floor(u.y));
        }
    return hash;
}

// Replaces the records of the owners `replaced` picks with the received ones, then rebuilds
// what the game derives from the lists.
template <class Replaced>
void Replace(ReceivedSnapshot& received, Replaced replaced)
{
    uint64_t before = ObstacleSignature();
    auto swap = [&](auto& list, auto& fresh) {
        list.erase(std::remove_if(list.begin(), list.end(), [&](const auto& r) { return replaced(r.owner); }), list.end());
        for (auto& record : fresh) list.push_back(std::move(record));
        fresh.clear();
    };
    swap(Buildings, received.buildings);
    swap(Units, received.units);
    swap(Projectiles, received.shots);
    IndexBuildings();
    IndexUnits();
    if (ObstacleSignature() != before) RecomputeObstacles();
}

} // namespace

void PutGameSnapshot(NetBlock& block, const std::string& chat, int lowestFrameRate)
{
    block.Start("DATEN");
    PutChat(block, chat);
    block.PutInt(lowestFrameRate);
    PutObjects(block, 0);
    block.PutInt(int(Sandstorms.size()));
    for (const Sandstorm& storm : Sandstorms) StormFields(block, storm);
    block.PutInt(TimeOfDay);
    block.PutInt(ElapsedSeconds);
    block.PutInt(int(std::lround(GameSpeed)));
}

void PutClientSnapshot(NetBlock& block, const std::string& chat, int player, int frameRate)
{
    block.Start("DATEN");
    PutChat(block, chat);
    block.PutInt(player);
    block.PutInt(frameRate);
    PutObjects(block, player);
}

void PutWatcherSnapshot(NetBlock& block, const std::string& chat, int frameRate)
{
    block.Start("DATEN");
    PutChat(block, chat);
    block.PutInt(0);
    block.PutInt(frameRate);
    for (int list = 0; list < 3; list++) block.PutInt(0);
}

bool ApplyGameSnapshot(const std::string& block, int localPlayer, ReceivedSnapshot& snapshot)
{
    if (!ReadGameSnapshot(block, localPlayer, RunningGameBounds(), snapshot)) return false;
    Replace(snapshot, [&](int owner) { return owner != localPlayer; });
    Sandstorms = std::move(snapshot.storms);
    TimeOfDay = snapshot.timeOfDay;
    ElapsedSeconds = snapshot.elapsedSeconds;
    GameSpeed = float(snapshot.gameSpeed);
    return true;
}

bool ApplyClientSnapshot(const std::string& block, int sender, ReceivedSnapshot& snapshot)
{
    if (!ReadClientSnapshot(block, sender, RunningGameBounds(), snapshot)) return false;
    Replace(snapshot, [&](int owner) { return owner == sender; });
    return true;
}

RecordBounds RunningGameBounds() { return RecordBounds{MapWidth, MapHeight, PlayerCount}; }

int NetworkNextObjectId(int localPlayer)
{
    long long largest = FirstObjectId;
    for (const Building& b : Buildings) largest = std::max(largest, (long long)b.id);
    for (const Unit& u : Units) largest = std::max(largest, (long long)u.id);
    long long next = (largest / 10 + 2) * 10 + std::clamp(localPlayer, 0, 9);
    // Unit ids are floats: they stay whole numbers up to 2^24.
    return int(std::min<long long>(next, 16000000));
}
