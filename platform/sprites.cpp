// platform/sprites.cpp - 3-D sprites drawn as textured quads through SDL_RenderGeometry.
//
// Quads are not drawn one by one: they gather in a batch for as long as they come from the
// same texture with the same blend factors and filtering, and the batch goes to the renderer
// in one call. Pictures packed into an atlas share their page's texture, so a whole layer of
// ground tiles or units is one call. Every other kind of drawing first sends the batch, so the
// order on screen is the order of the calls.
#include "platform/sprites.h"

#include "platform/atlas.h"
#include "platform/display.h"
#include "platform/pictures.h"
#include "platform/sdl_internal.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>
#include <vector>

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

// The blend source that stands for "no blending": an opaque picture drawn whole over the screen.
constexpr int NoBlending = -1;

static void ApplyBlend(SDL_Texture* texture, int source, int destination, int filtering)
{
    SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
    if (source == NoBlending) {
        mode = SDL_BLENDMODE_NONE;
    } else if (CustomBlendingWorks()) {
        // Colour follows the chosen factors; the screen's alpha is left as it is.
        mode = SDL_ComposeCustomBlendMode(SdlFactor(source), SdlFactor(destination), SDL_BLENDOPERATION_ADD,
                                          SDL_BLENDFACTOR_ZERO, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD);
    } else if (source == 2 && destination == 2) {
        mode = SDL_BLENDMODE_ADD;
    }
    if (SDL_SetTextureBlendMode(texture, mode) != 0) SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(texture, filtering ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
}


// ---- atlases ----

// Each page also comes at half and at a quarter of its size, like a texture's mipmaps: a
// picture drawn at half its size or less is sampled from the smaller copy, at about one texel
// a pixel. Ground tiles at the farthest zoom are drawn at a quarter of their size; sampled
// from the full picture, every frame would read sixteen times the memory it shows. Each copy
// is made as the full picture would be filtered at exactly that scale (a half: the average of
// each 2 x 2; a quarter: the two middle texels of each 4 x 4 in both axes), so that at those
// scales the screen shows what it would show without them.
constexpr int Levels = 3;
// The border: a filtered sample reaches one texel beyond a picture's edge, also at the quarter
// copy, where 8 texels of border are 2.
constexpr int AtlasPadding = 8;
constexpr int AtlasAlignment = 4; // places start on multiples of 4, so the copies halve them exactly
constexpr int LargestPage = 1024; // fewer pages break fewer batches; larger ones drew slower under Mesa

struct AtlasSlot {
    int page = -1;     // index into Pages, -1 when the picture has its own texture
    int x = 0, y = 0;  // the picture inside its border
    int width = 0, height = 0;
    int stale = (1 << Levels) - 1; // per level: pixels changed since that copy was uploaded
    int scaled = 0;    // 1 when the picture has smaller copies (sides multiples of 4)
    int opaque = 0;    // 1 when no pixel of the picture is see-through
};

// One texture holds a page and its copies, so that pictures drawn at different scales still
// batch: the page of side x side at the top, below it the half copy, beside that the quarter.
struct AtlasPage {
    int group = 0;
    int side = 0;
    SDL_Texture* texture = nullptr; // side x (side + side / 2)
    int anyStale = (1 << Levels) - 1;
    std::vector<int> pictures;
};

// Where a level of the page starts in its texture.
static int LevelLeft(int side, int level) { return level == 2 ? side / 2 : 0; }
static int LevelTop(int side, int level) { return level == 0 ? 0 : side; }

static std::array<AtlasSlot, MaxPictures> Slots;
static std::vector<AtlasPage> Pages; // a dropped group leaves its pages empty, to be reused

// ---- the batch ----

struct Batch {
    SDL_Texture* texture = nullptr;
    int source = 0, destination = 0, filtering = 0;
    std::vector<SDL_Vertex> vertices;
    std::vector<int> indices;
};
static Batch Pending;
static void FlushSpriteBatch();
constexpr size_t BatchQuads = 128; // Mesa's software rasteriser takes longer per quad in longer draws

static void DrawPixelJobs();

void FlushSprites()
{
    DrawPixelJobs();
    FlushSpriteBatch();
}

static void FlushSpriteBatch()
{
    if (Pending.vertices.empty()) return;
    SDL_Renderer* renderer = CurrentRenderer();
    if (renderer && Pending.texture) {
        ApplyBlend(Pending.texture, Pending.source, Pending.destination, Pending.filtering);
        SDL_SetTextureAlphaMod(Pending.texture, 255);
        SDL_SetTextureColorMod(Pending.texture, 255, 255, 255);
        SDL_RenderGeometry(renderer, Pending.texture, Pending.vertices.data(), int(Pending.vertices.size()),
                           Pending.indices.data(), int(Pending.indices.size()));
        CountDrawCall();
    }
    Pending.vertices.clear();
    Pending.indices.clear();
}

// SDL draws as it goes; the scene brackets only mark where a frame's 3-D drawing belongs.
void BeginScene() {}
void EndScene()
{
    FlushSprites();
    if (SDL_Renderer* renderer = CurrentRenderer()) SDL_RenderFlush(renderer);
}

// The picture and its border, its own edge pixels carried outwards; see-through pixels go up
// black, as a picture's own texture does. Smaller copies are made from this block.
static void PaddedBlock(const Image& image, const AtlasSlot& slot, std::vector<uint32_t>& block, int& w, int& h)
{
    w = (slot.width + 2 * AtlasPadding + AtlasAlignment - 1) / AtlasAlignment * AtlasAlignment;
    h = (slot.height + 2 * AtlasPadding + AtlasAlignment - 1) / AtlasAlignment * AtlasAlignment;
    block.resize(size_t(w) * size_t(h));
    for (int y = 0; y < h; y++) {
        int sy = std::clamp(y - AtlasPadding, 0, slot.height - 1);
        for (int x = 0; x < w; x++) {
            int sx = std::clamp(x - AtlasPadding, 0, slot.width - 1);
            uint32_t pixel = image.pixels[size_t(sy) * size_t(slot.width) + size_t(sx)];
            block[size_t(y) * size_t(w) + size_t(x)] = (pixel >> 24) == 0 ? 0 : pixel;
        }
    }
}

// The average of four pixels, channel by channel, rounded.
static uint32_t Average4(uint32_t a, uint32_t b, uint32_t c, uint32_t d)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t sum = ((a >> shift) & 255) + ((b >> shift) & 255) + ((c >> shift) & 255) + ((d >> shift) & 255);
        out |= ((sum + 2) / 4) << shift;
    }
    return out;
}

