// TCP connections over the loopback: whole blocks and files both ways, frames in pieces, broken
// and oversized frames from a peer, disconnects reported once, stalled peers dropped.
#include "platform/net.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <set>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

// Each test has its own port, below the range the system gives outgoing connections.
constexpr int TestPort = 26077;

// Polls until something happens; five seconds bound a loaded machine, they measure nothing.
template <class Side>
static NetEvent Await(Side& side)
{
    for (auto end = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < end;) {
        NetEvent event = side.Poll();
        if (event.kind != NetEvent::None) return event;
        std::this_thread::sleep_for(1ms);
    }
    return {};
}

template <class Side>
static void ExpectNothingMore(Side& side)
{
    for (int i = 0; i < 50; i++, std::this_thread::sleep_for(1ms)) EXPECT_EQ(side.Poll().kind, NetEvent::None);
}

// Connects `client`; the handle the server reported for it, 0 on failure.
static int Join(NetServer& server, NetConnection& client, const char* host, int port)
{
    if (!client.Connect(host, port)) return 0;
    NetEvent event = Await(server);
    return event.kind == NetEvent::NewClient ? event.client : 0;
}

// Bytes of every value, zeros too, but never starting with the zero of the file marker.
static std::string Pattern(size_t size, unsigned seed)
{
    std::string bytes(size, 'B');
    for (size_t i = 1; i < size; i++) bytes[i] = char(((i + seed * 7919u) * 2654435761u) >> 13);
    return bytes;
}

static std::string Header(size_t length) { return {char(length), char(length >> 8), char(length >> 16), char(length >> 24)}; }

static void ExpectEvent(const NetEvent& event, NetEvent::Kind kind, int client, const std::string& bytes)
{
    EXPECT_EQ(event.kind, kind);
    EXPECT_EQ(event.client, client);
    EXPECT_TRUE(event.bytes == bytes) << "got " << event.bytes.size() << " bytes, sent " << bytes.size();
}

static void ExchangeBlocks(const char* host, int port)
{
    NetServer server;
    ASSERT_TRUE(server.Listen(port));
    NetConnection client;
    int handle = Join(server, client, host, port);
    ASSERT_GT(handle, 0) << host;
    EXPECT_EQ(server.Clients(), std::vector<int>{handle});
    ASSERT_TRUE(client.Send(Pattern(1000, 1)));
    ExpectEvent(Await(server), NetEvent::Data, handle, Pattern(1000, 1));
    ASSERT_TRUE(server.Send(handle, Pattern(700, 2)));
    ExpectEvent(Await(client), NetEvent::Data, 0, Pattern(700, 2));
}

TEST(NetBlocks, ArriveWholeBothWaysByAddressAndByName)
{
    ExchangeBlocks("127.0.0.1", TestPort);
    ExchangeBlocks("localhost", TestPort + 1);
}

TEST(NetBlocks, ArriveWholeOverIPv6)
{
    int probe = socket(AF_INET6, SOCK_STREAM, 0);
    sockaddr_in6 loopback{};
    loopback.sin6_family = AF_INET6;
    loopback.sin6_addr = in6addr_loopback;
    bool haveIPv6 = probe >= 0 && bind(probe, reinterpret_cast<sockaddr*>(&loopback), sizeof loopback) == 0;
    if (probe >= 0) close(probe);
    if (!haveIPv6) GTEST_SKIP() << "no IPv6 loopback on this machine";
    ExchangeBlocks("::1", TestPort + 2);
}

TEST(NetBlocks, LargeBlocksAndFilesKeepTheirKindAndBytes)
{
    NetServer server;
    ASSERT_TRUE(server.Listen(TestPort + 3));
    NetConnection client;
    int handle = Join(server, client, "127.0.0.1", TestPort + 3);
    ASSERT_GT(handle, 0);
    // More than the socket buffers hold: the sender waits for the reader, so it has its own thread.
    std::string big = Pattern(size_t(3) << 20, 3), save = Pattern(size_t(2) << 20, 4);
    std::string markerStart(NetFileMarker.substr(0, 6));
    std::thread sender([&] {
        EXPECT_TRUE(client.Send(big));
        EXPECT_TRUE(server.SendFile(handle, save));
        EXPECT_TRUE(server.Send(handle, "DATEN nach der Datei"));
        EXPECT_TRUE(server.SendFile(handle, ""));
        EXPECT_TRUE(server.Send(handle, ""));
        EXPECT_TRUE(server.Send(handle, markerStart));
    });
    ExpectEvent(Await(server), NetEvent::Data, handle, big);
    ExpectEvent(Await(client), NetEvent::File, 0, save);
    ExpectEvent(Await(client), NetEvent::Data, 0, "DATEN nach der Datei");
    ExpectEvent(Await(client), NetEvent::File, 0, "");
    ExpectEvent(Await(client), NetEvent::Data, 0, "");
    ExpectEvent(Await(client), NetEvent::Data, 0, markerStart);
    sender.join();
}

