// game/sim/gameloop.h - the state of the running game that the rest of the program reads.
#pragma once

extern int LocalPlayer;     // number of the player at this computer, 1 in a single-player game
extern int ChatActive;      // 1 while the player types a chat line
extern int NextObjectId;    // identifier of the next unit or building; grows per object
extern int ElapsedSeconds;  // game seconds since the start; arrival hours compare against it
extern int TimeOfDay;       // world clock in seconds, 0..86399
extern float CamX, CamY;    // world-to-screen offset of the map in pixels
extern int CursorX, CursorY; // mouse position in screen pixels
extern int MissionMode;     // 1 in a campaign mission, else 0
extern int MapNumber;       // map of the running game; campaign maps are 100 + mission
extern int StatSampleIndex; // next statistics sample
