// tests/net/peers.h - several game machines for one test: each is a child process with its own
// copy of the game, its own program folder and its own network threads, all on the loopback
// interface. They keep step with marks (empty files in a folder they share) and report what
// went wrong as text; an empty report is a pass.
#pragma once

#include "game/base/assets.h"
#include "game/base/frame.h"
#include "game/base/messages.h"
#include "game/net/netgame.h"
#include "game/net/threads.h"
#include "game/play/gameloop.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/net.h"
#include "support/sim_world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <functional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// Marks shared by the machines of one test.
struct Marks {
    std::string folder;
    Marks()
    {
        char pattern[] = "/tmp/korax-marks-XXXXXX";
        char* made = mkdtemp(pattern);
        folder = std::string(made ? made : "/tmp") + "/";
    }
    void Set(const std::string& name) const { WriteOsFile(folder + name, "1"); }
    bool IsSet(const std::string& name) const
    {
        std::string data;
        return ReadOsFile(folder + name, data) != 0;
    }
    // Waits up to `ms` for a mark; false when it never came.
    bool Await(const std::string& name, int ms = 20000) const
    {
        for (int waited = 0; waited < ms; waited += 5) {
            if (IsSet(name)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return IsSet(name);
    }
};

// A child process running `body`; its report comes back through a pipe.
struct Peer {
    pid_t pid = -1;
    int pipe = -1;
};

inline Peer StartPeer(const std::function<std::string()>& body)
{
    int fds[2];
    if (::pipe(fds) != 0) return Peer{};
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        std::string report;
        try {
            report = body();
        } catch (...) {
            report = "an exception ended the machine";
        }
        if (::testing::Test::HasFailure()) report += " (a check inside the machine failed; see its output)";
        ssize_t written = write(fds[1], report.data(), report.size());
        (void)written;
        close(fds[1]);
        _exit(report.empty() ? 0 : 1);
    }
    close(fds[1]);
    return Peer{pid, fds[0]};
}

// The child's report, or a line saying that it crashed or hung (it is then killed).
inline std::string FinishPeer(Peer& peer, int ms = 120000)
{
    std::string report;
    char buffer[512];
    pollfd poller{peer.pipe, POLLIN, 0};
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
        if (::poll(&poller, 1, 100) <= 0) continue;
        ssize_t got = read(peer.pipe, buffer, sizeof buffer);
        if (got <= 0) break;
        report.append(buffer, size_t(got));
    }
    close(peer.pipe);
    int status = 0;
    pid_t ended = 0;
    while ((ended = waitpid(peer.pid, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (ended == 0) {
        kill(peer.pid, SIGKILL);
        waitpid(peer.pid, &status, 0);
        return report + " [hung and was killed]";
    }
    if (WIFSIGNALED(status)) return report + " [crashed with signal " + std::to_string(WTERMSIG(status)) + "]";
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0 && report.empty()) return "[failed without a report]";
    return report;
}

// A 40 x 30 earth map with three start marks.
inline std::vector<std::string> ThreeStartRows()
{
    std::vector<std::string> rows = FilledRows(40, 30, 'E');
    rows[5][5] = 'P';
    rows[20][30] = 'P';
    rows[24][8] = 'P';
    return rows;
}

// A 40 x 30 earth map with four start marks.
inline std::vector<std::string> FourStartRows()
{
    std::vector<std::string> rows = ThreeStartRows();
    rows[12][20] = 'P';
    return rows;
}

// One machine's game: the shipped tables, the map as map 1, a headless screen of 1024 x 768.
struct Machine {
    SimWorld world;
    explicit Machine(int port, const std::vector<std::string>& rows = ThreeStartRows()) : world(rows, 3)
    {
        EXPECT_EQ(OpenDisplay(1024, 768, 32, "Test"), 1);
        SetScreenGeometry(1024, 768);
        SetFrameWait(0);
        ResetInput();
        FreeMapCount = 1;
        MapSetting = 1;
        Zoom = 1.0f;
        NetGamePort = port;
        StartNetThreads();
    }
    ~Machine()
    {
        LeaveNetwork();
        StopNetThreads();
        SetFrameWait(1);
        StopLayers();
    }
    // One frame of play; 1 when the game paused (Escape here, or a partner's pause).
    static int Frame()
    {
        int paused = GameFrame();
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
        return paused;
    }
    // Plays until `done` or `ms` pass; false on time-out. Stops early, true, on a pause when
    // `pauseEnds` is set.
    static bool PlayUntil(const std::function<bool()>& done, int ms = 20000)
    {
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < until) {
            if (done()) return true;
            Frame();
        }
        return done();
    }
    // A key released after one frame held.
    static int Press(int code)
    {
        InjectKey(code, 1);
        Frame();
        InjectKey(code, 0);
        return Frame();
    }
};

// Each report line is led by the machine's name.
struct Report {
    std::string who, text;
    void Fail(const std::string& line) { text += who + ": " + line + "\n"; }
    void Check(bool good, const std::string& line)
    {
        if (!good) Fail(line);
    }
};

// ---- what the machines look at ----

inline int CountOwned(int owner)
{
    int n = 0;
    for (const Unit& u : Units) n += u.owner == owner;
    for (const Building& b : Buildings) n += b.owner == owner;
    return n;
}

inline const Unit* UnitOf(int owner)
{
    for (const Unit& u : Units)
        if (u.owner == owner) return &u;
    return nullptr;
}

// Keeps a player's first unit at one place, without orders, as long as it is called each frame.
inline void HoldStill(int owner, float x, float y)
{
    for (Unit& u : Units)
        if (u.owner == owner) {
            u.x = x;
            u.y = y;
            u.target = -1;
            u.speed = 0;
            u.path.clear();
            return;
        }
}

inline int TickerCount(const std::string& line)
{
    return int(std::count_if(Messages.begin(), Messages.end(), [&](const Message& m) { return m.text == line; }));
}

// A port of this test process's own, so that tests running side by side never meet.
inline int TestPort(int offset) { return 27000 + int(getpid() % 1000) * 8 + offset; }
