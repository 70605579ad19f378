// game/sim/research.cpp - research flags, the ordering rules and their effects.
#include "game/sim/research.h"

#include "game/sim/buildings.h"
#include "game/sim/gamestate.h"
#include "game/sim/sounds.h"

int ResearchFlagIndex(int id)
{
    for (int i = 0; i < 14; i++)
        if (ResearchItems[i] == id) return i;
    return -1;
}

int HasResearch(int player, int id)
{
    int index = ResearchFlagIndex(id);
    if (index < 0 || player < 0 || player > MaxPlayers) return 0;
    return Players[player].research[index] ? 1 : 0;
}

// The first of each chain (Kugel, Speeder) and every economy item need nothing before them;
// every other chain item needs the one before.
int ResearchAvailability(int player, int id)
{
    if (ResearchFlagIndex(id) < 0) return 0;
    int own = HasResearch(player, id);
    int standsAlone = id == 712 || id == 722 || (id >= 731 && id <= 734);
    return (standsAlone ? 1 : HasResearch(player, id - 1)) - 2 * own;
}

int VariantFor(int player, int typeId)
{
    if (typeId == 1100 && HasResearch(player, 732)) return 2;
    if (typeId == 1200 && HasResearch(player, 733)) return 1;
    if (typeId == 1300 && HasResearch(player, 734)) return 1;
    return 0;
}

// The voice that tells of a finished research, by the decade of its id.
static int ResearchVoice(int id)
{
    if (id >= 711 && id <= 719) return 51;
    if (id >= 721 && id <= 729) return 52;
    if (id == 731) return 53;
    if (id >= 732 && id <= 739) return 54;
    return 0;
}

void CompleteResearch(int player, int id)
{
    int index = ResearchFlagIndex(id);
    if (player < 0 || player > MaxPlayers) return;
    if (index >= 0) Players[player].research[index] = 1;
    // The upgrades show on the buildings the player has already.
    for (Building& building : Buildings)
        if (building.owner == player && (building.typeId == 1100 || building.typeId == 1200 || building.typeId == 1300))
            building.variant = VariantFor(player, building.typeId);
    if (player == LocalPlayer && ResearchVoice(id)) PlayVoice(ResearchVoice(id));
}
