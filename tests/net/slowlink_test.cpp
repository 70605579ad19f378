// A network game over a slow home line: a host and a client play a battle of a thousand units
// through a relay of the test's own that passes 8 Mbit/s each way and keeps only a small window
// on the line, as a home router's queue does. However fast the host makes snapshots, the client's
// view of the host's units is never more than a second old: a slow line gets fewer snapshots,
// never older ones.
#include "peers.h"

#include <arpa/inet.h>
#include <atomic>
#include <cmath>
#include <netinet/in.h>
#include <sys/mman.h>
#include <sys/socket.h>

namespace {

constexpr double LineBytesPerSecond = 8e6 / 8;
constexpr int HostUnits = 830, ClientUnits = 170;
constexpr int PlaySeconds = 20;

// ---- the line ----

int ListenOn(int port)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    int yes = 1, window = 16 * 1024;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    // A small window: what the line cannot carry stays with the sender, as on a real line.
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &window, sizeof window);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 1) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

int ConnectTo(int port)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    int window = 16 * 1024;
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &window, sizeof window);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Passes bytes between the client (who connects to `port`) and the host at `hostPort`, at most
// LineBytesPerSecond each way, until told to stop or a side hangs up.
class SlowLine {
public:
    SlowLine(int port, int hostPort) : listener_(ListenOn(port)), hostPort_(hostPort) {}
    // The line starts carrying only after the machines are forked: a child forked while
    // another thread holds a lock of the allocator's would wait on it for ever.
    void Start()
    {
        if (listener_ >= 0 && !thread_.joinable()) thread_ = std::thread([this] { Run(); });
    }
    ~SlowLine()
    {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (listener_ >= 0) close(listener_);
    }
    bool Listening() const { return listener_ >= 0; }
    double MostBytesPerSecond() const { return most_; }

private:
    struct Direction {
        int from = -1, to = -1;
        double allowance = 0;
        double carried = 0;
    };

