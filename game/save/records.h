// game/save/records.h - the fields of a building, a unit and a shot in the order the save file
// and the network snapshots carry them, written once for both directions.
//
// `io` is a writer or a reader with the same five calls: Long (a whole number), Float (a float
// kept rounded), Cells (a position kept x 32), Text, and Within (a whole number that a reader
// holds to lo..hi; a writer just writes it). The save file keeps the selection marks; the
// network leaves them out (every player selects for himself) and carries the unit's spare
// field instead.
#pragma once

#include "game/sim/buildings.h"
#include "game/sim/combat.h"
#include "game/sim/units.h"
#include "game/sim/world.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include <string>

enum class RecordUse { SaveFile, Network };

// Files and messages keep whole numbers as 32-bit little-endian longs.
inline void AppendLong(std::string& out, int value)
{
    uint32_t bits = uint32_t(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(char((bits >> shift) & 255));
}
// Reads the long at `at` and moves past it; false (and `at` unmoved) when fewer than 4 bytes
// are left.
inline bool TakeLong(const std::string& data, size_t& at, int& value)
{
    if (at > data.size() || data.size() - at < 4) return false;
    uint32_t bits = 0;
    for (int i = 0; i < 4; i++) bits |= uint32_t(uint8_t(data[at + size_t(i)])) << (8 * i);
    at += 4;
    value = int32_t(bits);
    return true;
}

// A float field as files and messages keep it: rounded to the nearest whole number, ties to
// even, held to what a 32-bit number carries.
inline int RoundedField(float value)
{
    // nearbyint rounds ties to even in the default rounding mode.
    double rounded = std::nearbyint(double(value));
    if (!(rounded >= double(std::numeric_limits<int32_t>::min()))) return std::numeric_limits<int32_t>::min();
    if (rounded > double(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    return int(rounded);
}

template <class IO, class B>
void BuildingFields(IO& io, B& b, RecordUse use)
{
    io.Long(b.id);
    io.Long(b.typeId);
    io.Within(b.width, 0, 4096);
    io.Within(b.height, 0, 4096);
    io.Within(b.owner, 0, MaxPlayers);
    io.Float(b.hitPoints);
    io.Float(b.maxHitPoints);
    io.Float(b.buildProgress);
    io.Float(b.buildTotal);
    io.Cells(b.x);
    io.Cells(b.y);
    if (use == RecordUse::SaveFile) io.Long(b.selection);
    io.Long(b.currentItem);
    io.Text(b.queue);
    io.Float(b.remaining);
    io.Float(b.total);
    io.Long(b.energy);
    io.Float(b.rallyX);
    io.Float(b.rallyY);
    io.Long(b.stance);
    io.Long(b.state);
    io.Long(b.variant);
}

template <class IO, class U>
void UnitFields(IO& io, U& u, RecordUse use)
{
    io.Float(u.id);
    io.Float(u.typeId);
    io.Within(u.width, 0, 4096);
    io.Within(u.height, 0, 4096);
    io.Within(u.unitClass, 0, 6);
    io.Within(u.owner, 0, MaxPlayers);
    io.Float(u.hitPoints);
    io.Float(u.maxHitPoints);
    io.Cells(u.x);
    io.Cells(u.y);
    io.Long(u.pushCount);
    for (auto* value : {&u.heading, &u.turnSpeed, &u.turnRate, &u.speed, &u.maxSpeed, &u.target, &u.destX, &u.destY})
        io.Float(*value);
    if (use == RecordUse::SaveFile) io.Float(u.selection);
    io.Within(u.weapon, 0, 99);
    for (auto* value : {&u.range, &u.shotSpeed, &u.reload, &u.firePeriod, &u.harvestAmount, &u.damage, &u.repairAmount})
        io.Float(*value);
    io.Long(u.load);
    io.Within(u.stance, 0, 3);
    io.Float(u.waypointX);
    io.Float(u.waypointY);
    io.Text(u.path);
    io.Long(u.state);
    io.Within(u.group, -1, 9);
    if (use == RecordUse::Network) io.Long(u.spare);
}

template <class IO, class P>
void ShotFields(IO& io, P& p)
{
    io.Long(p.shooterId);
    io.Float(p.kind);
    io.Within(p.owner, 0, MaxPlayers);
    for (auto* value : {&p.x, &p.y, &p.heading, &p.speed, &p.damage, &p.repair, &p.life}) io.Float(*value);
}

template <class IO, class S>
void StormFields(IO& io, S& storm)
{
    io.Float(storm.x);
    io.Float(storm.y);
    io.Float(storm.direction);
    io.Long(storm.spare);
}
