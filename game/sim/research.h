// game/sim/research.h - research: the fourteen flags of each player, which item may be
// ordered, and what a finished research changes.
#pragma once

// The research items in the order of the players' flags: weapons 712..716, unit families
// 722..726, economy 731..734.
constexpr int ResearchItems[14] = {712, 713, 714, 715, 716, 722, 723, 724, 725, 726, 731, 732, 733, 734};

// Index of a research id among the flags, or -1 for an id that is no research item.
int ResearchFlagIndex(int id);
// The player's flag for a research id (0 for an unknown id or player).
int HasResearch(int player, int id);
// Whether the player may order the item now: 1 yes; 0 its predecessor in the weapon or unit
// chain is missing; negative: done already. Economy items stand alone.
int ResearchAvailability(int player, int id);
// A finished research: the flag, the improved looks of the player's buildings, and the voice
// for the local player.
void CompleteResearch(int player, int id);
// The look a new building of the type takes after the player's research (added to the type).
int VariantFor(int player, int typeId);
