// Typing through the window system as a player's keyboard layout delivers it: key events by
// position and the text the layout makes of them, on a US and on a German keyboard.
#include "game/base/frame.h"
#include "game/base/textentry.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/latin1.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct Stroke {
    SDL_Scancode key;
    const char* text; // what the layout types with it, UTF-8
    int shift;
};

void Push(Uint32 type, SDL_Scancode key)
{
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = key;
    SDL_PushEvent(&event);
}

void PushText(const char* utf8)
{
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    std::strncpy(event.text.text, utf8, sizeof event.text.text - 1);
    SDL_PushEvent(&event);
}

void EditFrame()
{
    ReadKeyboard();
    TextEntryStep();
}

// Each key goes down (the system reports its text then) and comes up a frame later.
std::string Typed(const std::vector<Stroke>& strokes)
{
    TextEntry = TextEntryState{};
    TextEntry.maxLength = 16;
    BeginTextEntry("");
    for (const Stroke& stroke : strokes) {
        if (stroke.shift) Push(SDL_KEYDOWN, SDL_SCANCODE_LSHIFT);
        Push(SDL_KEYDOWN, stroke.key);
        PushText(stroke.text);
        EditFrame();
        Push(SDL_KEYUP, stroke.key);
        if (stroke.shift) Push(SDL_KEYUP, SDL_SCANCODE_LSHIFT);
        EditFrame();
    }
    return TextEntry.text;
}

} // namespace

class KeyboardLayouts : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(OpenDisplay(1024, 768, 32, "Test"), 1);
        SetScreenGeometry(1024, 768);
        ResetInput();
    }
    void TearDown() override { StopLayers(); }
};

TEST_F(KeyboardLayouts, TheLineTakesWhatTheLayoutTypesNotWhereTheKeysAre)
{
    // "x/y.z" on a US keyboard: the slash and the y and z keys sit where German has - z y.
    std::vector<Stroke> us = {{SDL_SCANCODE_X, "x", 0},
                              {SDL_SCANCODE_SLASH, "/", 0},
                              {SDL_SCANCODE_Y, "y", 0},
                              {SDL_SCANCODE_PERIOD, ".", 0},
                              {SDL_SCANCODE_Z, "z", 0}};
    EXPECT_EQ(Typed(us), "x/y.z");
    // The same on a German keyboard: the slash is Shift+7, y and z change places.
    std::vector<Stroke> german = {{SDL_SCANCODE_X, "x", 0},
                                  {SDL_SCANCODE_7, "/", 1},
                                  {SDL_SCANCODE_Z, "y", 0},
                                  {SDL_SCANCODE_PERIOD, ".", 0},
                                  {SDL_SCANCODE_Y, "z", 0}};
    EXPECT_EQ(Typed(german), "x/y.z");
    // Umlauts and the sharp s where a German keyboard has them; AltGr+E's euro has no Latin-1.
    std::vector<Stroke> umlauts = {{SDL_SCANCODE_APOSTROPHE, "\xC3\xA4", 0},
                                   {SDL_SCANCODE_MINUS, "\xC3\x9F", 0},
                                   {SDL_SCANCODE_E, "\xE2\x82\xAC", 0},
                                   {SDL_SCANCODE_LEFTBRACKET, "\xC3\x9C", 1}};
    EXPECT_EQ(Typed(umlauts), L1("äßÜ"));
}
