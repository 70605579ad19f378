// setup/installation.h - the steps of an installation that need no window.
//
// The install folder is an OS path ending in '/', kept in the bytes the system names it with
// (UTF-8), not in Latin-1 like the game's texts: the user's folder may be called anything, in
// any script, with a '\' in a name. The game goes into the install folder + "KORAX 3050/".
#pragma once

#include "platform/desktop_entry.h"
#include "platform/image.h"

#include <string>

// The installer's own file name; an installer under any other name unpacks nothing.
std::string InstallerFileName();

// Unpacks the installer file at the OS path below the install folder. Nothing is unpacked when
// the file's name is not the installer's name or it cannot be opened. 1 when the package was
// read to its end; LastUnpack tells what happened.
int UnpackInstaller(const std::string& installerPath, const std::string& installFolder);

// The note on what the installation could not write (Latin-1): how many files, the first few by
// name with the reason, and that the installation is incomplete; empty when everything was
// written. Shown at the end of the installation instead of leaving the user with a game that
// misses files.
std::string UnpackFailureNote();
// Why a file could not be written, in words (Latin-1), for an UnpackFailure's error.
std::string FailureReason(int error);
// The report page's text (Latin-1): success only when every file was written; it also tells
// when the shadows or the menu entries could not be made.
std::string ReportText(int shadowsMade, int menuEntriesMade);

// The folder with a final '/' (an empty one stays empty).
std::string WithFinalSeparator(const std::string& folder);
// A folder typed without a leading '/' is taken relative to the current folder.
std::string AbsoluteFolder(const std::string& folder);
// Where the folder browser opens for the folder in the field: that folder, or the nearest of
// its parents that exists (a half-typed name still opens near it), else the user's home.
std::string BrowseStart(const std::string& folder);
// 1 when the folder can take a new file, tested with a file "Ordner_Test" that is removed again.
int FolderTest(const std::string& installFolder);

// The bytes of Installationsort.ini for an install folder: the game's top folder written the
// way our files write paths ('\' between names, a final '\', Latin-1), then CR LF - or, for a
// folder that form cannot carry, in the system's own form (see platform/install_record.h).
std::string InstallationRecord(const std::string& installFolder);
// Writes it (anew) to the top folder's DATEN\Installationsort.ini; 1 on success. A failure is
// counted with the unpacking's (see NoteUnpackFailure).
int WriteInstallationRecord(const std::string& installFolder);
// Makes the installed title font known to the programs of the user's session; 1 on success.
int MakeGameFontKnown(const std::string& installFolder);

// The icon of the game's menu entry: the sun and title of the installer's 128 x 256 logo; the
// help viewer's icon carries the manual's book in front of it.
void GameIcon(const Image& logo, Image& icon);
void HelpIcon(const Image& logo, Image& icon);
// The application menu's entries for the installed launcher and help viewer.
MenuEntry LauncherMenuEntry(const std::string& installFolder);
MenuEntry HelpMenuEntry(const std::string& installFolder);
// Writes both entries with their icons, replacing those of an earlier installation; 1 on success.
int AddMenuEntries(const std::string& installFolder, const Image& logo);

// Runs the installed shadow maker in its own folder and waits for its end; 1 when it ran.
int RunShadowMaker(const std::string& installFolder);
// Starts the installed launcher in its own folder without waiting; 1 when it started.
int StartLauncher(const std::string& installFolder);
