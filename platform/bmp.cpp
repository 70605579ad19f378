// platform/bmp.cpp - reading and writing Windows bitmaps.
//
// Pictures come from artists' paint programs as well as from our own tools, so the reader takes
// every uncompressed variant those programs write and refuses the rest outright. All sizes are
// worked out in 64 bits and checked against the buffer before a single pixel is touched, so a
// lying header can neither read past the data nor make us allocate more than the file could fill.
#include "platform/image.h"

#include <bit>
#include <utility>

namespace {

constexpr uint32_t BmpRgb = 0;        // uncompressed
constexpr uint32_t BmpBitFields = 3;  // uncompressed, channels given by masks
constexpr uint64_t FileHeaderSize = 14;
constexpr uint32_t CoreHeaderSize = 12;

// Little-endian reader with a sticky failure flag: once a read runs off the end every later read
// gives 0, so a parser reads a whole header and checks `failed` once.
struct ByteReader {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
    int failed = 0;
};

// Reads `count` bytes (at most 4) as one little-endian number.
uint32_t ReadLe(ByteReader& reader, int count)
{
    if (reader.failed || reader.size - reader.pos < size_t(count)) {
        reader.failed = 1;
        return 0;
    }
    uint32_t value = 0;
    for (int i = 0; i < count; i++)
        value |= uint32_t(reader.data[reader.pos + i]) << (8 * i);
    reader.pos += size_t(count);
    return value;
}

uint32_t ReadU8(ByteReader& reader) { return ReadLe(reader, 1); }
uint32_t ReadU16(ByteReader& reader) { return ReadLe(reader, 2); }
uint32_t ReadU32(ByteReader& reader) { return ReadLe(reader, 4); }
int32_t ReadS32(ByteReader& reader) { return int32_t(ReadLe(reader, 4)); }

// Moves to an absolute offset; an offset past the end fails the reader like a short read.
void SeekTo(ByteReader& reader, uint64_t offset)
{
    if (reader.failed || offset > reader.size) {
        reader.failed = 1;
        return;
    }
    reader.pos = size_t(offset);
}

// One colour channel of a 16- or 32-bit pixel: where its bits sit and how to widen them to 8.
struct MaskChannel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    uint8_t widen[256] = {};  // value -> 0..255, used when the channel has 8 bits or fewer
};

// Everything the headers say about the pixel data, already checked for sense.
struct BmpLayout {
    int width = 0;
    int height = 0;
    int topDown = 0;
    int bits = 0;
    MaskChannel red, green, blue;
    uint32_t palette[256] = {};
    uint32_t paletteCount = 0;
    uint64_t pixelOffset = 0;
    uint64_t stride = 0;  // bytes per stored row, padding included
};

// Fills a channel from its mask; 0 for masks with holes, which no writer produces on purpose.
int SetMaskChannel(MaskChannel& channel, uint32_t mask)
{
    channel.mask = mask;
    channel.shift = 0;
    channel.bits = 0;
    if (mask == 0)
        return 1;  // channel absent: it reads as 0
    channel.shift = std::countr_zero(mask);
    uint32_t run = mask >> channel.shift;
    if ((run & (run + 1)) != 0)
        return 0;
    channel.bits = std::popcount(mask);
    if (channel.bits <= 8) {
        uint32_t top = (1u << channel.bits) - 1;
        for (uint32_t v = 0; v <= top; v++)
            channel.widen[v] = uint8_t((v * 255 + top / 2) / top);  // rounds, so full scale is 255
    }
    return 1;
}

// Widens one channel of a pixel to 0..255; wide channels keep their top 8 bits.
inline uint32_t ChannelValue(const MaskChannel& channel, uint32_t pixel)
{
    uint32_t v = (pixel & channel.mask) >> channel.shift;
    if (channel.bits <= 8)
        return channel.widen[v];
    return v >> (channel.bits - 8);
}

