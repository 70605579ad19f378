// Picture codecs: BMP files are built here byte by byte from the file layout, so a reader that
// misplaces a field fails against bytes it did not write itself.
#include "platform/image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>  // jpeglib.h uses FILE without including stdio.h itself
#include <cstdlib>
#include <jpeglib.h>

namespace {

using Bytes = std::vector<uint8_t>;

// Appends little-endian values, as every BMP field is stored.
void Put16(Bytes& b, uint32_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

void Put32(Bytes& b, uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// BITMAPINFOHEADER fields; `headerSize` above 40 pads with zeros (V4/V5 colour-space fields).
Bytes InfoHeader(int32_t w, int32_t h, int bits, uint32_t compression = 0, uint32_t coloursUsed = 0,
                 uint32_t headerSize = 40, int planes = 1)
{
    Bytes b;
    Put32(b, headerSize);
    Put32(b, uint32_t(w));
    Put32(b, uint32_t(h));
    Put16(b, uint32_t(planes));
    Put16(b, uint32_t(bits));
    Put32(b, compression);
    Put32(b, 0);  // image size, allowed to be 0 when uncompressed
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, coloursUsed);
    Put32(b, 0);
    b.resize(headerSize, 0);
    return b;
}

// "BM" file header + info header + whatever sits between it and the pixels (masks, palette).
Bytes BmpFile(const Bytes& info, const Bytes& between, const Bytes& pixels)
{
    Bytes b = {'B', 'M'};
    uint32_t offBits = uint32_t(14 + info.size() + between.size());
    Put32(b, uint32_t(offBits + pixels.size()));
    Put32(b, 0);
    Put32(b, offBits);
    b.insert(b.end(), info.begin(), info.end());
    b.insert(b.end(), between.begin(), between.end());
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

// Palette entries as stored: B, G, R, 0.
Bytes Palette(std::initializer_list<uint32_t> colours)
{
    Bytes b;
    for (uint32_t c : colours) {
        b.push_back(uint8_t(ColourBlue(c)));
        b.push_back(uint8_t(ColourGreen(c)));
        b.push_back(uint8_t(ColourRed(c)));
        b.push_back(0);
    }
    return b;
}

// Reads back little-endian fields of a file we wrote.
uint32_t Le32(const std::string& s, size_t pos)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; i++)
        v |= uint32_t(uint8_t(s[pos + size_t(i)])) << (8 * i);
    return v;
}

uint32_t Le16(const std::string& s, size_t pos)
{
    return uint32_t(uint8_t(s[pos])) | (uint32_t(uint8_t(s[pos + 1])) << 8);
}

// The bytes of an encoded file, as the decoders take them.
const uint8_t* Data(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

// Decodes and checks for failure with the image emptied, though it held a picture before.
testing::AssertionResult Refused(const Bytes& file)
{
    Image image;
    MakeImage(image, 4, 4, 0xFF123456u);
    if (DecodeBmp(file.data(), file.size(), image))
        return testing::AssertionFailure() << "decoded as " << image.width << "x" << image.height;
    if (image.width != 0 || image.height != 0 || !image.pixels.empty())
        return testing::AssertionFailure() << "refused, but the old picture is still there";
    return testing::AssertionSuccess();
}

// Every pixel different, none with alpha 255, so dropped or swapped channels show.
Image Pattern(int w, int h)
{
    Image image;
    MakeImage(image, w, h, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            image.pixels[size_t(y * w + x)] = PackColour(x * 40 + 7, y * 50 + 3, x * 13 + y * 29 + 100, 17);
    return image;
}

const uint32_t Red = PackColour(255, 0, 0);
const uint32_t Green = PackColour(0, 255, 0);
const uint32_t Blue = PackColour(0, 0, 255);
const uint32_t White = PackColour(255, 255, 255);
const uint32_t Black = PackColour(0, 0, 0);
const uint32_t Odd = PackColour(10, 20, 30);

// 3 x 2 pictures, top row red green blue, bottom row white black odd; 9 bytes + 3 padding a row.
const Bytes TopRow24 = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0};
const Bytes BottomRow24 = {255, 255, 255, 0, 0, 0, 30, 20, 10, 0, 0, 0};
const std::vector<uint32_t> Expected3x2 = {Red, Green, Blue, White, Black, Odd};

// Rows as stored one after the other.
Bytes Concat(const Bytes& a, const Bytes& b)
{
    Bytes c = a;
    c.insert(c.end(), b.begin(), b.end());
    return c;
}

// The 3 x 2 picture as a plain bottom-up 24-bit file.
Bytes BottomUp24() { return BmpFile(InfoHeader(3, 2, 24), {}, Concat(BottomRow24, TopRow24)); }

}  // namespace

// ---- writing and reading back our own BMPs ----

TEST(BmpRoundTrip, OddWidthsKeepPixelsAndPadRows)
{
    for (auto [w, h] : {std::pair{3, 2}, std::pair{5, 3}, std::pair{1, 1}, std::pair{4, 2}}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        Image source = Pattern(w, h);
        std::string file = EncodeBmp24(source);
        size_t stride = size_t((w * 3 + 3) / 4 * 4);
        ASSERT_EQ(file.size(), 54 + stride * size_t(h));

        Image back;
        ASSERT_EQ(DecodeBmp(Data(file), file.size(), back), 1);
        ASSERT_EQ(back.width, w);
        ASSERT_EQ(back.height, h);
        for (size_t i = 0; i < source.pixels.size(); i++)
            EXPECT_EQ(back.pixels[i], source.pixels[i] | 0xFF000000u) << "pixel " << i;
    }
}

TEST(BmpRoundTrip, HeaderFieldsAndBottomUpOrder)
{
    Image source = Pattern(5, 3);
    std::string file = EncodeBmp24(source);
    ASSERT_EQ(file.size(), 102u);  // 54 + 3 rows of 15 bytes padded to 16
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(Le32(file, 2), 102u);   // file size
    EXPECT_EQ(Le32(file, 10), 54u);   // pixel offset
    EXPECT_EQ(Le32(file, 14), 40u);   // info header size
    EXPECT_EQ(Le32(file, 18), 5u);
    EXPECT_EQ(Le32(file, 22), 3u);    // positive: bottom-up
    EXPECT_EQ(Le16(file, 26), 1u);    // planes
    EXPECT_EQ(Le16(file, 28), 24u);
    EXPECT_EQ(Le32(file, 30), 0u);    // BI_RGB
    EXPECT_EQ(Le32(file, 34), 48u);   // image size
    EXPECT_EQ(Le32(file, 38), 2835u);
    EXPECT_EQ(Le32(file, 42), 2835u);
    EXPECT_EQ(Le32(file, 46), 0u);
    EXPECT_EQ(Le32(file, 50), 0u);

    // The first stored row is the bottom one, as B, G, R; the 16th byte of each row is padding.
    uint32_t bottomLeft = source.pixels[2 * 5];
    EXPECT_EQ(uint8_t(file[54]), ColourBlue(bottomLeft));
    EXPECT_EQ(uint8_t(file[55]), ColourGreen(bottomLeft));
    EXPECT_EQ(uint8_t(file[56]), ColourRed(bottomLeft));
    uint32_t topLeft = source.pixels[0];
    EXPECT_EQ(uint8_t(file[54 + 32]), ColourBlue(topLeft));
    for (size_t row = 0; row < 3; row++)
        EXPECT_EQ(file[54 + row * 16 + 15], 0);
}

TEST(BmpRoundTrip, SixtyFourSquareIsExactly12342Bytes)
{
    Image image;
    ASSERT_EQ(MakeImage(image, 64, 64, PackColour(200, 100, 50)), 1);
    EXPECT_EQ(EncodeBmp24(image).size(), 12342u);
}

TEST(BmpRoundTrip, EmptyOrInconsistentImageWritesNothing)
{
    EXPECT_TRUE(EncodeBmp24(Image{}).empty());
    Image shortOfPixels;
    shortOfPixels.width = 2;
    shortOfPixels.height = 2;
    shortOfPixels.pixels.assign(3, 0);
    EXPECT_TRUE(EncodeBmp24(shortOfPixels).empty());
}

// ---- reading hand-made BMPs ----

TEST(BmpDecode, TopDownAndBottomUpGiveSamePicture)
{
    Bytes bottomUp = BottomUp24();
    Bytes topDown = BmpFile(InfoHeader(3, -2, 24), {}, Concat(TopRow24, BottomRow24));
    Image a, b;
    ASSERT_EQ(DecodeBmp(bottomUp.data(), bottomUp.size(), a), 1);
    ASSERT_EQ(DecodeBmp(topDown.data(), topDown.size(), b), 1);
    EXPECT_EQ(a.width, 3);
    EXPECT_EQ(a.height, 2);
    EXPECT_EQ(a.pixels, Expected3x2);
    EXPECT_EQ(b.pixels, Expected3x2);
}

TEST(BmpDecode, OneBitPaletteAcrossByteBoundary)
{
    const uint32_t c0 = PackColour(0x30, 0x20, 0x10), c1 = PackColour(0xA0, 0xB0, 0xC0);
    // Width 10: two bytes of bits, leftmost pixel in the high bit, padded to 4 bytes.
    Bytes top = {0b10110011, 0b10000000, 0, 0};
    Bytes bottom = {0b00000000, 0b01000000, 0, 0};
    Bytes file = BmpFile(InfoHeader(10, 2, 1), Palette({c0, c1}), Concat(bottom, top));
    Image image;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), image), 1);
    std::vector<uint32_t> expected = {c1, c0, c1, c1, c0, c0, c1, c1, c1, c0,
                                      c0, c0, c0, c0, c0, c0, c0, c0, c0, c1};
    EXPECT_EQ(image.pixels, expected);
}

