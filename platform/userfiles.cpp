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

