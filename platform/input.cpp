// platform/input.cpp - SDL events folded into per-frame keyboard and mouse state.
#include "platform/input.h"

#include "platform/sdl_internal.h"

#include <array>

// Live state changes with every event; the frame state is what the game reads until the next read.
static std::array<unsigned char, KeyCount> LiveHeld{};
static std::array<unsigned char, KeyCount> LiveWentUp{};
static std::array<unsigned char, KeyCount> FrameHeld{};
static std::array<unsigned char, KeyCount> FrameWentUp{};
static int LiveMoveX = 0, LiveMoveY = 0, LiveWheel = 0;
static int FrameMoveX = 0, FrameMoveY = 0, FrameWheel = 0;
static std::string LiveTyped, FrameTyped; // Latin-1
static int LiveButtons[3] = {0, 0, 0};
static int FrameButtons[3] = {0, 0, 0};
static int CloseRequested = 0;

struct ScanPair {
    SDL_Scancode sdl;
    int code;
};

// SDL key positions -> PC scan codes.
static const ScanPair ScanTable[] = {
    {SDL_SCANCODE_ESCAPE, 0x01}, {SDL_SCANCODE_1, 0x02}, {SDL_SCANCODE_2, 0x03}, {SDL_SCANCODE_3, 0x04},
    {SDL_SCANCODE_4, 0x05}, {SDL_SCANCODE_5, 0x06}, {SDL_SCANCODE_6, 0x07}, {SDL_SCANCODE_7, 0x08},
    {SDL_SCANCODE_8, 0x09}, {SDL_SCANCODE_9, 0x0A}, {SDL_SCANCODE_0, 0x0B}, {SDL_SCANCODE_MINUS, 0x0C},
    {SDL_SCANCODE_EQUALS, 0x0D}, {SDL_SCANCODE_BACKSPACE, 0x0E}, {SDL_SCANCODE_TAB, 0x0F},
    {SDL_SCANCODE_Q, 0x10}, {SDL_SCANCODE_W, 0x11}, {SDL_SCANCODE_E, 0x12}, {SDL_SCANCODE_R, 0x13},
    {SDL_SCANCODE_T, 0x14}, {SDL_SCANCODE_Y, 0x15}, {SDL_SCANCODE_U, 0x16}, {SDL_SCANCODE_I, 0x17},
    {SDL_SCANCODE_O, 0x18}, {SDL_SCANCODE_P, 0x19}, {SDL_SCANCODE_LEFTBRACKET, 0x1A},
    {SDL_SCANCODE_RIGHTBRACKET, 0x1B}, {SDL_SCANCODE_RETURN, 0x1C}, {SDL_SCANCODE_LCTRL, 0x1D},
    {SDL_SCANCODE_A, 0x1E}, {SDL_SCANCODE_S, 0x1F}, {SDL_SCANCODE_D, 0x20}, {SDL_SCANCODE_F, 0x21},
    {SDL_SCANCODE_G, 0x22}, {SDL_SCANCODE_H, 0x23}, {SDL_SCANCODE_J, 0x24}, {SDL_SCANCODE_K, 0x25},
    {SDL_SCANCODE_L, 0x26}, {SDL_SCANCODE_SEMICOLON, 0x27}, {SDL_SCANCODE_APOSTROPHE, 0x28},
    {SDL_SCANCODE_GRAVE, 0x29}, {SDL_SCANCODE_LSHIFT, 0x2A}, {SDL_SCANCODE_BACKSLASH, 0x2B},
    {SDL_SCANCODE_NONUSHASH, 0x2B}, {SDL_SCANCODE_Z, 0x2C}, {SDL_SCANCODE_X, 0x2D}, {SDL_SCANCODE_C, 0x2E},
    {SDL_SCANCODE_V, 0x2F}, {SDL_SCANCODE_B, 0x30}, {SDL_SCANCODE_N, 0x31}, {SDL_SCANCODE_M, 0x32},
    {SDL_SCANCODE_COMMA, 0x33}, {SDL_SCANCODE_PERIOD, 0x34}, {SDL_SCANCODE_SLASH, 0x35},
    {SDL_SCANCODE_RSHIFT, 0x36}, {SDL_SCANCODE_KP_MULTIPLY, 0x37}, {SDL_SCANCODE_LALT, 0x38},
    {SDL_SCANCODE_SPACE, 0x39}, {SDL_SCANCODE_CAPSLOCK, 0x3A}, {SDL_SCANCODE_F1, 0x3B}, {SDL_SCANCODE_F2, 0x3C},
    {SDL_SCANCODE_F3, 0x3D}, {SDL_SCANCODE_F4, 0x3E}, {SDL_SCANCODE_F5, 0x3F}, {SDL_SCANCODE_F6, 0x40},
    {SDL_SCANCODE_F7, 0x41}, {SDL_SCANCODE_F8, 0x42}, {SDL_SCANCODE_F9, 0x43}, {SDL_SCANCODE_F10, 0x44},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x45}, {SDL_SCANCODE_SCROLLLOCK, 0x46}, {SDL_SCANCODE_KP_7, 0x47},
    {SDL_SCANCODE_KP_8, 0x48}, {SDL_SCANCODE_KP_9, 0x49}, {SDL_SCANCODE_KP_MINUS, 0x4A},
    {SDL_SCANCODE_KP_4, 0x4B}, {SDL_SCANCODE_KP_5, 0x4C}, {SDL_SCANCODE_KP_6, 0x4D},
    {SDL_SCANCODE_KP_PLUS, 0x4E}, {SDL_SCANCODE_KP_1, 0x4F}, {SDL_SCANCODE_KP_2, 0x50},
    {SDL_SCANCODE_KP_3, 0x51}, {SDL_SCANCODE_KP_0, 0x52}, {SDL_SCANCODE_KP_PERIOD, 0x53},
    {SDL_SCANCODE_NONUSBACKSLASH, 0x56}, {SDL_SCANCODE_F11, 0x57}, {SDL_SCANCODE_F12, 0x58},
    {SDL_SCANCODE_KP_ENTER, 0x9C}, {SDL_SCANCODE_RCTRL, 0x9D}, {SDL_SCANCODE_KP_DIVIDE, 0xB5},
    {SDL_SCANCODE_PRINTSCREEN, 0xB7}, {SDL_SCANCODE_RALT, 0xB8}, {SDL_SCANCODE_PAUSE, 0xC5},
    {SDL_SCANCODE_HOME, 0xC7}, {SDL_SCANCODE_UP, 0xC8}, {SDL_SCANCODE_PAGEUP, 0xC9},
    {SDL_SCANCODE_LEFT, 0xCB}, {SDL_SCANCODE_RIGHT, 0xCD}, {SDL_SCANCODE_END, 0xCF},
    {SDL_SCANCODE_DOWN, 0xD0}, {SDL_SCANCODE_PAGEDOWN, 0xD1}, {SDL_SCANCODE_INSERT, 0xD2},
    {SDL_SCANCODE_DELETE, 0xD3}, {SDL_SCANCODE_LGUI, 0xDB}, {SDL_SCANCODE_RGUI, 0xDC},
    {SDL_SCANCODE_APPLICATION, 0xDD},
};