TEST(BmpDecode, FourBitPaletteSizedByColoursUsed)
{
    const uint32_t a = PackColour(1, 2, 3), b = PackColour(40, 50, 60), c = PackColour(250, 128, 7);
    Bytes file = BmpFile(InfoHeader(3, 1, 4, 0, 3), Palette({a, b, c}), {0x20, 0x10, 0, 0});
    Image image;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), image), 1);
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{c, a, b}));
}

TEST(BmpDecode, EightBitFullPaletteWhenColoursUsedIsZero)
{
    Bytes palette(256 * 4, 0);
    auto setEntry = [&](int i, uint8_t r, uint8_t g, uint8_t b) {
        palette[size_t(i) * 4] = b;
        palette[size_t(i) * 4 + 1] = g;
        palette[size_t(i) * 4 + 2] = r;
    };
    setEntry(0, 9, 8, 7);
    setEntry(7, 70, 71, 72);
    setEntry(255, 255, 254, 253);
    Bytes rows = {255, 0, 7, 0, /* bottom */ 7, 7, 0, 0 /* top */};
    Bytes file = BmpFile(InfoHeader(3, 2, 8), palette, rows);
    Image image;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), image), 1);
    uint32_t e0 = PackColour(9, 8, 7), e7 = PackColour(70, 71, 72), e255 = PackColour(255, 254, 253);
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{e7, e7, e0, e255, e0, e7}));
}