TEST(NetFrames, PiecesComeOutWholeOnce)
{
    NetServer server;
    ASSERT_TRUE(server.Listen(TestPort + 5));
    NetConnection client;
    int handle = Join(server, client, "127.0.0.1", TestPort + 5);
    ASSERT_GT(handle, 0);
    std::string frame = Header(300) + Pattern(300, 6);
    for (size_t i = 0; i + 1 < frame.size(); i++) {
        ASSERT_TRUE(NetSendRaw(client, frame.substr(i, 1)));
        ASSERT_EQ(server.Poll().kind, NetEvent::None) << "after byte " << i;
    }
    ASSERT_TRUE(NetSendRaw(client, frame.substr(frame.size() - 1)));
    ExpectEvent(Await(server), NetEvent::Data, handle, Pattern(300, 6));
    ASSERT_TRUE(NetSendRaw(client, Header(2) + "ab" + Header(3) + "cde"));
    ExpectEvent(Await(server), NetEvent::Data, handle, "ab");
    ExpectEvent(Await(server), NetEvent::Data, handle, "cde");
    ExpectNothingMore(server);
}

TEST(NetFrames, TheLimitIsTheLargestFrameAndOverItDropsOnlyThatClient)
{
    NetServer server;
    ASSERT_TRUE(server.Listen(TestPort + 6));
    NetConnection cheat, honest;
    int cheatHandle = Join(server, cheat, "127.0.0.1", TestPort + 6);
    int honestHandle = Join(server, honest, "127.0.0.1", TestPort + 6);
    ASSERT_GT(cheatHandle, 0);
    ASSERT_GT(honestHandle, 0);
    std::string largest = Pattern(NetFrameLimit, 5);
    std::thread sender([&] {
        EXPECT_TRUE(honest.Send(largest));
        EXPECT_FALSE(honest.Send(largest + "x")) << "refused before anything is written";
        EXPECT_FALSE(honest.SendFile(largest)) << "the marker counts";
    });
    ExpectEvent(Await(server), NetEvent::Data, honestHandle, largest);
    sender.join();

    ASSERT_TRUE(NetSendRaw(cheat, Header(NetFrameLimit + 1) + "xyz"));
    ExpectEvent(Await(server), NetEvent::Disconnect, cheatHandle, "");
    EXPECT_EQ(server.Clients(), std::vector<int>{honestHandle});
    EXPECT_EQ(Await(cheat).kind, NetEvent::Disconnect) << "the cheat learns it was dropped";
    ASSERT_TRUE(honest.Send("ehrlich"));
    ExpectEvent(Await(server), NetEvent::Data, honestHandle, "ehrlich");
}

TEST(NetFrames, GarbageAndTruncatedFramesEndInOneDisconnect)
{
    NetServer server;
    ASSERT_TRUE(server.Listen(TestPort + 7));
    for (unsigned seed = 0; seed < 8; seed++) {
        NetConnection broken; // closes at the end of the round, mid-frame or after garbage
        ASSERT_GT(Join(server, broken, "127.0.0.1", TestPort + 7), 0);
        std::string bytes = seed == 0 ? Header(100) + Pattern(50, 7) : Pattern(1 + seed * 97, seed);
        if (seed == 1) bytes[3] = 0; // a length within the limit, so the rest is waited for
        ASSERT_TRUE(NetSendRaw(broken, bytes));
    }
    NetConnection good;
    int goodHandle = Join(server, good, "127.0.0.1", TestPort + 7);
    ASSERT_GT(goodHandle, 0);
    ASSERT_TRUE(good.Send("noch da"));
    std::set<int> gone;
    bool goodArrived = false;
    while (!goodArrived || gone.size() < 8) {
        NetEvent event = Await(server);
        ASSERT_NE(event.kind, NetEvent::None) << gone.size() << " disconnects";
        EXPECT_EQ(gone.count(event.client), 0u) << "nothing after the Disconnect of " << event.client;
        if (event.kind == NetEvent::Disconnect) gone.insert(event.client);
        if (event.client == goodHandle) goodArrived = event.bytes == "noch da";
    }
    EXPECT_EQ(gone.count(goodHandle), 0u);
    EXPECT_EQ(server.Clients(), std::vector<int>{goodHandle});
}

