// game/sim/gamestate.h - the running game: its state and the rules' share of each frame.
//
// One game at a time. Values marked "per game" are reset by ResetGameState when a game is
// built; the rest (Zoom, LocalPlayer) outlive games. The frame loop that reads the player's
// hands and draws lives above the rules, in game/play/gameloop.
#pragma once

// LocalPlayer and ChatActive live with the chat, on the floor below; every reader of the
// game's state reads them too.
#include "game/base/messages.h"

#include <string>

// ---- state read and written across the game ----
extern int NetworkGame;      // 1 while a network game runs; per game
extern int NextObjectId;     // identifier of the next unit or building; per game
extern int ElapsedSeconds;   // game seconds since the start; arrival hours compare against it
extern int TimeOfDay;        // world clock in seconds, 0..86399
extern float CamX, CamY;     // world-to-screen offset in pixels: screen = (world + Cam) x DrawScale
extern int CursorX, CursorY; // mouse position in screen pixels, kept on the screen
extern int LogicalCursorX, LogicalCursorY; // the cursor in 1024-wide layout units
extern int MissionMode;      // 1 in a campaign mission, else 0
extern int MapNumber;        // map of the running game; campaign maps are 100 + mission
extern std::string MissionTask; // the mission's goal line, shown as a hint
extern int StatSampleIndex;  // next statistics sample
extern int StatSampleTimer;  // counts frames up to 0, where a sample is taken
extern float GameSpeed;      // game seconds per frame, 1..16; Page Up/Down
extern int AnimPhase;        // 0..359, +5 per frame; wobbles the end-of-game text
extern int StormPhase;       // 0..359, +1 per frame while storms blow
extern float Zoom;           // 0.5..2.0 by the mouse wheel; outlives games
extern float DrawScale;      // UiScale x Zoom
extern int RenderThisFrame;  // 1 when this frame is drawn
extern int FrameSkip;        // 1: draw every other frame only
extern int HelpVisible;      // tutorial text shown
extern int HelpPage;         // 0..10
extern int PathfindingOn, ShowObstacles, OpponentOn, FogOn; // debug switches, +1 on / -1 off
extern int BlendMode1, BlendMode2; // shifts of the space scene's planet blend (F1-F4); outlive games
extern int MouseCode;        // MouseEvent code of this frame
extern int GameResult;       // 0 running, 1 won, -1 lost
extern int ResultFrames;     // drawn frames that showed the end-of-game text
extern int OwnObjects, OwnIncinerators; // counted while drawing: the local player's objects
extern int RadarCaptured;    // the mission radar: -1 gone, 0 held by player 2, 1 by player 1
extern int LeaveGame;        // set when the loop ends after a result
extern int NextMission;      // after a won mission: the mission to play next
extern int PauseRequested;   // set when the loop ends because the player paused
extern int LowestFps;        // lowest frame rate seen, for the debug overlay

// Per-game state back to the start of a game (the world itself is built by the world).
void ResetGameState();
// The screens keep state of their own for a game (what the pointer hovers, a building being
// placed). The rules know nothing of them, so the screens hang their reset here and
// ResetGameState calls it; null: nothing to forget.
extern void (*ResetScreensOfGame)();
// The simulation's share of a frame: world, buildings, projectile sub-steps, units, storms.
void AdvanceWorld();
// The rules' close of a frame, after the player's input: the clock (with the shadows at the
// full hour), the statistics sample and the computer opponents' turn.
void CloseWorldFrame();
// A frame of the world with nobody at the screen: no input, nothing drawn, but what a drawn
// frame gathers (energy) gathered all the same. Computer-against-computer games run on it.
void SimulateFrame();

// A pure rule the frame applies, open to tests.
int AdvancedClock(int timeOfDay, float speed);   // the world clock after one frame