// The table turned around once: SDL scancode -> scan code.
static const std::array<unsigned char, SDL_NUM_SCANCODES>& ScanLookup()
{
    static std::array<unsigned char, SDL_NUM_SCANCODES> lookup = [] {
        std::array<unsigned char, SDL_NUM_SCANCODES> table{};
        for (const ScanPair& pair : ScanTable) table[size_t(pair.sdl)] = (unsigned char)pair.code;
        return table;
    }();
    return lookup;
}

int ScanCodeFromSdl(int sdlScancode)
{
    if (sdlScancode < 0 || sdlScancode >= SDL_NUM_SCANCODES) return 0;
    return ScanLookup()[size_t(sdlScancode)];
}

static int ValidKey(int code) { return code > 0 && code < KeyCount; }

void InjectKey(int code, int down)
{
    if (!ValidKey(code)) return;
    if (!down && LiveHeld[size_t(code)]) LiveWentUp[size_t(code)] = 1;
    LiveHeld[size_t(code)] = down ? 1 : 0;
}

// The character of the UTF-8 sequence at `at`, which moves past it; -1 for a broken sequence.
static long NextCharacter(const std::string& utf8, size_t& at)
{
    unsigned char lead = (unsigned char)utf8[at++];
    if (lead < 0x80) return lead;
    int more = (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    if (more < 0) return -1;
    long code = lead & (0x3F >> more);
    for (int k = 0; k < more; k++) {
        if (at >= utf8.size() || ((unsigned char)utf8[at] >> 6) != 0x2) return -1;
        code = (code << 6) | ((unsigned char)utf8[at++] & 0x3F);
    }
    return code;
}

// Text the system typed, kept as far as it is printable Latin-1: what the game's font and files
// can hold. A game that reads no keys for a while (a long load) keeps no more than a line's worth.
void InjectText(const std::string& utf8)
{
    size_t at = 0;
    while (at < utf8.size()) {
        long code = NextCharacter(utf8, at);
        int printable = (code >= 0x20 && code <= 0x7E) || (code >= 0xA0 && code <= 0xFF);
        if (printable && LiveTyped.size() < 256) LiveTyped += char(code);
    }
}

void InjectMouseMove(int dx, int dy)
{
    LiveMoveX += dx;
    LiveMoveY += dy;
}

void InjectMouseButton(int button, int down)
{
    if (button >= 1 && button <= 2) LiveButtons[button] = down ? 1 : 0;
}

void InjectMouseWheel(int notches) { LiveWheel += notches; }

static void TakeEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        InjectKey(ScanCodeFromSdl(event.key.keysym.scancode), event.type == SDL_KEYDOWN);
        break;
    case SDL_TEXTINPUT:
        InjectText(event.text.text);
        break;
    case SDL_MOUSEMOTION:
        InjectMouseMove(event.motion.xrel, event.motion.yrel);
        break;
    case SDL_MOUSEWHEEL:
        InjectMouseWheel(event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        int button = event.button.button == SDL_BUTTON_LEFT ? 1 : event.button.button == SDL_BUTTON_RIGHT ? 2 : 0;
        InjectMouseButton(button, event.type == SDL_MOUSEBUTTONDOWN);
        break;
    }
    case SDL_QUIT:
        CloseRequested = 1;
        break;
    default:
        break;
    }
}

