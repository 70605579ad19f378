// game/front/briefing.h - the campaign: the briefing before a mission and the progress after it.
#pragma once

#include <string>
#include <vector>

// One drawn line of the briefing, at layout x = 40.
struct BriefingLine {
    std::string text; // Latin-1
    int y = 0;        // layout units
};

// What the briefing of a mission shows.
struct Briefing {
    int found = 0;                   // 1 when Missionen.info describes the mission
    std::vector<BriefingLine> lines; // in drawing order
    std::string task;                // the goal line, shown in the game as the task
};

// The briefing of `mission` from MissionLines. Without a start line the lines say why no
// mission can start (every mission solved, or the mission missing from the table).
Briefing ComposeBriefing(int mission);

// The briefing's lines, drawn at their places (inside a 3-D scene, over the space scene).
void DrawBriefingLines(const Briefing& briefing);
// What the keys of this frame say to a briefing: 1 Enter (start), -1 Escape (leave), 0 nothing.
// Keys act on release, so the key that left the briefing does not reach the page behind it.
int BriefingKey();

// The briefing loop for CurrentMission, over the space scene. Enter (with a mission to play):
// MissionMode = 1, MapNumber = 100 + mission, MissionTask set, result 1 - the caller then
// calls StartMissionGame and runs the game. Escape, or either key when there is no mission:
// result 0 with every value as it was.
int ShowBriefing();
// Builds the campaign game on map 100 + CurrentMission with the mission's start objects; 1 when
// it can be played, 0 (and a German note) when the map is missing.
int StartMissionGame();
// After a campaign game ended: a won mission moves the campaign on to the next; a lost or
// interrupted one leaves it where it was. Free games leave it alone.
void CampaignProgressAfterGame();
