// platform/process.h - starting the suite's other programs and the web browser.
#pragma once

#include <string>

// The file name of one of the suite's programs ("Hilfe", "texgen"); the one place that knows
// whether programs carry an extension.
std::string ProgramFile(const std::string& name);

// Starts a program (game path) with its own folder as working folder, without arguments.
// With `wait` 0: 1 when it started. With `wait` 1: waits for its end; 1 when it ended normally
// with exit status 0.
int StartProgram(const std::string& path, int wait);
// The same for a game path below an OS folder (see ResolvePathFrom): a program in the folder
// that the user installed into, whatever that folder is called.
int StartProgramBelow(const std::string& osFolder, const std::string& path, int wait);

// Opens a web address in the user's browser; 1 when the browser could be asked.
int OpenWebAddress(const std::string& address);
