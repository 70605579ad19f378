// setup/wizard.h - the installation wizard: five pages in one small window.
//
// Foreword, system requirements (the user confirms them), installation folder (tested with a
// file), installation (unpacking with a progress bar, the installation record, the font, the
// shadow maker) and the closing report, whose button starts the launcher.
#pragma once

#include <string>

// The folder the game goes into (Latin-1 OS path); the user's home at the start. Every change
// sticks: typing, the folder browser, and the '/' that the location page adds.
extern std::string InstallFolder;

// Runs the installer from its first page to its end; the program's exit code.
int RunSetup();
