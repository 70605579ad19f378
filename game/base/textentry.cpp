// game/base/textentry.cpp - the line editor and the mouse button events.
#include "game/base/textentry.h"

#include "game/base/messages.h"
#include "platform/input.h"

TextEntryState TextEntry;

// Scan codes of the editing keys.
enum EditKey {
    KeyEscape = 0x01,
    KeyBackspace = 0x0E,
    KeyReturn = 0x1C,
    KeyLeft = 0xCB,
    KeyRight = 0xCD,
    KeyDelete = 0xD3,
};

// Each editing key counts its own held frames: one key still down while the next is pressed
// must never make the next repeat at once.
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

// The characters come as the player's keyboard layout types them; the line takes what fits.
static void TypeCharacters()
{
    for (char c : TypedText()) {
        if (int(TextEntry.text.size()) >= TextEntry.maxLength) break;
        TextEntry.text.insert(size_t(TextEntry.cursor), 1, c);
        TextEntry.cursor++;
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
