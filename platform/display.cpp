// platform/display.cpp - SDL window, renderer and frame pacing.
#include "platform/display.h"

#include "platform/image.h"
#include "platform/pictures.h"
#include "platform/sdl_internal.h"
#include "platform/session.h"

#include <SDL2/SDL_mixer.h>
#include <SDL2/SDL_ttf.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

static SDL_Window* Window = nullptr;
static SDL_Renderer* Renderer = nullptr;
static SDL_Texture* Target = nullptr; // the configured width x height everything is drawn into
// Without a graphics card everything is drawn into this surface instead, by a software
// renderer of its own, so that the sprite layer can also lay its many small sprites straight
// into the pixels (see sprites.cpp). Each flip copies it into the window.
static SDL_Surface* SoftScreen = nullptr;
static int TargetWidth = 0;
static int TargetHeight = 0;
static int FrameRate = 40;          // frames per second the flip holds to
static int FrameWaitOn = 1;         // test hook
static Uint64 LastFlip = 0;         // performance counter at the previous flip
static int CustomBlend = 0;
static int DrawCalls = 0;           // since the last flip
static int DrawCallsShown = 0;      // in the frame the last flip showed

SDL_Renderer* CurrentRenderer() { return Renderer; }

SDL_Surface* SoftwareScreen()
{
    if (!SoftScreen || !Renderer) return nullptr;
    SDL_RenderFlush(Renderer); // what SDL has queued lies beneath what comes now
    return SoftScreen;
}

static int NoScreen = 0; // set when the display layer found nothing a player could see

// The video driver the player asked for by name, or empty.
static std::string AskedVideoDriver()
{
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    return asked ? asked : "";
}

// SDL's Wayland driver crashes at start on a compositor without a seat (it sets up the mouse of
// a seat that is not there). Such a compositor takes no input anyway; where an X server runs
// beside it the game goes there, otherwise it finds no screen.
static int SeatlessWayland()
{
    std::string asked = AskedVideoDriver();
    if (!asked.empty() && SDL_strcasecmp(asked.c_str(), "wayland") != 0) return 0;
    if (WaylandCompositorHasSeat() != 0) return 0; // a seat, or no compositor to ask
    if (asked.empty() && SessionNamesX11()) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
        std::fprintf(stderr, "korax: display: Der Wayland-Bildschirm meldet weder Tastatur noch Maus; "
                             "das Spiel läuft über X11 (XWayland).\n");
        return 0;
    }
    return 1;
}

// The offscreen and dummy drivers show nothing. SDL falls back to them when no display is
// there, and a game started over SSH would then play its menus unseen until killed.
static int ShowsNothing()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || (SDL_strcasecmp(driver, "offscreen") != 0 && SDL_strcasecmp(driver, "dummy") != 0)) return 0;
    return SDL_strcasecmp(AskedVideoDriver().c_str(), driver) != 0;
}

// Each layer is checked for real, so that a machine that cannot run the game says so at once
// instead of running it invisibly.
int StartDisplayLayer()
{
    NoScreen = 0;
    if (SeatlessWayland()) {
        NoScreen = 1;
        return 0;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0 || SDL_GetNumVideoDisplays() <= 0) {
        NoScreen = !SessionNamesDisplay();
        return 0;
    }
    if (ShowsNothing()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        NoScreen = 1;
        return 0;
    }
    return 1;
}

int DisplayMissing() { return NoScreen; }

int StartKeyboardLayer()
{
    int keys = 0;
    return SDL_InitSubSystem(SDL_INIT_EVENTS) == 0 && SDL_GetKeyboardState(&keys) != nullptr && keys > 0;
}

// The mouse reaches the game as motion and button events; they must not be switched off.
int StartMouseLayer()
{
    return SDL_WasInit(SDL_INIT_EVENTS) != 0 && SDL_EventState(SDL_MOUSEMOTION, SDL_QUERY) == SDL_ENABLE &&
           SDL_EventState(SDL_MOUSEBUTTONDOWN, SDL_QUERY) == SDL_ENABLE;
}

static SDL_Renderer* CreateBestRenderer(SDL_Window* window);

