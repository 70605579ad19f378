// game/front/menus.h - the menu screen between start-up and play: its pages, its items and
// what they change, and the games started from it.
#pragma once

#include <string>
#include <vector>

// Pages and actions share one number space: a click makes the item's number current; a page
// is drawn, an action is carried out and hands back to its page.
enum MenuPage {
    MainPage = 1, GameMenuPage, NewGamePage, GameSettingsPage, MissionsPage, OptionsPage, GameOptionsPage,
    GraphicsPage, ResolutionPage, ColourDepthPage, EffectsPage, SoundPage, QuitPage, MultiplayerPage, JoinPage,
    ConnectingPage, HostingPage, WaitingPage, PausePage, AbortPage, SavePage, LoadPage, StatisticsPage,
    TablePage, DiagramPage, OverwritePage, SavedPage, DeletePage, LoadedBriefingPage, LastPage
};

enum MenuItemKind { TitleItem = 0, ButtonItem, ToggleItem, SaveEntryItem, LabelItem, TextFieldItem, SmallButtonItem };

struct MenuItem {
    int kind = TitleItem;
    std::string text; // Latin-1
    int x = 0, y = 0; // layout units
    int action = -1;  // page or action when clicked; -1 none
    int value = -1;   // toggles: 1 on, -1 off
};

struct MenuState {
    int current = MainPage; // page or action
    int page = MainPage;    // the page last drawn, where actions hand back to
    int settingsFrom = NewGamePage; // the page that opened the game settings
    int hoveredAction = -1, hoveredKind = -1, hoveredIndex = -1;
    float mouseX = 0, mouseY = 0; // pixels
    int reveal = 0;
    int colourPhase = 0;
    int multiplayer = 0;
    int editing = 0;   // 5 player name, 2 server address, 7 save name; 0 none
    int saveOffset = 0;
    int heldFrames = 0;
    int bannerX = 1024;   // layout units
    int inGame = 0;       // 1 while a game waits behind the pause page
    int loadFromGame = 0; // the load page was opened from the pause page
    int filesPage = SavePage; // the save or load page a confirmation returns to
    int diagramStale = 1;     // the diagram pictures need drawing again
    int diagramOffset = 0;    // first plot column in the diagram window
    std::string netLoadName; // a network game opened from this save; empty: a new game
    int quit = 0;         // the menus end the program
    std::string notice;   // a German line shown under the items (functions still to come)
};
extern MenuState Menu;
extern std::vector<MenuItem> MenuItems; // the current page's items, rebuilt every frame

// The items of a page (its title first).
std::vector<MenuItem> BuildPageItems(int page);
// One frame of the menu screen: input, the current page or action, drawing. Tests call it
// with injected input; 1 when the menus want the program to end.
int MenuFrame();
// The menu loop: runs until the program ends.
void RunMenus();
// Replaces starting the program anew after a change of screen mode (tests); null: start it.
extern void (*MenuRestartHook)();
// Every five minutes of real time in a single-player game, and whenever it is paused, the
// game is saved as "Autospeicherung" (never under the player's own "autosave").
extern const char* const AutosaveName;
constexpr double AutosaveSeconds = 300;
// Counts `seconds` of play; 1 when that made the autosave due and it was written.
int AutosaveAfter(double seconds);
// Starts the menus on their first page (the resolution page after a restart for a new mode).
void StartMenus();
