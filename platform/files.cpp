// platform/files.cpp - POSIX files and folders behind the game's case-blind paths.
#include "platform/files.h"

#include "platform/latin1.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string ProgramFolder = "./";

int SetProgramFolderFromExecutable()
{
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return 0;
    std::string path(buffer, size_t(n));
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return 0;
    ProgramFolder = path.substr(0, slash + 1);
    return 1;
}

void SetProgramFolder(const std::string& osFolder)
{
    ProgramFolder = osFolder;
    if (ProgramFolder.empty() || ProgramFolder.back() != '/') ProgramFolder += '/';
}

static int IsFolder(const std::string& osPath)
{
    struct stat info;
    return stat(osPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

static int IsFile(const std::string& osPath)
{
    struct stat info;
    return stat(osPath.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Splits a game path at '\' and '/', dropping empty and "." components.
static std::vector<std::string> PathComponents(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!part.empty() && part != ".") parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty() && part != ".") parts.push_back(part);
    return parts;
}

// The on-disk name (UTF-8) in `folder` that equals the Latin-1 `name` ignoring case; the
// smallest such name when several differ only in case, so the choice does not depend on the
// order the folder lists them in. Empty when there is none.
static std::string FindIgnoringCase(const std::string& folder, const std::string& name)
{
    DIR* dir = opendir(folder.empty() ? "/" : folder.c_str());
    if (!dir) return "";
    std::string best;
    while (struct dirent* entry = readdir(dir)) {
        std::string onDisk = entry->d_name;
        if (!FitsLatin1(onDisk) || !SameIgnoringCase(L1(onDisk), name)) continue;
        if (best.empty() || onDisk < best) best = onDisk;
    }
    closedir(dir);
    return best;
}

std::string ResolvePath(const std::string& path) { return ResolvePathFrom("", path); }

std::string ResolvePathFrom(const std::string& osFolder, const std::string& path)
{
    // Either separator at the front makes the path absolute: the installation record keeps
    // its folder in the backslash form of our own files.
    int absolute = !path.empty() && (path[0] == '/' || path[0] == '\\');
    std::string result = absolute ? "/" : osFolder.empty() ? ProgramFolder
                                        : osFolder[0] == '/' ? osFolder
                                                             : ProgramFolder + osFolder;
    int parentExists = IsFolder(result);
    for (const std::string& part : PathComponents(path)) {
        if (!result.empty() && result.back() != '/') result += '/';
        std::string asked = ToUtf8(part);
        if (parentExists && part != ".." && access((result + asked).c_str(), F_OK) != 0) {
            std::string found = FindIgnoringCase(result, part);
            if (!found.empty()) asked = found;
        }
        result += asked;
        parentExists = parentExists && IsFolder(result);
    }
    return result;
}

int FileExists(const std::string& path) { return IsFile(ResolvePath(path)); }
int FolderExists(const std::string& path) { return IsFolder(ResolvePath(path)); }
int OsFileExists(const std::string& osPath) { return IsFile(osPath); }
int OsFolderExists(const std::string& osPath) { return IsFolder(osPath); }

int ReadOsFile(const std::string& osPath, std::string& data, size_t most)
{
    data.clear();
    if (!IsFile(osPath)) return 0;
    FILE* file = std::fopen(osPath.c_str(), "rb");
    if (!file) return 0;
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || uint64_t(info.st_size) > most) {
        std::fclose(file);
        return 0;
    }
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0 && data.size() <= most) data.append(buffer, n);
    // A file that grew while it was read is as good as one too large.
    int ok = !std::ferror(file) && data.size() <= most;
    std::fclose(file);
    if (!ok) data.clear();
    return ok;
}

int ReadWholeFile(const std::string& path, std::string& data, size_t most) { return ReadOsFile(ResolvePath(path), data, most); }

// Writes all of `data` to an open descriptor, going on after short writes.
static int WriteAll(int fd, const std::string& data)
{
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return 0;
        done += size_t(n);
    }
    return 1;
}

