// tools/texgen/texgen.h - the terrain transition tiles: 22 tiles of 64 x 64 per pair of textures.
//
// For each pair (A, B) of TEX.txt the generator loads "TEX_A.bmp" (T1) and "TEX_B.bmp" (T2) and
// writes "A-B-NN.bmp": both plain textures in four turns, and every way T1 can cover some of the
// four corners of a tile while T2 covers the rest. NN is the tile code the game picks tiles by,
// so the table of codes is part of the contract with the game. No randomness takes part: the
// tiles are a pure function of the list and the textures.
#pragma once

#include "platform/image.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr int TileSide = 64;     // pixels per side of a texture and of a tile
constexpr int TilesPerPair = 22; // files written per pair
constexpr int FullWeight = 63;   // the two weights of a mixed pixel always add up to this

// One pair of the list: the first texture covers the corners the tile code names.
struct TexturePair {
    std::string first;  // name A, Latin-1, as the list gives it (e.g. "Erde")
    std::string second; // name B (e.g. "Sand")
};

// The six tiles every turned copy is made from.
enum BaseTile {
    PlainFirst,    // T1 unchanged
    CornerTile,    // T2 in the bottom-right corner, T1 elsewhere
    EdgeTile,      // T1 along the right edge, T2 along the left
    InverseCorner, // T1 in the bottom-right corner, T2 elsewhere
    PlainSecond,   // T2 unchanged
    DiagonalTile   // T1 in the top-left and bottom-right corners
};

// One row of the tile-code table: which base tile, turned how far, is written under which code.
struct TileCode {
    BaseTile base;    // the tile that is turned
    int quarterTurns; // clockwise, 0..3
    const char* code; // two digits of the file name
};

// The 22 tiles of a pair in the order they are written.
extern const TileCode TileTable[TilesPerPair];

// The list as last read by ReadTexList.
extern double TexListReal;                    // first header line; kept, drives no pixel
extern int TexListWhole;                      // second header line; kept, drives no pixel
extern std::vector<TexturePair> TexturePairs; // pairs in list order

// Reads TEX.txt's text: two header lines, then per pair a separator line and the names A and B.
// An empty separator (or the end of the text) ends the list. Gives the number of pairs.
int ReadTexList(const std::string& text);

// One colour channel of a mixed pixel: (c1 * w1 + c2 * w2) / 63, remainder dropped.
int MixChannel(int c1, int w1, int c2, int w2);
// A pixel mixed from T1's colour at weight w1 and T2's at 63 - w1, channel by channel.
uint32_t MixColour(uint32_t c1, int w1, uint32_t c2);

// A 64 x 64 texture from a decoded picture: its top-left 64 x 64 pixels, black where the picture
// is smaller (or empty).
void TextureFromImage(const Image& picture, Image& texture);
// Loads "TEX_" + name + ".bmp" from the program's folder as a 64 x 64 texture; 1 when the file
// was read and decoded, 0 when the texture is all black instead.
int LoadSourceTexture(const std::string& name, Image& texture);

// Builds one of the six base tiles from two 64 x 64 textures.
void BuildBaseTile(BaseTile base, const Image& t1, const Image& t2, Image& tile);
// Turns a 64 x 64 tile clockwise by 0..3 quarter turns.
void TurnTile(const Image& tile, int quarterTurns, Image& turned);
// All 22 tiles of a pair, in TileTable order.
void BuildPairTiles(const Image& t1, const Image& t2, std::vector<Image>& tiles);

// "A-B-NN.bmp" for the tile in TileTable row `index`.
std::string TileFileName(const TexturePair& pair, int index);
// 1 when a name from a list can stand in a file name of the program's folder: a name carrying a
// folder separator would put files elsewhere, so such names are refused.
int IsPlainName(const std::string& name);

// Loads the pair's textures, builds and writes its 22 tiles; gives the number of files written.
int WritePairTiles(const TexturePair& pair);
// The whole run in the program's folder: TEX.txt, every pair in order. Gives the files written;
// a missing list or a failed write is no error.
int RunTexgen();
