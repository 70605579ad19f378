// game/front/menus.cpp - the menu screen: pages as rows of items, the frame that reads the
// mouse, carries out what was clicked and draws the page over the space scene, and the games
// that run from it and come back to it.
#include "game/front/menus.h"

#include "game/base/assets.h"
#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/base/messages.h"
#include "game/base/textentry.h"
#include "game/front/briefing.h"
#include "game/front/space.h"
#include "game/front/startup.h"
#include "game/net/netgame.h"
#include "game/net/threads.h"
#include "game/play/gameloop.h"
#include "game/save/savefile.h"
#include "game/save/saveformat.h"
#include "game/sim/buildings.h"
#include "game/sim/world.h"
#include "game/ui/statistics.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/latin1.h"
#include "platform/pictures.h"
#include "platform/process.h"
#include "platform/sound.h"
#include "platform/sprites.h"
#include "platform/text.h"

#include <algorithm>
#include <cmath>
#include <chrono>
#include <cstdio>

MenuState Menu;
std::vector<MenuItem> MenuItems;

namespace {

Briefing LoadedBriefing; // the running mission's briefing, shown after its save was loaded

// Actions: what a click does besides opening a page.
enum Action {
    MapDown = 100, MapUp, HourDown, HourUp, DayNightSwitch, DifficultyDown, DifficultyUp, StormsDown, StormsUp,
    TechSwitch, MouseDown, MouseUp, SpeedDown, SpeedUp, ScrollDown, ScrollUp, Resolution1, Resolution2, Resolution3,
    Resolution4, Resolution5, Depth16, Depth24, Depth32, SmokeSwitch, TracksSwitch, BloodSwitch, ShadowSwitch,
    VoiceSwitch, SoundSwitch, QuitYes, StartFreeGame, StartMission, Resume, AbortYes, EditName, EditAddress,
    EditSaveName, Host, Connect, SaveNow, LoadNow, DeleteFile, ListDown, ListUp, FollowsLater, OpenGameSettings,
    BackFromSettings, BackFromLoad, OpenLoadFromGame, OverwriteYes, DeleteYes, BackToFiles, DiagramLeft, DiagramRight,
    ShowSwitch0, ShowSwitch6 = ShowSwitch0 + 6, HostBack, JoinBack, StartNetworkGame
};

constexpr int MusicNumber = 5002;
constexpr int DiagramPlot = 7790, DiagramAxes = 7791; // pictures of the diagram view

int Toggle(int setting) { return setting == 1 ? 1 : -1; }
int Flip(int setting) { return setting == 1 ? -1 : 1; }

void Add(std::vector<MenuItem>& items, int kind, const std::string& text, int x, int y, int action = -1, int value = -1)
{
    items.push_back(MenuItem{kind, text, x, y, action, value});
}
void Button(std::vector<MenuItem>& items, const std::string& text, int y, int action, int x = 60)
{
    Add(items, ButtonItem, text, x, y, action);
}
void Back(std::vector<MenuItem>& items, int action) { Button(items, L1("Zurück"), 660, action); }
// A label with "<" and ">" on its line.
void Stepper(std::vector<MenuItem>& items, const std::string& text, int y, int down, int up)
{
    Add(items, LabelItem, text, 60, y);
    Add(items, SmallButtonItem, "<", 840, y, down);
    Add(items, SmallButtonItem, ">", 900, y, up);
}

std::string OneDecimal(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

const char* const DifficultyNames[] = {"leicht", "mittel", "schwer"};
const char* const StormNames[] = {"keine", "wenig", "normal", "viele"};

// The save files the save and load pages list, without folder and ".sav".
std::vector<std::string> SaveFiles()
{
    std::vector<std::string> names;
    for (const std::string& file : ListFolder("SAVE\\*.sav"))
        if (file.size() > 4 && file[0] != '_') names.push_back(file.substr(0, file.size() - 4));
    return names;
}

// The lines that say the server could not be made or found, and the way back.
void NetworkFailure(std::vector<MenuItem>& items, bool failed, const char* line, int back)
{
    if (failed) {
        Add(items, LabelItem, line, 60, 180);
        Add(items, LabelItem, " werden, bitte 'Abbrechen' klicken.", 60, 240);
    }
    Button(items, "Abbrechen", 660, back);
}

// Five rows of save files from the scroll offset; rows past the last file are empty buttons.
void SaveList(std::vector<MenuItem>& items)
{
    std::vector<std::string> names = SaveFiles();
    Menu.saveOffset = std::clamp(Menu.saveOffset, 0, std::max(0, int(names.size()) - 5));
    for (int i = 0; i < 5; i++) {
        size_t file = size_t(Menu.saveOffset + i);
        Add(items, SaveEntryItem, file < names.size() ? names[file] : std::string(), 60, 180 + 60 * i, EditSaveName);
    }
    Add(items, SmallButtonItem, "<", 840, 300, ListDown);
    Add(items, SmallButtonItem, ">", 900, 300, ListUp);
    Add(items, TextFieldItem, SaveName, 60, 540, EditSaveName);
}

} // namespace

std::vector<MenuItem> BuildPageItems(int page)
{
    std::vector<MenuItem> items;
    auto title = [&](const std::string& text) { Add(items, TitleItem, text, 60, 60); };
    switch (page) {
    case MainPage:
        title("KORAX 3050");
        Add(items, LabelItem, "Name: ", 60, 180);
        Add(items, TextFieldItem, PlayerName, 240, 180, EditName);
        Button(items, "Einzelspieler", 300, GameMenuPage);
        Button(items, "Mehrspieler", 360, MultiplayerPage);
        Button(items, "Optionen", 420, OptionsPage);
        Button(items, "Beenden", 660, QuitPage);
        break;
    case GameMenuPage:
        title(Menu.multiplayer ? "Mehrspieler" : "Einzelspieler");
        Button(items, "Neues Spiel", 180, NewGamePage);
        if (!Menu.multiplayer) Button(items, "Missionen", 240, MissionsPage);
        Button(items, "Spiel laden", 300, LoadPage);
        Back(items, MainPage);
        break;
    case NewGamePage:
        title("Neues Spiel");
        Stepper(items, "Karte (" + std::to_string(MapSetting) + ")", 180, MapDown, MapUp);
        Button(items, "Spieleinstellungen", 540, OpenGameSettings);
        Button(items, "Starten", 660, StartFreeGame, 720);
        Back(items, GameMenuPage);
        break;
    case GameSettingsPage: {
        title("Spieleinstellungen");
        Stepper(items, "Startuhrzeit (" + std::to_string(StartHour) + ":00)", 180, HourDown, HourUp);
        Add(items, ToggleItem, "Tag-Nacht-Zyklus", 60, 240, DayNightSwitch, Toggle(DayNightSetting));
        Stepper(items, L1("Schwierigk.gr. (") + DifficultyNames[std::clamp(Difficulty, 1, 3) - 1] + ")", 300,
                DifficultyDown, DifficultyUp);
        Stepper(items, L1("Sandstürme (") + StormNames[std::clamp(StormSetting, 0, 3)] + ")", 360, StormsDown, StormsUp);
        Add(items, ToggleItem, "Alle Technologien erforscht", 60, 420, TechSwitch, TechLevel == 1 ? 1 : -1);
        Back(items, BackFromSettings);
        break;
    }
    case MissionsPage:
        title("Missionen");
        Add(items, LabelItem, L1("Schon gelöste Mission : ") + std::to_string(CurrentMission - 1), 60, 180);
        Add(items, LabelItem, "Bevorstehende Mission : " + std::to_string(std::max(0, 4 - CurrentMission)), 60, 240);
        Add(items, LabelItem, "Aktuelle Mission      : " + std::to_string(CurrentMission), 60, 360);
        Button(items, "Spieleinstellungen", 540, OpenGameSettings);
        Button(items, "Starten", 660, StartMission, 720);
        Back(items, GameMenuPage);
        break;
    case OptionsPage:
        title("Optionen");
        Button(items, "Spiel", 180, GameOptionsPage);
        Button(items, "Grafik", 240, GraphicsPage);
        Button(items, "Sound", 300, SoundPage);
        Back(items, MainPage);
        break;
    case GameOptionsPage:
        title("Spiel");
        Stepper(items, "Mausgeschw.(" + OneDecimal(MouseSpeed / 10.0) + ")", 180, MouseDown, MouseUp);
        Stepper(items, "Spielgeschw.(" + std::to_string(int(std::lround(GameSpeedSetting))) + ")", 240, SpeedDown, SpeedUp);
        Stepper(items, "Scrolltempo (" + std::to_string(ScrollSpeed) + ")", 300, ScrollDown, ScrollUp);
        Back(items, OptionsPage);
        break;
    case GraphicsPage:
        title("Grafik");
        Button(items, L1("Auflösung"), 180, ResolutionPage);
        Button(items, "Farbtiefe", 240, ColourDepthPage);
        Button(items, "Effekte", 300, EffectsPage);
        Back(items, OptionsPage);
        break;
    case ResolutionPage: {
        title(L1("Auflösung"));
        const char* const modes[] = {"640*480", "800*600", "1024*768 (Grafik: optimal)", "1152*864", "1280*1024"};
        for (int i = 0; i < 5; i++)
            Add(items, ToggleItem, modes[i], 60, 180 + 60 * i, Resolution1 + i, ResolutionIndex == i + 1 ? 1 : -1);
        Back(items, GraphicsPage);
        break;
    }
    case ColourDepthPage: {
        title("Farbtiefe");
        const char* const depths[] = {"16 Bit", "24 Bit", "32 Bit (Grafik: optimal)"};
        for (int i = 0; i < 3; i++)
            Add(items, ToggleItem, depths[i], 60, 180 + 60 * i, Depth16 + i, ColourDepth == 16 + 8 * i ? 1 : -1);
        Back(items, GraphicsPage);
        break;
    }
    case EffectsPage:
        title("Effekte");
        Add(items, ToggleItem, "Rauch", 60, 180, SmokeSwitch, Toggle(SmokeEffects));
        Add(items, ToggleItem, L1("Reifen/Fußspuren "), 60, 240, TracksSwitch, Toggle(TrackEffects));
        Add(items, ToggleItem, L1("Trümmer/Blut"), 60, 300, BloodSwitch, Toggle(BloodEffects));
        Add(items, ToggleItem, "Schatten", 60, 360, ShadowSwitch, Toggle(ShadowEffects));
        Back(items, GraphicsPage);
        break;
    case SoundPage:
        title("Sound");
        Add(items, ToggleItem, "Sprache", 60, 180, VoiceSwitch, Toggle(VoiceEffects));
        Add(items, ToggleItem, "Effekte", 60, 240, SoundSwitch, Toggle(SoundEffects));
        Back(items, OptionsPage);
        break;
    case QuitPage:
        title("Beenden");
        Button(items, "Ja", 180, QuitYes);
        Button(items, "Nein", 240, MainPage);
        break;
    case MultiplayerPage:
        title("Mehrspieler");
        Button(items, "Spielleiter", 180, Host);
        Button(items, "Mitspielen", 240, JoinPage);
        Back(items, MainPage);
        break;
    case JoinPage:
        title("Mitspielen");
        Add(items, LabelItem, "IP vom Server:", 60, 180);
        Add(items, TextFieldItem, ServerAddress, 60, 240, EditAddress);
        Button(items, "Verbinden", 660, Connect, 720);
        Back(items, MultiplayerPage);
        break;
    case HostingPage:
        title("Server wird erstellt ...");
        NetworkFailure(items, NetRole == -1, " Server konnte nicht erstellt", HostBack);
        break;
    case ConnectingPage:
        title("Server wird gesucht ...");
        NetworkFailure(items, NetRole == -2, " Server konnte nicht gefunden", JoinBack);
        break;
    case WaitingPage:
        title("Auf Mitspieler warten ...");
        if (Menu.multiplayer) {
            Add(items, LabelItem, " " + PlayerName, 60, 180);
            std::vector<std::string> names = NetClientNames();
            for (size_t i = 0; i < names.size(); i++) Add(items, LabelItem, " " + names[i], 60, 60 * (int(i) + 4));
            Back(items, HostBack);
            Button(items, "Starten", 660, StartNetworkGame, 720);
        } else {
            for (size_t i = 0; i < Lobby.names.size(); i++) Add(items, LabelItem, " " + Lobby.names[i], 60, 60 * (int(i) + 3));
            Back(items, JoinBack); // a client may leave the waiting room too
        }
        break;
    case PausePage:
        title("Pause");
        Button(items, "Weiter", 180, Resume);
        Button(items, "Speichern", 240, SavePage);
        if (!NetworkGame) Button(items, "Laden", 300, OpenLoadFromGame);
        Button(items, "Statistik", 420, StatisticsPage);
        Button(items, "Beenden", 660, AbortPage);
        break;
    case AbortPage:
        title("Hinweis");
        Add(items, LabelItem, "Laufendes Spiel", 60, 180);
        Add(items, LabelItem, "wiklich abbrechen ?", 60, 240);
        Button(items, "Ja", 360, AbortYes);
        Button(items, "Nein", 420, PausePage);
        break;
    case SavePage:
        title("Speichern");
        SaveList(items);
        Add(items, SmallButtonItem, "Speichern", 660, 540, SaveNow);
        Back(items, PausePage);
        Button(items, L1("Löschen"), 660, DeleteFile, 720);
        break;
    case LoadPage:
        title("Laden");
        SaveList(items);
        Add(items, SmallButtonItem, "Laden", 780, 540, LoadNow);
        Back(items, BackFromLoad);
        Button(items, L1("Löschen"), 660, DeleteFile, 720);
        break;
    case OverwritePage:
        title("Hinweis");
        Add(items, LabelItem, "\"" + SaveName + L1("\" überschreiben?"), 60, 180);
        Button(items, "Ja", 300, OverwriteYes);
        Button(items, "Nein", 360, BackToFiles);
        break;
    case DeletePage:
        title("Hinweis");
        Add(items, LabelItem, "\"" + SaveName + L1("\" löschen?"), 60, 180);
        Button(items, "Ja", 300, DeleteYes);
        Button(items, "Nein", 360, BackToFiles);
        break;
    case SavedPage:
        title("Hinweis");
        Add(items, LabelItem, "Laufendes Spiel", 60, 180);
        Add(items, LabelItem, "wurde gespeichert.", 60, 240);
        Button(items, "OK", 360, PausePage);
        break;
    case StatisticsPage:
        title("Statistik");
        Button(items, "Tabelle", 180, TablePage);
        Button(items, "Diagramme", 240, DiagramPage);
        Back(items, PausePage);
        break;
    case TablePage:
        title("Tabelle");
        Back(items, StatisticsPage);
        break;
    case DiagramPage: {
        title("Diagramme");
        Add(items, LabelItem, "Anzeigen:", 660, 60);
        const char* const names[7] = {"Sp 1", "Sp 2", "Sp 3", "Sp 4", "Einheiten", "Objekte", "Geld"};
        const int ys[7] = {180, 240, 300, 360, 480, 540, 600};
        for (int i = 0; i < 7; i++) {
            int value = i < 4 ? StatPlayerShown[i + 1] : StatSeriesShown[i - 4];
            Add(items, ToggleItem, names[i], 660, ys[i], ShowSwitch0 + i, value);
        }
        Add(items, SmallButtonItem, "<", 240, 540, DiagramLeft);
        Add(items, SmallButtonItem, ">", 300, 540, DiagramRight);
        Back(items, StatisticsPage);
        break;
    }
    case LoadedBriefingPage: break; // the briefing's own lines, drawn over the scene
    default:
        title("KORAX 3050");
        Back(items, MainPage);
        break;
    }
    return items;
}

namespace {

void Notice(const std::string& text) { Menu.notice = L1(text.c_str()); }

void OpenPage(int page)
{
    if (page == MainPage) {
        // The main page is where a network game is forgotten for good.
        Menu.multiplayer = 0;
        if (NetRole != 0) LeaveNetwork();
        RemoveFile("SAVE\\_MehrspielerNWI.sav");
    }
    if (page != Menu.page) Menu.notice.clear();
    if (page == DiagramPage && Menu.page != DiagramPage) {
        Menu.diagramStale = 1;
        Menu.diagramOffset = 0;
    }
    Menu.page = Menu.current = page;
}

void StartEditing(int target, const std::string& text)
{
    Menu.editing = target;
    BeginTextEntry(text);
    TextEntry.maxLength = 16;
}

// The action of the text field being edited.
int EditedFieldAction() { return Menu.editing == 5 ? EditName : Menu.editing == 2 ? EditAddress : EditSaveName; }

// Writes the settings, starts the game program anew in the new mode (it opens on the
// resolution page without the intro) and ends this one.
void RestartForNewMode()
{
    JumpToScreenModes = 1;
    WriteConfiguration();
    if (MenuRestartHook) {
        MenuRestartHook();
    } else {
        CloseDisplay();
        StartProgram(ProgramFile("KORAX 3050"), 0);
    }
    Menu.quit = 1;
}

// The autosave clock: real time spent in the game loop, a frame at a time (a frame that took
// longer than a second, as when the window was hidden, counts as one second).
std::chrono::steady_clock::time_point LastPlayedFrame;
void CountPlayedFrame()
{
    auto now = std::chrono::steady_clock::now();
    double seconds = std::chrono::duration<double>(now - LastPlayedFrame).count();
    LastPlayedFrame = now;
    AutosaveAfter(std::min(seconds, 1.0));
}

// Runs the game until the player pauses or it ends; the page it comes back to.
void PlayGame()
{
    StopSound(MusicNumber);
    Menu.inGame = 1;
    LastPlayedFrame = std::chrono::steady_clock::now();
    EveryPlayedFrame = CountPlayedFrame;
    RunGame();
    EveryPlayedFrame = nullptr;
    if (NetworkGame) {
        if (LeaveGame) LeaveNetwork();
        else NetSendPause(); // the partners pause with this machine
    }
    ResetMouseEvents();
    Menu.reveal = 0;
    if (MissionMode == 1 && LeaveGame) CampaignProgressAfterGame();
    if (LeaveGame) {
        Menu.inGame = 0;
        OpenPage(GameMenuPage);
    } else {
        // A paused game is kept under a name of its own, never the player's "autosave".
        if (!NetworkGame) SaveGame(AutosaveName);
        OpenPage(PausePage);
    }
}

// The briefing page of a loaded mission: Enter goes on with the game, Escape leaves it for
// the game menu. 1 when the page was left in this frame.
int LoadedBriefingStep()
{
    int key = BriefingKey();
    if (key > 0) {
        StopSound(MusicNumber);
        PlayGame();
        return 1;
    }
    if (key < 0) {
        Menu.inGame = 0;
        OpenPage(GameMenuPage);
        return 1;
    }
    return 0;
}

int StartFreeGameOnMap()
{
    // Alone at this computer the player is player 1, whoever he was in the last network game
    // or the save loaded last.
    LocalPlayer = 1;
    MissionMode = 0;
    MapNumber = FreeMapFor(MapSetting);
    ResetGameState();
    if (MapNumber == 0 || !LoadMapTerrain(MapNumber)) {
        Notice("Im Ordner KARTEN gibt es keine Spielkarte.");
        return 0;
    }
    StartNewGame(1);
    return 1;
}

void Carry(int action)
{
    int back = Menu.page;
    Menu.current = Menu.page; // carried out once, whatever it leads to
    switch (action) {
    case MapDown: MapSetting = MapSetting <= 1 ? std::max(1, FreeMapCount) : MapSetting - 1; break;
    case MapUp: MapSetting = MapSetting >= FreeMapCount ? 1 : MapSetting + 1; break;
    case HourDown: StartHour = StartHour <= 0 ? 23 : StartHour - 1; break;
    case HourUp: StartHour = StartHour >= 23 ? 0 : StartHour + 1; break;
    case DayNightSwitch: DayNightSetting = Flip(DayNightSetting); break;
    case DifficultyDown: Difficulty = Difficulty <= 1 ? 3 : Difficulty - 1; break;
    case DifficultyUp: Difficulty = Difficulty >= 3 ? 1 : Difficulty + 1; break;
    case StormsDown: StormSetting = std::max(0, StormSetting - 1); break;
    case StormsUp: StormSetting = std::min(3, StormSetting + 1); break;
    case TechSwitch: TechLevel = TechLevel == 1 ? 0 : 1; break;
    case MouseDown: MouseSpeed = std::max(5, MouseSpeed - 1); break;
    case MouseUp: MouseSpeed = std::min(40, MouseSpeed + 1); break;
    case SpeedDown: GameSpeedSetting = std::max(1.0f, std::round(GameSpeedSetting) - 1); break;
    case SpeedUp: GameSpeedSetting = std::min(16.0f, std::round(GameSpeedSetting) + 1); break;
    case ScrollDown: ScrollSpeed = std::max(1, ScrollSpeed / 2); break;
    case ScrollUp: ScrollSpeed = std::min(8, ScrollSpeed * 2); break;
    case Resolution1: case Resolution2: case Resolution3: case Resolution4: case Resolution5:
        ResolutionIndex = action - Resolution1 + 1;
        RestartForNewMode();
        break;
    case Depth16: case Depth24: case Depth32:
        ColourDepth = 16 + 8 * (action - Depth16);
        RestartForNewMode();
        break;
    case SmokeSwitch: SmokeEffects = Flip(SmokeEffects); break;
    case TracksSwitch: TrackEffects = Flip(TrackEffects); break;
    case BloodSwitch: BloodEffects = Flip(BloodEffects); break;
    case ShadowSwitch: ShadowEffects = Flip(ShadowEffects); break;
    case VoiceSwitch: VoiceEffects = Flip(VoiceEffects); break;
    case SoundSwitch: SoundEffects = Flip(SoundEffects); break;
    case QuitYes:
        JumpToScreenModes = 0;
        WriteConfiguration();
        Menu.quit = 1;
        break;
    case OpenGameSettings:
        Menu.settingsFrom = Menu.page;
        back = GameSettingsPage;
        break;
    case BackFromSettings: back = Menu.settingsFrom; break;
    case OpenLoadFromGame:
        Menu.loadFromGame = 1;
        back = LoadPage;
        break;
    case BackFromLoad:
        back = Menu.loadFromGame && Menu.inGame ? PausePage : GameMenuPage;
        Menu.loadFromGame = 0;
        break;
    case StartFreeGame:
        if (Menu.multiplayer) {
            Menu.netLoadName.clear();
            HostNetwork(StartMarksOn(FreeMapFor(MapSetting)));
            back = HostingPage;
            break;
        }
        if (StartFreeGameOnMap()) {
            PlayGame();
            return;
        }
        break;
    case StartMission:
        if (ShowBriefing() && StartMissionGame()) {
            PlayGame();
            return;
        }
        ResetMouseEvents();
        back = GameMenuPage;
        break;
    case Resume:
        if (Menu.inGame) {
            NetSendResume();
            PlayGame();
            return;
        }
        back = GameMenuPage;
        break;
    case AbortYes:
        Menu.inGame = 0;
        back = MainPage;
        break;
    case ShowSwitch0: case ShowSwitch0 + 1: case ShowSwitch0 + 2: case ShowSwitch0 + 3:
        StatPlayerShown[action - ShowSwitch0 + 1] *= -1;
        Menu.diagramStale = 1;
        break;
    case ShowSwitch0 + 4: case ShowSwitch0 + 5: case ShowSwitch6:
        StatSeriesShown[action - ShowSwitch0 - 4] *= -1;
        Menu.diagramStale = 1;
        break;
    case EditName: StartEditing(5, PlayerName); break;
    case EditAddress: StartEditing(2, ServerAddress); break;
    case EditSaveName:
        if (Menu.hoveredKind == SaveEntryItem && Menu.hoveredIndex >= 0 && Menu.hoveredIndex < int(MenuItems.size()))
            SaveName = MenuItems[size_t(Menu.hoveredIndex)].text;
        else
            StartEditing(7, SaveName);
        break;
    case ListDown: Menu.saveOffset = std::max(0, Menu.saveOffset - 1); break;
    case ListUp:
        if (Menu.saveOffset + 5 < int(SaveFiles().size())) Menu.saveOffset++;
        break;
    case Host: Menu.multiplayer = 1; back = GameMenuPage; break;
    case Connect:
        JoinNetwork(ServerAddress);
        back = ConnectingPage;
        break;
    case HostBack:
        LeaveNetwork();
        back = GameMenuPage;
        break;
    case JoinBack:
        LeaveNetwork();
        back = JoinPage;
        break;
    case StartNetworkGame:
        if (HostStartGame(Menu.netLoadName)) {
            PlayGame();
            return;
        }
        LoadFailed = 0;
        Notice("Das Netzwerkspiel konnte nicht gestartet werden.");
        LeaveNetwork();
        back = GameMenuPage;
        break;
    case SaveNow: {
        std::string problem = PlayerSaveNameProblem(SaveName);
        if (!problem.empty()) {
            Menu.notice = problem;
            break;
        }
        if (!Menu.inGame) break;
        // Files are found ignoring letter case, so "test" would land on "Test.sav": it asks.
        bool exists = SaveFileExists(SaveName);
        Menu.filesPage = SavePage;
        if (exists) {
            back = OverwritePage;
            break;
        }
        [[fallthrough]];
    }
    case OverwriteYes:
        if (SaveGame(SaveName)) {
            AddMessage("INFO: Spielstand wurde gespeichert.");
            AddMessage("      \"" + SaveName + "\"");
            NetSendSave(SaveName); // every partner saves under the same name
            back = SavedPage;
        } else {
            Notice("Der Spielstand konnte nicht geschrieben werden.");
            back = SavePage;
        }
        break;
    case LoadNow: {
        std::string problem = PlayerSaveNameProblem(SaveName);
        if (!problem.empty()) {
            Menu.notice = problem;
            break;
        }
        if (Menu.multiplayer && !Menu.inGame) {
            // A network game from a save: every machine loads its own copy at the start.
            std::string bytes;
            int players = 0;
            if (!ReadWholeFile("SAVE\\" + SaveName + ".sav", bytes, MostSaveBytes()) || !(players = SavedPlayerCount(bytes))) {
                Notice("Dieser Spielstand kann nicht geladen werden.");
                break;
            }
            Menu.netLoadName = SaveName;
            HostNetwork(players);
            back = HostingPage;
            break;
        }
        if (LoadGame(SaveName)) {
            AddMessage("INFO: Spielstand wurde geladen.");
            AddMessage("      \"" + SaveName + "\"");
            if (MissionMode == 1) {
                // A mission goes on after its briefing, as it began; its goal is not in the
                // file, so the hint line takes it from there too.
                LoadedBriefing = ComposeBriefing(MapNumber - 100);
                MissionTask = LoadedBriefing.task;
                back = LoadedBriefingPage;
                break;
            }
            StopSound(MusicNumber);
            PlayGame();
            return;
        }
        LoadFailed = 0;
        Notice("Dieser Spielstand kann nicht geladen werden.");
        break;
    }
    case DeleteFile:
        if (!PlayerSaveNameProblem(SaveName).empty()) break;
        Menu.filesPage = Menu.page;
        back = DeletePage;
        break;
    case DeleteYes:
        RemoveFile("SAVE\\" + SaveName + ".sav");
        back = Menu.filesPage;
        break;
    case BackToFiles: back = Menu.filesPage; break;
    case DiagramLeft: case DiagramRight: break; // they scroll while held, see MenuFrame
    default: Notice("Diese Funktion folgt in einer der nächsten Fassungen."); break;
    }
    if (!Menu.quit) OpenPage(back);
}

bool IsPausePage(int page)
{
    return page == PausePage || page == AbortPage || page == SavePage || page == OverwritePage || page == SavedPage ||
           page == StatisticsPage || page == TablePage || page == DiagramPage || page == DeletePage;
}

// The network pages follow the threads: a server made or a host found opens the waiting room,
// where the names go back and forth until the host starts; a paused network game resumes when
// a partner says so.
void NetworkMenuStep()
{
    if (Menu.page == HostingPage && NetRole == 1) OpenPage(WaitingPage);
    if (Menu.page == ConnectingPage && NetRole == 2) OpenPage(WaitingPage);
    if (Menu.page == WaitingPage && Menu.multiplayer) HostLobbyStep(PlayerName);
    if (Menu.page == WaitingPage && !Menu.multiplayer) {
        if (NetHostLost || NetRole != 2) {
            // A host with no room says why before it lets the client go.
            ClientLobbyStep(PlayerName);
            std::string why = Lobby.refusal.empty() ? L1("Die Verbindung zum Spielleiter ist abgebrochen.") : Lobby.refusal;
            LeaveNetwork();
            OpenPage(JoinPage);
            Menu.notice = why;
            return;
        }
        if (int started = ClientLobbyStep(PlayerName)) {
            if (ClientStartGame(started)) {
                PlayGame();
                return;
            }
            LeaveNetwork();
            OpenPage(JoinPage);
            Notice("Das Spiel des Spielleiters kam nicht an.");
        }
    }
    if (Menu.inGame && NetworkGame && IsPausePage(Menu.page) && NetPauseStep()) PlayGame();
}

int LengthOf(const std::vector<MenuItem>& items)
{
    int total = 0;
    for (const MenuItem& item : items) total += int(item.text.size());
    return total;
}

// An empty row of the save list: an empty button as wide as the longest name.
bool IsEmptyRow(const MenuItem& item) { return item.kind == SaveEntryItem && item.text.empty(); }
int ItemCharacters(const MenuItem& item) { return IsEmptyRow(item) ? 16 : int(item.text.size()); }

bool Hovers(const MenuItem& item, float layoutX, float layoutY)
{
    return layoutX >= float(item.x) && layoutX <= float(item.x + 30 * (ItemCharacters(item) + 1)) &&
           layoutY >= float(item.y) && layoutY <= float(item.y + 50);
}

// The base colour of an item kind, before the pulse.
void KindColour(const MenuItem& item, int& r, int& g, int& b)
{
    switch (item.kind) {
    case TitleItem: r = 180, g = 180, b = 180; break;
    case ButtonItem: r = 60, g = 60, b = 180; break;
    case ToggleItem: if (item.value == 1) r = 60, g = 180, b = 60; else r = 180, g = 60, b = 60; break;
    case SaveEntryItem: r = 180, g = 120, b = 60; break;
    case LabelItem: r = 180, g = 180, b = 60; break;
    case TextFieldItem: r = 60, g = 180, b = 180; break;
    default: r = 120, g = 60, b = 180; break;
    }
}

void Outline(float x, float y, float w, float h, int r = 128, int g = 128, int b = 128)
{
    int left = int(std::lround(x * UiScale)), top = int(std::lround(y * UiScale));
    int width = int(std::lround(w * UiScale)), height = int(std::lround(h * UiScale));
    ShadeRectangle(left, top, width, 1, r, g, b, 255);
    ShadeRectangle(left, top + height - 1, width, 1, r, g, b, 255);
    ShadeRectangle(left, top, 1, height, r, g, b, 255);
    ShadeRectangle(left + width - 1, top, 1, height, r, g, b, 255);
}

// The frame of an empty row, in the colour of the save entries, brighter under the pointer.
void DrawEmptyRow(const MenuItem& item, bool hovered)
{
    int r = 0, g = 0, b = 0, boost = hovered ? 60 : 0;
    KindColour(item, r, g, b);
    Outline(float(item.x + 15), float(item.y), float(30 * ItemCharacters(item)), 40, std::min(255, r + boost),
            std::min(255, g + boost), std::min(255, b + boost));
}

// Draws the items, at most `shown` characters of them; the hovered one wiggles.
void DrawItems(int shown)
{
    int drawn = 0;
    for (size_t index = 0; index < MenuItems.size(); index++) {
        const MenuItem& item = MenuItems[index];
        std::string text = item.text;
        bool edited = item.kind == TextFieldItem && Menu.editing && item.action == EditedFieldAction();
        if (IsEmptyRow(item) && drawn < shown) DrawEmptyRow(item, int(index) == Menu.hoveredIndex);
        if (edited && std::sin(15.0 * Menu.colourPhase * DegreesToRadians) > 0)
            text.insert(size_t(std::clamp(TextEntry.cursor, 0, int(text.size()))), "|");
        bool wiggles = int(index) == Menu.hoveredIndex && item.kind != TitleItem && item.kind != LabelItem;
        int r0, g0, b0;
        KindColour(item, r0, g0, b0);
        for (size_t i = 0; i < text.size(); i++) {
            if (drawn++ >= shown) return;
            int n = int(i) + 1;
            double s = 60 * std::sin(((30.0 * n + item.x + item.y) / 2 + Menu.colourPhase) * 2 * DegreesToRadians);
            int r = std::clamp(int(r0 + s), 0, 255), g = std::clamp(int(g0 + s), 0, 255), b = std::clamp(int(b0 + s), 0, 255);
            float wiggle = wiggles ? 3.0f * float(std::sin((Menu.colourPhase * 20.0 + n * 60.0) * DegreesToRadians)) : 0.0f;
            std::string ch(1, text[i]);
            int width = TextWidth(LargeTitleFont, ch);
            int x = int(std::lround((float(item.x) + 30.0f * float(n) + wiggle) * UiScale)) - width / 2;
            int y = int(std::lround(float(item.y) * UiScale));
            DrawFontText(LargeTitleFont, ch, x + 4, y + 4, r / 2, g / 2, b / 2);
            DrawFontText(LargeTitleFont, ch, x, y, r, g, b);
        }
    }
}

void Centred(int font, const std::string& text, float x, float y, int r, int g, int b)
{
    DrawFontText(font, text, int(std::lround(x * UiScale)) - TextWidth(font, text) / 2, int(std::lround(y * UiScale)), r, g, b);
}

void DrawTable()
{
    const char* const heads[6][2] = {{"Spieler", "Nummer"},      {"gesammeltes", "Spice"},  {"Einheiten", "getötet"},
                                     {"Einheiten", "gestorben"}, {"Gebäude", "zerstört"}, {"Gebäude", "verloren"}};
    const int colours[5][3] = {{255, 255, 255}, {64, 64, 255}, {255, 64, 64}, {64, 255, 64}, {255, 255, 64}};
    for (int k = 0; k < 6; k++) {
        Outline(float(30 + 160 * k), 150, 160, 80);
        Centred(SmallMenuFont, L1(heads[k][0]), float(110 + 160 * k), 180, 255, 255, 255);
        Centred(SmallMenuFont, L1(heads[k][1]), float(110 + 160 * k), 200, 255, 255, 255);
    }
    for (int p = 1; p <= std::min(PlayerCount, MaxPlayers); p++) {
        const Player& player = Players[p];
        const int* colour = colours[p <= 4 ? p : 0];
        const int values[6] = {p, player.spiceMoney, player.unitsKilled, player.unitsLost, player.buildingsDestroyed,
                               player.buildingsLost};
        for (int k = 0; k < 6; k++) {
            Outline(float(30 + 160 * k), float(190 + 50 * p), 160, 50);
            Centred(SmallMenuFont, std::to_string(values[k]), float(110 + 160 * k), float(205 + 50 * p),
                    colour[0], colour[1], colour[2]);
        }
    }
}

// The plot through its 400-pixel window and the axes over it, made again when they changed.
void DrawDiagrams()
{
    if (Menu.diagramStale) {
        SetPictureImage(DiagramPlot, StatisticsPlot(ScreenHeightPx, Menu.diagramOffset));
        SetPictureImage(DiagramAxes, StatisticsAxes(ScreenHeightPx));
        Menu.diagramStale = 0;
    }
    int x = int(std::lround(100 * UiScale)), y = int(std::lround(150 * UiScale));
    DrawPicturePart(DiagramPlot, 0, 0, 400, PictureHeight(DiagramPlot), x, y, 0);
    DrawPicture(DiagramAxes, x, y, 1);
    DrawFontText(SmallMenuFont, "E/O", x + 4, y, 255, 255, 255);
    DrawFontText(SmallMenuFont, "in 1", x + 4, y + 16, 255, 255, 255);
    DrawFontText(SmallMenuFont, "Geld", x + 356, y, 255, 255, 255);
    DrawFontText(SmallMenuFont, "in 10", x + 356, y + 16, 255, 255, 255);
}

// The chosen map in its box, one cell a pixel of the map picture, scaled to fill the box with
// square cells and sharp edges.
void DrawMapPreview()
{
    SetSpriteSize(9014, 256 * UiScale, 256 * UiScale);
    DrawSprite3D(9014, 128 * UiScale, 256 * UiScale, 128);
    int map = FreeMapFor(MapSetting);
    if (map <= 0 || !PictureExists(map) || (!Sprite3DExists(map) && !CreateSprite3D(map))) return;
    float w = float(PictureWidth(map)), h = float(PictureHeight(map)), cell = 240 * UiScale / std::max(w, h);
    float centreX = (128 + 128) * UiScale, centreY = (256 + 128) * UiScale;
    SetTextureFiltering(cell < 1 ? 1 : 0);
    SetSpriteSize(map, w * cell, h * cell);
    SetSpriteAngle(map, 0);
    DrawSprite3D(map, std::round(centreX - w * cell / 2), std::round(centreY - h * cell / 2), 255);
    SetTextureFiltering(1);
}

void DrawBanner()
{
    std::string banner = CreditsBanner + "   " + std::to_string(FramesPerSecond());
    int width = TextWidth(SmallMenuFont, banner);
    DrawFontText(SmallMenuFont, banner, int(std::lround(Menu.bannerX * UiScale)), int(std::lround((768 - 20) * UiScale)) - 12,
                 128, 128, 128);
    Menu.bannerX -= 5;
    if (float(Menu.bannerX) * UiScale + float(width) < 0) Menu.bannerX = 1024;
}

} // namespace

void (*MenuRestartHook)() = nullptr;
const char* const AutosaveName = "Autospeicherung";

int AutosaveAfter(double seconds)
{
    static double played = 0;
    played += seconds;
    if (played < AutosaveSeconds || NetworkGame) return 0;
    played = 0;
    return SaveGame(AutosaveName);
}

void StartMenus()
{
    Menu = MenuState{};
    Menu.mouseX = float(ScreenWidthPx) / 2;
    Menu.mouseY = float(ScreenHeightPx) / 2;
    if (JumpToScreenModes == 1) {
        // Back after a change of screen mode: where the player left, everything shown.
        Menu.page = Menu.current = ResolutionPage;
        Menu.reveal = 1000;
        JumpToScreenModes = 0;
    } else {
        OpenPage(MainPage);
    }
    ResetMouseEvents();
}

int MenuFrame()
{
    if (Menu.quit) return 1;
    if (SoundExists(MusicNumber) && !SoundPlaying(MusicNumber)) PlaySound(MusicNumber, 0);
    ReadKeyboard();
    ReadMouse();
    if (Menu.editing) {
        TextEntryStep();
        std::string& target = Menu.editing == 5 ? PlayerName : Menu.editing == 2 ? ServerAddress : SaveName;
        target = TextEntry.text;
        if (!TextEntry.active) Menu.editing = 0;
    }
    if (Menu.page == LoadedBriefingPage && LoadedBriefingStep()) return 0;
    Menu.mouseX = std::clamp(Menu.mouseX + float(MouseMoveX()) * float(MouseSpeed) / 10.0f, 0.0f, float(ScreenWidthPx - 1));
    Menu.mouseY = std::clamp(Menu.mouseY + float(MouseMoveY()) * float(MouseSpeed) / 10.0f, 0.0f, float(ScreenHeightPx - 1));
    if (KeyWentUp(0x3B)) BlendMode1++;
    if (KeyWentUp(0x3C)) BlendMode1--;
    if (KeyWentUp(0x3D)) BlendMode2++;
    if (KeyWentUp(0x3E)) BlendMode2--;

    // A held button acts on its first frame, on its 16th and then every third frame.
    if (MouseButton(1)) {
        Menu.heldFrames++;
        bool acts = Menu.heldFrames == 1;
        if (Menu.heldFrames > 15) {
            Menu.heldFrames = 13;
            acts = true;
        }
        // The diagram's arrows scroll while held instead.
        int offset = Menu.diagramOffset;
        if (Menu.hoveredAction == DiagramLeft) Menu.diagramOffset = std::max(0, Menu.diagramOffset - 10);
        if (Menu.hoveredAction == DiagramRight)
            Menu.diagramOffset = std::max(0, std::min(Menu.diagramOffset + 10, StatisticsPlotWidth() - 400));
        // Only the window is drawn: a scrolled window is drawn anew.
        if (Menu.diagramOffset != offset) Menu.diagramStale = 1;
        bool arrow = Menu.hoveredAction == DiagramLeft || Menu.hoveredAction == DiagramRight;
        // A click on the field being edited goes on editing; a click anywhere else ends the
        // editing as Enter does, keeping what was typed, and acts.
        bool onEditedField = Menu.editing && Menu.hoveredKind == TextFieldItem && Menu.hoveredAction == EditedFieldAction();
        if (acts && Menu.editing && !onEditedField) {
            TextEntry.active = 0;
            Menu.editing = 0;
        }
        if (acts && !arrow && Menu.hoveredAction >= 0 && !onEditedField) {
            Menu.current = Menu.hoveredAction;
            PlaySound(3, 0);
            if (Menu.hoveredKind == ButtonItem) Menu.reveal = 0;
        }
    } else {
        Menu.heldFrames = 0;
    }

    if (Menu.current >= 100) Carry(Menu.current);
    else if (Menu.current != Menu.page) OpenPage(Menu.current);
    if (Menu.quit) return 1;
    NetworkMenuStep();

    MenuItems = BuildPageItems(Menu.page);
    float layoutX = Menu.mouseX / UiScale, layoutY = Menu.mouseY / UiScale;
    int hovered = -1;
    for (size_t i = 0; i < MenuItems.size(); i++)
        if (MenuItems[i].action >= 0 && Hovers(MenuItems[i], layoutX, layoutY)) hovered = int(i);
    if (hovered != Menu.hoveredIndex && hovered >= 0) PlaySound(2, 0);
    Menu.hoveredIndex = hovered;
    Menu.hoveredAction = hovered >= 0 ? MenuItems[size_t(hovered)].action : -1;
    Menu.hoveredKind = hovered >= 0 ? MenuItems[size_t(hovered)].kind : -1;

    int length = LengthOf(MenuItems);
    if (Menu.reveal < length) {
        Menu.reveal += 3;
        PlaySound(1, 0);
        if (Menu.reveal >= length) Menu.reveal = 1000;
    }
    Menu.colourPhase += 3;

    FlipScreen();
    ClearScreen(0, 0, 0);
    BeginScene();
    DrawSpaceScene();
    SetBlendFactors(5, 6);
    if (Menu.page == NewGamePage) DrawMapPreview();
    if (Menu.page == LoadedBriefingPage) DrawBriefingLines(LoadedBriefing);
    DrawItems(Menu.reveal);
    if (!Menu.notice.empty()) DrawFontText(MenuFont, Menu.notice, int(60 * UiScale), int(600 * UiScale), 230, 200, 120);
    if (Menu.page == TablePage) DrawTable();
    if (Menu.page == DiagramPage) DrawDiagrams();
    DrawBanner();
    SetBlendFactors(5, 6);
    SetSpriteSize(9001, 32 * UiScale, 32 * UiScale);
    DrawSprite3D(9001, Menu.mouseX, Menu.mouseY, 255);
    SetSpriteSize(9000, 32 * UiScale, 32 * UiScale);
    DrawSprite3D(9000, Menu.mouseX, Menu.mouseY, 128);
    EndScene();
    CountFrame();
    return 0;
}

void RunMenus()
{
    BuildSpaceScene();
    StartMenus();
    while (!WindowCloseRequested())
        if (MenuFrame()) return;
    // Closing the window ends the program the way "Beenden" does.
    WriteConfiguration();
}
