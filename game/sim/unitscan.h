// game/sim/unitscan.h - what a unit finds around it in its turn of the unit pass: the units it
// pushes aside, the target it picks, the threats its player remembers, and a harvester's next
// spice cell or incinerator.
#pragma once

struct Unit;

// 1 (the default): the bucket grid answers; 0: every question walks the whole list. Both give
// the same answers; the walk is kept as the plain statement of the rules.
extern int ScanWithBuckets;

// Per-owner lists of units and buildings for this pass; call once before the units' turns.
void PrepareUnitScan();
// Pushes every active unit that overlaps unit `index` away from it.
void SpaceUnits(int index);
// Lets unit `index` pick the nearest target its stance and kind allow.
void SearchTarget(int index);
// A work vehicle or tower gun that sees another player's unit within 384 pixels tells its
// player's threat memory the unit's class and whose it is.
void RememberThreats(int index);
// The id of the nearest ground tile on spice, or 0.
int NearestSpiceTile(const Unit& unit);
// The id of the nearest complete incinerator of the unit's player, or 0.
int NearestIncinerator(const Unit& unit);
