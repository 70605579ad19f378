// setup/package.cpp - reading the package: header lines byte by byte, file bytes in chunks.
#include "setup/package.h"

#include "platform/install_files.h"
#include "platform/latin1.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

const char* const FolderLabel = " [] Ordnername [] ";
const char* const FileLabel = " [] Dateiname  [] ";
const char* const LengthLabel = " [] Dateil\xE4nge [] ";
const char* const TrailerLabel = " [] Startpunkt [] ";
const char* const SeparatorLine = "------------------";
const char* const PackageTopFolder = "KORAX 3050";

UnpackReport LastUnpack;
int (*UnpackProgressHook)(int progress) = nullptr;
void (*UnpackFileHook)(const std::string& path) = nullptr;

namespace {

constexpr size_t ChunkSize = 256 * 1024; // bytes read from the installer file at a time
// A header line is kept up to this many bytes; anything longer is refused as a path anyway.
constexpr size_t KeptLineLength = LabelLength + MaxEntryPath + 1;

// The installer file being read, with its own buffer so that lines can go byte by byte.
struct PackageInput {
    std::FILE* file = nullptr;
    uint64_t length = 0;   // bytes in the whole installer file
    uint64_t position = 0; // bytes before the next unread one, from the start of the file
    std::vector<char> buffer;
    size_t next = 0; // next unread byte in the buffer
    size_t end = 0;  // bytes in the buffer
};

int Refill(PackageInput& in)
{
    in.next = 0;
    in.end = std::fread(in.buffer.data(), 1, in.buffer.size(), in.file);
    return in.end > 0;
}

// The next byte, or -1 at the end of the file.
int NextByte(PackageInput& in)
{
    if (in.next == in.end && !Refill(in)) return -1;
    in.position++;
    return (unsigned char)in.buffer[in.next++];
}

int AtEnd(PackageInput& in) { return in.position >= in.length || (in.next == in.end && !Refill(in)); }

// Reads a header line up to CR, LF or a zero byte; the byte after a CR is skipped unread.
// 0 when the file was used up before any byte.
int ReadHeaderLine(PackageInput& in, std::string& line)
{
    line.clear();
    int c = NextByte(in);
    if (c < 0) return 0;
    while (c >= 0 && c != '\r' && c != '\n' && c != 0) {
        if (line.size() < KeptLineLength) line += char(c);
        c = NextByte(in);
    }
    if (c == '\r') NextByte(in);
    return 1;
}

// Copies up to `size` bytes of the package into `out`; gives the count copied.
size_t ReadBytes(PackageInput& in, char* out, size_t size)
{
    size_t done = 0;
    while (done < size) {
        if (in.next == in.end && !Refill(in)) break;
        size_t n = std::min(size - done, in.end - in.next);
        std::memcpy(out + done, in.buffer.data() + in.next, n);
        in.next += n;
        done += n;
    }
    in.position += done;
    return done;
}

int StartsWith(const std::string& line, const char* label) { return line.compare(0, LabelLength, label) == 0; }

// The decimal number at the start of `text`; no digits read as 0, and a number too large for
// 64 bits as the largest value, which no file can hold.
uint64_t LengthValue(const std::string& text)
{
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        if (value > (UINT64_MAX - 9) / 10) return UINT64_MAX;
        value = value * 10 + uint64_t(c - '0');
    }
    return value;
}

int Progress(const PackageInput& in)
{
    if (in.length == 0) return 0;
    uint64_t position = std::min(in.position, in.length);
    return int((position * ProgressRange + in.length / 2) / in.length);
}

// Programs have no extension to tell them by, so their first bytes do: an ELF image or a script.
int LooksLikeProgram(const char* data, size_t size)
{
    return (size >= 4 && std::memcmp(data, "\x7F" "ELF", 4) == 0) || (size >= 2 && data[0] == '#' && data[1] == '!');
}

// One folder entry: the separator after it is dropped, then the folder is made.
void UnpackFolder(PackageInput& in, const std::string& line, const std::string& destination)
{
    std::string separator, path = line.substr(LabelLength);
    ReadHeaderLine(in, separator);
    std::vector<std::string> names;
    if (!SplitEntryPath(path, names)) {
        LastUnpack.refused++;
        NoteUnpackFailure(path, RefusedPath);
    } else if (MakeFolderBelow(destination, names)) {
        LastUnpack.folders++;
    } else {
        NoteUnpackFailure(path, errno);
    }
}

