// platform/userfiles.cpp - the cache folder of the XDG rules, and files by OS path.
#include "platform/userfiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

static int IsFolder(const std::string& osPath)
{
    struct stat info;
    return stat(osPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Makes every missing folder along an absolute path; 1 when the last one exists afterwards.
static int MakeFolders(const std::string& osPath)
{
    for (size_t i = 1; i <= osPath.size(); i++)
        if (i == osPath.size() || osPath[i] == '/') mkdir(osPath.substr(0, i).c_str(), 0700);
    return IsFolder(osPath);
}

static std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    struct passwd* entry = getpwuid(getuid());
    return (entry && entry->pw_dir && entry->pw_dir[0] == '/') ? entry->pw_dir : "";
}

std::string UserCacheFolder()
{
    // A relative XDG_CACHE_HOME is invalid by the XDG rules and is ignored, as they ask.
    const char* cache = std::getenv("XDG_CACHE_HOME");
    std::string folder = (cache && cache[0] == '/') ? cache : "";
    if (folder.empty()) {
        std::string home = HomeFolder();
        if (home.empty()) return "";
        folder = home + (home.back() == '/' ? "" : "/") + ".cache";
    }
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (!MakeFolders(folder)) return "";
    return folder + "/";
}

int ReadOsFile(const std::string& osPath, std::string& data)
{
    data.clear();
    struct stat info;
    if (stat(osPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 0;
    FILE* file = std::fopen(osPath.c_str(), "rb");
    if (!file) return 0;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) data.append(buffer, n);
    int ok = !std::ferror(file);
    std::fclose(file);
    if (!ok) data.clear();
    return ok;
}

int WriteOsFile(const std::string& osPath, const std::string& data)
{
    std::string temporary = osPath + ".schreiben";
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return 0;
    size_t done = 0;
    int ok = 1;
    while (ok && done < data.size()) {
        ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ok = 0;
        else done += size_t(n);
    }
    ok = (close(fd) == 0) && ok;
    if (ok) ok = std::rename(temporary.c_str(), osPath.c_str()) == 0;
    if (!ok) unlink(temporary.c_str());
    return ok;
}