// Reads the three channel masks; 0 when one is malformed or reaches past the pixel's bits.
int ReadMasks(ByteReader& reader, BmpLayout& layout)
{
    uint32_t r = ReadU32(reader);
    uint32_t g = ReadU32(reader);
    uint32_t b = ReadU32(reader);
    uint32_t reach = layout.bits == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    if ((r | g | b) & ~reach)
        return 0;
    return SetMaskChannel(layout.red, r) && SetMaskChannel(layout.green, g) && SetMaskChannel(layout.blue, b);
}

// Masks a BI_RGB file implies: 5-5-5 for 16 bits, B,G,R,x bytes for 32.
int SetPlainMasks(BmpLayout& layout)
{
    if (layout.bits == 16)
        return SetMaskChannel(layout.red, 0x7C00) && SetMaskChannel(layout.green, 0x03E0) &&
               SetMaskChannel(layout.blue, 0x001F);
    return SetMaskChannel(layout.red, 0xFF0000) && SetMaskChannel(layout.green, 0xFF00) &&
           SetMaskChannel(layout.blue, 0xFF);
}

// Reads `count` palette entries of `entrySize` bytes (3 in the old OS/2 layout, 4 otherwise).
int ReadPalette(ByteReader& reader, BmpLayout& layout, uint32_t count, int entrySize)
{
    for (uint32_t i = 0; i < count; i++) {
        uint32_t b = ReadU8(reader);
        uint32_t g = ReadU8(reader);
        uint32_t r = ReadU8(reader);
        if (entrySize == 4)
            ReadU8(reader);
        layout.palette[i] = PackColour(int(r), int(g), int(b));
    }
    layout.paletteCount = count;
    return !reader.failed;
}

