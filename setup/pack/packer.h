// setup/pack/packer.h - building the installer: the program, filler, the package, the trailer.
//
// The package holds the staged tree as the installer lays it out, minus what appears there only
// after installing: the installation record that the installer writes, the tiles and shadows
// that the generators make on the first start, and what a played game leaves behind (saved
// games, screenshots, the configuration's scratch file). Entries follow a depth-first walk that
// lists each folder's files and subfolders together in case-blind alphabetical order; a folder
// entry comes before everything inside it, and empty folders are entries of their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One entry of the package.
struct PackItem {
    std::string path;   // package path: Latin-1, '\' between names, starting with the top folder
    std::string source; // OS path of the file whose bytes go in; empty for a folder
    int folder = 0;     // 1 for a folder entry
};

extern std::string PackError; // why the last CollectPackItems or BuildInstaller failed (UTF-8)

// The format's entries, appended to a byte string as the reader expects them. Paths are written
// as given, unchecked, so tests can write any package they like.
void AppendFolderEntry(std::string& out, const std::string& path);
void AppendFileEntry(std::string& out, const std::string& path, const std::string& bytes);
// The trailer with the package's start offset, counted from the start of the installer file.
void AppendTrailer(std::string& out, uint32_t start);

// 1 when a file of the staged tree appears there only after installing, and so stays out of
// the package. `relative` is its UTF-8 path below the top folder with '/' between names;
// `tileNames` are the names (Latin-1) that the texture generator writes into DATEN/BMP/B.
int MadeAfterInstalling(const std::string& relative, const std::vector<std::string>& tileNames);
// The names of the tiles the texture generator makes from the list TEX.txt of a staged tree.
std::vector<std::string> GeneratedTileNames(const std::string& stagedTop);

// Walks the staged top folder (OS path) and lists the package's entries in package order. A
// file that also lies at the same place below `overlayTop` (may be empty) is taken from there:
// the build stages the shipped data afresh there, so settings rewritten by a played game stay
// out. 0 with PackError for anything the package cannot carry (a symbolic link, a name outside
// Latin-1 or with a '\' in it, a path too long for the reader).
int CollectPackItems(const std::string& stagedTop, const std::string& overlayTop, std::vector<PackItem>& items);

// Appends the entries and the trailer to `installer`, which holds the program and its filler.
// 0 with PackError when a file cannot be read or the result would pass 4 GiB.
int AppendPackage(std::string& installer, const std::vector<PackItem>& items);

// What the last BuildInstaller did, for its summary line.
struct PackSummary {
    int folders = 0;        // folder entries
    int files = 0;          // file entries
    uint64_t start = 0;     // the package's start offset
    uint64_t size = 0;      // bytes of the whole installer
    int written = 0;        // 1 when the output file changed, 0 when it already held these bytes
};
extern PackSummary LastPack;

// Reads the program, appends filler and the package of the staged tree, and writes the result
// to `output` as a program file - only when its bytes differ, so an unchanged installer keeps
// its time stamp. 1 on success.
int BuildInstaller(const std::string& program, const std::string& stagedTop, const std::string& overlayTop,
                   const std::string& output);
