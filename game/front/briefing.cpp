// game/front/briefing.cpp - the briefing screen and the campaign's progress.
#include "game/front/briefing.h"

#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/base/tables.h"
#include "game/front/space.h"
#include "game/sim/gamestate.h"
#include "game/sim/world.h"
#include "platform/dialog.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/latin1.h"
#include "platform/sprites.h"

#include <algorithm>

constexpr int KeyEscape = 0x01;
constexpr int KeyReturn = 0x1C;
constexpr int KeyPadEnter = 0x9C;
constexpr int BriefingX = 40;
constexpr int LineStep = 20;

// A mission line without its four-character marker (">>> ", ">>  ", ">   ").
static std::string LineText(const std::string& line) { return line.size() > 4 ? line.substr(4) : std::string(); }

static int IsStartLine(const std::string& line) { return line.compare(0, 4, ">>> ") == 0; }

// The slot of ">>> mission": the search stops at the first empty slot, 0 when not found.
static int StartSlot(int mission)
{
    std::string start = ">>> " + std::to_string(mission);
    for (int slot = 1; slot < MissionLineSlots && !MissionLines[slot].empty(); slot++)
        if (MissionLines[slot] == start) return slot;
    return 0;
}

// The highest mission number the table describes, 0 when none.
static int LastMission()
{
    int last = 0;
    for (int slot = 1; slot < MissionLineSlots && !MissionLines[slot].empty(); slot++) {
        if (!IsStartLine(MissionLines[slot])) continue;
        const std::string number = LineText(MissionLines[slot]);
        if (!number.empty() && number.find_first_not_of("0123456789") == std::string::npos && number.size() < 6)
            last = std::max(last, std::stoi(number));
    }
    return last;
}

static Briefing NoMission(int mission)
{
    Briefing briefing;
    int last = LastMission();
    std::string reason = last > 0 && mission > last ? L1("Alle Missionen sind gelöst. Glückwunsch, Kommandant!")
                                                    : "Die Mission " + std::to_string(mission) + " ist nicht beschrieben.";
    briefing.lines.push_back({reason, 40});
    briefing.lines.push_back({L1("ZURÜCK MIT [ENTER] ODER [ESC]"), 120});
    return briefing;
}

// The text lines from `slot` on, up to and including the end line ">>  ". A table without that
// line stops before the start money and object lines rather than showing them as text.
static int AddTextLines(Briefing& briefing, int slot, int y)
{
    for (; slot < MissionLineSlots; slot++) {
        const std::string& line = MissionLines[slot];
        if (line.empty() || line[0] != '>' || IsStartLine(line)) break;
        briefing.lines.push_back({" " + LineText(line), y});
        if (line == ">>  ") break;
        y += LineStep;
    }
    return y;
}

Briefing ComposeBriefing(int mission)
{
    int slot = StartSlot(mission);
    if (slot == 0) return NoMission(mission);
    Briefing briefing;
    briefing.found = 1;
    std::string title = slot + 1 < MissionLineSlots ? MissionLines[slot + 1] : std::string();
    std::string task = slot + 2 < MissionLineSlots ? MissionLines[slot + 2] : std::string();
    briefing.lines.push_back({"MISSION :  " + LineText(MissionLines[slot]), 40});
    briefing.lines.push_back({"TITEL :  " + LineText(title), 40 + LineStep});
    briefing.task = LineText(task);
    int lastY = AddTextLines(briefing, slot + 3, 120);
    briefing.lines.push_back({"STARTEN MIT [ENTER], ABBRUCH MIT [ESC]", lastY + 80});
    return briefing;
}

void DrawBriefingLines(const Briefing& briefing)
{
    for (const BriefingLine& line : briefing.lines) DrawText(line.text, BriefingX, float(line.y), 1, 0);
}

int BriefingKey()
{
    if (KeyWentUp(KeyEscape)) return -1;
    return KeyWentUp(KeyReturn) || KeyWentUp(KeyPadEnter) ? 1 : 0;
}

static void DrawBriefingFrame(const Briefing& briefing)
{
    ClearScreen(0, 0, 0);
    BeginScene();
    DrawSpaceScene();
    DrawBriefingLines(briefing);
    EndScene();
    FlipScreen();
    CountFrame();
}

int ShowBriefing()
{
    const int mission = CurrentMission;
    Briefing briefing = ComposeBriefing(mission);
    while (!WindowCloseRequested()) {
        ReadKeyboard();
        int key = BriefingKey();
        if (key < 0) return 0;
        if (key > 0) {
            if (!briefing.found) return 0;
            MissionMode = 1;
            MapNumber = 100 + mission;
            MissionTask = briefing.task;
            return 1;
        }
        DrawBriefingFrame(briefing);
    }
    return 0;
}

int StartMissionGame()
{
    // A mission is played by player 1: its start money and its objects are written for it.
    LocalPlayer = 1;
    MissionMode = 1;
    MapNumber = 100 + CurrentMission;
    ResetGameState();
    if (!LoadMapTerrain(MapNumber)) {
        ShowMessageBox("HINWEIS", "Die Karte der Mission " + std::to_string(CurrentMission) + " fehlt im Ordner KARTEN.",
                       MessageOk);
        MissionMode = 0;
        return 0;
    }
    StartNewGame(1);
    return 1;
}

void CampaignProgressAfterGame()
{
    // The game loop names the next mission only when a campaign mission was won.
    if (MissionMode == 1 && NextMission > 0) CurrentMission = NextMission;
}