// 3-D sprites need a renderer that draws into a target texture, and TrueType for the text.
int StartSpriteLayer()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO) || (!TTF_WasInit() && TTF_Init() != 0)) return 0;
    SDL_Window* probe = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN);
    if (!probe) return 0;
    int works = 0;
    if (SDL_Renderer* renderer = CreateBestRenderer(probe)) {
        if (SDL_Texture* target = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, 1, 1)) {
            works = SDL_SetRenderTarget(renderer, target) == 0;
            SDL_DestroyTexture(target);
        }
        SDL_DestroyRenderer(renderer);
    }
    SDL_DestroyWindow(probe);
    return works;
}

void StopLayers()
{
    CloseDisplay();
    if (SDL_WasInit(SDL_INIT_AUDIO)) {
        Mix_CloseAudio();
        Mix_Quit();
    }
    if (TTF_WasInit()) TTF_Quit();
    SDL_Quit();
}

// Tries renderers from the best down; the software one always works, even headless.
static SDL_Renderer* CreateBestRenderer(SDL_Window* window)
{
    // The sprite layer gathers its own batches. SDL's batching would join consecutive batches
    // into one draw of a hundred thousand vertices, which Mesa's software rasteriser handles
    // in time that grows with the square of the count: a big battle ran at half speed.
    SDL_SetHintWithPriority(SDL_HINT_RENDER_BATCHING, "0", SDL_HINT_DEFAULT);
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
    if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_TARGETTEXTURE);
    return renderer;
}

// Whether the renderer takes a blend mode that only OpenGL-like renderers know.
static int ProbeCustomBlend()
{
    SDL_Texture* probe = SDL_CreateTexture(Renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 1, 1);
    if (!probe) return 0;
    SDL_BlendMode mode = SDL_ComposeCustomBlendMode(
        SDL_BLENDFACTOR_ONE_MINUS_DST_COLOR, SDL_BLENDFACTOR_SRC_COLOR, SDL_BLENDOPERATION_ADD,
        SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ZERO, SDL_BLENDOPERATION_ADD);
    int works = SDL_SetTextureBlendMode(probe, mode) == 0;
    SDL_DestroyTexture(probe);
    return works;
}

// Whether the renderer's OpenGL is Mesa's software rasteriser rather than a graphics card (no
// card, a virtual machine, Xvfb). The game draws its own frames on the processor about three
// times as fast as that does; only a renderer asked for by name is kept regardless.
static int DrawsOnProcessorAnyway(SDL_Renderer* renderer)
{
    const char* asked = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    SDL_RendererInfo info{};
    if ((asked && *asked) || SDL_GetRendererInfo(renderer, &info) != 0 || !info.name || std::strncmp(info.name, "opengl", 6) != 0)
        return 0;
    using GetString = const unsigned char* (*)(unsigned int);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getString ? getString(0x1F01) : nullptr; // GL_RENDERER of the current context
    return name && SoftwareRasteriserName(reinterpret_cast<const char*>(name));
}

int SoftwareRasteriserName(const std::string& name)
{
    for (const char* known : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"})
        if (name.find(known) != std::string::npos) return 1;
    return 0;
}

int OpenDisplay(int width, int height, int depth, const std::string& title)
{
    (void)depth;
    if (Window) CloseDisplay();
    if (!SDL_WasInit(SDL_INIT_VIDEO) && !StartDisplayLayer()) return 0;
    // The window starts at the desktop's full size, so it covers the screen even where no
    // window manager carries out the full-screen request (a bare X server).
    SDL_DisplayMode desktop{};
    int windowW = width, windowH = height;
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
        windowW = desktop.w;
        windowH = desktop.h;
    }
    Window = SDL_CreateWindow(title.c_str(), 0, 0, windowW, windowH, SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS);
    if (!Window) {
        std::fprintf(stderr, "korax: display: %s\n", SDL_GetError());
        return 0;
    }
    Renderer = CreateBestRenderer(Window);
    SDL_RendererInfo info{};
    if (Renderer && ((SDL_GetRendererInfo(Renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE)) ||
                     DrawsOnProcessorAnyway(Renderer))) {
        SDL_DestroyRenderer(Renderer);
        Renderer = nullptr;
        // The window's own pixels, not a texture of yet another renderer - where the driver
        // has pixels of its own. Wayland has none, and SDL decides only once: with the hint
        // there, its window surface would never come and the game would run unseen.
        const char* driver = SDL_GetCurrentVideoDriver();
        if (driver && SDL_strcasecmp(driver, "x11") == 0) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        SoftScreen = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
        if (SoftScreen) Renderer = SDL_CreateSoftwareRenderer(SoftScreen);
    } else if (Renderer) {
        Target = SDL_CreateTexture(Renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, width, height);
    }
    if (!Renderer || (!Target && !SoftScreen)) {
        std::fprintf(stderr, "korax: display: %s\n", SDL_GetError());
        CloseDisplay();
        return 0;
    }
    TargetWidth = width;
    TargetHeight = height;
    if (Target) SDL_SetRenderTarget(Renderer, Target);
    SDL_ShowCursor(SDL_DISABLE);
    SDL_SetRelativeMouseMode(SDL_TRUE);
    CustomBlend = ProbeCustomBlend();
    LastFlip = SDL_GetPerformanceCounter();
    ClearScreen(0, 0, 0);
    return 1;
}

