// setup/package.h - the package appended to the installer, and its reader.
//
// The installer file is the program, some filler, the package and a trailer. The package is
// plain: Latin-1 header lines ending in CR LF and the raw bytes of each file. Every entry starts
// with a blank line and a separator line; a folder entry names its path, a file entry its path,
// its length in decimal and then its bytes. The trailer's last four bytes hold the package's
// start offset, little-endian, so a reader needs nothing but the file itself to find it.
//
// The reader unpacks every entry below a destination folder and never writes outside it: a path
// that is absolute, climbs with "..", names a drive or carries control bytes is refused, and
// no folder or file is reached through a symbolic link.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Labels of the header lines, each exactly 18 characters (Latin-1: "ä" is the byte 0xE4).
extern const char* const FolderLabel;  // " [] Ordnername [] "
extern const char* const FileLabel;    // " [] Dateiname  [] "
extern const char* const LengthLabel;  // " [] Dateil\xE4nge [] "
extern const char* const TrailerLabel; // " [] Startpunkt [] "
extern const char* const SeparatorLine; // 18 hyphens
constexpr int LabelLength = 18;
constexpr int MaxEntryPath = 1000;    // characters of a path after the label; longer ones are refused
constexpr int ProgressRange = 300;    // progress runs from 0 to this

// The top folder every packaged path lies under.
extern const char* const PackageTopFolder; // "KORAX 3050"

// One entry that could not be written, for telling the user which and why.
struct UnpackFailure {
    std::string path; // the package path (Latin-1), as the status line showed it
    int error = 0;    // the system's error number (errno), or RefusedPath / PackageCutShort
};
constexpr int RefusedPath = -1;      // the entry's path would have led outside the destination
constexpr int PackageCutShort = -2;  // the package ended inside the entry's bytes
constexpr int ListedFailures = 5;    // failures kept by name; the rest are only counted

// What the last unpacking did. Set by UnpackPackage.
struct UnpackReport {
    int found = 0;     // 1 when the installer file was opened and a start offset inside it read
    int folders = 0;   // folder entries that exist afterwards
    int files = 0;     // files written completely
    int failed = 0;    // entries that could not be written, refused ones included
    int refused = 0;   // entries whose path was refused (their bytes were consumed)
    int cutShort = 0;  // 1 when a length ran past the end of the file and the reading stopped
    int stopped = 0;   // 1 when the progress hook asked to stop
    std::vector<UnpackFailure> failures; // the first ListedFailures of the failed entries
};
extern UnpackReport LastUnpack;

// Counts one more entry that could not be written, and keeps it by name while the list has room.
// The installer adds the files it writes after the package (the installation record) this way.
void NoteUnpackFailure(const std::string& path, int error);

// Called before every line the reader reads, with round(position / length * 300); returning 0
// stops the unpacking. Null: no report.
extern int (*UnpackProgressHook)(int progress);
// Called with the package path (Latin-1) of every file entry before its bytes are copied.
extern void (*UnpackFileHook)(const std::string& path);

// Unpacks the package of an open installer file below the OS folder `destination` (which
// should end in '/'). 1 when the package was read to its end; LastUnpack tells the rest.
int UnpackPackage(std::FILE* installer, const std::string& destination);

// Splits a package path at '\' (and '/') into UTF-8 names for the file system; 0 when the
// path is refused: absolute, empty components, ".", "..", a drive ("C:"), control bytes, or
// longer than MaxEntryPath.
int SplitEntryPath(const std::string& path, std::vector<std::string>& names);