// The block at 1 / 2^level: each pixel from the texels a filter would read at that scale.
static void ReducedBlock(const std::vector<uint32_t>& full, int w, int h, int level, std::vector<uint32_t>& out)
{
    int factor = 1 << level, rw = w / factor, rh = h / factor;
    out.resize(size_t(rw) * size_t(rh));
    // A filtered sample at the centre of a reduced pixel falls between these two texels.
    int first = factor / 2 - 1;
    for (int y = 0; y < rh; y++)
        for (int x = 0; x < rw; x++) {
            size_t sx = size_t(x * factor + first), sy = size_t(y * factor + first), stride = size_t(w);
            out[size_t(y) * size_t(rw) + size_t(x)] = Average4(full[sy * stride + sx], full[sy * stride + sx + 1],
                                                               full[(sy + 1) * stride + sx], full[(sy + 1) * stride + sx + 1]);
        }
}

static void UploadSlot(const AtlasPage& page, int number, AtlasSlot& slot, int level)
{
    const Image* image = PictureImage(number);
    if (!image || image->width != slot.width || image->height != slot.height) return;
    static std::vector<uint32_t> block, reduced;
    int w = 0, h = 0;
    PaddedBlock(*image, slot, block, w, h);
    const std::vector<uint32_t>* pixels = &block;
    if (level > 0) {
        ReducedBlock(block, w, h, level, reduced);
        pixels = &reduced;
    }
    int factor = 1 << level;
    SDL_Rect rect{LevelLeft(page.side, level) + (slot.x - AtlasPadding) / factor,
                  LevelTop(page.side, level) + (slot.y - AtlasPadding) / factor, w / factor, h / factor};
    SDL_UpdateTexture(page.texture, &rect, pixels->data(), rect.w * 4);
    slot.stale &= ~(1 << level);
}

// The page's texture, made on first use, with the level asked for brought up to date.
static SDL_Texture* PageTexture(int index, int level)
{
    AtlasPage& page = Pages[size_t(index)];
    SDL_Renderer* renderer = CurrentRenderer();
    if (!renderer) return nullptr;
    int bit = 1 << level;
    if (!page.texture) {
        page.texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, page.side,
                                         page.side + page.side / 2);
        if (!page.texture) return nullptr;
        for (int number : page.pictures) Slots[size_t(number)].stale = (1 << Levels) - 1;
        page.anyStale = (1 << Levels) - 1;
    }
    if (page.anyStale & bit) {
        FlushSprites(); // what is queued from this page was drawn with the old pixels
        for (int number : page.pictures) {
            AtlasSlot& slot = Slots[size_t(number)];
            if (slot.page == index && (slot.stale & bit) && (level == 0 || slot.scaled)) UploadSlot(page, number, slot, level);
        }
        page.anyStale &= ~bit;
    }
    return page.texture;
}

static void ReleasePage(AtlasPage& page)
{
    if (page.texture) SDL_DestroyTexture(page.texture);
    page.texture = nullptr;
    page.anyStale = (1 << Levels) - 1;
}

void DropSpriteAtlas(int group)
{
    FlushSprites();
    for (size_t index = 0; index < Pages.size(); index++) {
        AtlasPage& page = Pages[index];
        if (page.group != group || page.side == 0) continue;
        for (int number : page.pictures)
            if (Slots[size_t(number)].page == int(index)) Slots[size_t(number)] = AtlasSlot{};
        ReleasePage(page);
        page.pictures.clear();
        page.side = 0;
    }
}

void DropSpriteAtlases()
{
    for (const AtlasPage& page : Pages)
        if (page.side != 0) DropSpriteAtlas(page.group);
}

static int LargestPageSide()
{
    SDL_RendererInfo info{};
    int side = LargestPage;
    if (SDL_Renderer* renderer = CurrentRenderer(); renderer && SDL_GetRendererInfo(renderer, &info) == 0) {
        if (info.max_texture_width > 0) side = std::min(side, info.max_texture_width);
        if (info.max_texture_height > 0) side = std::min(side, info.max_texture_height);
    }
    return side;
}

// Ground tiles are opaque: drawn whole at full opacity in the plain alpha blend they need no
// blending at all, which spares the software renderer a read of the screen for most pixels.
static int Opaque(int number)
{
    const Image* image = PictureImage(number);
    if (!image || image->pixels.empty()) return 0;
    for (uint32_t pixel : image->pixels)
        if ((pixel >> 24) != 255) return 0;
    return 1;
}