void CloseDisplay()
{
    FlushSprites();
    ReleaseSpriteTextures();
    ReleasePictureTextures();
    ReleaseTextTextures();
    if (Target) SDL_DestroyTexture(Target);
    if (Renderer) SDL_DestroyRenderer(Renderer);
    if (SoftScreen) SDL_FreeSurface(SoftScreen);
    if (Window) SDL_DestroyWindow(Window);
    SoftScreen = nullptr;
    Target = nullptr;
    Renderer = nullptr;
    Window = nullptr;
    TargetWidth = TargetHeight = 0;
}

int DisplayIsOpen() { return Renderer != nullptr; }
int ScreenWidth() { return TargetWidth; }
int ScreenHeight() { return TargetHeight; }
int CustomBlendingWorks() { return CustomBlend; }
void CountDrawCall() { DrawCalls++; }
int DrawCallsLastFrame() { return DrawCallsShown; }

void ClearScreen(int r, int g, int b)
{
    if (!Renderer) return;
    FlushSprites();
    SDL_SetRenderDrawBlendMode(Renderer, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(Renderer, Uint8(r), Uint8(g), Uint8(b), 255);
    SDL_RenderClear(Renderer);
    CountDrawCall();
}

// A colour laid over a rectangle of the software screen. The night covers the whole playfield
// every frame, and SDL blends a filled rectangle channel by channel through divisions; here each
// channel's 256 results are worked out once.
static void ShadeSoftScreen(int x, int y, int w, int h, int r, int g, int b, int alpha)
{
    SDL_Surface* screen = SoftwareScreen();
    SDL_Rect rect{x, y, w, h}, whole{0, 0, screen->w, screen->h}, shaded{};
    if (!SDL_IntersectRect(&rect, &whole, &shaded)) return;
    uint32_t table[3][256];
    const int colour[3] = {r, g, b};
    for (int channel = 0; channel < 3; channel++)
        for (int value = 0; value < 256; value++)
            table[channel][value] = uint32_t((colour[channel] * alpha + value * (255 - alpha) + 127) / 255) << (16 - 8 * channel);
    for (int row = shaded.y; row < shaded.y + shaded.h; row++) {
        uint32_t* pixel = ScreenRow(screen, row);
        for (int column = shaded.x; column < shaded.x + shaded.w; column++) {
            uint32_t old = pixel[column];
            pixel[column] = (old & 0xFF000000u) | table[0][(old >> 16) & 255] | table[1][(old >> 8) & 255] | table[2][old & 255];
        }
    }
}

void ShadeRectangle(int x, int y, int w, int h, int r, int g, int b, int alpha)
{
    if (!Renderer || alpha <= 0 || w <= 0 || h <= 0) return;
    FlushSprites();
    if (SoftScreen && SoftScreen->format->format == SDL_PIXELFORMAT_ARGB8888) {
        ShadeSoftScreen(x, y, w, h, std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255), std::min(alpha, 255));
        return;
    }
    SDL_SetRenderDrawBlendMode(Renderer, SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(Renderer, Uint8(r), Uint8(g), Uint8(b), Uint8(alpha > 255 ? 255 : alpha));
    SDL_Rect rect{x, y, w, h};
    SDL_RenderFillRect(Renderer, &rect);
    CountDrawCall();
}

void SetFrameRate(int framesPerSecond) { FrameRate = framesPerSecond > 0 ? framesPerSecond : 40; }
void SetFrameWait(int on) { FrameWaitOn = on; }

// Sleeps most of the remaining frame time, then spins the last millisecond for accuracy.
static void WaitForFrameTime()
{
    Uint64 now = SDL_GetPerformanceCounter();
    if (!FrameWaitOn) {
        LastFlip = now;
        return;
    }
    Uint64 frequency = SDL_GetPerformanceFrequency();
    Uint64 due = LastFlip + frequency / Uint64(FrameRate);
    if (now >= due) {
        // A late frame starts the next one from now rather than rushing to catch up.
        LastFlip = now;
        return;
    }
    Uint64 millis = (due - now) * 1000 / frequency;
    if (millis > 1) SDL_Delay(Uint32(millis - 1));
    while (SDL_GetPerformanceCounter() < due) {
    }
    LastFlip = due;
}

// Scales the target into a window of this size keeping its proportions, black bars around it.
static SDL_Rect LetterboxRect(int windowW, int windowH)
{
    SDL_Rect rect{0, 0, windowW, windowH};
    if (windowW * TargetHeight > windowH * TargetWidth) {
        rect.w = windowH * TargetWidth / TargetHeight;
        rect.x = (windowW - rect.w) / 2;
    } else {
        rect.h = windowW * TargetHeight / TargetWidth;
        rect.y = (windowH - rect.h) / 2;
    }
    return rect;
}

// The software screen goes into the window's own pixels.
static void ShowSoftScreen()
{
    SDL_RenderFlush(Renderer);
    SDL_Surface* window = SDL_GetWindowSurface(Window);
    if (!window) return;
    SDL_Rect rect = LetterboxRect(window->w, window->h);
    if (rect.w != window->w || rect.h != window->h) SDL_FillRect(window, nullptr, SDL_MapRGB(window->format, 0, 0, 0));
    SDL_SetSurfaceBlendMode(SoftScreen, SDL_BLENDMODE_NONE);
    if (rect.w == SoftScreen->w && rect.h == SoftScreen->h) SDL_BlitSurface(SoftScreen, nullptr, window, &rect);
    else SDL_BlitScaled(SoftScreen, nullptr, window, &rect);
    SDL_UpdateWindowSurface(Window);
}

// The target texture is drawn into the window by the renderer.
static void ShowTarget()
{
    SDL_SetRenderTarget(Renderer, nullptr);
    // The window may have changed size since the last frame (full screen arrives late
    // without a window manager): draw over all of it, whatever the renderer remembered.
    SDL_RenderSetViewport(Renderer, nullptr);
    SDL_SetRenderDrawColor(Renderer, 0, 0, 0, 255);
    SDL_RenderClear(Renderer);
    int windowW = 0, windowH = 0;
    SDL_GetRendererOutputSize(Renderer, &windowW, &windowH);
    SDL_Rect rect = LetterboxRect(windowW, windowH);
    SDL_SetTextureBlendMode(Target, SDL_BLENDMODE_NONE);
    SDL_RenderCopy(Renderer, Target, nullptr, &rect);
    SDL_RenderPresent(Renderer);
    SDL_SetRenderTarget(Renderer, Target);
    SDL_RenderSetViewport(Renderer, nullptr);
}

void FlipScreen()
{
    if (Renderer) {
        FlushSprites();
        WaitForFrameTime();
        DrawCallsShown = DrawCalls;
        DrawCalls = 0;
        if (SoftScreen) ShowSoftScreen();
        else ShowTarget();
        AgeTextCache();
    }
    PumpEvents();
}

int GrabScreen(int picture)
{
    if (!Renderer) return 0;
    FlushSprites();
    Image image;
    if (!MakeImage(image, TargetWidth, TargetHeight, PackColour(0, 0, 0))) return 0;
    if (SDL_RenderReadPixels(Renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, image.pixels.data(), TargetWidth * 4) != 0)
        return 0;
    for (uint32_t& pixel : image.pixels) pixel |= 0xFF000000u;
    return SetPictureImage(picture, image);
}
