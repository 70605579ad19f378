// game/save/savefile.h - saved games: the whole running game as one flat file of 32-bit
// little-endian numbers and CR LF ended texts, written safely and read back with every count
// and size checked before it is believed.
#pragma once

#include <string>

// Writes the running game to "SAVE\" + name + ".sav" through a temporary file, so that a
// failed write leaves the file that was there. 1 on success.
int SaveGame(const std::string& name);
// Reads "SAVE\" + name + ".sav" into a fresh game and puts it in place of the running one;
// 0 (and the running game untouched) when the file is missing, short, foreign or too large.
int LoadGame(const std::string& name);
// 1 after a load failed; the load page clears it.
extern int LoadFailed;

// The running game as the file holds it, and the file read back into the running game.
std::string GameStateBytes();
int ApplyGameStateBytes(const std::string& bytes);

// A save name stays inside the SAVE folder: no "/", "\", ".." and not empty. Otherwise the
// German line that tells the player why.
std::string SaveNameProblem(const std::string& name);
// A name a player typed or a partner sent: besides, it must not start with "_" (the game's own
// hidden files) nor hold a line end.
std::string PlayerSaveNameProblem(const std::string& name);
// 1 when "SAVE\" + name + ".sav" is there, found as files are found: ignoring letter case.
int SaveFileExists(const std::string& name);
// RoundedField, the rounding of float fields, lives with the record fields.
#include "game/save/records.h"