// Makes a rename in `osPath`'s folder last through a power cut.
static void SyncFolderOf(const std::string& osPath)
{
    size_t slash = osPath.rfind('/');
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : osPath.substr(0, slash);
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

int WriteOsFile(const std::string& osPath, const std::string& data)
{
    std::string temporary = osPath + ".schreiben";
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return 0;
    // The bytes reach the disk before the name moves over them: renamed first, a power cut could
    // leave an empty file where the old save was.
    int ok = WriteAll(fd, data) && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    if (ok) ok = std::rename(temporary.c_str(), osPath.c_str()) == 0;
    if (!ok) unlink(temporary.c_str());
    if (ok) SyncFolderOf(osPath);
    return ok;
}

int WriteWholeFile(const std::string& path, const std::string& data) { return WriteOsFile(ResolvePath(path), data); }

int CopyOneFile(const std::string& from, const std::string& to)
{
    std::string data;
    return ReadWholeFile(from, data) && WriteWholeFile(to, data);
}

int RemoveFile(const std::string& path)
{
    std::string osPath = ResolvePath(path);
    unlink(osPath.c_str());
    return !IsFile(osPath);
}

int MakeFolder(const std::string& path)
{
    std::string osPath = ResolvePath(path);
    for (size_t i = 1; i <= osPath.size(); i++) {
        if (i == osPath.size() || osPath[i] == '/') mkdir(osPath.substr(0, i).c_str(), 0755);
    }
    return IsFolder(osPath);
}

// Removes an OS folder with everything below it; symbolic links are removed, not followed.
static void RemoveTree(const std::string& osPath)
{
    if (DIR* dir = opendir(osPath.c_str())) {
        while (struct dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            std::string child = osPath + "/" + name;
            struct stat info;
            if (lstat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) RemoveTree(child);
            else unlink(child.c_str());
        }
        closedir(dir);
    }
    rmdir(osPath.c_str());
}

int RemoveFolder(const std::string& path)
{
    std::string osPath = ResolvePath(path);
    if (IsFolder(osPath)) RemoveTree(osPath);
    return !IsFolder(osPath);
}

int WildcardMatch(const std::string& pattern, const std::string& name)
{
    // Iterative matcher with one backtrack point: linear in practice, no recursion to overflow.
    size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || FoldCase((unsigned char)pattern[p]) == FoldCase((unsigned char)name[n]))) {
            p++;
            n++;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return 0;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') p++;
    return p == pattern.size();
}

std::vector<std::string> ListFolder(const std::string& pattern)
{
    std::vector<std::string> names;
    size_t cut = pattern.find_last_of("\\/");
    std::string folder = cut == std::string::npos ? "" : pattern.substr(0, cut);
    std::string mask = cut == std::string::npos ? pattern : pattern.substr(cut + 1);
    std::string osFolder = ResolvePath(folder);
    DIR* dir = opendir(osFolder.c_str());
    if (!dir) return names;
    while (struct dirent* entry = readdir(dir)) {
        std::string onDisk = entry->d_name;
        if (!FitsLatin1(onDisk) || !IsFile(osFolder + "/" + onDisk)) continue;
        std::string name = L1(onDisk);
        if (WildcardMatch(mask, name)) names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return FoldCase((unsigned char)x) < FoldCase((unsigned char)y);
        });
    });
    return names;
}

LineReader MakeLineReader(const std::string& text)
{
    LineReader reader;
    reader.text = &text;
    return reader;
}

int ReadLine(LineReader& reader, std::string& line)
{
    line.clear();
    const std::string& text = *reader.text;
    if (reader.pos >= text.size()) return 0;
    while (reader.pos < text.size()) {
        char c = text[reader.pos++];
        if (c == '\r') {
            reader.pos = std::min(reader.pos + 1, text.size());
            return 1;
        }
        if (c == '\n' || c == '\0') return 1;
        line += c;
    }
    return 1;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    LineReader reader = MakeLineReader(text);
    std::string line;
    while (ReadLine(reader, line)) lines.push_back(line);
    return lines;
}

void AppendLine(std::string& out, const std::string& line)
{
    out += line;
    out += "\r\n";
}
