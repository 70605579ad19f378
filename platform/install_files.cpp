// platform/install_files.cpp - openat with O_NOFOLLOW from the destination down, one name at a time.
#include "platform/install_files.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

std::string OwnProgramPath()
{
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return "";
    return std::string(buffer, size_t(n));
}

static std::string WithSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string UserHomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return WithSlash(home);
    if (struct passwd* user = getpwuid(getuid()); user && user->pw_dir && user->pw_dir[0] == '/')
        return WithSlash(user->pw_dir);
    return "/";
}

int EnterFolder(const std::string& osFolder) { return chdir(osFolder.c_str()) == 0; }

std::string CurrentFolder()
{
    char buffer[4096];
    if (!getcwd(buffer, sizeof buffer)) return "";
    return WithSlash(buffer);
}

int IsSafeComponent(const std::string& name)
{
    if (name.empty() || name == "." || name == "..") return 0;
    return name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

// The folder named by the first `count` components, opened as a real folder at every step:
// a link anywhere on the way makes the open fail. -1 on failure.
static int OpenFolderChain(const std::string& destination, const std::vector<std::string>& components, size_t count)
{
    int folder = open(destination.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (size_t i = 0; i < count && folder >= 0; i++) {
        int next = IsSafeComponent(components[i])
                       ? openat(folder, components[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)
                       : -1;
        close(folder);
        folder = next;
    }
    return folder;
}

int MakeFolderBelow(const std::string& destination, const std::vector<std::string>& components)
{
    if (components.empty() || !IsSafeComponent(components.back())) return 0;
    int parent = OpenFolderChain(destination, components, components.size() - 1);
    if (parent < 0) return 0;
    const char* name = components.back().c_str();
    mkdirat(parent, name, 0755);
    struct stat info;
    int ok = fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
    close(parent);
    return ok;
}

// Clears the way for a new plain file at `name`: a plain file with a single name may be
// truncated in place; one with further names is unlinked first, so the others keep their bytes.
// Anything else there (a link, a folder, a pipe) is refused.
static int PrepareFileName(int parent, const char* name)
{
    struct stat info;
    if (fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
    if (!S_ISREG(info.st_mode)) return 0;
    if (info.st_nlink > 1 && unlinkat(parent, name, 0) != 0) return 0;
    return 1;
}

int CreateFileBelow(const std::string& destination, const std::vector<std::string>& components, int executable,
                    FileBelow& file)
{
    file = FileBelow{};
    file.failed = 1;
    if (components.empty() || !IsSafeComponent(components.back())) return 0;
    int parent = OpenFolderChain(destination, components, components.size() - 1);
    if (parent < 0) return 0;
    const char* name = components.back().c_str();
    mode_t mode = executable ? 0755 : 0644;
    int descriptor = -1;
    if (PrepareFileName(parent, name))
        descriptor = openat(parent, name, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode);
    close(parent);
    if (descriptor < 0) return 0;
    struct stat info;
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) || fchmod(descriptor, mode) != 0) {
        close(descriptor);
        return 0;
    }
    file.descriptor = descriptor;
    file.failed = 0;
    return 1;
}

int WriteFileBelow(FileBelow& file, const char* data, size_t size)
{
    size_t done = 0;
    while (!file.failed && done < size) {
        ssize_t n = write(file.descriptor, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) file.failed = 1;
        else done += size_t(n);
    }
    return !file.failed;
}

int CloseFileBelow(FileBelow& file)
{
    int ok = !file.failed && file.descriptor >= 0;
    if (file.descriptor >= 0 && close(file.descriptor) != 0) ok = 0;
    file.descriptor = -1;
    file.failed = !ok;
    return ok;
}

int FolderTakesNewFile(const std::string& osFolder, const std::string& name)
{
    std::string path = WithSlash(osFolder) + name;
    int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (descriptor >= 0) {
        close(descriptor);
        unlink(path.c_str());
        return 1;
    }
    if (errno != EEXIST) return 0;
    // Someone's file of that name is there already: it is not ours to delete.
    std::string pattern = path + ".XXXXXX";
    descriptor = mkstemp(pattern.data());
    if (descriptor < 0) return 0;
    close(descriptor);
    unlink(pattern.c_str());
    return 1;
}
