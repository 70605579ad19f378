// game/base/frame.cpp - geometry, fatal errors, checked sprite loading, the bitmap font, the
// loading screen and the frames-per-second meter.
#include "game/base/frame.h"

#include "platform/dialog.h"
#include "platform/display.h"
#include "platform/pictures.h"
#include "platform/sprites.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

int ScreenWidthPx = 1024;
int ScreenHeightPx = 768;
float UiScale = 1.0f;
float FontScale = 0.8f;
float GameScreenScale = 1.0f;
std::atomic<int> FrameCounter{0};
std::atomic<int> FpsClock{0};

// Sprite numbers this file draws with.
enum FrameSprite { GlyphStrip = 7771, TextBox = 9012, Logo = 7002, BarLeft = 7014, BarDone = 7016 };

struct ScreenMode {
    int width;
    int height;
};
static const ScreenMode ScreenModes[] = {{640, 480}, {800, 600}, {1024, 768}, {1152, 864}, {1280, 1024}};

void ScreenSizeFor(int resolutionIndex, int& width, int& height)
{
    // The file keeps any value; an index outside the table must not reach past it.
    const ScreenMode& mode = (resolutionIndex >= 1 && resolutionIndex <= 5) ? ScreenModes[resolutionIndex - 1] : ScreenModes[2];
    width = mode.width;
    height = mode.height;
}

void SetScreenGeometry(int width, int height)
{
    ScreenWidthPx = width;
    ScreenHeightPx = height;
    UiScale = float(width) / 32 / 32;
    FontScale = float(width) / 1280.0f;
    GameScreenScale = UiScale * 1.0f;
}

std::string GlyphStripFile(int width) { return "BMP\\Zeichensatz" + std::to_string(width) + "-.bmp"; }

// ---- frames per second ----

void FpsClockTick(int milliseconds)
{
    // A window of 0.9 to 1.8 seconds: when it reaches 1.8 s, half of it is forgotten.
    int clock = FpsClock.fetch_add(milliseconds) + milliseconds;
    if (clock >= 1800) {
        FpsClock = clock / 2;
        FrameCounter = FrameCounter.load() >> 1;
    }
}

// The clock counts the milliseconds that really passed. A fixed step per sleep would count a
// sleep as long as it was asked for, and a sleep of 4 ms is longer than that wherever it lasts
// the timer's whole period.
void StartFpsClock()
{
    static int started = 0;
    if (started) return;
    started = 1;
    std::thread([] {
        using Clock = std::chrono::steady_clock;
        Clock::time_point last = Clock::now();
        double carried = 0;
        for (;;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(4));
            Clock::time_point now = Clock::now();
            carried += std::chrono::duration<double, std::milli>(now - last).count();
            last = now;
            int whole = int(carried);
            carried -= whole;
            FpsClockTick(whole);
        }
    }).detach();
}

void CountFrame() { FrameCounter++; }

int FramesPerSecond()
{
    int frames = FrameCounter, window = FpsClock;
    // Before the clock's first tick there is no window to divide by.
    if (frames < 1 || window <= 0) return 0;
    return int(std::lround(double(frames) * 1000.0 / window));
}

// ---- errors and sprites ----

void FatalError(const std::string& text)
{
    CloseDisplay();
    ShowMessageBox("ZQ_TR_Procedure", "! FEHLER !  " + text, MessageOk);
    StopLayers();
    std::exit(1);
}

int LoadTextureSprite(int number, const std::string& file)
{
    if (!LoadPicture(number, file)) FatalError("Datei \"" + file + "\" konnte nicht geladen werden!");
    return CreateSprite3D(number);
}

// ---- the bitmap font ----

// Latin-1 umlauts and the paragraph sign live at codes 130..137 of the glyph strip.
static int GlyphCode(unsigned char c)
{
    switch (c) {
    case 0xC4: return 130; // Ä
    case 0xD6: return 131; // Ö
    case 0xDC: return 132; // Ü
    case 0xE4: return 133; // ä
    case 0xF6: return 134; // ö
    case 0xFC: return 135; // ü
    case 0xDF: return 136; // ß
    case 0xA7: return 137; // §
    default: return c;
    }
}

static int Round(float value) { return int(std::lround(value)); }

static void DrawTextBox(int n, float x, float y, int alignment)
{
    float w = 12 * FontScale;
    SetSpriteSize(TextBox, float(Round((n + 1) * w)), float(Round(25 * FontScale)));
    float left = alignment < 0 ? x + 6 * FontScale - n * 12 * FontScale
               : alignment == 0 ? x + 6 * FontScale - n * 6 * FontScale - 12 * FontScale
                                : x + 6 * FontScale;
    DrawSprite3D(TextBox, float(Round(left)), float(Round(y - 3 * FontScale)), 170);
}

void DrawText(const std::string& text, float x, float y, int alignment, int box)
{
    x *= UiScale;
    y *= UiScale;
    float w = 12 * FontScale, h = 20 * FontScale;
    int n = int(text.size());
    if (box == 1 && n > 0) DrawTextBox(n, x, y, alignment);
    float shift = alignment < 0 ? n * 12 * FontScale : alignment == 0 ? n * 6 * FontScale + 12 * FontScale : 0;
    for (int i = 1; i <= n; i++) {
        int glyph = GlyphCode((unsigned char)text[size_t(i - 1)]) - 30;
        // The strip holds codes 30..149; other characters have no glyph and leave a gap.
        if (glyph < 0 || glyph >= 120) continue;
        DrawPicturePart(GlyphStrip, Round(glyph * w), 0, Round(w - 1), Round(h), Round(float(Round(i * w)) + x - shift),
                        Round(y), 1);
    }
}

// ---- the loading screen ----

void ShowLoadingProgress(int percent)
{
    float s = UiScale;
    int barY = Round(384 * s) + 2, barH = Round(16 * s) - 4;
    ClearScreen(0, 0, 0);
    BeginScene();
    // The logo in ordinary blending; the bar then takes its colour from the logo beneath it.
    SetBlendFactors(5, 6);
    SetSpriteSize(Logo, 512 * s, 512 * s);
    DrawSprite3D(Logo, float(Round(256 * s)), float(Round(128 * s)), 255);
    SetBlendFactors(9, 6);
    int doneW = Round(percent * 5 * s) - 2, leftW = Round((500 - percent * 5) * s) - 2;
    for (int pass = 0; pass < 2; pass++) {
        if (doneW > 0) {
            SetSpriteSize(BarDone, float(doneW), float(barH));
            DrawSprite3D(BarDone, float(Round(262 * s) + 2), float(barY), 128);
        }
        if (leftW > 0) {
            SetSpriteSize(BarLeft, float(leftW), float(barH));
            DrawSprite3D(BarLeft, float(Round((262 + percent * 5) * s)), float(barY), 128);
        }
    }
    EndScene();
    BeginScene();
    DrawSprite3D(Logo, float(Round(256 * s)), float(Round(128 * s)), 64);
    EndScene();
    SetBlendFactors(5, 6);
    FlipScreen();
    ClearScreen(0, 0, 0);
}