TEST(BmpDecode, OldCoreHeaderWithThreeBytePalette)
{
    Bytes core;
    Put32(core, 12);
    Put16(core, 2);
    Put16(core, 1);
    Put16(core, 1);
    Put16(core, 8);
    Bytes palette(256 * 3, 0);
    palette[3 * 1] = 0x33;  // entry 1: B, G, R
    palette[3 * 1 + 1] = 0x22;
    palette[3 * 1 + 2] = 0x11;
    palette[3 * 2 + 2] = 0xFF;
    Bytes file = BmpFile(core, palette, {2, 1, 0, 0});
    Image image;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), image), 1);
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{Red, PackColour(0x11, 0x22, 0x33)}));
}

TEST(BmpDecode, ThirtyTwoBitIgnoresFourthByte)
{
    Bytes file = BmpFile(InfoHeader(2, 1, 32), {}, {30, 20, 10, 0, 3, 2, 1, 128});
    Image image;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), image), 1);
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{Odd, PackColour(1, 2, 3)}));
}

TEST(BmpDecode, ThirtyTwoBitFieldsFollowTheMasks)
{
    // Stored R, G, B, x - the reverse of the usual byte order - so a reader ignoring masks fails.
    Bytes masks;
    Put32(masks, 0x000000FF);
    Put32(masks, 0x0000FF00);
    Put32(masks, 0x00FF0000);
    Bytes file = BmpFile(InfoHeader(1, 1, 32, 3), masks, {0x11, 0x22, 0x33, 0x00});
    Image image;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), image), 1);
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{PackColour(0x11, 0x22, 0x33)}));
}

