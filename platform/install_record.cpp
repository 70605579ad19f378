// platform/install_record.cpp - the two forms of the installation record's line.
#include "platform/install_record.h"

#include "platform/files.h"
#include "platform/latin1.h"

static const char* const SystemPathMark = "\xEF\xBB\xBF"; // UTF-8 byte order mark
static const size_t LongestRecordedPath = 4096;

static int StartsWithMark(const std::string& line) { return line.compare(0, 3, SystemPathMark) == 0; }

// The Latin-1 form carries the folder when converting there and back gives the same bytes and
// no name holds the separator of that form.
static int PlainFormCarries(const std::string& osFolder)
{
    // Asked of the bytes themselves: a name that is not proper UTF-8 (an overlong letter, say)
    // may still convert, but not back to the same bytes.
    return FitsLatin1(osFolder) && ToUtf8(L1(osFolder)) == osFolder && osFolder.find('\\') == std::string::npos;
}

std::string InstallationRecordFor(const std::string& osTopFolder)
{
    std::string folder = osTopFolder;
    if (folder.empty() || folder.back() != '/') folder += '/';
    if (!PlainFormCarries(folder)) return SystemPathMark + folder + "\r\n";
    std::string line = L1(folder);
    for (char& c : line)
        if (c == '/') c = '\\';
    return line + "\r\n";
}

std::string TopFolderFromRecord(const std::string& record)
{
    LineReader reader = MakeLineReader(record);
    std::string line;
    if (!ReadLine(reader, line)) return "";
    int systemForm = StartsWithMark(line);
    if (systemForm) line.erase(0, 3);
    // A top folder is a path: a line of control bytes or one longer than any path is no record.
    size_t length = line.size() - (!line.empty() && (line.back() == '/' || line.back() == '\\'));
    if (line.empty() || length > LongestRecordedPath) return "";
    for (unsigned char c : line)
        if (c < 32) return "";
    std::string folder;
    if (systemForm) {
        folder = line;
    } else {
        // Older records and hand-written ones may mix both separators.
        folder = ToUtf8(line);
        for (char& c : folder)
            if (c == '\\') c = '/';
    }
    if (folder.back() != '/') folder += '/';
    return folder;
}
