// launch/main.cpp - Launch: the start picture of the installed game, cut into seven windows.
#include "launch/launcher.h"
#include "platform/files.h"
#include "platform/gtk_shaped.h"
#include "platform/image.h"
#include "platform/session.h"

#include <chrono>
#include <thread>

// The picture, drawn at build time and assembled into the program (picture_data.cpp).
extern "C" const unsigned char LaunchPicture[];
extern "C" const unsigned char LaunchPictureEnd[];

static int Upper = 0, Lower = 0;            // window numbers
static int Entries[EntryCount + 1] = {0};   // Entries[k]: the window of entry k

// Opens the seven windows: the two parts at their start, the entries off the screen; the
// entries are opened last, so they lie above the parts.
static int OpenWindows(const Image& picture, LaunchState& state)
{
    int ux, uy, lx, ly;
    PlaceParts(state, ux, uy, lx, ly);
    Upper = OpenPictureWindow(LaunchTitle, picture, 0, 0, PictureWidth, PictureHeight, UpperShape, 8, ux, uy);
    Lower = OpenPictureWindow(LaunchTitle, picture, 0, 0, PictureWidth, PictureHeight, LowerShape, 8, lx, ly);
    for (int k = 1; k <= EntryCount; k++)
        Entries[k] = OpenPictureWindow(LaunchTitle, picture, 140, 150 + 40 * k, 210, 40, nullptr, 0, 2000, 0);
    ShowPictureWindows();
    return Upper && Lower && Entries[EntryCount];
}

// One frame of the launcher, in the order of its rules; 1 when the launcher is to end.
static int RunFrame(LaunchState& state)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(FrameMilliseconds));
    int px, py, leftDown;
    PointerState(px, py, leftDown);
    int mx = px - state.upperX, my = py - state.upperY;
    int ux, uy, lx, ly;
    PlaceParts(state, ux, uy, lx, ly);
    MovePictureWindow(Upper, ux, uy);
    MovePictureWindow(Lower, lx, ly);
    MoveParts(state);
    ProcessPictureEvents(10);
    if (NothingMoves(state)) WaitForPictureEvent();
    else ProcessPictureEvents(1);
    MoveEntries(state, mx, my, leftDown);
    for (int k = 1; k <= EntryCount; k++) {
        int x, y;
        EntryPosition(state, k, x, y);
        MovePictureWindow(Entries[k], x, y);
    }
    return LaunchFinished(state);
}

int main()
{
    SetProgramFolderFromExecutable();
    Image picture;
    if (!DecodeBmp(LaunchPicture, size_t(LaunchPictureEnd - LaunchPicture), picture)) return 1;
    if (!SessionNamesDisplay() || !StartPictureWindows()) {
        ReportNoDisplay("Launch");
        return 1;
    }
    if (PictureWindowsThroughX11())
        ReportSession("Launch", "Wayland-Sitzung: das Startbild läuft über X11 (XWayland), denn nur dort darf es seine "
                                "Fenster selbst setzen.");
    LaunchState state;
    int width, height;
    PictureScreenSize(width, height);
    StartLaunch(state, width, height);
    if (!OpenWindows(picture, state)) return 1;
    while (!RunFrame(state)) {
    }
    // The installation record is read only now, once the choice is made.
    CarryOutChoice(state.choice, ReadRootFolder());
    return 0;
}
