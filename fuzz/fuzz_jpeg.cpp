// fuzz/fuzz_jpeg.cpp - arbitrary bytes into the JPEG reader, which wraps libjpeg's error jumps.
#include "platform/image.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Image image;
    int ok = DecodeJpeg(data, size, image);
    if (!ok) {
        if (image.width != 0 || image.height != 0 || !image.pixels.empty())
            abort();
        return 0;
    }
    if (image.width < 1 || image.width > MaxImageSide || image.height < 1 || image.height > MaxImageSide ||
        image.pixels.size() != size_t(image.width) * size_t(image.height))
        abort();
    // Whatever we can read we must be able to write and read again at the same size; kept to
    // small pictures so the fuzzer spends its time on the reader.
    if (image.pixels.size() <= 256 * 256) {
        std::string file = EncodeJpeg(image, 75);
        Image back;
        if (!DecodeJpeg(reinterpret_cast<const uint8_t*>(file.data()), file.size(), back) ||
            back.width != image.width || back.height != image.height)
            abort();
    }
    return 0;
}