void PumpEvents()
{
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return;
    // Typed characters come from the system's text input, which knows the player's layout.
    if (SDL_WasInit(SDL_INIT_VIDEO) && !SDL_IsTextInputActive()) SDL_StartTextInput();
    SDL_Event event;
    while (SDL_PollEvent(&event)) TakeEvent(event);
}

void ReadKeyboard()
{
    PumpEvents();
    FrameHeld = LiveHeld;
    FrameWentUp = LiveWentUp;
    LiveWentUp.fill(0);
    FrameTyped.swap(LiveTyped);
    LiveTyped.clear();
}

int KeyHeld(int code) { return ValidKey(code) ? FrameHeld[size_t(code)] : 0; }
int KeyWentUp(int code) { return ValidKey(code) ? FrameWentUp[size_t(code)] : 0; }

const std::string& TypedText() { return FrameTyped; }

int AnyKeyHeld()
{
    for (unsigned char held : FrameHeld)
        if (held) return 1;
    return 0;
}

void ReadMouse()
{
    PumpEvents();
    FrameMoveX = LiveMoveX;
    FrameMoveY = LiveMoveY;
    FrameWheel = LiveWheel;
    LiveMoveX = LiveMoveY = LiveWheel = 0;
    FrameButtons[1] = LiveButtons[1];
    FrameButtons[2] = LiveButtons[2];
}

int MouseMoveX() { return FrameMoveX; }
int MouseMoveY() { return FrameMoveY; }
int MouseWheel() { return FrameWheel; }
int MouseButton(int button) { return (button == 1 || button == 2) ? FrameButtons[button] : 0; }
int WindowCloseRequested() { return CloseRequested; }

void ResetInput()
{
    LiveHeld.fill(0);
    LiveWentUp.fill(0);
    FrameHeld.fill(0);
    FrameWentUp.fill(0);
    LiveTyped.clear();
    FrameTyped.clear();
    LiveMoveX = LiveMoveY = LiveWheel = FrameMoveX = FrameMoveY = FrameWheel = 0;
    for (int i = 0; i < 3; i++) LiveButtons[i] = FrameButtons[i] = 0;
    CloseRequested = 0;
}