int PackSpriteAtlas(int group, const std::vector<int>& numbers)
{
    DropSpriteAtlas(group);
    std::vector<AtlasRequest> requests;
    for (int number : numbers)
        if (Sprite3DExists(number) && Slots[size_t(number)].page < 0)
            requests.push_back(AtlasRequest{number, PictureWidth(number), PictureHeight(number)});
    AtlasPacking packing = PackAtlas(requests, LargestPageSide(), AtlasPadding, AtlasAlignment);
    std::vector<int> pageIndex;
    for (int side : packing.pageSides) {
        // A free page has no pictures and no side; a page taken a moment ago has its side.
        auto unused = std::find_if(Pages.begin(), Pages.end(),
                                   [](const AtlasPage& page) { return page.pictures.empty() && page.side == 0; });
        if (unused == Pages.end()) unused = Pages.insert(Pages.end(), AtlasPage{});
        *unused = AtlasPage{};
        unused->group = group;
        unused->side = side;
        pageIndex.push_back(int(unused - Pages.begin()));
    }
    for (const AtlasPlacement& placement : packing.placed) {
        int page = pageIndex[size_t(placement.page)];
        AtlasSlot& slot = Slots[size_t(placement.number)];
        slot = AtlasSlot{};
        slot.page = page;
        slot.x = placement.x;
        slot.y = placement.y;
        slot.width = PictureWidth(placement.number);
        slot.height = PictureHeight(placement.number);
        slot.scaled = slot.width % AtlasAlignment == 0 && slot.height % AtlasAlignment == 0;
        slot.opaque = Opaque(placement.number);
        Pages[size_t(page)].pictures.push_back(placement.number);
    }
    return int(packing.placed.size());
}

int SpriteAtlasPage(int number)
{
    if (number < 0 || number >= MaxPictures) return -1;
    return Slots[size_t(number)].page;
}

static void ForgetCopies(int number);

void SpritePictureChanged(int number)
{
    if (number < 0 || number >= MaxPictures) return;
    ForgetCopies(number);
    AtlasSlot& slot = Slots[size_t(number)];
    if (slot.page < 0) return;
    AtlasPage& page = Pages[size_t(slot.page)];
    // A picture of another size no longer fits its place: it falls back on a texture of its own.
    if (!PictureExists(number) || PictureWidth(number) != slot.width || PictureHeight(number) != slot.height) {
        FlushSprites();
        page.pictures.erase(std::remove(page.pictures.begin(), page.pictures.end(), number), page.pictures.end());
        slot = AtlasSlot{};
        return;
    }
    slot.stale = (1 << Levels) - 1;
    slot.opaque = Opaque(number);
    page.anyStale = (1 << Levels) - 1;
}

void ReleaseSpriteTextures()
{
    ForgetCopies(-1);
    Pending.vertices.clear();
    Pending.indices.clear();
    Pending.texture = nullptr;
    for (AtlasPage& page : Pages) ReleasePage(page);
}

// ---- drawing ----

// The four screen corners of a sprite drawn at x, y.
static void SpriteCorners(const Sprite3D& sprite, float x, float y, SDL_FPoint out[4])
{
    if (sprite.useCorners) {
        for (int i = 0; i < 4; i++) out[i] = SDL_FPoint{x + sprite.corners[2 * i], y + sprite.corners[2 * i + 1]};
        return;
    }
    float halfW = sprite.width / 2, halfH = sprite.height / 2;
    float centreX = x + halfW, centreY = y + halfH;
    if (sprite.angle == 0) {
        out[0] = SDL_FPoint{centreX - halfW, centreY - halfH};
        out[1] = SDL_FPoint{centreX + halfW, centreY - halfH};
        out[2] = SDL_FPoint{centreX + halfW, centreY + halfH};
        out[3] = SDL_FPoint{centreX - halfW, centreY + halfH};
        return;
    }
    float radians = sprite.angle * 0.017453292f;
    float c = std::cos(radians), s = std::sin(radians);
    const float offsets[4][2] = {{-halfW, -halfH}, {halfW, -halfH}, {halfW, halfH}, {-halfW, halfH}};
    for (int i = 0; i < 4; i++) {
        float dx = offsets[i][0], dy = offsets[i][1];
        out[i] = SDL_FPoint{centreX + dx * c - dy * s, centreY + dx * s + dy * c};
    }
}

// The copy to sample: the smallest that still has a texel for every pixel the quad covers.
static int LevelFor(const AtlasSlot& slot, const SDL_FPoint corners[4])
{
    float across = std::hypot(corners[1].x - corners[0].x, corners[1].y - corners[0].y);
    float down = std::hypot(corners[3].x - corners[0].x, corners[3].y - corners[0].y);
    float scale = std::max(across / float(slot.width), down / float(slot.height));
    return scale <= 0.25f ? 2 : scale <= 0.5f ? 1 : 0;
}

// The software renderer takes a batch apart into single quads anyway and finds a quad's
// texels by truncating its texture coordinates, which can land a texel short of a place in an
// atlas. Where a sprite cannot go into the screen's pixels (below), an unturned one goes as a
// rectangle copy with its exact texels: a tile drawn at its copy's size is then copied texel
// for pixel.
static bool SoftwareRenderer(SDL_Renderer* renderer)
{
    static SDL_Renderer* known = nullptr;
    static bool software = false;
    if (renderer != known) {
        SDL_RendererInfo info{};
        software = SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE);
        known = renderer;
    }
    return software;
}

// The screen rectangle of an unturned sprite drawn at x, y, in whole pixels by rounding both
// edges, so that tiles side by side meet without a seam.
static SDL_Rect WholePixels(const Sprite3D& sprite, float x, float y)
{
    float width = std::fabs(sprite.width), height = std::fabs(sprite.height);
    float centreX = x + sprite.width / 2, centreY = y + sprite.height / 2;
    int left = int(std::lround(centreX - width / 2)), top = int(std::lround(centreY - height / 2));
    return SDL_Rect{left, top, int(std::lround(centreX + width / 2)) - left, int(std::lround(centreY + height / 2)) - top};
}

