// game/base/config.h - the settings of Konfigurationen.ini beside the game program.
//
// Read once at start-up, changed by the menus, written back by them. Values are kept as read,
// without range limits; whoever uses one that indexes a table checks it there. Switches use
// -1 for off and 1 for on. These settings outlive every game.
#pragma once

#include <string>

extern std::string FolderSetting;  // OrdnerOrt$: folder text, written back unchanged
extern int JumpToScreenModes;      // Sprung: 1 = skip the intro, open the screen-mode options
extern int MakeTextures;           // Texturen_machen: 1 = run the first-start generation
extern int MouseSpeed;             // Maus: 5..40
extern int ScrollSpeed;            // Scroll: 1..8
extern float GameSpeedSetting;     // KF: 1..8, a float in memory, written rounded
extern int MapSetting;             // SpielKarte: map of a free game
extern int DayNightSetting;        // TagNacht: day-night cycle, -1/1
extern int StormSetting;           // F9_Sturm: sandstorms 0 none .. 3 many
extern int Difficulty;             // Schwierigkeitsgrad: 1 easy .. 3 hard
extern int StartHour;              // StartTageszeit: 0..23
extern std::string SaveName;       // savename$: last save-game name
extern std::string ServerAddress;  // IP_Adresse$: last server address typed
extern std::string PlayerName;     // Spielername$: last player name
extern int CurrentMission;         // akt_Miss: mission to play next (scrambled in the file)
extern int ResolutionIndex;        // Auf: 1..5, see ScreenSizeFor
extern int ColourDepth;            // Farbtiefe: 16, 24 or 32
extern int SmokeEffects;           // Effekt_Rauch, -1/1
extern int TrackEffects;           // Effekt_Spuren, -1/1
extern int BloodEffects;           // Effekt_Blut, -1/1
extern int ShadowEffects;          // Effekt_Schatten, -1/1
extern int SoundEffects;           // Effekt_Sound, -1/1
extern int VoiceEffects;           // Effekt_Sprache, -1/1
extern int MusicInGame;            // Effekt_HGM, -1/1
extern int StereoSound;            // F9_2D_Sound, -1/1
extern int PathfindingSetting;     // F9_Wegsuche, -1/1
extern int PathTestSetting;        // F9_Funk_Test, -1/1
extern int ComputerSetting;        // F9_Computer, -1/1
extern int FrameSkipSetting;       // Herz: draw every X-th frame, held as X - 1
extern int FogSetting;             // F9_DUNKEL, -1/1
extern int TechLevel;              // TECH_STUFE: 0, or 1 = everything researched

// Every setting back to its default.
void SetConfigurationDefaults();
// Reads Konfigurationen.ini; a missing file or key keeps the default. Always succeeds.
void ReadConfiguration();
// The same on the file's bytes.
void ReadConfigurationText(const std::string& data);
// Writes Konfigurationen.ini in full; 1 on success, 0 (nothing changed) when it cannot be written.
int WriteConfiguration();

// Campaign progress as the file keeps it: mission squared, each character as three letters.
std::string ScrambleMission(int mission);
int UnscrambleMission(const std::string& letters);
