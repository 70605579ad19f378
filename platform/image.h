// platform/image.h - pixel buffers and the BMP/JPEG codecs behind every picture of the suite.
//
// Pixels are 32-bit 0xAARRGGBB values, rows top to bottom. Decoders give alpha 255 everywhere;
// the picture store bakes the transparent colour into alpha when a picture is loaded.
// Codecs work on bytes in memory and never touch files, so they can be fuzzed on their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A side longer than this is refused: no picture of the game comes close, and it keeps a lying
// header from asking for gigabytes.
constexpr int MaxImageSide = 16384;

struct Image {
    int width = 0;                 // pixels, 0 when empty
    int height = 0;                // pixels
    std::vector<uint32_t> pixels;  // width * height values, 0xAARRGGBB, row-major, top row first
};

inline uint32_t PackColour(int r, int g, int b, int a = 255)
{
    return (uint32_t(a & 255) << 24) | (uint32_t(r & 255) << 16) | (uint32_t(g & 255) << 8) | uint32_t(b & 255);
}
inline int ColourRed(uint32_t c) { return int((c >> 16) & 255); }
inline int ColourGreen(uint32_t c) { return int((c >> 8) & 255); }
inline int ColourBlue(uint32_t c) { return int(c & 255); }
inline int ColourAlpha(uint32_t c) { return int((c >> 24) & 255); }

// Makes an image of w x h filled with one colour; 0 when a side is not 1..MaxImageSide.
int MakeImage(Image& image, int w, int h, uint32_t fill);

// BMP: 1, 4, 8 bit palette, 16 bit (5-5-5 or bit fields), 24 and 32 bit; bottom-up and top-down.
// 1 on success; 0 for anything truncated, compressed (RLE), oversized or inconsistent, and then
// `image` is left empty.
int DecodeBmp(const uint8_t* data, size_t size, Image& image);
// Uncompressed 24-bit bottom-up BMP with 4-byte row padding; alpha is dropped.
std::string EncodeBmp24(const Image& image);

// JPEG through libjpeg: grey and colour files; 1 on success, 0 (image empty) on broken data.
int DecodeJpeg(const uint8_t* data, size_t size, Image& image);
// Baseline colour JPEG of the given quality 1..100; empty string when the image is empty.
std::string EncodeJpeg(const Image& image, int quality);

// Reads either format by looking at the first bytes ("BM" or FF D8); 0 for anything else.
int DecodeImage(const uint8_t* data, size_t size, Image& image);
