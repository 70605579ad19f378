// platform/install_record.h - DATEN\Installationsort.ini: the game's top folder as the installer
// recorded it, for the launcher and the game's first start.
//
// The record is one line. Our files are Latin-1 and write paths with '\', and the record keeps
// that form wherever it can carry the folder: "\home\jürgen\Spiele\KORAX 3050\" in Latin-1.
// Two kinds of folder name cannot travel that way on Linux: a name with letters that Latin-1
// lacks ("/home/Наталья/") would come back as "?", and a name holding a '\' (legal on Linux)
// would come back split into two names. For those the line is the folder's path exactly as the
// system names it, '/' between names, marked by the UTF-8 byte order mark in front. No Latin-1
// record can start with those three bytes (a recorded folder starts with its separator), so a
// reader tells the two forms apart by the first bytes alone, and every older record reads as
// it always did.
#pragma once

#include <string>

// The bytes of the record for the game's top folder (an OS path, absolute), line end included.
std::string InstallationRecordFor(const std::string& osTopFolder);

// The top folder that the record's first line names, as an OS path ending in '/'. Empty when
// the record is empty, its line is longer than any path, or holds control bytes.
std::string TopFolderFromRecord(const std::string& record);
