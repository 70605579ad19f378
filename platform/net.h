// platform/net.h - TCP connections of the network game: a listening server and a client
// connection, each polled for events, sending and receiving whole data blocks and files.
//
// On the stream every message is a frame: a 4-byte little-endian length and that many bytes.
// A file travels as a frame whose payload starts with NetFileMarker, so the receiver can tell
// it from a data block. A frame that claims more than NetFrameLimit bytes is never allocated:
// the peer that sent it is disconnected. The game never includes socket headers; it sees only
// these types.
//
// Threads: one thread may poll while another sends on the same server or connection (the
// game's receive and send threads do exactly that); every operation is safe against the
// others. Nothing here blocks longer than NetSendTimeoutMs (send) or the connect timeout, and
// Offer and Flush never block: each peer has its own outgoing frames, so one slow peer holds up
// no other.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

constexpr int NetPort = 6077;
// The largest frame accepted: a data block grows up to 4 MiB, a start file is smaller than
// this too (the largest map with every grid and a large army).
constexpr size_t NetFrameLimit = size_t(16) << 20;
// Leads the payload of a file frame; no data block starts with a zero byte and then this.
constexpr std::string_view NetFileMarker{"\0KORAX-DATEI\0", 13};
// A peer that does not take a frame within this time is disconnected.
constexpr int NetSendTimeoutMs = 3000;
// Connecting gives up after this time per address.
constexpr int NetConnectTimeoutMs = 3000;

struct NetEvent {
    enum Kind { None, NewClient, Data, File, Disconnect };
    Kind kind = None;
    int client = 0;      // server side: the client's handle (never reused within one server)
    std::string bytes;   // Data: the block as sent; File: the file's bytes (marker removed)
};

// A listening server on one port, IPv6 and IPv4 (dual stack where the system allows).
class NetServer {
public:
    NetServer();
    ~NetServer();
    NetServer(const NetServer&) = delete;
    NetServer& operator=(const NetServer&) = delete;

    // Listens on `port` on every local address; false when the port cannot be bound.
    bool Listen(int port);
    bool Listening() const;
    // One pending event without waiting: a new client, a whole frame of one client, or a
    // client that went away (closed, broke its frames, or sent a frame over the limit).
    NetEvent Poll();
    // Sends a block (or a file's bytes with the marker) to one client as one frame; false when
    // the client is gone or did not take it in time (it is then disconnected, and Poll reports
    // it).
    bool Send(int client, std::string_view block);
    bool SendFile(int client, std::string_view fileBytes);
    // Hands a snapshot to one client without waiting: it goes out as the socket takes it, and a
    // newer one offered before it began takes its place, so a slow client gets fewer snapshots,
    // never a growing backlog. `mustArrive`: it goes in line with the blocks and files instead.
    // False when the client is gone or took nothing for the send time (it is then let go).
    bool Offer(int client, std::string_view block, bool mustArrive = false);
    // Writes what waits for every client, without waiting.
    void Flush();
    // The handles of the connected clients, in connection order.
    std::vector<int> Clients() const;
    // Lets one client go; Poll reports its Disconnect.
    void Drop(int client);
    // Stops listening and drops every client.
    void Close();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// A connection to a host, by name or address (IPv4 or IPv6, names resolved).
class NetConnection {
public:
    NetConnection();
    ~NetConnection();
    NetConnection(const NetConnection&) = delete;
    NetConnection& operator=(const NetConnection&) = delete;

    bool Connect(const std::string& host, int port);
    bool Connected() const;
    // One pending event without waiting: Data, File or Disconnect (reported once).
    NetEvent Poll();
    bool Send(std::string_view block);
    bool SendFile(std::string_view fileBytes);
    // As the server's Offer and Flush, towards the host.
    bool Offer(std::string_view block, bool mustArrive = false);
    void Flush();
    void Close();

private:
    friend bool NetSendRaw(NetConnection& connection, std::string_view bytes);
    struct State;
    std::unique_ptr<State> state_;
};

// Test hook: writes raw bytes to a client's stream, bypassing the framing (to send broken,
// truncated or oversized frames at a host).
bool NetSendRaw(NetConnection& connection, std::string_view bytes);
