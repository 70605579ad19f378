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

std::string UserDataFolder()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    return (data && data[0] == '/') ? WithSlash(data) : UserHomeFolder() + ".local/share/";
}

int MakeOsFolders(const std::string& osFolder)
{
    for (size_t i = 1; i <= osFolder.size(); i++)
        if (i == osFolder.size() || osFolder[i] == '/') mkdir(osFolder.substr(0, i).c_str(), 0755);
    struct stat info;
    return stat(osFolder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
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
        errno = EINVAL;
        int next = IsSafeComponent(components[i])
                       ? openat(folder, components[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)
                       : -1;
        int error = errno;
        close(folder);
        errno = error;
        folder = next;
    }
    return folder;
}

// Closes a descriptor without losing the error number of what failed before.
static void CloseKeepingError(int descriptor)
{
    int error = errno;
    close(descriptor);
    errno = error;
}

// The error number for what stands at a name where a file or folder should go.
static int InTheWay(const struct stat& info)
{
    return S_ISLNK(info.st_mode) ? ELOOP : S_ISDIR(info.st_mode) ? EISDIR : EEXIST;
}

int MakeFolderBelow(const std::string& destination, const std::vector<std::string>& components)
{
    errno = EINVAL;
    if (components.empty() || !IsSafeComponent(components.back())) return 0;
    int parent = OpenFolderChain(destination, components, components.size() - 1);
    if (parent < 0) return 0;
    const char* name = components.back().c_str();
    int made = mkdirat(parent, name, 0755) == 0 ? 0 : errno;
    struct stat info;
    int ok = 0;
    if (fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) != 0) errno = made ? made : errno;
    else if (!(ok = S_ISDIR(info.st_mode))) errno = S_ISLNK(info.st_mode) ? ELOOP : EEXIST;
    CloseKeepingError(parent);
    return ok;
}

// Clears the way for a new plain file at `name`: a plain file with a single name may be
// truncated in place; one with further names is unlinked first, so the others keep their bytes.
// Anything else there (a link, a folder, a pipe) is refused.
static int PrepareFileName(int parent, const char* name)
{
    struct stat info;
    if (fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
    if (!S_ISREG(info.st_mode)) {
        errno = InTheWay(info);
        return 0;
    }
    if (info.st_nlink > 1 && unlinkat(parent, name, 0) != 0) return 0;
    return 1;
}

int CreateFileBelow(const std::string& destination, const std::vector<std::string>& components, int executable,
                    FileBelow& file)
{
    file = FileBelow{};
    file.failed = 1;
    file.error = EINVAL;
    if (components.empty() || !IsSafeComponent(components.back())) return 0;
    int parent = OpenFolderChain(destination, components, components.size() - 1);
    if (parent < 0) {
        file.error = errno;
        return 0;
    }
    const char* name = components.back().c_str();
    mode_t mode = executable ? 0755 : 0644;
    int descriptor = -1;
    if (PrepareFileName(parent, name))
        descriptor = openat(parent, name, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode);
    file.error = errno;
    close(parent);
    if (descriptor < 0) return 0;
    struct stat info {};
    int checked = fstat(descriptor, &info) == 0;
    if (!checked || !S_ISREG(info.st_mode) || fchmod(descriptor, mode) != 0) {
        file.error = checked && !S_ISREG(info.st_mode) ? InTheWay(info) : errno;
        close(descriptor);
        return 0;
    }
    file.descriptor = descriptor;
    file.failed = 0;
    file.error = 0;
    return 1;
}

int WriteFileBelow(FileBelow& file, const char* data, size_t size)
{
    size_t done = 0;
    while (!file.failed && done < size) {
        ssize_t n = write(file.descriptor, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            file.failed = 1;
            file.error = n < 0 ? errno : ENOSPC; // a write that takes nothing: the disk is full
        } else {
            done += size_t(n);
        }
    }
    return !file.failed;
}

int CloseFileBelow(FileBelow& file)
{
    int ok = !file.failed && file.descriptor >= 0;
    // A full disk or a lost network folder may show only when the last bytes go out.
    if (file.descriptor >= 0 && close(file.descriptor) != 0) {
        if (ok) file.error = errno;
        ok = 0;
    }
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
