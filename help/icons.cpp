// help/icons.cpp - the two tree icons, drawn as character pictures: a closed blue book for
// entries with sub-entries, a sheet of sand-coloured paper for single entries.
#include "help/viewer.h"

#include "platform/image.h"

// One character per pixel; '.' is transparent.
static const char* const Book[16] = {
    "................",
    "...kkkkkkkkkk...",
    "..kBBBBBBBBBBk..",
    "..kBbBBBBBBBBk..",
    "..kBbBBwwwwBBk..",
    "..kBbBBBBBBBBk..",
    "..kBbBBwwwBBBk..",
    "..kBbBBBBBBBBk..",
    "..kBbBBBBBBBBk..",
    "..kBbBBBgBBBBk..",
    "..kBbBBgggBBBk..",
    "..kBbBBBBBBBBk..",
    "..kBbppppppppk..",
    "..kBbppppppppk..",
    "...kkkkkkkkkkk..",
    "................",
};
static const char* const Sheet[16] = {
    "................",
    "..kkkkkkkk......",
    "..kppppppkk.....",
    "..kppppppkdk....",
    "..kppppppkkkk...",
    "..kpllllllppk...",
    "..kppppppppppk..",
    "..kpllllllllpk..",
    "..kppppppppppk..",
    "..kpllllllllpk..",
    "..kppppppppppk..",
    "..kplllllpppk...",
    "..kppppppppppk..",
    "..kppppppppppk..",
    "..kkkkkkkkkkkk..",
    "................",
};

static uint32_t Colour(char c)
{
    switch (c) {
    case 'k': return PackColour(40, 28, 16);    // outline
    case 'B': return PackColour(46, 84, 150);   // book cover
    case 'b': return PackColour(24, 48, 96);    // spine
    case 'w': return PackColour(236, 226, 196); // title label
    case 'g': return PackColour(222, 170, 60);  // golden emblem
    case 'p': return PackColour(246, 232, 196); // paper
    case 'd': return PackColour(200, 180, 140); // folded corner
    case 'l': return PackColour(150, 120, 80);  // lines of writing
    default: return PackColour(0, 0, 0, 0);
    }
}

static void Draw(const char* const rows[16], Image& icon)
{
    MakeImage(icon, 16, 16, PackColour(0, 0, 0, 0));
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16 && rows[y][x]; x++) icon.pixels[size_t(y * 16 + x)] = Colour(rows[y][x]);
}

void BranchIcon(Image& icon) { Draw(Book, icon); }
void LeafIcon(Image& icon) { Draw(Sheet, icon); }
