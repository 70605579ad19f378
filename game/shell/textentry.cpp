// game/shell/textentry.cpp - the German key table, the line editor and the mouse button events.
#include "game/shell/textentry.h"

#include "game/sim/gameloop.h"
#include "game/sim/messages.h"
#include "platform/input.h"
#include "platform/latin1.h"

std::vector<KeyChar> KeyCharTable;
TextEntryState TextEntry;

// Scan codes the editor reacts to besides the character keys.
enum EditKey {
    KeyEscape = 0x01,
    KeyBackspace = 0x0E,
    KeyReturn = 0x1C,
    KeyLeftShift = 0x2A,
    KeyRightShift = 0x36,
    KeyLeft = 0xCB,
    KeyRight = 0xCD,
    KeyDelete = 0xD3,
};

// German layout. The order matters: several keys typed in one frame go in in this order.
void FillKeyCharTable()
{
    static const struct {
        int key;
        const char* plain;
        const char* shifted;
    } rows[] = {
        {0x02, "1", "!"}, {0x03, "2", "\""}, {0x04, "3", "§"}, {0x05, "4", "$"}, {0x06, "5", "%"},
        {0x07, "6", "&"}, {0x08, "7", "/"}, {0x09, "8", "("}, {0x0A, "9", ")"}, {0x0B, "0", "="},
        {0x4F, "1", "1"}, {0x50, "2", "2"}, {0x51, "3", "3"}, {0x4B, "4", "4"}, {0x4C, "5", "5"},
        {0x4D, "6", "6"}, {0x47, "7", "7"}, {0x48, "8", "8"}, {0x49, "9", "9"}, {0x52, "0", "0"},
        {0x1E, "a", "A"}, {0x30, "b", "B"}, {0x2E, "c", "C"}, {0x20, "d", "D"}, {0x12, "e", "E"},
        {0x21, "f", "F"}, {0x22, "g", "G"}, {0x23, "h", "H"},
        {0x17, "i", "I"}, {0x24, "j", "J"}, {0x25, "k", "K"}, {0x26, "l", "L"}, {0x32, "m", "M"},
        {0x31, "n", "N"}, {0x18, "o", "O"}, {0x19, "p", "P"}, {0x10, "q", "Q"}, {0x13, "r", "R"},
        {0x1F, "s", "S"}, {0x14, "t", "T"}, {0x16, "u", "U"}, {0x2F, "v", "V"}, {0x11, "w", "W"},
        {0x2D, "x", "X"}, {0x2C, "y", "Y"}, {0x15, "z", "Z"}, {0x39, " ", " "}, {0x0C, "ß", "?"},
        {0x1A, "ü", "Ü"}, {0x28, "ä", "Ä"}, {0x27, "ö", "Ö"}, {0x34, ".", ":"}, {0x35, "-", "_"},
        {0x1B, "+", "*"}, {0x33, ",", ";"}, {0x2B, "#", "'"},
    };
    KeyCharTable.clear();
    for (const auto& row : rows) KeyCharTable.push_back(KeyChar{row.key, L1(row.plain), L1(row.shifted)});
}

// Each key counts its own held frames: a Shift held for a capital, or the previous letter still
// down while the next is pressed, must never make the next letter repeat at once.
int KeyTyped(int key)
{
    if (key <= 0 || key >= KeyCount) return 0;
    int& held = TextEntry.repeatCounter[key];
    int typed = KeyWentUp(key);
    if (KeyHeld(key)) {
        if (held > 15) typed = 1;
        held++;
    } else {
        held = 0;
    }
    return typed;
}

void BeginTextEntry(const std::string& text)
{
    TextEntry.text = text;
    TextEntry.saved = text;
    TextEntry.cursor = int(text.size());
    TextEntry.active = 1;
}

static void TypeCharacters()
{
    int shift = KeyHeld(KeyLeftShift) || KeyHeld(KeyRightShift);
    for (const KeyChar& entry : KeyCharTable) {
        if (KeyTyped(entry.key) && int(TextEntry.text.size()) < TextEntry.maxLength) {
            TextEntry.text.insert(size_t(TextEntry.cursor), shift ? entry.shifted : entry.plain);
            TextEntry.cursor++;
        }
    }
}

static void EditAtCursor()
{
    std::string& text = TextEntry.text;
    if (KeyTyped(KeyBackspace) && TextEntry.cursor > 0) {
        text.erase(size_t(TextEntry.cursor - 1), 1);
        TextEntry.cursor--;
    }
    if (KeyTyped(KeyDelete) && TextEntry.cursor < int(text.size())) text.erase(size_t(TextEntry.cursor), 1);
    if (KeyTyped(KeyLeft) && TextEntry.cursor > 0) TextEntry.cursor--;
    if (KeyTyped(KeyRight) && TextEntry.cursor < int(text.size())) TextEntry.cursor++;
}

// Return ends editing; on the chat line a typed text goes into the ticker and out to the others.
static void FinishEditing()
{
    if (KeyWentUp(KeyReturn)) {
        TextEntry.active = 0;
        if (ChatActive && !TextEntry.text.empty()) {
            std::string line = ChatLead() + TextEntry.text;
            AddMessage(line);
            ChatToSend = line;
        }
        ChatActive = 0;
    }
    if (KeyWentUp(KeyEscape)) {
        TextEntry.text = TextEntry.saved;
        TextEntry.active = 0;
        ChatActive = 0;
    }
}

void TextEntryStep()
{
    // A caller may have replaced the text: keep the cursor inside it.
    if (TextEntry.cursor > int(TextEntry.text.size())) TextEntry.cursor = int(TextEntry.text.size());
    if (TextEntry.cursor < 0) TextEntry.cursor = 0;
    if (!AnyKeyHeld())
        for (int& held : TextEntry.repeatCounter) held = 0;
    TypeCharacters();
    EditAtCursor();
    FinishEditing();
}

// Per button (1 left, 2 right): frames held, last click (0 none, 1 click, 2 double), double-click window.
static int HeldFrames[3];
static int ClickState[3];
static int DoubleClickTimer[3];

void ResetMouseEvents()
{
    for (int b = 0; b < 3; b++) HeldFrames[b] = ClickState[b] = DoubleClickTimer[b] = 0;
}

static void UpdateButton(int b)
{
    if (DoubleClickTimer[b] > 0) DoubleClickTimer[b]--;
    if (MouseButton(b)) {
        HeldFrames[b]++;
        return;
    }
    // A press shorter than two frames is no click.
    if (HeldFrames[b] > 1) {
        ClickState[b] = DoubleClickTimer[b] > 0 ? 2 : 1;
        DoubleClickTimer[b] = 10;
    } else {
        ClickState[b] = 0;
    }
    HeldFrames[b] = 0;
}

int MouseEvent()
{
    UpdateButton(1);
    UpdateButton(2);
    // Later rows override earlier ones.
    int code = 0;
    if (HeldFrames[1] == 1) code = 10;
    if (HeldFrames[2] == 1) code = 20;
    if (HeldFrames[1] > 1) code = 11;
    if (HeldFrames[2] > 1) code = 21;
    if (ClickState[1] == 1) code = 12;
    if (ClickState[2] == 1) code = 22;
    if (ClickState[1] == 2) code = 14;
    if (ClickState[2] == 2) code = 24;
    // A click is one event: reported once, it must not cover the next press that follows at once.
    ClickState[1] = ClickState[2] = 0;
    return code;
}
