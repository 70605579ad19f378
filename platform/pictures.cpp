// platform/pictures.cpp - the numbered picture store behind 2-D and 3-D drawing.
#include "platform/pictures.h"

#include "platform/files.h"
#include "platform/sdl_internal.h"

#include <algorithm>
#include <array>
#include <cstdio>

struct Picture {
    int exists = 0;
    Image image;                    // pixels; alpha 0 where the transparent colour was
    SDL_Texture* texture = nullptr; // display copy, made on first draw
    int textureStale = 1;           // pixels changed since the texture was made
};

static std::array<Picture, MaxPictures> Pictures;
static uint32_t TransparentColour = 0x000000; // 0xRRGGBB

static Picture* Find(int number)
{
    if (number < 0 || number >= MaxPictures || !Pictures[size_t(number)].exists) return nullptr;
    return &Pictures[size_t(number)];
}

void SetTransparentColour(int r, int g, int b) { TransparentColour = PackColour(r, g, b, 0); }

// Pixels of the transparent colour become see-through, every other pixel opaque.
static void BakeTransparentColour(Image& image)
{
    for (uint32_t& pixel : image.pixels) {
        uint32_t rgb = pixel & 0xFFFFFFu;
        pixel = rgb | (rgb == TransparentColour ? 0u : 0xFF000000u);
    }
}

static void Release(int number)
{
    Picture& picture = Pictures[size_t(number)];
    if (picture.texture) {
        FlushSprites(); // quads queued from this texture go out before it does
        SDL_DestroyTexture(picture.texture);
    }
    picture = Picture{};
}

void FreePicture(int number)
{
    if (number < 0 || number >= MaxPictures) return;
    Release(number);
    SpritePictureChanged(number);
}

int SetPictureImage(int number, const Image& image)
{
    if (number < 0 || number >= MaxPictures || image.width <= 0 || image.height <= 0) return 0;
    Release(number);
    Picture& picture = Pictures[size_t(number)];
    picture.image = image;
    picture.exists = 1;
    SpritePictureChanged(number);
    return 1;
}

int LoadPicture(int number, const std::string& path)
{
    FreePicture(number);
    std::string bytes;
    Image image;
    if (!ReadWholeFile(path, bytes) || !DecodeImage((const uint8_t*)bytes.data(), bytes.size(), image)) {
        std::fprintf(stderr, "korax: pictures: cannot load %s\n", path.c_str());
        return 0;
    }
    BakeTransparentColour(image);
    return SetPictureImage(number, image);
}

int CreatePicture(int number, int w, int h)
{
    Image image;
    if (!MakeImage(image, w, h, TransparentColour)) return 0;
    BakeTransparentColour(image);
    return SetPictureImage(number, image);
}

int PictureExists(int number) { return Find(number) != nullptr; }

const Image* PictureImage(int number)
{
    Picture* picture = Find(number);
    return picture ? &picture->image : nullptr;
}

int PictureWidth(int number)
{
    Picture* picture = Find(number);
    return picture ? picture->image.width : 0;
}

int PictureHeight(int number)
{
    Picture* picture = Find(number);
    return picture ? picture->image.height : 0;
}

int ReadPixel(int number, int x, int y)
{
    Picture* picture = Find(number);
    if (!picture || x < 0 || y < 0 || x >= picture->image.width || y >= picture->image.height) return 0;
    return int(picture->image.pixels[size_t(y) * size_t(picture->image.width) + size_t(x)] & 0xFFFFFFu);
}

// Uploads the pixels; see-through pixels go up black so that filtering and additive blending
// never bleed the key colour (magenta fringes) into the picture's edges.
static int UploadTexture(Picture& picture, SDL_Renderer* renderer)
{
    const Image& image = picture.image;
    if (!picture.texture) {
        picture.texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                                            image.width, image.height);
        if (!picture.texture) return 0;
    }
    std::vector<uint32_t> upload(image.pixels);
    for (uint32_t& pixel : upload)
        if ((pixel >> 24) == 0) pixel = 0;
    SDL_UpdateTexture(picture.texture, nullptr, upload.data(), image.width * 4);
    picture.textureStale = 0;
    return 1;
}