TEST(BmpDecode, SixteenBitFiveFiveFive)
{
    // 0x7C00 red, 0x03E0 green, 0x4210 = 16 of 31 in each channel, which is 132 of 255.
    Bytes file = BmpFile(InfoHeader(3, 1, 16), {}, {0x00, 0x7C, 0xE0, 0x03, 0x10, 0x42, 0, 0});
    Image image;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), image), 1);
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{Red, Green, PackColour(132, 132, 132)}));
}

TEST(BmpDecode, SixteenBitFiveSixFiveMasksInsideV4Header)
{
    Bytes info = InfoHeader(3, 1, 16, 3, 0, 108);
    Bytes masks;
    Put32(masks, 0xF800);
    Put32(masks, 0x07E0);
    Put32(masks, 0x001F);
    std::copy(masks.begin(), masks.end(), info.begin() + 40);
    // 0x07E0 full green; 0x0400 = 32 of 63 green, which is 130 of 255; 0xF81F magenta.
    Bytes file = BmpFile(info, {}, {0xE0, 0x07, 0x00, 0x04, 0x1F, 0xF8, 0, 0});
    Image image;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), image), 1);
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{Green, PackColour(0, 130, 0), PackColour(255, 0, 255)}));
}

TEST(BmpDecode, V5HeaderTwentyFourBit)
{
    Bytes file = BmpFile(InfoHeader(3, 2, 24, 0, 0, 124), {}, Concat(BottomRow24, TopRow24));
    Image image;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), image), 1);
    EXPECT_EQ(image.pixels, Expected3x2);
}

TEST(BmpDecode, PixelsAreReadFromTheOffsetNotAfterTheHeader)
{
    // A gap of junk between headers and pixels, as some writers leave.
    Bytes file = BmpFile(InfoHeader(3, 2, 24), Bytes(6, 0xEE), Concat(BottomRow24, TopRow24));
    Image image;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), image), 1);
    EXPECT_EQ(image.pixels, Expected3x2);
}

// ---- refusing broken BMPs ----

TEST(BmpRefuse, WrongMagicAndTruncatedHeader)
{
    Bytes good = BottomUp24();
    Bytes magic = good;
    magic[1] = 'A';
    EXPECT_TRUE(Refused(magic));
    EXPECT_TRUE(Refused(Bytes(good.begin(), good.begin() + 30)));
    EXPECT_TRUE(Refused({'B', 'M'}));
    EXPECT_TRUE(Refused({}));
}

TEST(BmpRefuse, PixelDataOneByteShort)
{
    Bytes file = BottomUp24();
    file.pop_back();
    EXPECT_TRUE(Refused(file));
}

