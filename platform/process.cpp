// platform/process.cpp - posix_spawn for program starts, xdg-open for web pages.
#include "platform/process.h"

#include "platform/files.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

std::string ProgramFile(const std::string& name) { return name; }

// Spawns argv[0] in `folder` (empty: the current one); the child's id, or -1.
static pid_t Spawn(const std::string& folder, char* const argv[])
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t child = -1;
    int failed = folder.empty() ? posix_spawnp(&child, argv[0], &actions, nullptr, argv, environ)
                                : posix_spawn(&child, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed ? -1 : child;
}

static int WaitForEnd(pid_t child)
{
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return 0;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A program not waited for is still collected when it ends, so no zombie stays behind; a
// waiting thread does it without touching SIGCHLD, which the waited starts rely on.
static void ReapLater(pid_t child)
{
    std::thread([child] { WaitForEnd(child); }).detach();
}

int StartProgram(const std::string& path, int wait) { return StartProgramBelow("", path, wait); }

int StartProgramBelow(const std::string& osFolder, const std::string& path, int wait)
{
    std::string osPath = ResolvePathFrom(osFolder, path);
    std::string folder = osPath.substr(0, osPath.rfind('/') + 1);
    std::string program = osPath;
    char* argv[] = {program.data(), nullptr};
    pid_t child = Spawn(folder, argv);
    if (child < 0) return 0;
    if (wait) return WaitForEnd(child);
    ReapLater(child);
    return 1;
}

int OpenWebAddress(const std::string& address)
{
    std::string opener = "xdg-open";
    std::string target = address;
    char* argv[] = {opener.data(), target.data(), nullptr};
    pid_t child = Spawn("", argv);
    if (child < 0) return 0;
    ReapLater(child);
    return 1;
}