static void CopySprite(SDL_Renderer* renderer, const Sprite3D& sprite, SDL_Texture* texture, const SDL_Rect& source,
                       float x, float y, int opacity, int blendSource)
{
    FlushSprites();
    ApplyBlend(texture, blendSource, BlendDestination, Filtering);
    SDL_SetTextureAlphaMod(texture, Uint8(opacity > 255 ? 255 : opacity));
    SDL_SetTextureColorMod(texture, 255, 255, 255);
    SDL_Rect target = WholePixels(sprite, x, y);
    int flip = (sprite.width < 0 ? SDL_FLIP_HORIZONTAL : 0) | (sprite.height < 0 ? SDL_FLIP_VERTICAL : 0);
    if (sprite.angle == 0 && flip == 0) SDL_RenderCopy(renderer, texture, &source, &target);
    else SDL_RenderCopyEx(renderer, texture, &source, &target, double(sprite.angle), nullptr, SDL_RendererFlip(flip));
    CountDrawCall();
}

// ---- sprites straight into the software screen ----
//
// Without a graphics card SDL draws each sprite on its own and sets every draw up afresh, and
// fills turned quads through a general triangle filler. A big battle's twenty thousand small
// sprites (units, tracks, trails, sparks) took longer than a frame by that alone. There the
// sprites go straight into the screen's pixels instead: unturned ones from copies made at the
// size they are drawn, turned ones of the plain blend from copies turned in advance (in steps
// of TurnStep degrees), and the rest - effects, which grow every frame and would need a copy
// per size - filled pixel by pixel from their picture, as are bent sprites. The blend factors
// apply here as a graphics card applies them, which SDL's software renderer cannot do.

static int PixelDrawingOn = 1;
constexpr int TurnStep = 4;
constexpr int LargestCopy = 1024; // a side; larger sprites are filled from their picture
constexpr size_t MostCopyBytes = 96 << 20; // all copies together, before they are made afresh

// A sprite's picture at one size and angle, ready to be laid on the screen pixel for pixel.
struct SpriteCopy {
    int width = 0, height = 0;
    int opaque = 0; // no pixel see-through: at full opacity it covers what lies beneath
    std::vector<uint32_t> pixels;
    // Per row, the columns from the first to past the last pixel that is not see-through: a
    // unit's picture is mostly air, and the screen beneath air need not even be read.
    std::vector<uint16_t> spanFirst, spanEnd;
};
static std::unordered_map<uint64_t, SpriteCopy> Copies;
static std::unordered_map<uint64_t, int> AskedOnce; // turned effects not yet copied: how often asked for
static size_t CopyBytes = 0;

constexpr int Unturned = 255; // the angle step that marks an unturned copy at the size drawn

static uint64_t CopyKey(int number, int width, int height, int step)
{
    return (uint64_t(uint32_t(number)) << 40) ^ (uint64_t(uint16_t(width)) << 24) ^ (uint64_t(uint16_t(height)) << 8) ^
           uint64_t(step);
}

static void ForgetCopies(int number)
{
    DrawPixelJobs(); // they lay copies that are about to go
    for (auto it = Copies.begin(); it != Copies.end();) {
        if (number >= 0 && int(it->first >> 40) != number) {
            ++it;
            continue;
        }
        CopyBytes -= it->second.pixels.size() * 4;
        it = Copies.erase(it);
    }
}

void SetTurnedSpriteCopies(int on)
{
    PixelDrawingOn = on;
    ForgetCopies(-1);
}

// The picture turned by `degrees` and scaled to width x height (negative mirrors): each pixel
// the average of 2 x 2 samples of the picture, see-through outside it. Turned, the copy has a
// pixel of room all round; unturned (`exact`) it is width x height.
static SpriteCopy MakeCopy(const Image& image, int width, int height, float degrees, bool exact)
{
    float radians = degrees * 0.017453292f, c = std::cos(radians), s = std::sin(radians);
    float w = float(std::abs(width)), h = float(std::abs(height));
    SpriteCopy copy;
    copy.width = exact ? int(w) : int(std::ceil(w * std::fabs(c) + h * std::fabs(s))) + 2;
    copy.height = exact ? int(h) : int(std::ceil(w * std::fabs(s) + h * std::fabs(c))) + 2;
    copy.pixels.assign(size_t(copy.width) * size_t(copy.height), 0);
    copy.opaque = 1;
    float scaleX = float(image.width) / w * (width < 0 ? -1.0f : 1.0f), scaleY = float(image.height) / h * (height < 0 ? -1.0f : 1.0f);
    for (int oy = 0; oy < copy.height; oy++)
        for (int ox = 0; ox < copy.width; ox++) {
            uint32_t a = 0, r = 0, g = 0, b = 0;
            for (int sample = 0; sample < 4; sample++) {
                float X = float(ox) + 0.25f + 0.5f * float(sample & 1) - float(copy.width) / 2;
                float Y = float(oy) + 0.25f + 0.5f * float(sample >> 1) - float(copy.height) / 2;
                // Back from the screen into the picture: the turn undone.
                float u = (X * c + Y * s) * scaleX + float(image.width) / 2;
                float v = (-X * s + Y * c) * scaleY + float(image.height) / 2;
                int px = int(std::floor(u)), py = int(std::floor(v));
                if (px < 0 || py < 0 || px >= image.width || py >= image.height) continue;
                uint32_t pixel = image.pixels[size_t(py) * size_t(image.width) + size_t(px)];
                uint32_t alpha = pixel >> 24;
                a += alpha;
                r += ((pixel >> 16) & 255) * alpha;
                g += ((pixel >> 8) & 255) * alpha;
                b += (pixel & 255) * alpha;
            }
            copy.opaque &= a == 4 * 255;
            if (a == 0) continue;
            copy.pixels[size_t(oy) * size_t(copy.width) + size_t(ox)] = ((a / 4) << 24) | ((r / a) << 16) | ((g / a) << 8) | (b / a);
        }
    copy.spanFirst.assign(size_t(copy.height), 0);
    copy.spanEnd.assign(size_t(copy.height), 0);
    for (int oy = 0; oy < copy.height; oy++) {
        const uint32_t* row = copy.pixels.data() + size_t(oy) * size_t(copy.width);
        int first = 0, end = copy.width;
        while (first < end && (row[first] >> 24) == 0) first++;
        while (end > first && (row[end - 1] >> 24) == 0) end--;
        copy.spanFirst[size_t(oy)] = uint16_t(first);
        copy.spanEnd[size_t(oy)] = uint16_t(end);
    }
    return copy;
}