TEST(BmpRefuse, EveryShorterPrefixOfAGoodFile)
{
    Bytes file = BmpFile(InfoHeader(10, 2, 1), Palette({Red, Blue}), Bytes(8, 0x5A));
    Image image;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), image), 1);
    for (size_t n = 0; n < file.size(); n++) {
        Bytes prefix(file.begin(), file.begin() + std::ptrdiff_t(n));
        EXPECT_EQ(DecodeBmp(prefix.data(), prefix.size(), image), 0) << n << " bytes";
    }
}

TEST(BmpRefuse, SidesOutOfRangeEvenWithAllTheirData)
{
    // 1-bit rows keep these files small while carrying every byte their headers ask for.
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(20000, 1, 1), Palette({Red, Blue}), Bytes(2500, 0))));
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(1, -20000, 1), Palette({Red, Blue}), Bytes(80000, 0))));
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(0, 1, 24), {}, Bytes(4, 0))));
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(1, 0, 24), {}, Bytes(4, 0))));
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(-1, 1, 24), {}, Bytes(4, 0))));
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(1, INT32_MIN, 24), {}, Bytes(4, 0))));
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(INT32_MIN, 1, 24), {}, Bytes(4, 0))));
}

TEST(BmpRefuse, LargestSideIsAccepted)
{
    Bytes file = BmpFile(InfoHeader(MaxImageSide, -1, 1), Palette({Red, Blue}), Bytes(MaxImageSide / 8, 0xFF));
    Image image;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), image), 1);
    EXPECT_EQ(image.width, MaxImageSide);
    EXPECT_EQ(image.pixels.back(), Blue);
}

TEST(BmpRefuse, LyingPixelOffset)
{
    Bytes file = BottomUp24();
    auto setOffset = [&](uint32_t offset) {
        Bytes lying(file.begin(), file.begin() + 10);
        Put32(lying, offset);
        lying.insert(lying.end(), file.begin() + 14, file.end());
        return lying;
    };
    EXPECT_TRUE(Refused(setOffset(uint32_t(file.size()))));  // nothing left to read
    EXPECT_TRUE(Refused(setOffset(0xFFFFFFF0u)));
    EXPECT_TRUE(Refused(setOffset(20)));  // inside the headers

    Bytes masks;
    Put32(masks, 0xFF0000);
    Put32(masks, 0x00FF00);
    Put32(masks, 0x0000FF);
    Bytes onMasks = BmpFile(InfoHeader(1, 1, 32, 3), masks, {1, 2, 3, 0});
    Image image;
    ASSERT_EQ(DecodeBmp(onMasks.data(), onMasks.size(), image), 1);
    onMasks[10] = 14 + 40;  // pixels said to start on the masks that follow the header
    EXPECT_TRUE(Refused(onMasks));
}

TEST(BmpRefuse, CompressedPayloads)
{
    Bytes palette = Palette({Red, Green, Blue});
    // A run of two pixels, then end-of-picture; read as plain indices these bytes would pass,
    // so only the compression field can refuse them.
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(2, 1, 8, 1, 3), palette, {2, 1, 0, 1})));  // RLE8
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(2, 1, 4, 2, 3), palette, {2, 0x11, 0, 1})));  // RLE4
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(1, 1, 24, 4), {}, Bytes(64, 0))));  // JPEG inside
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(1, 1, 24, 5), {}, Bytes(64, 0))));  // PNG inside
}

TEST(BmpRefuse, InconsistentFields)
{
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(1, 1, 24, 0, 0, 40, 2), {}, Bytes(4, 0))));  // two planes
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(1, 1, 7), {}, Bytes(4, 0))));  // no such depth
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(1, 1, 0), {}, Bytes(4, 0))));
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(1, 1, 24, 0, 0, 64), {}, Bytes(4, 0))));  // unknown header
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(1, 1, 24, 3), Bytes(12, 0xFF), Bytes(4, 0))));  // masks on 24 bits
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(1, 1, 8, 0, 257), Bytes(257 * 4, 0), Bytes(4, 0))));
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(1, 1, 8, 0, 0xFFFFFFFFu), {}, Bytes(4, 0))));
}

