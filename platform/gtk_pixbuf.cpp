// platform/gtk_pixbuf.cpp - 0xAARRGGBB pixels into a pixbuf's RGBA rows.
#include "platform/gtk_pixbuf.h"

GdkPixbuf* PixbufOf(const Image& picture)
{
    if (picture.width <= 0 || picture.height <= 0 || picture.pixels.size() != size_t(picture.width) * size_t(picture.height))
        return nullptr;
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, picture.width, picture.height);
    if (!pixbuf) return nullptr;
    guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
    int stride = gdk_pixbuf_get_rowstride(pixbuf);
    for (int y = 0; y < picture.height; y++)
        for (int x = 0; x < picture.width; x++) {
            uint32_t c = picture.pixels[size_t(y) * size_t(picture.width) + size_t(x)];
            guchar* p = pixels + y * stride + x * 4;
            p[0] = guchar(ColourRed(c));
            p[1] = guchar(ColourGreen(c));
            p[2] = guchar(ColourBlue(c));
            p[3] = guchar(ColourAlpha(c));
        }
    return pixbuf;
}