static const SpriteCopy& CopyOf(int number, const Image& image, int width, int height, int step)
{
    uint64_t key = CopyKey(number, width, height, step);
    auto found = Copies.find(key);
    if (found != Copies.end()) return found->second;
    if (CopyBytes > MostCopyBytes) ForgetCopies(-1);
    SpriteCopy copy = step == Unturned ? MakeCopy(image, width, height, 0, true)
                                       : MakeCopy(image, width, height, float(step * TurnStep), false);
    CopyBytes += copy.pixels.size() * 4;
    return Copies.emplace(key, std::move(copy)).first->second;
}

// x / 255, rounded, for x up to 255 * 255.
static uint32_t Over255(uint32_t x)
{
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// A pixel laid over the screen's at `alpha` (0..255) of its colour; the screen keeps its alpha.
// Red and blue go together, a channel in each half of the word, each rounded as Over255 does.
static inline uint32_t Blend(uint32_t pixel, uint32_t screen, uint32_t alpha)
{
    uint32_t rest = 255 - alpha;
    uint32_t rb = (pixel & 0x00FF00FFu) * alpha + (screen & 0x00FF00FFu) * rest + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    uint32_t g = (pixel & 0x0000FF00u) * alpha + (screen & 0x0000FF00u) * rest + 0x00008000u;
    g = ((g + ((g >> 8) & 0xFFFFFF00u)) >> 8) & 0x0000FF00u;
    return (screen & 0xFF000000u) | rb | g;
}

// How a sprite's pixels mix with the screen's: the blend factors as a graphics card applies
// them, the picture's alpha weighted by the opacity standing as the source alpha. The plain
// blend and the added light of effects have ways of their own; they are nearly all there is.
enum MixKind { PlainMix, AddMix, ShadowMix, OtherMix };
using Mixer = uint32_t (*)(uint32_t pixel, uint32_t screen, uint32_t alpha);
struct Mixing {
    MixKind kind = PlainMix;
    Mixer other = nullptr; // for the other factors
};

// A channel's weight (0..255) under a blend factor.
static constexpr uint32_t Weight(int factor, uint32_t sourceChannel, uint32_t screenChannel, uint32_t alpha)
{
    switch (factor) {
    case 1: return 0;
    case 2: return 255;
    case 3: return sourceChannel;
    case 4: return 255 - sourceChannel;
    case 6: return 255 - alpha;
    case 9: return screenChannel;
    case 10: return 255 - screenChannel;
    default: return alpha;
    }
}

// Any other pair of factors, made for each pair so that the factors cost nothing per pixel.
template <int Source, int Destination>
static uint32_t MixedBy(uint32_t pixel, uint32_t screen, uint32_t alpha)
{
    // A see-through texel is black on a graphics card, which counts for these factors; where
    // the screen's factor is then one, the screen stays as it is.
    if ((pixel >> 24) == 0) {
        if constexpr (Destination == 2 || Destination == 4 || Destination == 6) return screen;
        pixel = 0;
    }
    uint32_t out = screen & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t s = (pixel >> shift) & 255, d = (screen >> shift) & 255;
        uint32_t value = Over255(s * Weight(Source, s, d, alpha)) + Over255(d * Weight(Destination, s, d, alpha));
        out |= std::min(value, 255u) << shift;
    }
    return out;
}

template <int Source>
static Mixer MixerWith(int destination)
{
    switch (destination) {
    case 1: return MixedBy<Source, 1>;
    case 2: return MixedBy<Source, 2>;
    case 3: return MixedBy<Source, 3>;
    case 4: return MixedBy<Source, 4>;
    case 6: return MixedBy<Source, 6>;
    case 9: return MixedBy<Source, 9>;
    case 10: return MixedBy<Source, 10>;
    default: return MixedBy<Source, 5>;
    }
}

static Mixer MixerFor(int source, int destination)
{
    switch (source) {
    case 1: return MixerWith<1>(destination);
    case 2: return MixerWith<2>(destination);
    case 3: return MixerWith<3>(destination);
    case 4: return MixerWith<4>(destination);
    case 6: return MixerWith<6>(destination);
    case 9: return MixerWith<9>(destination);
    case 10: return MixerWith<10>(destination);
    default: return MixerWith<5>(destination);
    }
}

static int CanonicalFactor(int factor)
{
    // The screen's alpha is always full: its alpha (7) is one, one minus it (8) zero. Saturated
    // source alpha (11) and unknown factors draw as the source alpha, as SdlFactor has them.
    if (factor == 7) return 2;
    if (factor == 8) return 1;
    return factor >= 1 && factor <= 10 ? factor : 5;
}