TEST(BmpRefuse, BrokenMasks)
{
    Bytes holes, wide;
    Put32(holes, 0x0F0F);  // a channel split in two
    Put32(holes, 0x00F0);
    Put32(holes, 0x0000);
    Put32(wide, 0x1F0000);  // beyond the 16 bits of the pixel
    Put32(wide, 0x07E0);
    Put32(wide, 0x001F);
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(1, 1, 16, 3), holes, Bytes(4, 0))));
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(1, 1, 16, 3), wide, Bytes(4, 0))));
}

TEST(BmpRefuse, PaletteIndexPastPalette)
{
    Bytes palette = Palette({Red, Green, Blue});
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(3, 1, 4, 0, 3), palette, {0x12, 0x30, 0, 0})));
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(2, 1, 8, 0, 3), palette, {1, 5, 0, 0})));
    EXPECT_TRUE(Refused(BmpFile(InfoHeader(9, 1, 1, 0, 1), Palette({Red}), {0, 0x80, 0, 0})));
}

// ---- JPEG ----

namespace {

// A smooth picture, the kind JPEG keeps well; sides not multiples of 8 or 16 on purpose.
Image Gradient(int w, int h)
{
    Image image;
    MakeImage(image, w, h, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            image.pixels[size_t(y * w + x)] =
                PackColour(x * 255 / (w - 1), y * 255 / (h - 1), (x + y) * 255 / (w + h - 2));
    return image;
}

enum class Coding { Baseline, Progressive, Arithmetic, ManyScans };

// Writes a one-component JPEG straight through libjpeg, which EncodeJpeg never produces.
std::string GreyJpeg(int w, int h, int (*level)(int x, int y), Coding coding = Coding::Baseline)
{
    jpeg_compress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&info, &out, &outSize);
    info.image_width = JDIMENSION(w);
    info.image_height = JDIMENSION(h);
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (coding == Coding::Progressive)
        jpeg_simple_progression(&info);
    // 256 scans, all legal: every coefficient band sent alone and refined bit by bit.
    std::vector<jpeg_scan_info> scans;
    for (int k = 0; k < 64 && coding == Coding::ManyScans; k++)
        for (int al = 3; al >= 0; al--)
            scans.push_back(jpeg_scan_info{1, {0, 0, 0, 0}, k, k, al == 3 ? 0 : al + 1, al});
    if (coding == Coding::ManyScans) {
        info.scan_info = scans.data();
        info.num_scans = int(scans.size());
    }
    info.arith_code = coding == Coding::Arithmetic;
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(w));
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++)
            row[size_t(x)] = uint8_t(level(x, y));
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string file(reinterpret_cast<const char*>(out), outSize);
    free(out);
    return file;
}

// Decodes and checks for failure with the image emptied, though it held a picture before.
testing::AssertionResult JpegRefused(const std::string& file)
{
    Image image;
    MakeImage(image, 2, 2, 0xFFFFFFFFu);
    if (DecodeJpeg(Data(file), file.size(), image))
        return testing::AssertionFailure() << "decoded as " << image.width << "x" << image.height;
    if (image.width != 0 || image.height != 0 || !image.pixels.empty())
        return testing::AssertionFailure() << "refused, but the old picture is still there";
    return testing::AssertionSuccess();
}

// Deterministic noise (xorshift), so a failure repeats on every run.
uint32_t NextRandom(uint32_t& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

}  // namespace

