// tests/tools/generator_files.h - pictures and lists in a test's program folder for the generators.
#pragma once

#include "platform/files.h"
#include "platform/image.h"
#include "platform/latin1.h"

#include <dirent.h>
#include <string>
#include <vector>

// Writes a picture as a 24-bit BMP under a game path of the program folder; 1 on success.
inline int WritePicture(const std::string& path, const Image& picture)
{
    return WriteWholeFile(path, EncodeBmp24(picture));
}

// Reads and decodes a BMP of the program folder; 1 on success.
inline int ReadPicture(const std::string& path, Image& picture)
{
    std::string bytes;
    return ReadWholeFile(path, bytes) &&
           DecodeBmp(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), picture);
}

inline uint32_t PixelAt(const Image& picture, int x, int y)
{
    return picture.pixels[size_t(y) * size_t(picture.width) + size_t(x)];
}

// Colour without alpha, so decoded and built pixels compare on what a BMP stores.
inline uint32_t Rgb(uint32_t colour) { return colour & 0xFFFFFFu; }

// A data file as people write it (UTF-8, LF) turned into what the programs read (Latin-1,
// CR LF), the way the staged tree gets it. Empty when the file is not there.
inline std::string StagedText(const std::string& sourcePath)
{
    std::string utf8, out;
    if (!ReadWholeFile(sourcePath, utf8)) return "";
    for (char c : L1(utf8)) {
        if (c == '\r') continue;
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// Names (UTF-8) of the entries of an OS folder, "." and ".." left out.
inline std::vector<std::string> FolderEntries(const std::string& osFolder)
{
    std::vector<std::string> names;
    DIR* dir = opendir(osFolder.c_str());
    if (!dir) return names;
    while (struct dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    return names;
}

// Size in bytes of a file of the program folder; -1 when it cannot be read.
inline long FileSize(const std::string& path)
{
    std::string bytes;
    return ReadWholeFile(path, bytes) ? long(bytes.size()) : -1;
}
