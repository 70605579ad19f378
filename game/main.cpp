// game/main.cpp - the game program: starts the platform layers, opens the display and runs
// until Escape. The start-up sequence, configuration and loading grow here step by step.
#include "platform/dialog.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/text.h"

// Each layer the game stands on, checked in start-up order, with the text shown when it fails.
struct LayerCheck {
    int (*start)();
    const char* failure;
};

static const LayerCheck Layers[] = {
    {StartDisplayLayer, "Can't open DirectX 7 Or later"},
    {StartKeyboardLayer, "Can't open DirectX 7 Or later"},
    {StartSpriteLayer, "Direct3D system can't be initialized correctly"},
    {StartMouseLayer, "Can't open DirectX 7"},
    {StartSoundLayer, "Can't initialize movie playback !"},
};

static int StartLayers()
{
    for (const LayerCheck& layer : Layers) {
        if (!layer.start()) {
            ShowMessageBox("Error", layer.failure, MessageOk);
            return 0;
        }
    }
    return 1;
}

// Until the loading screen and menus exist: the title on black, Escape ends.
static void WaitForEscape()
{
    int font = LoadFont("DejaVu Sans Fett", 48);
    int width = TextWidth(font, "KORAX 3050");
    SetFrameRate(40);
    while (!WindowCloseRequested()) {
        ReadKeyboard();
        if (KeyWentUp(0x01)) break;
        ClearScreen(0, 0, 0);
        DrawFontText(font, "KORAX 3050", (ScreenWidth() - width) / 2, ScreenHeight() / 2 - 24, 230, 190, 110);
        FlipScreen();
    }
}

int main()
{
    SetProgramFolderFromExecutable();
    if (!StartLayers()) {
        StopLayers();
        return 1;
    }
    OpenDisplay(1024, 768, 32, "KORAX 3050");
    WaitForEscape();
    StopLayers();
    return 0;
}
