// game/sim/opponent.h - the computer opponent: a player whose kind is 1 plays through the same
// queues and placements as a human. Each turn it takes stock of what it has, picks one wish
// from a fixed decision tree, follows the wish back to its first missing step, and carries
// that step out.
#pragma once

constexpr int AiKnowledgeSize = 3001;

extern int AiPhase;                       // shared by all computer players: 0 acts, 1 waits, 2 found no place
extern int AiKnowledge[AiKnowledgeSize];  // the turn's stock: [0] money, [1] energy, research flags, counts by type
// The decision of one turn; 0 for nothing.
extern int AiBuilding;   // building type to place
extern int AiUnit;       // unit type to order
extern int AiUnitCount;  // how many (always 1)
extern int AiResearch;   // research to start

// One turn of the computer playing `player` (nothing while the computer players are switched off).
void AiTurn(int player);
// The parts of a turn, open to tests: the stock, the decision tree, and a building placed
// around the player's last construction vehicle (1 placed; 0 when no spot or too little money
// was found, with AiPhase 2 after 512 failed attempts).
void TakeStock(int player);
void Think(int player);
int PlaceAiBuilding(int player, int typeId);
// What an item costs the computer: the price x (5 - difficulty) / 3, rounded.
int AiPrice(int id);
