// platform/text.cpp - fontconfig finds the file, SDL_ttf renders, a small cache keeps the
// textures of texts drawn frame after frame.
#include "platform/text.h"

#include "platform/files.h"
#include "platform/latin1.h"
#include "platform/sdl_internal.h"

#include <SDL2/SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <unordered_map>
#include <vector>

static std::vector<TTF_Font*> Fonts{nullptr}; // handle 0 is "no font"
static int FontFolderAdded = 0;

struct CachedText {
    SDL_Texture* texture = nullptr;
    int width = 0;
    int height = 0;
    int lastUsed = 0; // frame number of the last draw
};
static std::unordered_map<std::string, CachedText> TextCache;
static int TextFrame = 0; // frames since start, counted by the flips

// Makes the fonts in the program's TXT folder known to fontconfig for this process only.
static void AddProgramFonts()
{
    if (FontFolderAdded) return;
    FontFolderAdded = 1;
    std::string folder = ResolvePath("TXT");
    if (FolderExists("TXT")) FcConfigAppFontAddDir(nullptr, (const FcChar8*)folder.c_str());
}

// Splits off the German " Fett" (bold) that the game writes into family names.
static std::string PlainFamily(const std::string& family, int& bold)
{
    const std::string suffix = " Fett";
    bold = family.size() > suffix.size() && family.compare(family.size() - suffix.size(), suffix.size(), suffix) == 0;
    return bold ? family.substr(0, family.size() - suffix.size()) : family;
}

// Asks fontconfig for the best file of a family; gives the file and its face index.
static std::string MatchFontFile(const std::string& family, int& faceIndex)
{
    AddProgramFonts();
    int bold = 0;
    std::string plain = ToUtf8(PlainFamily(family, bold));
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, (const FcChar8*)plain.c_str());
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string file;
    FcChar8* path = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) file = (const char*)path;
    faceIndex = 0;
    if (match) FcPatternGetInteger(match, FC_INDEX, 0, &faceIndex);
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return file;
}

std::string FontFileFor(const std::string& family)
{
    int faceIndex = 0;
    return MatchFontFile(family, faceIndex);
}

int LoadFont(const std::string& family, int size)
{
    if (!TTF_WasInit() && TTF_Init() != 0) return 0;
    int faceIndex = 0;
    std::string file = MatchFontFile(family, faceIndex);
    TTF_Font* font = file.empty() ? nullptr : TTF_OpenFontIndex(file.c_str(), size > 0 ? size : 1, faceIndex);
    if (!font) {
        std::fprintf(stderr, "korax: text: no font for %s\n", family.c_str());
        return 0;
    }
    Fonts.push_back(font);
    return int(Fonts.size()) - 1;
}

static TTF_Font* FindFont(int font) { return (font > 0 && font < int(Fonts.size())) ? Fonts[size_t(font)] : nullptr; }

int TextWidth(int font, const std::string& text)
{
    TTF_Font* ttf = FindFont(font);
    int width = 0, height = 0;
    if (!ttf || text.empty() || TTF_SizeUTF8(ttf, ToUtf8(text).c_str(), &width, &height) != 0) return 0;
    return width;
}

// The cached texture of a text in a colour, rendered on first use.
static CachedText* RenderedText(int font, const std::string& text, int r, int g, int b)
{
    std::string key = std::to_string(font) + ':' + std::to_string((r << 16) | (g << 8) | b) + ':' + text;
    auto found = TextCache.find(key);
    if (found != TextCache.end()) return &found->second;
    SDL_Surface* surface = TTF_RenderUTF8_Blended(FindFont(font), ToUtf8(text).c_str(),
                                                  SDL_Color{Uint8(r), Uint8(g), Uint8(b), 255});
    if (!surface) return nullptr;
    CachedText entry;
    entry.texture = SDL_CreateTextureFromSurface(CurrentRenderer(), surface);
    entry.width = surface->w;
    entry.height = surface->h;
    SDL_FreeSurface(surface);
    if (!entry.texture) return nullptr;
    return &TextCache.emplace(key, entry).first->second;
}

void DrawFontText(int font, const std::string& text, int x, int y, int r, int g, int b)
{
    if (!FindFont(font) || text.empty() || !CurrentRenderer()) return;
    CachedText* cached = RenderedText(font, text, r, g, b);
    if (!cached) return;
    cached->lastUsed = TextFrame;
    FlushSprites();
    SDL_SetTextureBlendMode(cached->texture, SDL_BLENDMODE_BLEND);
    SDL_Rect target{x, y, cached->width, cached->height};
    SDL_RenderCopy(CurrentRenderer(), cached->texture, nullptr, &target);
    CountDrawCall();
}

void AgeTextCache()
{
    // Texts not drawn for three seconds (a menu left behind, a ticker line gone) are dropped.
    TextFrame++;
    if (TextFrame % 40 != 0) return;
    for (auto it = TextCache.begin(); it != TextCache.end();) {
        if (TextFrame - it->second.lastUsed > 120) {
            SDL_DestroyTexture(it->second.texture);
            it = TextCache.erase(it);
        } else {
            ++it;
        }
    }
}

void ReleaseTextTextures()
{
    for (auto& entry : TextCache) SDL_DestroyTexture(entry.second.texture);
    TextCache.clear();
}