// One file entry: its length and separator lines, then its bytes, copied a chunk at a time into
// the new file - or only consumed, when the file cannot be written. 0 when the file's length
// runs past the end of the installer file, which ends the reading.
int UnpackFile(PackageInput& in, const std::string& line, const std::string& destination)
{
    std::string path = line.substr(LabelLength), lengthLine, separator;
    if (UnpackFileHook) UnpackFileHook(path);
    ReadHeaderLine(in, lengthLine);
    ReadHeaderLine(in, separator);
    uint64_t length = lengthLine.size() > size_t(LabelLength) ? LengthValue(lengthLine.substr(LabelLength)) : 0;
    if (length > in.length - std::min(in.position, in.length)) {
        LastUnpack.cutShort = 1;
        NoteUnpackFailure(path, PackageCutShort);
        return 0;
    }
    std::vector<std::string> names;
    int allowed = SplitEntryPath(path, names);
    if (!allowed) LastUnpack.refused++;
    std::vector<char> chunk(size_t(std::min<uint64_t>(length, ChunkSize)));
    FileBelow file;
    file.failed = !allowed;
    uint64_t left = length;
    int first = 1;
    do {
        size_t n = ReadBytes(in, chunk.data(), size_t(std::min<uint64_t>(left, chunk.size())));
        left -= n;
        if (first && allowed) CreateFileBelow(destination, names, LooksLikeProgram(chunk.data(), n), file);
        first = 0;
        WriteFileBelow(file, chunk.data(), n);
        if (n == 0 && left > 0) break;
    } while (left > 0);
    int written = allowed && CloseFileBelow(file) && left == 0;
    if (written) LastUnpack.files++;
    else NoteUnpackFailure(path, !allowed ? RefusedPath : left > 0 ? PackageCutShort : file.error ? file.error : EIO);
    return 1;
}

// The start offset from the last four bytes; 0 when the file is too short or the offset lies
// outside it.
int SeekToPackage(PackageInput& in)
{
    if (std::fseek(in.file, 0, SEEK_END) != 0) return 0;
    long length = std::ftell(in.file);
    if (length < 4 || std::fseek(in.file, length - 4, SEEK_SET) != 0) return 0;
    unsigned char offset[4];
    if (std::fread(offset, 1, 4, in.file) != 4) return 0;
    uint64_t start = uint64_t(offset[0]) | uint64_t(offset[1]) << 8 | uint64_t(offset[2]) << 16 | uint64_t(offset[3]) << 24;
    if (start >= uint64_t(length) || std::fseek(in.file, long(start), SEEK_SET) != 0) return 0;
    in.length = uint64_t(length);
    in.position = start;
    return 1;
}

} // namespace

void NoteUnpackFailure(const std::string& path, int error)
{
    LastUnpack.failed++;
    if (LastUnpack.failures.size() < size_t(ListedFailures)) LastUnpack.failures.push_back({path, error});
}

int SplitEntryPath(const std::string& path, std::vector<std::string>& names)
{
    names.clear();
    if (path.empty() || path.size() > size_t(MaxEntryPath) || path[0] == '\\' || path[0] == '/') return 0;
    for (unsigned char c : path)
        if (c < 0x20 || c == 0x7F) return 0;
    std::string name;
    for (size_t i = 0; i <= path.size(); i++) {
        if (i < path.size() && path[i] != '\\' && path[i] != '/') {
            name += path[i];
            continue;
        }
        int drive = name.size() >= 2 && name[1] == ':' && std::isalpha((unsigned char)name[0]);
        if (drive || !IsSafeComponent(name)) {
            names.clear();
            return 0;
        }
        names.push_back(ToUtf8(name));
        name.clear();
    }
    return 1;
}

int UnpackPackage(std::FILE* installer, const std::string& destination)
{
    LastUnpack = UnpackReport{};
    PackageInput in;
    in.file = installer;
    in.buffer.resize(ChunkSize);
    if (!installer || !SeekToPackage(in)) return 0;
    LastUnpack.found = 1;
    std::string line;
    while (!AtEnd(in)) {
        if (UnpackProgressHook && !UnpackProgressHook(Progress(in))) {
            LastUnpack.stopped = 1;
            return 0;
        }
        if (!ReadHeaderLine(in, line)) break;
        if (StartsWith(line, FolderLabel)) UnpackFolder(in, line, destination);
        else if (StartsWith(line, FileLabel) && !UnpackFile(in, line, destination)) return 0;
    }
    return 1;
}
