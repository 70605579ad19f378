// platform/files.h - files and folders below the program's folder, found without regard to case.
//
// Every path the game passes in is a Latin-1 game path written with '\' (or '/') separators,
// relative to ProgramFolder unless it starts with '/' or '\'. Each component is matched against the
// folder's entries ignoring letter case, because the data differs in case from the names asked.
// A component that does not exist keeps the case it was asked in, so new files can be written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern std::string ProgramFolder; // OS path (UTF-8) of the running program's folder, ends in '/'

// Sets ProgramFolder to the folder of the running executable; 1 on success.
int SetProgramFolderFromExecutable();
// Sets ProgramFolder to an OS path (a '/' is added when missing); tests use a temporary folder.
void SetProgramFolder(const std::string& osFolder);

// Game path -> OS path (UTF-8) with every existing component in its on-disk case.
std::string ResolvePath(const std::string& path);
// The same below an OS folder that is taken as it is (empty: ProgramFolder; relative: below
// ProgramFolder). A folder the user named may hold what a game path cannot: letters outside
// Latin-1, or a '\' inside a name.
std::string ResolvePathFrom(const std::string& osFolder, const std::string& path);

int FileExists(const std::string& path);   // 1 for a regular file
int FolderExists(const std::string& path); // 1 for a folder
int OsFileExists(const std::string& osPath);   // the same for OS paths, taken as they are
int OsFolderExists(const std::string& osPath);

// Whole-file access. Reading fills `data` and gives 1; a missing or unreadable file gives 0 and
// leaves `data` empty. Writing goes through a temporary file that is renamed over the old one,
// so a failed write never leaves a half-written file in place of a good one.
// A file larger than `most` bytes is not read and gives 0. Writing flushes the file and its
// folder to the disk before it says 1.
int ReadWholeFile(const std::string& path, std::string& data, size_t most = SIZE_MAX);
int WriteWholeFile(const std::string& path, const std::string& data);
int CopyOneFile(const std::string& from, const std::string& to);
// The same by OS path (UTF-8), for files outside the program's tree that the OS names.
int ReadOsFile(const std::string& osPath, std::string& data, size_t most = SIZE_MAX);
int WriteOsFile(const std::string& osPath, const std::string& data);

int RemoveFile(const std::string& path);   // 1 when the file is gone afterwards
int MakeFolder(const std::string& path);   // creates missing parents too; 1 when it exists afterwards
int RemoveFolder(const std::string& path); // removes the folder and everything in it; 1 when gone

// Names (Latin-1, no folder part) of the files in the pattern's folder whose name matches the
// pattern's last component ('*' and '?', ignoring case), sorted ignoring case.
// "KARTEN\\Karte*.bmp" lists the free maps.
std::vector<std::string> ListFolder(const std::string& pattern);
int WildcardMatch(const std::string& pattern, const std::string& name);

// The one line reader of the suite: a line ends at CR, LF or a zero byte, and the byte after a
// CR is skipped (CR LF is one line end). The last line needs no end.
struct LineReader {
    const std::string* text = nullptr; // the whole file, not owned
    size_t pos = 0;                    // next byte to read
};
LineReader MakeLineReader(const std::string& text);
// Reads the next line into `line` (without its end); 0 when the text is used up.
int ReadLine(LineReader& reader, std::string& line);
std::vector<std::string> SplitLines(const std::string& text);
// Appends a line with the CR LF that every file of the suite uses.
void AppendLine(std::string& out, const std::string& line);
