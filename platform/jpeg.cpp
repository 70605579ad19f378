// platform/jpeg.cpp - JPEG pictures through libjpeg.
//
// libjpeg reports a fatal error by calling error_exit, which must never return. We longjmp back to
// a setjmp in the routine that made the libjpeg call. A longjmp skips C++ destructors, so every
// routine holding a setjmp works only on plain structs and raw buffers that its caller allocated;
// the C++ objects live one level up, outside the jump's reach.
#include "platform/image.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>  // jpeglib.h uses FILE without including stdio.h itself
#include <cstdlib>
#include <utility>
#include <jerror.h>
#include <jpeglib.h>

namespace {

// Memory libjpeg may take for whole-picture coefficient buffers (progressive files). A few bytes
// of header can ask for a 16384 x 16384 progressive picture; past this budget libjpeg fails
// instead of clearing gigabytes. Progressive pictures up to about 11000 x 11000 in grey or
// 9000 x 9000 in colour still fit; sequential files need only a few rows and never reach it.
constexpr long JpegMemoryBudget = 256L * 1024 * 1024;

// A progressive file has a dozen scans; thousands of tiny ones would only make decoding crawl.
constexpr int JpegMostScans = 200;

// libjpeg's error fields with the jump target beside them; `manager` comes first, so the pointer
// libjpeg hands back to us is also a pointer to the whole trap.
struct JpegTrap {
    jpeg_error_mgr manager;
    jmp_buf jump;
};

// Replaces libjpeg's exit(): jumps back to the last setjmp of the routine that called libjpeg.
[[noreturn]] void JpegErrorExit(j_common_ptr info)
{
    longjmp(reinterpret_cast<JpegTrap*>(info->err)->jump, 1);
}

// libjpeg would print to stderr; a bad picture is reported through our return value instead.
void JpegOutputMessage(j_common_ptr) {}

// libjpeg only warns about damaged or missing scan data and fills the gap with grey. For the game
// a half-grey picture is a broken file, so those warnings fail like errors; harmless ones pass.
void JpegEmitMessage(j_common_ptr info, int level)
{
    if (level >= 0)
        return;  // trace output
    int code = info->err->msg_code;
    if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_HUFF_BAD_CODE ||
        code == JWRN_MUST_RESYNC || code == JWRN_BOGUS_PROGRESSION)
        JpegErrorExit(info);
    info->err->num_warnings++;
}

// Gives up on files with absurd scan counts; libjpeg calls this between rows and scans.
void JpegProgress(j_common_ptr info)
{
    if (info->is_decompressor && reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > JpegMostScans)
        JpegErrorExit(info);
}

// Points libjpeg's error handling at our trap.
void SetUpTrap(JpegTrap& trap, jpeg_error_mgr*& err)
{
    err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = JpegErrorExit;
    trap.manager.output_message = JpegOutputMessage;
    trap.manager.emit_message = JpegEmitMessage;
}

// A decoder in progress. Zero-filled at the start, so destroying it is safe at any stage.
struct JpegReader {
    jpeg_decompress_struct info;
    JpegTrap trap;
    jpeg_progress_mgr progress;
};

// Reads the header and starts decoding; 1 when rows are ready in grey or RGB.
int StartJpegRead(JpegReader* reader, const uint8_t* data, size_t size)
{
    SetUpTrap(reader->trap, reader->info.err);
    if (setjmp(reader->trap.jump))
        return 0;
    jpeg_create_decompress(&reader->info);
    reader->info.mem->max_memory_to_use = JpegMemoryBudget;
    reader->progress.progress_monitor = JpegProgress;
    reader->info.progress = &reader->progress;
    jpeg_mem_src(&reader->info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&reader->info, TRUE) != JPEG_HEADER_OK)
        return 0;
    // Our tools never write arithmetic coding, and it can spell a screen-sized picture in a few
    // bytes, which makes it the cheapest way for a broken file to cost us a gigabyte.
    if (reader->info.arith_code)
        return 0;
    if (reader->info.image_width > JDIMENSION(MaxImageSide) || reader->info.image_height > JDIMENSION(MaxImageSide))
        return 0;
    int grey = reader->info.jpeg_color_space == JCS_GRAYSCALE;
    reader->info.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&reader->info);
    return reader->info.output_components == (grey ? 1 : 3);
}

// Decodes the next row into `row` (width * components bytes); 1 on success.
int ReadJpegRow(JpegReader* reader, uint8_t* row)
{
    if (setjmp(reader->trap.jump))
        return 0;
    JSAMPROW rows[1] = {row};
    return jpeg_read_scanlines(&reader->info, rows, 1) == 1;
}