static Mixing MixingOf(int source, int destination)
{
    source = CanonicalFactor(source);
    destination = CanonicalFactor(destination);
    Mixing mixing{OtherMix, MixerFor(source, destination)};
    if (source == 5 && destination == 6) mixing.kind = PlainMix;
    else if (source == 5 && destination == 2) mixing.kind = AddMix;
    else if (source == 1 && destination == 6) mixing.kind = ShadowMix;
    return mixing;
}

// A pixel of a sprite drawn at `opacity` mixed into the screen's; the screen keeps its alpha.
static inline uint32_t MixPixel(Mixing mixing, uint32_t pixel, uint32_t screen, uint32_t opacity)
{
    uint32_t alpha = opacity >= 255 ? pixel >> 24 : Over255((pixel >> 24) * opacity);
    if (mixing.kind == PlainMix) {
        if (alpha == 255) return (screen & 0xFF000000u) | (pixel & 0x00FFFFFFu);
        return alpha == 0 ? screen : Blend(pixel, screen, alpha);
    }
    if (alpha == 0 && mixing.kind != OtherMix) return screen;
    if (mixing.kind == ShadowMix) return Blend(0, screen, alpha); // the screen darkened by alpha
    if (mixing.kind == AddMix) {
        // The pixel's colour at alpha added to the screen's, each channel stopping at 255: red
        // and blue side by side again, a channel that ran over shows in its ninth bit.
        uint32_t rb = (pixel & 0x00FF00FFu) * alpha + 0x00800080u;
        rb = (screen & 0x00FF00FFu) + (((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu);
        rb = (rb | (((rb & 0x01000100u) >> 8) * 255)) & 0x00FF00FFu;
        uint32_t g = (pixel & 0x0000FF00u) * alpha + 0x00008000u;
        g = (screen & 0x0000FF00u) + (((g + ((g >> 8) & 0xFFFFFF00u)) >> 8) & 0x0000FF00u);
        g = g > 0xFF00u ? 0xFF00u : g;
        return (screen & 0xFF000000u) | rb | g;
    }
    return mixing.other(pixel, screen, alpha);
}

// Lays the part of a copy that falls on screen rows firstRow..endRow - 1, with the copy's top
// left corner at left, top; an opaque copy in the plain blend at full opacity simply covers the
// screen.
static void LayCopy(SDL_Surface* screen, const SpriteCopy& copy, int left, int top, int opacity, Mixing mixing,
                    int firstRow, int endRow)
{
    int x0 = std::max(0, -left), y0 = std::max(firstRow, 0) - top;
    int x1 = std::min(copy.width, screen->w - left), y1 = std::min(copy.height, std::min(endRow, screen->h) - top);
    y0 = std::max(y0, 0);
    bool cover = mixing.kind == PlainMix && copy.opaque && opacity >= 255;
    // Every blend but the others leaves the screen as it is under a see-through pixel; the
    // others count such a pixel as black, which may darken.
    bool airLeaves = mixing.kind != OtherMix;
    for (int y = y0; y < y1; y++) {
        const uint32_t* from = copy.pixels.data() + size_t(y) * size_t(copy.width);
        uint32_t* to = ScreenRow(screen, top + y) + left;
        if (cover) {
            for (int x = x0; x < x1; x++) to[x] = (to[x] & 0xFF000000u) | (from[x] & 0x00FFFFFFu);
            continue;
        }
        if (!airLeaves) {
            for (int x = x0; x < x1; x++) to[x] = MixPixel(mixing, from[x], to[x], uint32_t(opacity));
            continue;
        }
        int first = std::max(x0, int(copy.spanFirst[size_t(y)])), end = std::min(x1, int(copy.spanEnd[size_t(y)]));
        for (int x = first; x < end; x++)
            if (from[x] >> 24) to[x] = MixPixel(mixing, from[x], to[x], uint32_t(opacity));
    }
}

// Copies laid wait here, in the order drawn, until anything else draws or the frame is shown.
// Then they are laid band by band of screen rows, each band small enough to stay in the
// processor's cache while every copy over it is laid: a battle lays some 30,000 small copies
// over a screen of several megabytes, and laid one after the other each row of each copy
// would wait for the screen's memory. The bands do not overlap, so every pixel still sees
// the copies in the order they were drawn.
struct PixelJob {
    const SpriteCopy* copy; // a copy lives until ForgetCopies, which lays the jobs first
    int left, top, opacity;
    Mixing mixing;
};
static std::vector<PixelJob> PixelJobs;
static std::vector<std::vector<int>> JobsOfBand;
constexpr int BandRows = 32;

static void QueueCopy(const SpriteCopy& copy, int left, int top, int opacity, Mixing mixing)
{
    PixelJobs.push_back(PixelJob{&copy, left, top, opacity, mixing});
}

static void DrawPixelJobs()
{
    if (PixelJobs.empty()) return;
    SDL_Surface* screen = SoftwareScreen();
    if (screen) {
        int bands = (screen->h + BandRows - 1) / BandRows;
        if (int(JobsOfBand.size()) < bands) JobsOfBand.resize(size_t(bands));
        for (int band = 0; band < bands; band++) JobsOfBand[size_t(band)].clear();
        for (size_t i = 0; i < PixelJobs.size(); i++) {
            const PixelJob& job = PixelJobs[i];
            int first = std::max(job.top, 0) / BandRows, last = std::min(job.top + job.copy->height, screen->h) - 1;
            for (int band = first; band <= last / BandRows && last >= 0; band++) JobsOfBand[size_t(band)].push_back(int(i));
        }
        for (int band = 0; band < bands; band++)
            for (int i : JobsOfBand[size_t(band)]) {
                const PixelJob& job = PixelJobs[size_t(i)];
                LayCopy(screen, *job.copy, job.left, job.top, job.opacity, job.mixing, band * BandRows, (band + 1) * BandRows);
            }
    }
    PixelJobs.clear();
}

// A turned quad filled pixel by pixel: each screen pixel inside it takes the picture's texel
// beneath its centre, as the renderer's own quads do.
static void FillTurned(SDL_Surface* screen, const Image& image, const Sprite3D& sprite, float x, float y, int opacity,
                       Mixing mixing)
{
    float radians = sprite.angle * 0.017453292f, c = std::cos(radians), s = std::sin(radians);
    float w = std::fabs(sprite.width), h = std::fabs(sprite.height);
    float centreX = x + sprite.width / 2, centreY = y + sprite.height / 2;
    float reachX = (w * std::fabs(c) + h * std::fabs(s)) / 2, reachY = (w * std::fabs(s) + h * std::fabs(c)) / 2;
    int left = std::max(0, int(std::floor(centreX - reachX))), right = std::min(screen->w, int(std::ceil(centreX + reachX)));
    int top = std::max(0, int(std::floor(centreY - reachY))), bottom = std::min(screen->h, int(std::ceil(centreY + reachY)));
    float scaleX = float(image.width) / sprite.width, scaleY = float(image.height) / sprite.height;
    float halfW = float(image.width) / 2, halfH = float(image.height) / 2;
    float stepU = c * scaleX, stepV = -s * scaleY; // one pixel to the right
    for (int py = top; py < bottom; py++) {
        uint32_t* to = ScreenRow(screen, py);
        float X = float(left) + 0.5f - centreX, Y = float(py) + 0.5f - centreY;
        float u = (X * c + Y * s) * scaleX + halfW, v = (-X * s + Y * c) * scaleY + halfH;
        for (int px = left; px < right; px++, u += stepU, v += stepV) {
            if (!(u >= 0 && v >= 0 && u < float(image.width) && v < float(image.height))) continue;
            to[px] = MixPixel(mixing, image.pixels[size_t(v) * size_t(image.width) + size_t(u)], to[px], uint32_t(opacity));
        }
    }
}

// Twice the signed area of the triangle a, b, c: which side of the line a-b the point c is on.
static float EdgeSide(const SDL_FPoint& a, const SDL_FPoint& b, float x, float y)
{
    return (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
}

// A triangle filled pixel by pixel, the picture mapped straight across it (texture points in
// the picture's pixels), as the renderer fills a bent sprite's two triangles. A pixel centre
// on an edge belongs to one side only, so that the two triangles never both take it.
static void FillTriangle(SDL_Surface* screen, const Image& image, SDL_FPoint p[3], SDL_FPoint t[3], int opacity,
                         Mixing mixing)
{
    float area = EdgeSide(p[0], p[1], p[2].x, p[2].y);
    if (!(std::fabs(area) > 1e-6f) || !std::isfinite(area)) return;
    if (area < 0) { // one winding for all, so that the edge rule holds across triangles
        std::swap(p[1], p[2]);
        std::swap(t[1], t[2]);
        area = -area;
    }
    float lowX = std::min({p[0].x, p[1].x, p[2].x}), highX = std::max({p[0].x, p[1].x, p[2].x});
    float lowY = std::min({p[0].y, p[1].y, p[2].y}), highY = std::max({p[0].y, p[1].y, p[2].y});
    int left = int(std::max(0.0f, std::floor(lowX))), right = int(std::min(float(screen->w), std::ceil(highX)));
    int top = int(std::max(0.0f, std::floor(lowY))), bottom = int(std::min(float(screen->h), std::ceil(highY)));
    // The edge opposite each corner, and whether a centre lying on it is taken.
    const int from[3] = {1, 2, 0}, to[3] = {2, 0, 1};
    bool takesOn[3];
    for (int e = 0; e < 3; e++) {
        float dx = p[to[e]].x - p[from[e]].x, dy = p[to[e]].y - p[from[e]].y;
        takesOn[e] = dy < 0 || (dy == 0 && dx > 0);
    }
    for (int py = top; py < bottom; py++) {
        uint32_t* row = ScreenRow(screen, py);
        float cy = float(py) + 0.5f;
        for (int px = left; px < right; px++) {
            float cx = float(px) + 0.5f, weight[3];
            bool inside = true;
            for (int e = 0; e < 3 && inside; e++) {
                weight[e] = EdgeSide(p[from[e]], p[to[e]], cx, cy);
                inside = weight[e] > 0 || (weight[e] == 0 && takesOn[e]);
            }
            if (!inside) continue;
            float u = (weight[0] * t[0].x + weight[1] * t[1].x + weight[2] * t[2].x) / area;
            float v = (weight[0] * t[0].y + weight[1] * t[1].y + weight[2] * t[2].y) / area;
            int tx = std::clamp(int(u), 0, image.width - 1), ty = std::clamp(int(v), 0, image.height - 1);
            row[px] = MixPixel(mixing, image.pixels[size_t(ty) * size_t(image.width) + size_t(tx)], row[px], uint32_t(opacity));
        }
    }
}

// A bent sprite: its four corners as two triangles, the picture's corners at theirs.
static void FillCorners(SDL_Surface* screen, const Image& image, const SDL_FPoint corners[4], int opacity, Mixing mixing)
{
    float w = float(image.width), h = float(image.height);
    const SDL_FPoint texture[4] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
    for (const auto& triangle : {std::array<int, 3>{0, 1, 2}, std::array<int, 3>{0, 2, 3}}) {
        SDL_FPoint p[3], t[3];
        for (int i = 0; i < 3; i++) {
            p[i] = corners[triangle[size_t(i)]];
            t[i] = texture[triangle[size_t(i)]];
        }
        FillTriangle(screen, image, p, t, opacity, mixing);
    }
}

// Draws a sprite straight into the software screen; false when SDL must draw it.
static bool DrawInPixels(int number, const Sprite3D& sprite, float x, float y, int opacity)
{
    if (!PixelDrawingOn) return false;
    const Image* image = PictureImage(number);
    if (!image || image->width <= 0 || image->height <= 0) return false;
    FlushSpriteBatch();
    SDL_Surface* screen = SoftwareScreen();
    if (!screen || screen->format->format != SDL_PIXELFORMAT_ARGB8888) return false;
    opacity = std::min(opacity, 255);
    Mixing mixing = MixingOf(BlendSource, BlendDestination);
    if (sprite.useCorners) {
        SDL_FPoint corners[4];
        SpriteCorners(sprite, x, y, corners);
        DrawPixelJobs();
        FillCorners(screen, *image, corners, opacity, mixing);
        return true;
    }
    float centreX = x + sprite.width / 2, centreY = y + sprite.height / 2;
    bool copied = std::fabs(sprite.width) <= LargestCopy && std::fabs(sprite.height) <= LargestCopy;
    if (sprite.angle == 0 && copied) {
        SDL_Rect target = WholePixels(sprite, x, y);
        if (target.w > 0 && target.h > 0)
            QueueCopy(CopyOf(number, *image, sprite.width < 0 ? -target.w : target.w, sprite.height < 0 ? -target.h : target.h, Unturned),
                      target.x, target.y, opacity, mixing);
        return true;
    }
    int width = int(std::lround(sprite.width)), height = int(std::lround(sprite.height));
    if (width == 0 || height == 0 || std::abs(width) > 256 || std::abs(height) > 256) {
        DrawPixelJobs();
        FillTurned(screen, *image, sprite, x, y, opacity, mixing);
        return true;
    }
    float angle = std::fmod(sprite.angle, 360.0f);
    if (angle < 0) angle += 360;
    int step = int(std::lround(angle / TurnStep)) % (360 / TurnStep);
    // Effects grow as they age, so most sizes come once and a copy of each would cost more
    // than it saves; a size and step asked for again (a shot's trail) gets its copy.
    if (mixing.kind != PlainMix && !Copies.count(CopyKey(number, width, height, step)) &&
        ++AskedOnce[CopyKey(number, width, height, step)] < 2) {
        if (AskedOnce.size() > 100000) AskedOnce.clear();
        DrawPixelJobs();
        FillTurned(screen, *image, sprite, x, y, opacity, mixing);
        return true;
    }
    const SpriteCopy& copy = CopyOf(number, *image, width, height, step);
    QueueCopy(copy, int(std::lround(centreX - float(copy.width) / 2)), int(std::lround(centreY - float(copy.height) / 2)),
              opacity, mixing);
    return true;
}

void DrawSprite3D(int number, float x, float y, int opacity)
{
    Sprite3D* sprite = Find(number);
    SDL_Renderer* renderer = CurrentRenderer();
    if (!sprite || opacity <= 0 || !renderer) return;
    bool software = SoftwareRenderer(renderer);
    if (software && DrawInPixels(number, *sprite, x, y, opacity)) return;
    DrawPixelJobs(); // the copies laid so far lie beneath this one
    SDL_Texture* texture = nullptr;
    float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
    SDL_FPoint corners[4];
    SpriteCorners(*sprite, x, y, corners);
    const AtlasSlot& slot = Slots[size_t(number)];
    int level = slot.scaled ? LevelFor(slot, corners) : 0;
    SDL_Rect source{};
    if (slot.page >= 0 && (texture = PageTexture(slot.page, level)) != nullptr) {
        int side = Pages[size_t(slot.page)].side, factor = 1 << level;
        float width = float(side), height = float(side + side / 2);
        source = SDL_Rect{LevelLeft(side, level) + slot.x / factor, LevelTop(side, level) + slot.y / factor,
                          slot.width / factor, slot.height / factor};
        u0 = float(source.x) / width;
        v0 = float(source.y) / height;
        u1 = float(source.x + source.w) / width;
        v1 = float(source.y + source.h) / height;
    } else {
        if (PictureTextureStale(number)) FlushSprites(); // queued quads show the old pixels
        texture = PictureTexture(number);
        if (texture) SDL_QueryTexture(texture, nullptr, nullptr, &source.w, &source.h);
    }
    if (!texture) return;
    // Only where each sprite is its own copy anyway: in batches, switching blend modes between
    // opaque and see-through pictures of one page would cost more draws than blending saves.
    int blendSource = software && slot.page >= 0 && slot.opaque && opacity >= 255 && BlendSource == 5 && BlendDestination == 6
                          ? NoBlending
                          : BlendSource;
    if (!sprite->useCorners && sprite->angle == 0 && software) {
        CopySprite(renderer, *sprite, texture, source, x, y, opacity, blendSource);
        return;
    }
    if (texture != Pending.texture || blendSource != Pending.source || BlendDestination != Pending.destination ||
        Filtering != Pending.filtering || Pending.vertices.size() >= 4 * BatchQuads) {
        FlushSprites();
        Pending.texture = texture;
        Pending.source = blendSource;
        Pending.destination = BlendDestination;
        Pending.filtering = Filtering;
    }
    const SDL_FPoint texCoords[4] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
    SDL_Color colour{255, 255, 255, Uint8(opacity > 255 ? 255 : opacity)};
    int first = int(Pending.vertices.size());
    for (int i = 0; i < 4; i++) Pending.vertices.push_back(SDL_Vertex{corners[i], colour, texCoords[i]});
    for (int i : {0, 1, 2, 0, 2, 3}) Pending.indices.push_back(first + i);
}