TEST(NetFrames, AFloodingClientDoesNotHoldUpAnother)
{
    NetServer server;
    ASSERT_TRUE(server.Listen(TestPort + 8));
    NetConnection flood, quiet;
    int floodHandle = Join(server, flood, "127.0.0.1", TestPort + 8);
    ASSERT_GT(floodHandle, 0);
    ASSERT_GT(Join(server, quiet, "127.0.0.1", TestPort + 8), 0);
    for (int i = 0; i < 1000; i++) ASSERT_TRUE(flood.Send("flut"));
    ASSERT_TRUE(quiet.Send("ruhig"));
    int floodBefore = 0;
    for (NetEvent event = Await(server); event.client == floodHandle; event = Await(server)) floodBefore++;
    EXPECT_LT(floodBefore, 1000) << "the quiet client waited for the whole flood";
}

TEST(NetDisconnect, ALeavingClientIsReportedOnceAfterItsLastBlock)
{
    NetServer server;
    ASSERT_TRUE(server.Listen(TestPort + 9));
    NetConnection first, second, third;
    ASSERT_EQ(Join(server, first, "127.0.0.1", TestPort + 9), 1) << "handles count from 1";
    ASSERT_EQ(Join(server, second, "127.0.0.1", TestPort + 9), 2);
    ASSERT_TRUE(first.Send("auf Wiedersehen"));
    first.Close();
    first.Close();
    EXPECT_FALSE(first.Connected());
    ExpectEvent(Await(server), NetEvent::Data, 1, "auf Wiedersehen");
    ExpectEvent(Await(server), NetEvent::Disconnect, 1, "");
    ExpectNothingMore(server);
    EXPECT_EQ(server.Clients(), std::vector<int>{2});
    EXPECT_FALSE(server.Send(1, "weg"));
    EXPECT_EQ(Join(server, third, "127.0.0.1", TestPort + 9), 3) << "a handle is never reused";
    EXPECT_EQ(server.Clients(), (std::vector<int>{2, 3}));
}

TEST(NetDisconnect, AClosingServerTellsItsClientsOnceAndFreesItsPort)
{
    NetServer server, second;
    ASSERT_TRUE(server.Listen(TestPort + 10));
    EXPECT_FALSE(second.Listen(TestPort + 10)) << "one server per port";
    EXPECT_FALSE(second.Listening());
    NetConnection client;
    ASSERT_GT(Join(server, client, "127.0.0.1", TestPort + 10), 0);
    server.Close();
    server.Close();
    EXPECT_FALSE(server.Listening());
    EXPECT_TRUE(server.Clients().empty());
    EXPECT_EQ(Await(client).kind, NetEvent::Disconnect);
    ExpectNothingMore(client);
    EXPECT_FALSE(client.Connected());
    EXPECT_FALSE(client.Send("hallo?"));
    EXPECT_TRUE(second.Listen(TestPort + 10));
}

TEST(NetSend, AClientThatStopsReadingIsDropped)
{
    NetServer server;
    ASSERT_TRUE(server.Listen(TestPort + 11));
    NetConnection asleep;
    int handle = Join(server, asleep, "127.0.0.1", TestPort + 11);
    ASSERT_GT(handle, 0);
    std::string block = Pattern(size_t(4) << 20, 8);
    int sent = 0;
    while (sent < 64 && server.Send(handle, block)) sent++;
    EXPECT_LT(sent, 64) << "the socket buffers took 256 MiB";
    EXPECT_TRUE(server.Clients().empty());
    ExpectEvent(Await(server), NetEvent::Disconnect, handle, "");
    EXPECT_FALSE(server.Send(handle, "x"));
}

TEST(NetConnect, FailsWhereNobodyListensAndOnBadPorts)
{
    // A port bound but not listening refuses at once, whatever else runs on this machine.
    int taken = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_EQ(bind(taken, reinterpret_cast<sockaddr*>(&address), size), 0);
    ASSERT_EQ(getsockname(taken, reinterpret_cast<sockaddr*>(&address), &size), 0);
    NetConnection client;
    EXPECT_FALSE(client.Connect("127.0.0.1", ntohs(address.sin_port)));
    close(taken);
    for (int port : {0, -1, 70000}) EXPECT_FALSE(client.Connect("127.0.0.1", port));
    EXPECT_FALSE(client.Connect("", TestPort));
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(client.Poll().kind, NetEvent::None);
    EXPECT_FALSE(client.Send("niemand"));
    NetServer server;
    EXPECT_FALSE(server.Listen(70000));
}