// Bit counts and compressions we decode; the old 12-byte header knows only palettes and 24 bits.
int FormatIsKnown(uint32_t infoSize, int bits, uint32_t compression)
{
    if (infoSize == CoreHeaderSize)
        return bits == 1 || bits == 4 || bits == 8 || bits == 24;
    if (compression == BmpBitFields)
        return bits == 16 || bits == 32;
    if (compression != BmpRgb)
        return 0;  // RLE, JPEG and PNG payloads are not used by the game
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Info header sizes in use: OS/2 1.x, Windows 3, the Adobe variants with masks, V4 and V5.
int InfoSizeIsKnown(uint32_t infoSize)
{
    return infoSize == CoreHeaderSize || infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 ||
           infoSize == 124;
}

// The header fields we use, as stored; the old 12-byte header leaves the later ones at defaults.
struct BmpHeader {
    uint64_t offBits = 0;
    uint32_t infoSize = 0;
    int64_t width = 0;
    int64_t height = 0;
    uint32_t planes = 0;
    int bits = 0;
    uint32_t compression = BmpRgb;
    uint32_t colourCount = 0;
};

// Reads the file header and the info header fields; 0 when truncated or not a bitmap.
int ReadHeader(ByteReader& reader, BmpHeader& header)
{
    uint32_t b = ReadU8(reader);
    uint32_t m = ReadU8(reader);
    ReadU32(reader);  // file size: often wrong in files from old tools, and not needed
    ReadU32(reader);  // reserved
    header.offBits = ReadU32(reader);
    header.infoSize = ReadU32(reader);
    if (reader.failed || b != 'B' || m != 'M' || !InfoSizeIsKnown(header.infoSize))
        return 0;
    if (header.infoSize == CoreHeaderSize) {
        header.width = ReadU16(reader);
        header.height = ReadU16(reader);
        header.planes = ReadU16(reader);
        header.bits = int(ReadU16(reader));
        return !reader.failed;
    }
    header.width = ReadS32(reader);
    header.height = ReadS32(reader);
    header.planes = ReadU16(reader);
    header.bits = int(ReadU16(reader));
    header.compression = ReadU32(reader);
    ReadU32(reader);  // image size: may be 0 for uncompressed data
    ReadU32(reader);  // horizontal resolution
    ReadU32(reader);  // vertical resolution
    header.colourCount = ReadU32(reader);
    ReadU32(reader);  // important colours
    return !reader.failed;
}

// Takes the sides from the header; a negative height means the top row is stored first.
int SetSides(const BmpHeader& header, BmpLayout& layout)
{
    // Height may be any int32, INT32_MIN included; 64 bits keep the negation defined.
    int64_t height = header.height < 0 ? -header.height : header.height;
    if (header.width < 1 || header.width > MaxImageSide || height < 1 || height > MaxImageSide)
        return 0;
    layout.width = int(header.width);
    layout.height = int(height);
    layout.topDown = header.height < 0;
    return 1;
}

// Reads masks or palette, whichever the bit count calls for; returns where the headers end
// (0 on failure), which is where pixel data may start at the earliest.
uint64_t ReadColours(ByteReader& reader, const BmpHeader& header, BmpLayout& layout)
{
    uint64_t headersEnd = FileHeaderSize + header.infoSize;
    if (layout.bits == 16 || layout.bits == 32) {
        if (header.compression != BmpBitFields)
            return SetPlainMasks(layout) ? headersEnd : 0;
        // The masks follow the first 40 bytes of the info header, where the reader stands now:
        // inside the larger headers, or after the 40-byte one, where they push the pixels back.
        if (!ReadMasks(reader, layout))
            return 0;
        return header.infoSize == 40 ? headersEnd + 12 : headersEnd;
    }
    if (layout.bits <= 8) {
        uint32_t most = 1u << layout.bits;
        uint32_t count = header.colourCount != 0 ? header.colourCount : most;
        if (count > most)
            return 0;
        SeekTo(reader, headersEnd);
        if (!ReadPalette(reader, layout, count, header.infoSize == CoreHeaderSize ? 3 : 4))
            return 0;
    }
    return headersEnd;
}

// Parses headers, masks and palette, and checks that the pixel rows lie inside the data.
int ReadBmpLayout(const uint8_t* data, size_t size, BmpLayout& layout)
{
    ByteReader reader{data, size, 0, 0};
    BmpHeader header;
    if (!ReadHeader(reader, header) || header.planes != 1 ||
        !FormatIsKnown(header.infoSize, header.bits, header.compression))
        return 0;
    layout.bits = header.bits;
    if (!SetSides(header, layout))
        return 0;
    uint64_t headersEnd = ReadColours(reader, header, layout);
    if (headersEnd == 0)
        return 0;
    layout.pixelOffset = header.offBits;
    layout.stride = (uint64_t(layout.width) * uint64_t(layout.bits) + 31) / 32 * 4;
    uint64_t pixelBytes = layout.stride * uint64_t(layout.height);
    return header.offBits >= headersEnd && header.offBits <= size && pixelBytes <= size - header.offBits;
}

// Decodes one row of palette indices; 0 when an index points past the palette.
int DecodeIndexedRow(const BmpLayout& layout, const uint8_t* src, uint32_t* out)
{
    int bits = layout.bits;
    if (bits == 8) {
        for (int x = 0; x < layout.width; x++) {
            if (src[x] >= layout.paletteCount)
                return 0;
            out[x] = layout.palette[src[x]];
        }
        return 1;
    }
    int perByte = 8 / bits;  // leftmost pixel in the high bits
    uint32_t valueMask = (1u << bits) - 1;
    for (int x = 0; x < layout.width; x++) {
        int slot = x % perByte;
        uint32_t index = (uint32_t(src[x / perByte]) >> (8 - bits * (slot + 1))) & valueMask;
        if (index >= layout.paletteCount)
            return 0;
        out[x] = layout.palette[index];
    }
    return 1;
}

// Decodes one row of B,G,R byte triples.
void DecodeRow24(const BmpLayout& layout, const uint8_t* src, uint32_t* out)
{
    for (int x = 0; x < layout.width; x++, src += 3)
        out[x] = 0xFF000000u | (uint32_t(src[2]) << 16) | (uint32_t(src[1]) << 8) | src[0];
}

// Decodes one row of 16- or 32-bit pixels through the channel masks; alpha is always opaque.
void DecodeMaskedRow(const BmpLayout& layout, const uint8_t* src, uint32_t* out)
{
    int bytes = layout.bits / 8;
    for (int x = 0; x < layout.width; x++, src += bytes) {
        uint32_t pixel = uint32_t(src[0]) | (uint32_t(src[1]) << 8);
        if (bytes == 4)
            pixel |= (uint32_t(src[2]) << 16) | (uint32_t(src[3]) << 24);
        out[x] = 0xFF000000u | (ChannelValue(layout.red, pixel) << 16) | (ChannelValue(layout.green, pixel) << 8) |
                 ChannelValue(layout.blue, pixel);
    }
}

// Decodes all rows into `image`, turning bottom-up files the right way round.
int DecodeBmpPixels(const uint8_t* data, const BmpLayout& layout, Image& image)
{
    image.width = layout.width;
    image.height = layout.height;
    image.pixels.resize(size_t(layout.width) * size_t(layout.height));
    for (int fileRow = 0; fileRow < layout.height; fileRow++) {
        const uint8_t* src = data + layout.pixelOffset + uint64_t(fileRow) * layout.stride;
        int y = layout.topDown ? fileRow : layout.height - 1 - fileRow;
        uint32_t* out = image.pixels.data() + size_t(y) * size_t(layout.width);
        if (layout.bits <= 8) {
            if (!DecodeIndexedRow(layout, src, out))
                return 0;
        } else if (layout.bits == 24) {
            DecodeRow24(layout, src, out);
        } else {
            DecodeMaskedRow(layout, src, out);
        }
    }
    return 1;
}

// Writes `value` as `count` little-endian bytes at `pos`.
void PutLe(std::string& out, size_t pos, uint32_t value, int count)
{
    for (int i = 0; i < count; i++)
        out[pos + size_t(i)] = char((value >> (8 * i)) & 255);
}

}  // namespace

