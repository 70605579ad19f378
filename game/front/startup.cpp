// game/front/startup.cpp - the start-up sequence of the game program.
#include "game/front/startup.h"

#include "game/base/assets.h"
#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/base/tables.h"
#include "game/base/textentry.h"
#include "game/front/intro.h"
#include "game/front/menus.h"
#include "game/net/netgame.h"
#include "game/net/threads.h"
#include "game/sim/gamestate.h"
#include "game/sim/world.h"
#include "platform/dialog.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/latin1.h"
#include "platform/pictures.h"
#include "platform/session.h"
#include "platform/sprites.h"


std::string CreditsBanner;

// Each layer the game stands on, in start-up order, with the text shown when it fails.
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
        if (layer.start()) continue;
        // Without any screen no box can show: the player learns it on the terminal.
        if (layer.start == StartDisplayLayer && DisplayMissing()) ReportNoDisplay("KORAX 3050");
        else ShowMessageBox("Error", layer.failure, MessageOk);
        return 0;
    }
    return 1;
}

static void PrepareGlobals()
{
    TitleFontFamily = "Omicron Zeta Pressed";
    CreditsBanner = L1("KORAX 3050 - Spiel und Programm: Studio Wüstenwind");
    // A transfer save left by a network game that ended badly must not be offered again.
    RemoveFile("SAVE\\_MehrspielerNWI.sav");
    ClearDataTables();
}

int OpenGameDisplay()
{
    int width = 0, height = 0;
    ScreenSizeFor(ResolutionIndex, width, height);
    SetScreenGeometry(width, height);
    if (OpenDisplay(width, height, ColourDepth, "KORAX 3050")) return 1;
    // Without a screen the game would run unseen and unpaced, with no window to close.
    ShowMessageBox("FEHLER",
                   L1("Der Bildschirm konnte nicht im Vollbild mit ") + std::to_string(width) + " x " + std::to_string(height) +
                       L1(" Bildpunkten geöffnet werden.\nDas Spiel wird beendet."),
                   MessageOk);
    return 0;
}

// What the loading screen itself needs: logo and bar on magenta, everything after on black.
static void LoadLoadingScreen()
{
    SetTransparentColour(255, 0, 255);
    if (LoadPicture(7002, "BMP\\LOGO.jpg")) CreateSprite3D(7002);
    LoadTextureSprite(7014, "BMP\\ICON\\50a.bmp");
    LoadTextureSprite(7016, "BMP\\ICON\\50b.bmp");
    SetTransparentColour(0, 0, 0);
}

int RunGameProgram()
{
    SetProgramFolderFromExecutable();
    if (!StartLayers()) {
        StopLayers();
        return 1;
    }
    PrepareGlobals();
    SetConfigurationDefaults();
    ReadConfiguration();
    if (MakeTextures == 1) RunFirstStartGeneration();
    if (!OpenGameDisplay()) {
        StopLayers();
        return 1;
    }
    LoadLoadingScreen();
    ShowLoadingProgress(0);
    LoadAssets();
    LoadSounds();
    ShowLoadingProgress(100);
    LoadDataTables();
    StartFpsClock();
    StartNetThreads();
    CreateFonts();
    RunIntro();
    RunMenus(); // writes the settings back when the player leaves
    LeaveNetwork();
    StopNetThreads();
    StopLayers();
    return 0;
}
