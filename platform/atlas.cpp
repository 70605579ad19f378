// platform/atlas.cpp - row packing of pictures into square pages.
#include "platform/atlas.h"

#include <algorithm>

namespace {

struct Shelf {
    int y, height, used;
};

// Places as many of `pending` (tallest first) as fit one page of `side`; returns what is left.
int Aligned(int size, int alignment) { return (size + alignment - 1) / alignment * alignment; }

std::vector<AtlasRequest> FillPage(const std::vector<AtlasRequest>& pending, int side, int padding, int alignment, int page,
                                   std::vector<AtlasPlacement>& placed)
{
    std::vector<AtlasRequest> left;
    std::vector<Shelf> shelves;
    int nextShelfY = 0;
    for (const AtlasRequest& request : pending) {
        int w = Aligned(request.width + 2 * padding, alignment), h = Aligned(request.height + 2 * padding, alignment);
        Shelf* home = nullptr;
        for (Shelf& shelf : shelves)
            if (h <= shelf.height && shelf.used + w <= side) {
                home = &shelf;
                break;
            }
        if (!home && nextShelfY + h <= side && w <= side) {
            shelves.push_back(Shelf{nextShelfY, h, 0});
            nextShelfY += h;
            home = &shelves.back();
        }
        if (!home) {
            left.push_back(request);
            continue;
        }
        placed.push_back(AtlasPlacement{request.number, page, home->used + padding, home->y + padding});
        home->used += w;
    }
    return left;
}

} // namespace

AtlasPacking PackAtlas(const std::vector<AtlasRequest>& requests, int maxSide, int padding, int alignment)
{
    alignment = std::max(1, alignment);
    AtlasPacking packing;
    std::vector<AtlasRequest> pending;
    for (const AtlasRequest& request : requests)
        if (request.width > 0 && request.height > 0 && Aligned(request.width + 2 * padding, alignment) <= maxSide &&
            Aligned(request.height + 2 * padding, alignment) <= maxSide)
            pending.push_back(request);
    // Tallest first, then widest, then by number, so that the same pictures always pack alike.
    std::stable_sort(pending.begin(), pending.end(), [](const AtlasRequest& a, const AtlasRequest& b) {
        if (a.height != b.height) return a.height > b.height;
        if (a.width != b.width) return a.width > b.width;
        return a.number < b.number;
    });
    while (!pending.empty()) {
        int page = int(packing.pageSides.size());
        // The smallest side that takes everything left, or the largest there is.
        int side = 64;
        std::vector<AtlasPlacement> trial;
        std::vector<AtlasRequest> left;
        for (;; side *= 2) {
            if (side > maxSide) side = maxSide;
            trial.clear();
            left = FillPage(pending, side, padding, alignment, page, trial);
            if (left.empty() || side == maxSide) break;
        }
        if (trial.empty()) break; // cannot happen: every request fits an empty page
        packing.placed.insert(packing.placed.end(), trial.begin(), trial.end());
        packing.pageSides.push_back(side);
        pending = left;
    }
    return packing;
}
