// platform/gtk_form.h - one plain window of fixed layout for the desktop tools: frames with
// titles, push buttons, one-line edits, list boxes and trees, each placed at its pixel position
// as the tools' own layout tables give it.
//
// A program has at most one form window. Controls are addressed by number (1, 2, ... in the
// order they were added; 0 means failure). Texts going in and coming out are Latin-1; events
// are plain procedures that receive the Latin-1 text of the chosen entry.
#pragma once

#include "platform/image.h"

#include <string>

using FormEvent = void (*)();
using FormTextEvent = void (*)(const std::string& textLatin1);

// Starts GTK and makes message boxes GTK dialogs; 1 when a display could be opened.
int StartFormWindows();

// Opens the form window: a caption with `title`, the client area `width` x `height` at the
// screen position (x, y), a minimize button and no resizing. Every control is written in the
// font `family` (bold when `bold`) at `pixelSize` pixels. 1 on success.
int OpenFormWindow(const std::string& title, int x, int y, int width, int height,
                   const std::string& family, int pixelSize, int bold);

int AddFormFrame(int x, int y, int width, int height, const std::string& title);
int AddFormButton(int x, int y, int width, int height, const std::string& text, FormEvent onPress);
int AddFormLineEdit(int x, int y, int width, int height);
std::string FormLineEditText(int control);
void SetFormLineEditText(int control, const std::string& text);

// A list box; `onChoose` runs whenever an entry becomes selected, is clicked again while
// selected, or is activated.
int AddFormListBox(int x, int y, int width, int height, FormTextEvent onChoose);
void ClearFormListBox(int control);
void AddFormListEntry(int control, const std::string& text);
int FormListEntryCount(int control);
std::string FormListEntry(int control, int index); // 0-based; "" past the end
// Selects entry `index` (0-based) as a click would, `onChoose` included.
void ChooseFormListEntry(int control, int index);

// A tree with lines and expand buttons; every entry carries a 16 x 16 icon.
int AddFormTree(int x, int y, int width, int height, FormTextEvent onChoose);
// Adds an entry under `parent` (an entry number, 0 for the top level); its number, 0 on failure.
int AddFormTreeEntry(int tree, int parent, const std::string& text, const Image& icon);
// Opens the branch of a tree entry, or every branch with `entry` 0.
void ExpandFormTree(int tree, int entry);
// Selects an entry as a click would, `onChoose` included.
void ChooseFormTreeEntry(int tree, int entry);

// Gives a control the keyboard focus when the window opens (and at once when it is open).
void FocusFormControl(int control);

// The Enter key, pressed anywhere in the window, runs `onEnter` instead of reaching a control.
void SetFormEnterKey(FormEvent onEnter);

// Test hook: an Enter key press sent to the window, as the keyboard would send it.
void SendFormEnterKey();
// Test hooks: a left click on a tree entry or a list entry (0-based), as the mouse would send
// it; the window must be shown.
void ClickFormTreeEntry(int tree, int entry);
void ClickFormListEntry(int control, int index);

// Shows the window and handles its events until it is closed.
void RunFormWindow();
// Handles what is pending without waiting (tests and screenshots drive the window this way).
void ProcessFormEvents();
// Closes the window; RunFormWindow returns.
void CloseFormWindow();