int DecodeBmp(const uint8_t* data, size_t size, Image& image)
{
    image = Image{};
    if (data == nullptr)
        return 0;
    BmpLayout layout;
    if (!ReadBmpLayout(data, size, layout))
        return 0;
    Image decoded;
    if (!DecodeBmpPixels(data, layout, decoded))
        return 0;
    image = std::move(decoded);
    return 1;
}

std::string EncodeBmp24(const Image& image)
{
    if (image.width < 1 || image.width > MaxImageSide || image.height < 1 || image.height > MaxImageSide ||
        image.pixels.size() != size_t(image.width) * size_t(image.height))
        return {};
    size_t stride = (size_t(image.width) * 3 + 3) / 4 * 4;
    size_t pixelBytes = stride * size_t(image.height);
    constexpr size_t headerBytes = 54;
    std::string out(headerBytes + pixelBytes, '\0');

    out[0] = 'B';
    out[1] = 'M';
    PutLe(out, 2, uint32_t(out.size()), 4);
    PutLe(out, 10, uint32_t(headerBytes), 4);
    PutLe(out, 14, 40, 4);
    PutLe(out, 18, uint32_t(image.width), 4);
    PutLe(out, 22, uint32_t(image.height), 4);  // positive: bottom row first
    PutLe(out, 26, 1, 2);
    PutLe(out, 28, 24, 2);
    PutLe(out, 30, BmpRgb, 4);
    PutLe(out, 34, uint32_t(pixelBytes), 4);
    PutLe(out, 38, 2835, 4);  // 72 dpi, what paint programs expect to see
    PutLe(out, 42, 2835, 4);

    for (int y = 0; y < image.height; y++) {
        const uint32_t* src = image.pixels.data() + size_t(image.height - 1 - y) * size_t(image.width);
        char* dst = out.data() + headerBytes + size_t(y) * stride;
        for (int x = 0; x < image.width; x++, dst += 3) {
            dst[0] = char(ColourBlue(src[x]));
            dst[1] = char(ColourGreen(src[x]));
            dst[2] = char(ColourRed(src[x]));
        }
    }
    return out;
}