// Spreads one decoded row of grey or RGB bytes into opaque pixels.
void StoreJpegRow(const uint8_t* row, int width, int components, uint32_t* out)
{
    if (components == 1) {
        for (int x = 0; x < width; x++)
            out[x] = PackColour(row[x], row[x], row[x]);
        return;
    }
    for (int x = 0; x < width; x++, row += 3)
        out[x] = PackColour(row[0], row[1], row[2]);
}

// Decodes every row into `image`. The pixels grow row by row, so a header that promises a huge
// picture over a few bytes of data fails before it costs the full buffer. Room is reserved up
// front as far as the file could fill it: Huffman coding spends at least one bit on every 8 x 8
// block, so `fileSize` bytes hold at most fileSize * 8 * 64 pixels.
int ReadJpegPixels(JpegReader* reader, size_t fileSize, Image& image)
{
    int width = int(reader->info.output_width);
    int height = int(reader->info.output_height);
    int components = reader->info.output_components;
    std::vector<uint8_t> row(size_t(width) * size_t(components));
    image.width = width;
    image.height = height;
    image.pixels.reserve(std::min(size_t(width) * size_t(height), fileSize * 512));
    for (int y = 0; y < height; y++) {
        if (!ReadJpegRow(reader, row.data()))
            return 0;
        image.pixels.resize(size_t(y + 1) * size_t(width));
        StoreJpegRow(row.data(), width, components, image.pixels.data() + size_t(y) * size_t(width));
    }
    return 1;
}

// An encoder in progress; `out`/`outSize` are libjpeg's in-memory destination.
struct JpegWriter {
    jpeg_compress_struct info;
    JpegTrap trap;
    unsigned char* out;
    unsigned long outSize;
};

// Compresses `pixels` as a baseline RGB JPEG; `row` is caller-owned scratch of width * 3 bytes.
int WriteJpeg(JpegWriter* writer, const uint32_t* pixels, int width, int height, int quality, uint8_t* row)
{
    SetUpTrap(writer->trap, writer->info.err);
    if (setjmp(writer->trap.jump))
        return 0;
    jpeg_create_compress(&writer->info);
    jpeg_mem_dest(&writer->info, &writer->out, &writer->outSize);
    writer->info.image_width = JDIMENSION(width);
    writer->info.image_height = JDIMENSION(height);
    writer->info.input_components = 3;
    writer->info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&writer->info);
    jpeg_set_quality(&writer->info, quality, TRUE);
    jpeg_start_compress(&writer->info, TRUE);
    for (int y = 0; y < height; y++) {
        const uint32_t* src = pixels + size_t(y) * size_t(width);
        for (int x = 0; x < width; x++) {
            row[3 * x] = uint8_t(ColourRed(src[x]));
            row[3 * x + 1] = uint8_t(ColourGreen(src[x]));
            row[3 * x + 2] = uint8_t(ColourBlue(src[x]));
        }
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&writer->info, rows, 1);
    }
    jpeg_finish_compress(&writer->info);
    return 1;
}

}  // namespace

int DecodeJpeg(const uint8_t* data, size_t size, Image& image)
{
    image = Image{};
    if (data == nullptr || size == 0)
        return 0;
    JpegReader reader{};
    Image decoded;
    int ok = StartJpegRead(&reader, data, size) && ReadJpegPixels(&reader, size, decoded);
    // Rows are all in; the end of the file has nothing more for us, so no finish call is needed.
    jpeg_destroy_decompress(&reader.info);
    if (!ok)
        return 0;
    image = std::move(decoded);
    return 1;
}

std::string EncodeJpeg(const Image& image, int quality)
{
    if (image.width < 1 || image.width > MaxImageSide || image.height < 1 || image.height > MaxImageSide ||
        image.pixels.size() != size_t(image.width) * size_t(image.height))
        return {};
    // We hand libjpeg a buffer of our own, sized so most pictures fit. If the file outgrows it,
    // libjpeg moves to one it mallocs, and we learn where only on success; a failure after that
    // point can only be running out of memory, so that buffer is left to leak rather than guessed.
    std::vector<unsigned char> buffer(size_t(image.width) * size_t(image.height) / 2 + 4096);
    std::vector<uint8_t> row(size_t(image.width) * 3);
    JpegWriter writer{};
    writer.out = buffer.data();
    writer.outSize = static_cast<unsigned long>(buffer.size());
    int ok = WriteJpeg(&writer, image.pixels.data(), image.width, image.height, std::clamp(quality, 1, 100),
                       row.data());
    jpeg_destroy_compress(&writer.info);
    if (!ok)
        return {};
    std::string out(reinterpret_cast<const char*>(writer.out), writer.outSize);
    if (writer.out != buffer.data())
        free(writer.out);
    return out;
}
