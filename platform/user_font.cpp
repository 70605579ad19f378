// platform/user_font.cpp - a copy in the user's font folder, then fontconfig rescans that folder.
#include "platform/user_font.h"

#include "platform/install_files.h"

#include <fontconfig/fontconfig.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string UserFontFolder() { return UserDataFolder() + "fonts/"; }

// Copies a file through a temporary name beside the target, so a reader never sees half a font.
static int CopyFile(const std::string& from, const std::string& to)
{
    std::FILE* in = std::fopen(from.c_str(), "rb");
    if (!in) return 0;
    std::string temporary = to + ".neu";
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    int ok = out != nullptr;
    char buffer[65536];
    size_t n;
    while (ok && (n = std::fread(buffer, 1, sizeof buffer, in)) > 0) ok = std::fwrite(buffer, 1, n, out) == n;
    ok = ok && !std::ferror(in);
    std::fclose(in);
    if (out) ok = (std::fclose(out) == 0) && ok;
    if (ok) ok = std::rename(temporary.c_str(), to.c_str()) == 0;
    if (!ok) unlink(temporary.c_str());
    return ok;
}

int InstallUserFont(const std::string& fontFile)
{
    std::string folder = UserFontFolder();
    size_t slash = fontFile.rfind('/');
    std::string name = slash == std::string::npos ? fontFile : fontFile.substr(slash + 1);
    if (name.empty() || !MakeOsFolders(folder) || !CopyFile(fontFile, folder + name)) return 0;
    // Programs started later would rescan the changed folder themselves; writing the cache now
    // spares each of them that work.
    if (FcInit()) {
        if (FcCache* cache = FcDirCacheRescan((const FcChar8*)folder.c_str(), nullptr)) FcDirCacheUnload(cache);
        FcConfigAppFontAddFile(nullptr, (const FcChar8*)(folder + name).c_str());
    }
    return 1;
}
