// fuzz/fuzz_bmp.cpp - arbitrary bytes into the BMP reader, and through DecodeImage into the JPEG
// reader whenever the bytes happen to start like a JPEG.
#include "platform/image.h"

#include <cstdlib>

namespace {

// Stops the run when a result breaks what image.h promises: whole and opaque, or fully empty.
void CheckResult(int ok, const Image& image)
{
    if (!ok) {
        if (image.width != 0 || image.height != 0 || !image.pixels.empty())
            abort();
        return;
    }
    if (image.width < 1 || image.width > MaxImageSide || image.height < 1 || image.height > MaxImageSide)
        abort();
    if (image.pixels.size() != size_t(image.width) * size_t(image.height))
        abort();
    for (uint32_t pixel : image.pixels)
        if (ColourAlpha(pixel) != 255)
            abort();
}

// A decoded picture is opaque, so writing it out and reading it back must give it unchanged.
void CheckRoundTrip(const Image& image)
{
    std::string file = EncodeBmp24(image);
    Image back;
    if (!DecodeBmp(reinterpret_cast<const uint8_t*>(file.data()), file.size(), back))
        abort();
    if (back.width != image.width || back.height != image.height || back.pixels != image.pixels)
        abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Image image;
    int ok = DecodeBmp(data, size, image);
    CheckResult(ok, image);
    if (ok)
        CheckRoundTrip(image);

    Image any;
    CheckResult(DecodeImage(data, size, any), any);
    return 0;
}
