// platform/image.cpp - blank images and reading a picture whatever its format.
#include "platform/image.h"

int MakeImage(Image& image, int w, int h, uint32_t fill)
{
    image = Image{};
    if (w < 1 || w > MaxImageSide || h < 1 || h > MaxImageSide)
        return 0;
    image.width = w;
    image.height = h;
    image.pixels.assign(size_t(w) * size_t(h), fill);
    return 1;
}

int DecodeImage(const uint8_t* data, size_t size, Image& image)
{
    image = Image{};
    if (data == nullptr || size < 2)
        return 0;
    // File names lie (a .jpg saved as BMP by a paint program is common), the first bytes do not.
    if (data[0] == 'B' && data[1] == 'M')
        return DecodeBmp(data, size, image);
    if (data[0] == 0xFF && data[1] == 0xD8)
        return DecodeJpeg(data, size, image);
    return 0;
}
