// fuzz/fuzz_texlist.cpp - arbitrary bytes as the tile generator's list, and the same bytes as a
// source texture that the tiles are built from, whatever size it decodes to.
#include "tools/texgen/texgen.h"

#include <cstdlib>
#include <string>

namespace {

// A list name is one line: it never holds a line end, so it can never split a file name.
void CheckNames(int pairs)
{
    if (pairs != int(TexturePairs.size())) abort();
    const std::string lineEnds("\r\n\0", 3);
    for (const TexturePair& pair : TexturePairs) {
        if (pair.first.find_first_of(lineEnds) != std::string::npos) abort();
        if (pair.second.find_first_of(lineEnds) != std::string::npos) abort();
        TileFileName(pair, TilesPerPair - 1);
    }
}

// Every tile is 64 x 64 and the first one is the first texture itself.
void CheckTiles(const Image& texture, const std::vector<Image>& tiles)
{
    if (texture.width != TileSide || texture.height != TileSide) abort();
    if (tiles.size() != size_t(TilesPerPair)) abort();
    for (const Image& tile : tiles)
        if (tile.width != TileSide || tile.height != TileSide || tile.pixels.size() != size_t(TileSide * TileSide))
            abort();
    if (tiles[0].pixels != texture.pixels) abort();
    if (EncodeBmp24(tiles[TilesPerPair - 1]).size() != 12342) abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckNames(ReadTexList(std::string(reinterpret_cast<const char*>(data), size)));
    // The decoded picture, of any size or none at all, is also handed over raw as the second
    // texture: the tile rules must never read past it.
    // Building tiles is the slow part, so it runs only for inputs that are pictures.
    Image picture, texture;
    if (!DecodeBmp(data, size, picture)) return 0;
    TextureFromImage(picture, texture);
    std::vector<Image> tiles;
    BuildPairTiles(texture, picture, tiles);
    CheckTiles(texture, tiles);
    return 0;
}
