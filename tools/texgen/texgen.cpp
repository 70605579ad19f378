// tools/texgen/texgen.cpp - the terrain transition tiles, built in memory and written as BMPs.
#include "tools/texgen/texgen.h"

#include "platform/files.h"

#include <algorithm>
#include <charconv>
#include <cmath>

// Row by row: each base tile with its turns. The diagonal tile is symmetric under a half turn,
// so only two of its turns exist. Masks 0 and 15 have no tile of their own: the plain textures
// stand in for them, turned, so the ground does not repeat visibly.
const TileCode TileTable[TilesPerPair] = {
    {PlainFirst, 0, "21"},    {PlainFirst, 1, "22"},    {PlainFirst, 2, "23"},    {PlainFirst, 3, "24"},
    {CornerTile, 0, "11"},    {CornerTile, 1, "07"},    {CornerTile, 2, "14"},    {CornerTile, 3, "13"},
    {EdgeTile, 0, "06"},      {EdgeTile, 1, "12"},      {EdgeTile, 2, "09"},      {EdgeTile, 3, "03"},
    {InverseCorner, 0, "04"}, {InverseCorner, 1, "08"}, {InverseCorner, 2, "01"}, {InverseCorner, 3, "02"},
    {PlainSecond, 0, "31"},   {PlainSecond, 1, "32"},   {PlainSecond, 2, "33"},   {PlainSecond, 3, "34"},
    {DiagonalTile, 0, "05"},  {DiagonalTile, 1, "10"},
};

double TexListReal = 0;
int TexListWhole = 0;
std::vector<TexturePair> TexturePairs;

static const uint32_t Black = PackColour(0, 0, 0);

// A real number at the start of a line (blanks before it allowed); 0 when there is none.
static double LeadingReal(const std::string& line)
{
    size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos) return 0;
    double value = 0;
    std::from_chars_result result = std::from_chars(line.data() + start, line.data() + line.size(), value);
    return result.ec == std::errc() && std::isfinite(value) ? value : 0;
}

// A whole number at the start of a line; 0 when there is none or it does not fit.
static int LeadingWhole(const std::string& line)
{
    size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos) return 0;
    int value = 0;
    std::from_chars_result result = std::from_chars(line.data() + start, line.data() + line.size(), value);
    return result.ec == std::errc() ? value : 0;
}

int ReadTexList(const std::string& text)
{
    TexturePairs.clear();
    TexListReal = 0;
    TexListWhole = 0;
    LineReader reader = MakeLineReader(text);
    std::string line;
    if (!ReadLine(reader, line)) return 0;
    TexListReal = LeadingReal(line);
    if (!ReadLine(reader, line)) return 0;
    TexListWhole = LeadingWhole(line);
    // Any text separates pairs; only an empty line ends the list, so the shipped list's two
    // empty lines at its end are where it stops.
    while (ReadLine(reader, line) && !line.empty()) {
        TexturePair pair;
        // A pair cut off by the end of the file names no textures: nothing is made of it.
        if (!ReadLine(reader, pair.first) || !ReadLine(reader, pair.second)) break;
        TexturePairs.push_back(pair);
    }
    return int(TexturePairs.size());
}

int MixChannel(int c1, int w1, int c2, int w2)
{
    return (c1 * w1 + c2 * w2) / FullWeight;
}

uint32_t MixColour(uint32_t c1, int w1, uint32_t c2)
{
    int w2 = FullWeight - w1;
    return PackColour(MixChannel(ColourRed(c1), w1, ColourRed(c2), w2),
                      MixChannel(ColourGreen(c1), w1, ColourGreen(c2), w2),
                      MixChannel(ColourBlue(c1), w1, ColourBlue(c2), w2));
}

// A pixel of a picture, black outside it, so a short or empty picture is never read past.
static uint32_t PixelOrBlack(const Image& picture, int x, int y)
{
    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return Black;
    size_t at = size_t(y) * size_t(picture.width) + size_t(x);
    return at < picture.pixels.size() ? picture.pixels[at] : Black;
}

void TextureFromImage(const Image& picture, Image& texture)
{
    MakeImage(texture, TileSide, TileSide, Black);
    for (int y = 0; y < TileSide; y++)
        for (int x = 0; x < TileSide; x++)
            texture.pixels[size_t(y * TileSide + x)] = PixelOrBlack(picture, x, y) | 0xFF000000u;
}

int LoadSourceTexture(const std::string& name, Image& texture)
{
    std::string bytes;
    Image picture;
    int loaded = ReadWholeFile("TEX_" + name + ".bmp", bytes) &&
                 DecodeBmp(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), picture);
    TextureFromImage(picture, texture);
    return loaded;
}