TEST(Jpeg, GradientSurvivesEncodeAndDecode)
{
    Image source = Gradient(70, 45);
    std::string file = EncodeJpeg(source, 95);
    ASSERT_GE(file.size(), 4u);
    EXPECT_EQ(uint8_t(file[0]), 0xFF);
    EXPECT_EQ(uint8_t(file[1]), 0xD8);
    EXPECT_EQ(uint8_t(file[file.size() - 2]), 0xFF);
    EXPECT_EQ(uint8_t(file[file.size() - 1]), 0xD9);

    Image back;
    ASSERT_EQ(DecodeJpeg(Data(file), file.size(), back), 1);
    ASSERT_EQ(back.width, 70);
    ASSERT_EQ(back.height, 45);
    ASSERT_EQ(back.pixels.size(), source.pixels.size());
    long totalError = 0;
    int worst = 0;
    for (size_t i = 0; i < source.pixels.size(); i++) {
        uint32_t a = source.pixels[i], b = back.pixels[i];
        EXPECT_EQ(ColourAlpha(b), 255);
        for (int d : {ColourRed(a) - ColourRed(b), ColourGreen(a) - ColourGreen(b), ColourBlue(a) - ColourBlue(b)}) {
            totalError += std::abs(d);
            worst = std::max(worst, std::abs(d));
        }
    }
    EXPECT_LE(worst, 12);
    EXPECT_LT(double(totalError) / double(source.pixels.size() * 3), 2.0);
}

TEST(Jpeg, QualityChangesTheFile)
{
    Image noisy;
    ASSERT_EQ(MakeImage(noisy, 64, 64, 0), 1);
    uint32_t state = 12345;
    for (uint32_t& p : noisy.pixels)
        p = NextRandom(state) | 0xFF000000u;
    std::string high = EncodeJpeg(noisy, 95);
    std::string low = EncodeJpeg(noisy, 20);
    EXPECT_GT(high.size(), low.size() * 2);
    Image back;
    EXPECT_EQ(DecodeJpeg(Data(low), low.size(), back), 1);
    // Out-of-range qualities are pulled into 1..100 rather than refused.
    std::string zero = EncodeJpeg(noisy, 0);
    EXPECT_EQ(DecodeJpeg(Data(zero), zero.size(), back), 1);
}

TEST(Jpeg, EmptyImageEncodesToNothing)
{
    EXPECT_TRUE(EncodeJpeg(Image{}, 90).empty());
}

TEST(Jpeg, GreyFileDecodesToGreyPixels)
{
    std::string file = GreyJpeg(33, 17, [](int x, int) { return x * 7; });
    Image image;
    ASSERT_EQ(DecodeJpeg(Data(file), file.size(), image), 1);
    ASSERT_EQ(image.width, 33);
    ASSERT_EQ(image.height, 17);
    for (int y = 0; y < 17; y++)
        for (int x = 0; x < 33; x++) {
            uint32_t p = image.pixels[size_t(y * 33 + x)];
            ASSERT_EQ(ColourRed(p), ColourGreen(p));
            ASSERT_EQ(ColourRed(p), ColourBlue(p));
            EXPECT_NEAR(ColourRed(p), x * 7, 8) << x << "," << y;
            EXPECT_EQ(ColourAlpha(p), 255);
        }
}

TEST(Jpeg, ProgressiveFileDecodes)
{
    std::string file = GreyJpeg(40, 30, [](int x, int y) { return (x + y) * 3; }, Coding::Progressive);
    Image image;
    ASSERT_EQ(DecodeJpeg(Data(file), file.size(), image), 1);
    ASSERT_EQ(image.pixels.size(), 40u * 30u);
    EXPECT_NEAR(ColourGreen(image.pixels[size_t(29 * 40 + 39)]), (39 + 29) * 3, 8);
}

TEST(Jpeg, EndlessScanListsAreRefused)
{
    EXPECT_TRUE(JpegRefused(GreyJpeg(16, 16, [](int x, int y) { return x * y; }, Coding::ManyScans)));
}

TEST(Jpeg, ArithmeticCodingIsRefused)
{
    // No tool of ours writes it, and it packs huge pictures into a few bytes; see jpeg.cpp.
    EXPECT_TRUE(JpegRefused(GreyJpeg(16, 16, [](int x, int) { return x * 16; }, Coding::Arithmetic)));
}

