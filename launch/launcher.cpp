// launch/launcher.cpp - the launcher's animation steps and entry actions.
#include "launch/launcher.h"

#include "platform/files.h"
#include "platform/process.h"

#include <algorithm>
#include <vector>

// Left of x = 140 the two parts meet along a jagged line; right of it they leave the band from
// y = 190 to y = 390 open for the five entry strips.
const WindowRect UpperShape[8] = {{0, 0, 20, 200},    {20, 0, 40, 240},   {40, 0, 60, 220},   {60, 0, 80, 180},
                                  {80, 0, 100, 200},  {100, 0, 120, 240}, {120, 0, 140, 220}, {140, 0, 350, 190}};
const WindowRect LowerShape[8] = {{0, 200, 20, 410},   {20, 240, 40, 410},  {40, 220, 60, 410},  {60, 180, 80, 410},
                                  {80, 200, 100, 410}, {100, 240, 120, 410}, {120, 220, 140, 410}, {140, 390, 350, 410}};
const char* const LaunchTitle = "KORAX 3050 - Launch";
const char* const HomepageAddress = "https://forum.korax3050.example/";

void StartLaunch(LaunchState& state, int screenWidth, int screenHeight)
{
    state = LaunchState();
    state.cx = screenWidth / 2 - PictureWidth / 2;
    state.cy = screenHeight / 2 - PictureHeight / 2;
    state.upperOffset = -3 * state.cy;
    state.lowerOffset = 3 * state.cy;
    // The entries arrive one after another, 100 pixels apart.
    for (int k = 1; k <= EntryCount; k++) state.slide[k] = state.cx + 900 + 100 * (k - 1);
    state.upperX = state.cx;
    state.upperY = state.cy + state.upperOffset;
}

void PlaceParts(LaunchState& state, int& upperX, int& upperY, int& lowerX, int& lowerY)
{
    upperX = lowerX = state.cx;
    upperY = state.cy + state.upperOffset;
    lowerY = state.cy + state.lowerOffset;
    state.upperX = upperX;
    state.upperY = upperY;
}

void MoveParts(LaunchState& state)
{
    if (state.leaving) {
        state.upperOffset -= 15;
        state.lowerOffset += 15;
        // The lowest entry leaves first; each next one follows once the one below is 100 out.
        state.slide[5] += 60;
        for (int k = 4; k >= 1; k--)
            if (state.slide[k + 1] > 100) state.slide[k] += 60;
        return;
    }
    if (state.upperOffset < 0) state.upperOffset = std::min(state.upperOffset + 15, 0);
    if (state.lowerOffset > 0) state.lowerOffset = std::max(state.lowerOffset - 15, 0);
}

int EntriesAtRest(const LaunchState& state)
{
    for (int k = 1; k <= EntryCount; k++)
        if (state.slide[k] != 0 && state.slide[k] != 40) return 0;
    return 1;
}

int NothingMoves(const LaunchState& state)
{
    // The parts must have met as well: on a tall screen the entries are home before the parts
    // are, and a loop that slept then would leave the picture split until the mouse moved.
    return !state.leaving && state.upperOffset == 0 && state.lowerOffset == 0 && EntriesAtRest(state);
}

int EntryUnderMouse(const LaunchState& state, int k, int mx, int my)
{
    return mx > 150 && mx < 350 && my > 150 + 40 * k && my < 190 + 40 * k && state.slide[k] < 50;
}

void MoveEntries(LaunchState& state, int mx, int my, int leftDown)
{
    for (int k = 1; k <= EntryCount; k++) {
        int& slide = state.slide[k];
        if (EntryUnderMouse(state, k, mx, my)) {
            // A press counts while the button is held; the last entry pressed is the choice.
            if (leftDown) {
                state.choice = k;
                state.leaving = 1;
            }
            if (slide < 40) slide += 10;
            continue;
        }
        // Entries far out come back 30 pixels a frame, the last 40 pixels 10 a frame.
        if (slide > 0) {
            slide -= 10;
            if (slide > 40) slide -= 20;
            if (slide < 0) slide = 0;
        }
    }
}

void EntryPosition(const LaunchState& state, int k, int& x, int& y)
{
    x = state.cx + 140 + state.slide[k];
    y = state.cy + 150 + 40 * k;
}

int LaunchFinished(const LaunchState& state) { return state.leaving && state.upperOffset < -3 * state.cy; }

std::string ChoiceProgram(int choice)
{
    if (choice == 1) return "DATEN\\" + ProgramFile("KORAX 3050");
    if (choice == 3) return "DATEN\\" + ProgramFile("Hilfe");
    return ""; // "Updaten" and "Beenden" just end the launcher; "Homepage" opens no program
}

void CarryOutChoice(int choice, const std::string& root)
{
    if (choice == 4) {
        OpenWebAddress(HomepageAddress);
        return;
    }
    std::string program = ChoiceProgram(choice);
    if (!program.empty()) StartProgramBelow(root, program, 0);
}