// Weight of the far-side texture of a corner tile: the distance of (x, y) from the bottom-right
// pixel, rounded, at most 63 - so everything 63.5 or more away is the far texture alone.
static int CornerDistanceWeight(int x, int y)
{
    int dx = TileSide - 1 - x, dy = TileSide - 1 - y;
    double r = std::sqrt(double(dx * dx + dy * dy));
    return std::min(int(std::lround(r)), FullWeight);
}

// One pixel of a base tile. The corner tiles sample both textures turned by a half turn, so
// the corner pixel of a tile shows the textures' own top-left pixel.
static uint32_t BasePixel(BaseTile base, const Image& t1, const Image& t2, int x, int y)
{
    int mx = TileSide - 1 - x, my = TileSide - 1 - y;
    switch (base) {
    case PlainFirst: return PixelOrBlack(t1, x, y);
    case PlainSecond: return PixelOrBlack(t2, x, y);
    case CornerTile:
        return MixColour(PixelOrBlack(t1, mx, my), CornerDistanceWeight(x, y), PixelOrBlack(t2, mx, my));
    case InverseCorner:
        return MixColour(PixelOrBlack(t1, mx, my), FullWeight - CornerDistanceWeight(x, y),
                         PixelOrBlack(t2, mx, my));
    case EdgeTile: return MixColour(PixelOrBlack(t1, x, y), x, PixelOrBlack(t2, x, y));
    case DiagonalTile:
        // Two inverse corners meeting on the anti-diagonal: the lower-right half as it is,
        // the upper-left half mirrored through the centre.
        if (x + y >= TileSide) return BasePixel(InverseCorner, t1, t2, x, y);
        return BasePixel(InverseCorner, t1, t2, mx, my);
    }
    return Black;
}

void BuildBaseTile(BaseTile base, const Image& t1, const Image& t2, Image& tile)
{
    MakeImage(tile, TileSide, TileSide, Black);
    for (int y = 0; y < TileSide; y++)
        for (int x = 0; x < TileSide; x++)
            tile.pixels[size_t(y * TileSide + x)] = BasePixel(base, t1, t2, x, y);
}

void TurnTile(const Image& tile, int quarterTurns, Image& turned)
{
    const int last = TileSide - 1;
    MakeImage(turned, TileSide, TileSide, Black);
    for (int y = 0; y < TileSide; y++)
        for (int x = 0; x < TileSide; x++) {
            int sx = x, sy = y; // where the turned pixel comes from
            switch (quarterTurns & 3) {
            case 1: sx = y, sy = last - x; break;
            case 2: sx = last - x, sy = last - y; break;
            case 3: sx = last - y, sy = x; break;
            default: break;
            }
            turned.pixels[size_t(y * TileSide + x)] = PixelOrBlack(tile, sx, sy);
        }
}

void BuildPairTiles(const Image& t1, const Image& t2, std::vector<Image>& tiles)
{
    Image bases[DiagonalTile + 1];
    for (int base = PlainFirst; base <= DiagonalTile; base++)
        BuildBaseTile(BaseTile(base), t1, t2, bases[base]);
    tiles.assign(TilesPerPair, Image{});
    for (int i = 0; i < TilesPerPair; i++)
        TurnTile(bases[TileTable[i].base], TileTable[i].quarterTurns, tiles[size_t(i)]);
}

std::string TileFileName(const TexturePair& pair, int index)
{
    return pair.first + "-" + pair.second + "-" + TileTable[index].code + ".bmp";
}

int IsPlainName(const std::string& name)
{
    return name.find_first_of("/\\") == std::string::npos;
}

int WritePairTiles(const TexturePair& pair)
{
    // A name like "..\..\x" or "/etc/x" would read and write outside the program's folder;
    // such a pair is left out and the list goes on.
    if (!IsPlainName(pair.first) || !IsPlainName(pair.second)) return 0;
    // A texture that cannot be loaded stays black; the tiles are made all the same, so a
    // missing file shows as black ground rather than as a missing tile.
    Image t1, t2;
    LoadSourceTexture(pair.first, t1);
    LoadSourceTexture(pair.second, t2);
    std::vector<Image> tiles;
    BuildPairTiles(t1, t2, tiles);
    int written = 0;
    for (int i = 0; i < TilesPerPair; i++)
        written += WriteWholeFile(TileFileName(pair, i), EncodeBmp24(tiles[size_t(i)]));
    return written;
}

int RunTexgen()
{
    std::string text;
    if (!ReadWholeFile("TEX.txt", text)) return 0;
    ReadTexList(text);
    int written = 0;
    for (const TexturePair& pair : TexturePairs)
        written += WritePairTiles(pair);
    return written;
}