TEST(Jpeg, SideLimitHoldsForCompleteFiles)
{
    auto flat = [](int, int) { return 90; };
    std::string atLimit = GreyJpeg(MaxImageSide, 8, flat);
    Image image;
    ASSERT_EQ(DecodeJpeg(Data(atLimit), atLimit.size(), image), 1);
    EXPECT_EQ(image.width, MaxImageSide);
    EXPECT_TRUE(JpegRefused(GreyJpeg(MaxImageSide + 1, 8, flat)));
}

TEST(Jpeg, TruncatedFilesAreRefused)
{
    std::string file = EncodeJpeg(Gradient(64, 64), 90);
    EXPECT_TRUE(JpegRefused(file.substr(0, 100)));
    size_t scanStart = file.find("\xFF\xDA");
    ASSERT_NE(scanStart, std::string::npos);
    EXPECT_TRUE(JpegRefused(file.substr(0, (scanStart + file.size()) / 2)));  // headers whole, scan data cut
    EXPECT_TRUE(JpegRefused(file.substr(0, file.size() - 2)));  // only the end marker missing
    EXPECT_TRUE(JpegRefused(file.substr(0, 2)));
    Image image;
    EXPECT_EQ(DecodeJpeg(nullptr, 0, image), 0);
}

TEST(Jpeg, GarbageIsRefused)
{
    uint32_t state = 99;
    std::string garbage = "\xFF\xD8";
    for (int i = 0; i < 4000; i++)
        garbage.push_back(char(NextRandom(state)));
    EXPECT_TRUE(JpegRefused(garbage));
    EXPECT_TRUE(JpegRefused(garbage.substr(2)));
}

TEST(Jpeg, DamagedBytesNeverBreakTheDecoder)
{
    // Damage may or may not be detectable; what must hold is that a picture that comes back is whole.
    std::string good = EncodeJpeg(Gradient(40, 24), 80);
    uint32_t state = 7;
    for (int round = 0; round < 300; round++) {
        std::string damaged = good;
        for (int hits = 0; hits < 3; hits++)
            damaged[NextRandom(state) % damaged.size()] = char(NextRandom(state));
        Image image;
        if (DecodeJpeg(Data(damaged), damaged.size(), image)) {
            ASSERT_GT(image.width, 0);
            ASSERT_EQ(image.pixels.size(), size_t(image.width) * size_t(image.height));
        } else {
            ASSERT_TRUE(image.pixels.empty());
        }
    }
}

// ---- helpers in image.cpp ----

TEST(ImageHelpers, MakeImageFillsOrRefuses)
{
    Image image;
    ASSERT_EQ(MakeImage(image, 3, 2, 0x80402010u), 1);
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.pixels, std::vector<uint32_t>(6, 0x80402010u));
    for (auto [w, h] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{-3, 5}, std::pair{MaxImageSide + 1, 1}}) {
        EXPECT_EQ(MakeImage(image, w, h, 1), 0);
        EXPECT_EQ(image.width, 0);
        EXPECT_TRUE(image.pixels.empty());
    }
}

TEST(ImageHelpers, DecodeImageTellsFormatsApart)
{
    Bytes bmp = BottomUp24();
    Image image;
    ASSERT_EQ(DecodeImage(bmp.data(), bmp.size(), image), 1);
    EXPECT_EQ(image.pixels, Expected3x2);

    std::string jpeg = EncodeJpeg(Gradient(20, 10), 90);
    ASSERT_EQ(DecodeImage(Data(jpeg), jpeg.size(), image), 1);
    EXPECT_EQ(image.width, 20);
    EXPECT_EQ(image.height, 10);

    std::string gif = "GIF89a\x01\x00\x01\x00";
    EXPECT_EQ(DecodeImage(Data(gif), gif.size(), image), 0);
    EXPECT_EQ(image.width, 0);
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_EQ(DecodeImage(Data(gif), 1, image), 0);
}
