// tests/ui/ui_game.h - a running game driven only through the mouse and the keyboard, as a
// player drives it: the pointer is moved, buttons are pressed and released over real frames.
#pragma once

#include "game/base/tables.h"
#include "game/base/textentry.h"
#include "game/play/gameloop.h"
#include "game/sim/buildings.h"
#include "game/sim/units.h"
#include "game/ui/commands.h"
#include "game/ui/sidebar.h"
#include "platform/input.h"
#include "platform/sound.h"
#include "support/sim_world.h"
#include "support/test_game.h"

#include <cmath>

// A map of earth with a sand and spice field at its top (cells 17..21 x 2..5), in the first
// view; player 1 starts at (8, 10).
inline Image EarthMapWithSpice()
{
    std::vector<std::string> rows = FilledRows(60, 40, 'E');
    for (int y = 1; y < 7; y++) rows[size_t(y)].replace(15, 9, std::string(9, '.'));
    for (int y = 2; y < 6; y++) rows[size_t(y)].replace(17, 5, std::string(5, '$'));
    rows[10][8] = 'P';
    rows[30][52] = 'P';
    InstallMapRows(rows);
    return *PictureImage(1);
}

class UiGame : public ::testing::Test {
protected:
    TempFolder folder;

    void SetUp() override
    {
        StartTestGame(EarthMapWithSpice(), 11);
        for (const char* name : {"Forschung.info", "Wirkung.info"}) ASSERT_EQ(InstallShippedTable(name), 1);
        LoadDataTables();
        InstallObjectPictures();
        InstallHitShapes();
        MouseSpeed = 10; // one pixel of the mouse is one pixel of the pointer
        VoiceEffects = 1;
        StormSetting = 0;
        // Built again with the pictures in place, so every object has its size.
        ResetGameState();
        ASSERT_EQ(LoadMapTerrain(1), 1);
        StartNewGame(1);
        FogOn = -1;
        OpponentOn = -1; // the computer player keeps still: these tests are the player's
        Frames(2);
        LogPlayedSounds(1);
    }
    void TearDown() override
    {
        LogPlayedSounds(0);
        StopTestGame();
    }

    // The hit shapes of the pointer (its hot spot) and of the buttons.
    static void InstallHitShapes()
    {
        Image spot, item, small;
        MakeImage(spot, 1, 1, PackColour(255, 255, 255));
        MakeImage(item, 40, 40, PackColour(96, 96, 96));
        MakeImage(small, 32, 32, PackColour(96, 96, 96));
        SetPictureImage(9005, spot);
        SetPictureImage(9006, item);
        SetPictureImage(9007, small);
    }

    void Frames(int n)
    {
        for (int i = 0; i < n; i++) GameFrame();
    }
    // Moves the pointer to a point of the 1024 x 768 layout.
    void MoveTo(int x, int y)
    {
        InjectMouseMove(x - CursorX, y - CursorY);
        Frames(1);
    }
    // Moves the pointer to where a map cell is on the screen.
    void MoveToCell(float cellX, float cellY)
    {
        MoveTo(int(std::lround((cellX * 32 + CamX) * Zoom)), int(std::lround((cellY * 32 + CamY) * Zoom)));
    }
    // A player's clicks are apart: a click within ten frames of the last one is a double click.
    void Click(int button = 1)
    {
        Frames(12);
        InjectMouseButton(button, 1);
        Frames(2);
        InjectMouseButton(button, 0);
        Frames(1);
    }
    void ClickAt(int x, int y, int button = 1)
    {
        MoveTo(x, y);
        Click(button);
    }
    void DoubleClickAt(int x, int y)
    {
        MoveTo(x, y);
        Click();
        InjectMouseButton(1, 1);
        Frames(2);
        InjectMouseButton(1, 0);
        Frames(1);
    }
    // Presses over one point and lets go over another.
    void Drag(int x1, int y1, int x2, int y2)
    {
        Frames(12);
        MoveTo(x1, y1);
        InjectMouseButton(1, 1);
        Frames(2);
        MoveTo(x2, y2);
        Frames(1);
        InjectMouseButton(1, 0);
        Frames(1);
    }
    void Key(int code, std::initializer_list<int> held = {})
    {
        for (int h : held) InjectKey(h, 1);
        InjectKey(code, 1);
        Frames(1);
        InjectKey(code, 0);
        Frames(1);
        for (int h : held) InjectKey(h, 0);
        Frames(1);
    }
    // Clicks the middle of the item button at layout (x, y).
    void ClickItem(int x, int y, int button = 1) { ClickAt(x + 20, y + 20, button); }

    int Selected() const
    {
        int n = 0;
        for (const Unit& unit : Units) n += unit.selection == 2.0f;
        return n;
    }
    static int Played(int sound) { return SimWorld::Played(sound); }
};
