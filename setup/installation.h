// setup/installation.h - the steps of an installation that need no window.
//
// The install folder is kept as the rules keep every text, in Latin-1: an OS folder that ends
// in '/'. The game goes into the install folder + "KORAX 3050/".
#pragma once

#include <string>

// The installer's own file name; an installer under any other name unpacks nothing.
std::string InstallerFileName();

// Unpacks the installer file at the OS path below the install folder. Nothing is unpacked when
// the file's name is not the installer's name or it cannot be opened. 1 when the package was
// read to its end; LastUnpack tells what happened.
int UnpackInstaller(const std::string& installerPath, const std::string& installFolder);

// The note on what the last unpacking could not write (Latin-1), counting a failed installation
// record as one more file; empty when everything was written. Shown at the end of the
// installation instead of leaving the user with a game that misses files.
std::string UnpackFailureNote(int recordWritten);

// The folder with a final '/' (an empty one stays empty).
std::string WithFinalSeparator(const std::string& folder);
// A folder typed without a leading '/' is taken relative to the current folder.
std::string AbsoluteFolder(const std::string& folder);
// 1 when the folder can take a new file, tested with a file "Ordner_Test" that is removed again.
int FolderTest(const std::string& installFolder);

// The bytes of Installationsort.ini for an install folder: the game's top folder written the
// way our files write paths ('\' between names, a final '\'), then CR LF.
std::string InstallationRecord(const std::string& installFolder);
// Writes it (anew) to the top folder's DATEN\Installationsort.ini; 1 on success.
int WriteInstallationRecord(const std::string& installFolder);
// Makes the installed title font known to the programs of the user's session; 1 on success.
int MakeGameFontKnown(const std::string& installFolder);

// Runs the installed shadow maker in its own folder and waits for its end; 1 when it ran.
int RunShadowMaker(const std::string& installFolder);
// Starts the installed launcher in its own folder without waiting; 1 when it started.
int StartLauncher(const std::string& installFolder);
