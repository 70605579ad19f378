// platform/sprites.cpp - 3-D sprites drawn as two textured triangles through SDL_RenderGeometry.
#include "platform/sprites.h"

#include "platform/display.h"
#include "platform/pictures.h"
#include "platform/sdl_internal.h"

#include <array>
#include <cmath>

struct Sprite3D {
    int exists = 0;
    float width = 0;           // pixels; negative mirrors
    float height = 0;
    float angle = 0;           // degrees, clockwise
    int useCorners = 0;        // corners override size and angle until those are set again
    float corners[8] = {};     // x1 y1 .. x4 y4 relative to the draw position
};

static std::array<Sprite3D, MaxPictures> Sprites;
static int BlendSource = 5;
static int BlendDestination = 6;
static int Filtering = 1;

static Sprite3D* Find(int number)
{
    if (number < 0 || number >= MaxPictures || !Sprites[size_t(number)].exists) return nullptr;
    return &Sprites[size_t(number)];
}

int CreateSprite3D(int number)
{
    if (!PictureExists(number)) return 0;
    Sprite3D& sprite = Sprites[size_t(number)];
    sprite = Sprite3D{};
    sprite.exists = 1;
    sprite.width = float(PictureWidth(number));
    sprite.height = float(PictureHeight(number));
    return 1;
}

int Sprite3DExists(int number) { return Find(number) != nullptr && PictureExists(number); }

// SDL draws as it goes; the scene brackets only mark where a frame's 3-D drawing belongs.
void BeginScene() {}
void EndScene()
{
    if (SDL_Renderer* renderer = CurrentRenderer()) SDL_RenderFlush(renderer);
}

void SetSpriteSize(int number, float width, float height)
{
    if (Sprite3D* sprite = Find(number)) {
        sprite->width = width;
        sprite->height = height;
        sprite->useCorners = 0;
    }
}

void SetSpriteAngle(int number, float degrees)
{
    if (Sprite3D* sprite = Find(number)) {
        sprite->angle = degrees;
        sprite->useCorners = 0;
    }
}

void SetSpriteCorners(int number, float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4)
{
    if (Sprite3D* sprite = Find(number)) {
        float corners[8] = {x1, y1, x2, y2, x3, y3, x4, y4};
        for (int i = 0; i < 8; i++) sprite->corners[i] = corners[i];
        sprite->useCorners = 1;
    }
}

void SetBlendFactors(int source, int destination)
{
    BlendSource = source;
    BlendDestination = destination;
}

void SetTextureFiltering(int on) { Filtering = on; }

static SDL_BlendFactor SdlFactor(int factor)
{
    switch (factor) {
    case 1: return SDL_BLENDFACTOR_ZERO;
    case 2: return SDL_BLENDFACTOR_ONE;
    case 3: return SDL_BLENDFACTOR_SRC_COLOR;
    case 4: return SDL_BLENDFACTOR_ONE_MINUS_SRC_COLOR;
    case 6: return SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA;
    // The screen's alpha is always full, so these two are constants.
    case 7: return SDL_BLENDFACTOR_ONE;
    case 8: return SDL_BLENDFACTOR_ZERO;
    case 9: return SDL_BLENDFACTOR_DST_COLOR;
    case 10: return SDL_BLENDFACTOR_ONE_MINUS_DST_COLOR;
    // 5, and 11: saturated source alpha is min(As, 1 - Ad), which an opaque screen makes 0;
    // it draws as plain source alpha so that a sprite set to it stays visible.
    default: return SDL_BLENDFACTOR_SRC_ALPHA;
    }
}

void ApplySpriteBlend(SDL_Texture* texture)
{
    SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
    if (CustomBlendingWorks()) {
        // Colour follows the chosen factors; the screen's alpha is left as it is.
        mode = SDL_ComposeCustomBlendMode(SdlFactor(BlendSource), SdlFactor(BlendDestination), SDL_BLENDOPERATION_ADD,
                                          SDL_BLENDFACTOR_ZERO, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD);
    } else if (BlendSource == 2 && BlendDestination == 2) {
        mode = SDL_BLENDMODE_ADD;
    }
    if (SDL_SetTextureBlendMode(texture, mode) != 0) SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(texture, Filtering ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
}

// The four screen corners of a sprite drawn at x, y.
static void SpriteCorners(const Sprite3D& sprite, float x, float y, SDL_FPoint out[4])
{
    if (sprite.useCorners) {
        for (int i = 0; i < 4; i++) out[i] = SDL_FPoint{x + sprite.corners[2 * i], y + sprite.corners[2 * i + 1]};
        return;
    }
    float halfW = sprite.width / 2, halfH = sprite.height / 2;
    float centreX = x + halfW, centreY = y + halfH;
    float radians = sprite.angle * 0.017453292f;
    float c = std::cos(radians), s = std::sin(radians);
    const float offsets[4][2] = {{-halfW, -halfH}, {halfW, -halfH}, {halfW, halfH}, {-halfW, halfH}};
    for (int i = 0; i < 4; i++) {
        float dx = offsets[i][0], dy = offsets[i][1];
        out[i] = SDL_FPoint{centreX + dx * c - dy * s, centreY + dx * s + dy * c};
    }
}

void DrawSprite3D(int number, float x, float y, int opacity)
{
    Sprite3D* sprite = Find(number);
    SDL_Texture* texture = sprite ? PictureTexture(number) : nullptr;
    if (!texture || opacity <= 0) return;
    ApplySpriteBlend(texture);
    SDL_SetTextureAlphaMod(texture, 255);
    SDL_SetTextureColorMod(texture, 255, 255, 255);
    SDL_FPoint corners[4];
    SpriteCorners(*sprite, x, y, corners);
    const SDL_FPoint texCoords[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    SDL_Color colour{255, 255, 255, Uint8(opacity > 255 ? 255 : opacity)};
    SDL_Vertex vertices[4];
    for (int i = 0; i < 4; i++) vertices[i] = SDL_Vertex{corners[i], colour, texCoords[i]};
    const int indices[6] = {0, 1, 2, 0, 2, 3};
    SDL_RenderGeometry(CurrentRenderer(), texture, vertices, 4, indices, 6);
}
