// Scan codes by key position, and the once-per-frame keyboard and mouse state.
#include "platform/input.h"

#include <SDL2/SDL_scancode.h>
#include <gtest/gtest.h>

TEST(ScanCodes, FollowThePcNumberingByPosition)
{
    EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_ESCAPE), 1);
    EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_F1), 59);
    EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_F12), 0x58);
    // German layout: the key right of T types "z", the one left of X types "y".
    EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_Y), 0x15);
    EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_Z), 0x2C);
    EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_MINUS), 0x0C) << "the German sharp s key";
    EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_RETURN), 0x1C);
    EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_KP_1), 0x4F);
    EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_PAGEUP), 0xC9);
    EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_DELETE), 0xD3);
    EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_RCTRL), 0x9D);
    EXPECT_EQ(ScanCodeFromSdl(-1), 0);
    EXPECT_EQ(ScanCodeFromSdl(SDL_NUM_SCANCODES), 0);
}

TEST(ScanCodes, NoTwoPositionsShareACodeExceptTheHashKey)
{
    int seen[256] = {};
    for (int sdl = 0; sdl < SDL_NUM_SCANCODES; sdl++) {
        int code = ScanCodeFromSdl(sdl);
        if (code == 0 || sdl == SDL_SCANCODE_NONUSHASH) continue;
        EXPECT_EQ(seen[code], 0) << "code " << code << " given twice";
        seen[code] = 1;
    }
}

TEST(Keyboard, ReleaseIsSeenInTheNextReadOnly)
{
    ResetInput();
    InjectKey(0x1E, 1);
    ReadKeyboard();
    EXPECT_EQ(KeyHeld(0x1E), 1);
    EXPECT_EQ(AnyKeyHeld(), 1);
    EXPECT_EQ(KeyWentUp(0x1E), 0);

    InjectKey(0x1E, 0);
    ReadKeyboard();
    EXPECT_EQ(KeyHeld(0x1E), 0);
    EXPECT_EQ(KeyWentUp(0x1E), 1);
    EXPECT_EQ(AnyKeyHeld(), 0);

    ReadKeyboard();
    EXPECT_EQ(KeyWentUp(0x1E), 0);
}

TEST(Keyboard, TapBetweenTwoReadsStillCountsAsRelease)
{
    ResetInput();
    InjectKey(0x01, 1);
    InjectKey(0x01, 0);
    ReadKeyboard();
    EXPECT_EQ(KeyHeld(0x01), 0);
    EXPECT_EQ(KeyWentUp(0x01), 1);
    // A key that was never down does not go up.
    InjectKey(0x02, 0);
    ReadKeyboard();
    EXPECT_EQ(KeyWentUp(0x02), 0);
    EXPECT_EQ(KeyHeld(-5), 0);
    EXPECT_EQ(KeyHeld(999), 0);
}

TEST(Mouse, MotionAndWheelAddUpUntilRead)
{
    ResetInput();
    InjectMouseMove(3, -2);
    InjectMouseMove(4, 1);
    InjectMouseWheel(1);
    InjectMouseWheel(1);
    InjectMouseButton(2, 1);
    ReadMouse();
    EXPECT_EQ(MouseMoveX(), 7);
    EXPECT_EQ(MouseMoveY(), -1);
    EXPECT_EQ(MouseWheel(), 2);
    EXPECT_EQ(MouseButton(2), 1);
    EXPECT_EQ(MouseButton(1), 0);
    ReadMouse();
    EXPECT_EQ(MouseMoveX(), 0);
    EXPECT_EQ(MouseWheel(), 0);
    EXPECT_EQ(MouseButton(2), 1) << "a held button stays held";
    EXPECT_EQ(MouseButton(3), 0);
}