int PictureTextureStale(int number)
{
    Picture* picture = Find(number);
    return picture && picture->texture && picture->textureStale;
}

SDL_Texture* PictureTexture(int number)
{
    Picture* picture = Find(number);
    SDL_Renderer* renderer = CurrentRenderer();
    if (!picture || !renderer) return nullptr;
    if ((picture->textureStale || !picture->texture) && !UploadTexture(*picture, renderer)) return nullptr;
    return picture->texture;
}

void ReleasePictureTextures()
{
    for (Picture& picture : Pictures) {
        if (picture.texture) SDL_DestroyTexture(picture.texture);
        picture.texture = nullptr;
        picture.textureStale = 1;
    }
}

void DrawPicturePart(int number, int sx, int sy, int w, int h, int x, int y, int keyed)
{
    FlushSprites();
    SDL_Texture* texture = PictureTexture(number);
    if (!texture || w <= 0 || h <= 0) return;
    SDL_SetTextureBlendMode(texture, keyed ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
    SDL_SetTextureAlphaMod(texture, 255);
    SDL_SetTextureColorMod(texture, 255, 255, 255);
    SDL_Rect source{sx, sy, w, h};
    SDL_Rect target{x, y, w, h};
    SDL_RenderCopy(CurrentRenderer(), texture, &source, &target);
    CountDrawCall();
}

void DrawPicture(int number, int x, int y, int keyed)
{
    DrawPicturePart(number, 0, 0, PictureWidth(number), PictureHeight(number), x, y, keyed);
}

int CopyPictureRect(int from, int sx, int sy, int w, int h, int to, int dx, int dy)
{
    Picture* source = Find(from);
    Picture* target = Find(to);
    if (!source || !target) return 0;
    for (int row = 0; row < h; row++) {
        int fy = sy + row, ty = dy + row;
        if (fy < 0 || ty < 0 || fy >= source->image.height || ty >= target->image.height) continue;
        for (int col = 0; col < w; col++) {
            int fx = sx + col, tx = dx + col;
            if (fx < 0 || tx < 0 || fx >= source->image.width || tx >= target->image.width) continue;
            target->image.pixels[size_t(ty) * size_t(target->image.width) + size_t(tx)] =
                source->image.pixels[size_t(fy) * size_t(source->image.width) + size_t(fx)];
        }
    }
    target->textureStale = 1;
    SpritePictureChanged(to);
    return 1;
}

int CutPicture(int from, int sx, int sy, int w, int h, int to)
{
    if (!Find(from) || from == to || !CreatePicture(to, w, h)) return 0;
    CopyPictureRect(from, sx, sy, w, h, to, 0, 0);
    // As if the cut had been saved and loaded again: the key colour decides what is see-through.
    BakeTransparentColour(Pictures[size_t(to)].image);
    SpritePictureChanged(to);
    return 1;
}

static int OpaqueAt(const Image& image, int x, int y)
{
    return (image.pixels[size_t(y) * size_t(image.width) + size_t(x)] >> 24) != 0;
}

int PicturesOverlap(int a, int ax, int ay, int b, int bx, int by)
{
    Picture* first = Find(a);
    Picture* second = Find(b);
    if (!first || !second) return 0;
    const Image& imageA = first->image;
    const Image& imageB = second->image;
    int left = std::max(ax, bx), right = std::min(ax + imageA.width, bx + imageB.width);
    int top = std::max(ay, by), bottom = std::min(ay + imageA.height, by + imageB.height);
    for (int y = top; y < bottom; y++)
        for (int x = left; x < right; x++)
            if (OpaqueAt(imageA, x - ax, y - ay) && OpaqueAt(imageB, x - bx, y - by)) return 1;
    return 0;
}

int SavePicture(int number, const std::string& path)
{
    Picture* picture = Find(number);
    if (!picture) return 0;
    return WriteWholeFile(path, EncodeBmp24(picture->image));
}