    void Run()
    {
        pollfd waiting{listener_, POLLIN, 0};
        while (!stop_ && poll(&waiting, 1, 50) <= 0) {
        }
        if (stop_) return;
        int client = accept(listener_, nullptr, nullptr);
        int host = ConnectTo(hostPort_);
        if (client < 0 || host < 0) {
            if (client >= 0) close(client);
            if (host >= 0) close(host);
            return;
        }
        Direction directions[2] = {{host, client}, {client, host}};
        auto last = std::chrono::steady_clock::now(), window = last;
        double windowBytes = 0;
        std::vector<char> buffer(16 * 1024);
        while (!stop_) {
            auto now = std::chrono::steady_clock::now();
            double seconds = std::chrono::duration<double>(now - last).count();
            last = now;
            bool ended = false;
            for (Direction& d : directions) {
                // A bucket of a tenth of a second's bytes: short bursts pass, a stream does not.
                d.allowance = std::min(d.allowance + seconds * LineBytesPerSecond, LineBytesPerSecond / 10);
                if (d.allowance < 1024) continue;
                ssize_t got = recv(d.from, buffer.data(), std::min(buffer.size(), size_t(d.allowance)), MSG_DONTWAIT);
                if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) ended = true;
                if (got <= 0) continue;
                d.allowance -= double(got);
                if (&d == &directions[0]) windowBytes += double(got);
                for (ssize_t done = 0; done < got;) {
                    ssize_t put = send(d.to, buffer.data() + done, size_t(got - done), MSG_NOSIGNAL);
                    if (put <= 0) {
                        ended = true;
                        break;
                    }
                    done += put;
                }
            }
            if (ended) break;
            if (now - window >= std::chrono::seconds(1)) {
                most_ = std::max(most_.load(), windowBytes / std::chrono::duration<double>(now - window).count());
                windowBytes = 0;
                window = now;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        close(client);
        close(host);
    }

    int listener_;
    int hostPort_;
    std::atomic<bool> stop_{false};
    std::atomic<double> most_{0};
    std::thread thread_;
};

// ---- the battle ----

// A 96 x 96 earth map with two start marks far apart; the armies meet in the middle.
std::vector<std::string> BattleRows()
{
    std::vector<std::string> rows = FilledRows(96, 96, 'E');
    rows[8][8] = 'P';
    rows[88][88] = 'P';
    return rows;
}

// Fills a half disc beside the middle with `count` tough units of `owner`, facing the other.
void RaiseArmy(int owner, int count, int firstId)
{
    static const int army[] = {2101, 2201, 2302, 2304, 2402, 2404, 2501, 2505, 2604, 2605, 2606, 2203, 2305, 2103};
    int made = 0;
    for (int ring = 1; made < count && ring < 40; ring++)
        for (int step = 0; step < ring * 6 && made < count; step++) {
            float angle = float(step) / float(ring * 6) * 3.14159265f - 1.5707963f;
            float x = 48 + (owner == 1 ? -1.0f : 1.0f) * (1 + float(ring) * 0.9f * std::cos(angle));
            float y = 48 + float(ring) * 0.9f * std::sin(angle);
            if (x < 2 || y < 2 || x > 94 || y > 94) continue;
            Unit unit = MakeUnit(float(firstId + made * 10), army[made % 14], owner, x, y, 2, 0);
            unit.maxHitPoints = unit.hitPoints = 1e9f;
            AddUnit(unit);
            made++;
        }
}

// The host's clock, shared by both machines: the moment each mark was set. A mark is a place
// of the host's builder, a pixel apart along a row, four rows: more than the frames of a run.
constexpr int MarkCount = 1024;
struct Clocks {
    std::atomic<int64_t> setAt[MarkCount];
};

float MarkX(int mark) { return 8 + float(mark % 256) / 32; }
float MarkY(int mark) { return 10.5f + float(mark / 256); }
int MarkAt(float x, float y) { return int(std::lround((x - 8) * 32)) + 256 * int(std::lround(y - 10.5f)); }

int64_t NowMicroseconds()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The host's builder is put a pixel further every frame; the client reads the age of what it
// sees from the moment the host put it there.
std::string Host(const Marks& marks, int port, Clocks& clocks)
{
    Report report{"Spielleiter", ""};
    Machine machine(port, BattleRows());
    HostNetwork();
    for (int i = 0; i < 2000 && NetRole != 1; i++) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (NetRole != 1) return "Spielleiter: the server was not made";
    marks.Set("listening");
    for (int i = 0; i < 3000 && NetClientNames() != std::vector<std::string>{"Zwei"}; i++) {
        HostLobbyStep("Eins");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (HostStartGame("") != 1) return "Spielleiter: the game did not start";
    RaiseArmy(1, HostUnits, 1000000);
    marks.Set("running-1");
    if (!Machine::PlayUntil([&] { return marks.IsSet("running-2"); }, 60000)) return "Spielleiter: the client never ran";

    int frames = 0, mark = 0;
    auto start = std::chrono::steady_clock::now();
    Machine::PlayUntil([&] {
        if (UnitOf(1) && mark < MarkCount) {
            HoldStill(1, MarkX(mark), MarkY(mark));
            clocks.setAt[mark].store(NowMicroseconds());
            mark++;
        }
        frames++;
        return std::chrono::steady_clock::now() - start >= std::chrono::seconds(PlaySeconds);
    }, PlaySeconds * 1000 + 1000);
    marks.Set("done-1");
    std::printf("host: %d frames in %d s (%.1f a second)\n", frames, PlaySeconds, double(frames) / PlaySeconds);
    std::fflush(stdout);
    Machine::PlayUntil([&] { return marks.IsSet("done-2"); }, 10000);
    return report.text;
}

std::string Client(const Marks& marks, int port, Clocks& clocks)
{
    Report report{"Zwei", ""};
    Machine machine(port, BattleRows());
    if (!marks.Await("listening")) return "Zwei: the host never listened";
    JoinNetwork("127.0.0.1");
    for (int i = 0; i < 5000 && NetRole != 2; i++) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (NetRole != 2) return "Zwei: could not connect through the line";
    int started = 0;
    for (int i = 0; i < 3000 && !started; i++) {
        started = ClientLobbyStep("Zwei");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!started || !ClientStartGame(started)) return "Zwei: the game did not start";
    RaiseArmy(2, ClientUnits, 2000000);
    report.Check(Machine::PlayUntil([&] { return marks.IsSet("running-1") && CountOwned(1) > HostUnits; }, 60000),
                 "the host's army never arrived");
    marks.Set("running-2");

    // The first seconds fill the line with the whole battle once; from then on it is measured.
    auto start = std::chrono::steady_clock::now();
    int64_t oldest = 0, seen = 0;
    Machine::PlayUntil([&] {
        // Once the host has stopped putting its builder, what follows is no longer measured.
        if (marks.IsSet("done-1")) return true;
        const Unit* builder = UnitOf(1);
        if (builder && std::chrono::steady_clock::now() - start > std::chrono::seconds(3)) {
            int mark = MarkAt(builder->x, builder->y);
            if (mark >= 0 && mark < MarkCount && clocks.setAt[mark].load() > 0) {
                oldest = std::max(oldest, NowMicroseconds() - clocks.setAt[mark].load());
                seen++;
            }
        }
        return false;
    }, PlaySeconds * 1000 + 20000);
    std::printf("client: the host's units were at most %.3f s old (%lld looks)\n", double(oldest) / 1e6, (long long)seen);
    std::fflush(stdout);
    report.Check(seen > 0, "the host's builder was never seen moving");
    report.Check(oldest <= 1000000, "the host's units were seen " + std::to_string(double(oldest) / 1e6) + " s old");
    report.Check(CountOwned(1) > HostUnits, "the host's army is gone from the client's view");
    marks.Set("done-2");
    return report.text;
}

} // namespace

TEST(NetSlowLine, ABattleOverAnEightMegabitLineIsNeverMoreThanASecondBehind)
{
    Marks marks;
    int hostPort = TestPort(5), linePort = TestPort(6);
    void* shared = mmap(nullptr, sizeof(Clocks), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shared, MAP_FAILED);
    Clocks& clocks = *new (shared) Clocks{};
    SlowLine line(linePort, hostPort);
    ASSERT_TRUE(line.Listening());
    Peer host = StartPeer([&] { return Host(marks, hostPort, clocks); });
    Peer client = StartPeer([&] { return Client(marks, linePort, clocks); });
    line.Start();
    EXPECT_EQ(FinishPeer(client, 180000), "");
    EXPECT_EQ(FinishPeer(host, 60000), "");
    EXPECT_LE(line.MostBytesPerSecond(), LineBytesPerSecond * 1.1) << "the line let more through than it carries";
    RemoveFolder(marks.folder);
    munmap(shared, sizeof(Clocks));
}
