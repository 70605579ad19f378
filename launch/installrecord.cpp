// launch/installrecord.cpp - the game's top folder as the installer recorded it.
#include "launch/launcher.h"

#include "platform/files.h"

std::string RootFromRecord(const std::string& record)
{
    LineReader reader = MakeLineReader(record);
    std::string root;
    if (!ReadLine(reader, root)) return "";
    // A top folder is a path: a line of control bytes or one longer than any path is no record.
    if (root.size() > 4096) return "";
    for (unsigned char c : root)
        if (c < 32) return "";
    if (!root.empty() && root.back() != '\\' && root.back() != '/') root += '\\';
    return root;
}

std::string ReadRootFolder()
{
    std::string record;
    ReadWholeFile("DATEN\\Installationsort.ini", record);
    return RootFromRecord(record);
}
