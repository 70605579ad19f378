// platform/net.cpp - POSIX TCP sockets behind the network game: frames read without waiting and
// within fixed bounds, frames written whole within the send time.
#include "platform/net.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <linux/sockios.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t FrameHeader = 4; // the little-endian payload length
// One recv takes at most a chunk, and one poll reads at most the budget from a peer before it
// looks at the next: a client that floods the host cannot keep the others waiting.
constexpr size_t ReadChunk = size_t(64) << 10;
constexpr size_t ReadBudget = size_t(1) << 20;
// Taken frames stay at the front of the inbox until this many bytes are taken, so a run of small
// frames does not move the rest of the buffer once per frame.
constexpr size_t CompactAt = size_t(64) << 10;

// A listening socket, closed when the last holder lets go: a poll still accepting on it while
// the server closes never finds its number reused by another socket.
struct Socket {
    int fd = -1;
    explicit Socket(int number) : fd(number) {}
    ~Socket() { close(fd); }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
};

// One end of a game connection. Its socket is closed only when the last holder lets go, for the
// same reason; closing it early is a shutdown, which also wakes a send waiting on it.
struct Peer {
    int fd = -1;
    int handle = 0;                   // server side: the client's handle; 0 for the host
    std::mutex sendLock;              // one frame at a time on the stream
    std::atomic<bool> broken{false};  // shut by us: a send failed, a frame broke the limit, closed
    // The receiving side, used only by the polling thread under its owner's poll lock.
    std::string inbox;                // bytes received; the frames not yet taken start at `head`
    size_t head = 0;
    bool ended = false;               // the peer closed or the stream failed; the rest is still taken

    // The sending side, under sendLock: frames that must all arrive, in order (each counted by
    // a ticket), the newest snapshot that may be passed over by a newer one, and the frame on
    // its way with how much of it is out.
    std::deque<std::string> queued;
    std::string latest;
    std::string current;
    size_t done = 0;
    bool currentTicketed = false;
    uint64_t ticketsQueued = 0, ticketsSent = 0;
    std::chrono::steady_clock::time_point lastProgress;

    explicit Peer(int number) : fd(number) {}
    ~Peer() { close(fd); }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    void Shut()
    {
        broken = true;
        shutdown(fd, SHUT_RDWR);
    }
};

// What the buffered bytes from `at` hold: a whole frame (its payload length in `length`), a
// frame still on its way, or a header claiming more than a frame may hold.
enum class Frame { Incomplete, Whole, TooLong };

Frame PeekFrame(const std::string& bytes, size_t at, size_t& length)
{
    size_t have = bytes.size() - at;
    if (have < FrameHeader) return Frame::Incomplete;
    const unsigned char* header = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    length = size_t(header[0]) | size_t(header[1]) << 8 | size_t(header[2]) << 16 | size_t(header[3]) << 24;
    if (length > NetFrameLimit) return Frame::TooLong;
    return have - FrameHeader >= length ? Frame::Whole : Frame::Incomplete;
}

// Drops the taken frames from the front of the inbox; an emptied inbox gives back the memory of
// a large frame instead of keeping it for the rest of the game.
void Compact(Peer& peer)
{
    if (peer.head == peer.inbox.size()) {
        peer.head = 0;
        if (peer.inbox.capacity() > ReadBudget) std::string().swap(peer.inbox);
        else peer.inbox.clear();
    } else if (peer.head >= CompactAt) {
        peer.inbox.erase(0, peer.head);
        peer.head = 0;
    }
}

// Reads what has arrived until a whole frame is buffered, the socket is empty or the budget is
// spent. The inbox grows only by bytes received, never by what a header claims.
void ReadArrived(Peer& peer, std::vector<char>& scratch)
{
    Compact(peer);
    size_t read = 0;
    size_t length = 0;
    while (!peer.ended && read < ReadBudget && PeekFrame(peer.inbox, peer.head, length) == Frame::Incomplete) {
        ssize_t n = recv(peer.fd, scratch.data(), scratch.size(), MSG_DONTWAIT);
        if (n > 0) {
            peer.inbox.append(scratch.data(), size_t(n));
            read += size_t(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        } else {
            peer.ended = true;
        }
    }
}

// Takes the whole frame at the front of the inbox as a Data or File event.
NetEvent TakeFrame(Peer& peer, size_t length)
{
    std::string_view payload(peer.inbox.data() + peer.head + FrameHeader, length);
    NetEvent event;
    if (payload.starts_with(NetFileMarker)) {
        event.kind = NetEvent::File;
        event.bytes.assign(payload.substr(NetFileMarker.size()));
    } else {
        event.kind = NetEvent::Data;
        event.bytes.assign(payload);
    }
    peer.head += FrameHeader + length;
    return event;
}

// The next event of one peer: a whole frame, its end, or None while a frame is on its way. A
// peer's frames are all taken before its end is reported, so its last words are not lost.
NetEvent NextEvent(Peer& peer, std::vector<char>& scratch)
{
    NetEvent event;
    if (peer.broken) {
        event.kind = NetEvent::Disconnect;
        return event;
    }
    ReadArrived(peer, scratch);
    size_t length = 0;
    Frame frame = PeekFrame(peer.inbox, peer.head, length);
    if (frame == Frame::Whole) return TakeFrame(peer, length);
    if (frame == Frame::TooLong)
        std::fprintf(stderr, "korax: net: a frame of %zu bytes is over the limit, peer dropped\n", length);
    if (frame == Frame::TooLong || peer.ended) {
        peer.Shut();
        event.kind = NetEvent::Disconnect;
    }
    return event;
}

void SetNoDelay(int fd)
{
    // Game blocks are small and wanted now; waiting to fill a packet only adds lag.
    int yes = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
}

// Waits until `fd` takes more bytes (or has failed, which the next call reports) before the
// deadline.
bool WaitWritable(int fd, Clock::time_point deadline)
{
    for (;;) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        pollfd wanted{fd, POLLOUT, 0};
        int ready = poll(&wanted, 1, int(left));
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
}

// The most frames that must all arrive that may wait for one peer; a peer that falls so far
// behind is let go.
constexpr size_t MostQueuedFrames = 64;

// The bytes written to the socket that the peer has not yet taken; 0 where the system cannot
// tell.
size_t NotYetTaken(int fd)
{
    int pending = 0;
    return ioctl(fd, SIOCOUTQ, &pending) == 0 && pending > 0 ? size_t(pending) : 0;
}

// A snapshot is begun only while less than this waits on the line: the system's send buffer
// grows to megabytes, and on a slow link snapshots queued there would arrive seconds old. A
// snapshot that waits is replaced by the next, newer one.
constexpr size_t MostSnapshotBytesOnTheLine = 48 * 1024;

// Under the peer's send lock: writes what the socket takes now, frame after frame: first the
// frames that must arrive, then the newest snapshot. False when the peer failed, or took
// nothing of a frame for the whole send time (it is then shut: half a frame on the stream could
// never be followed by another).
bool Pump(Peer& peer)
{
    Clock::time_point now = Clock::now();
    for (;;) {
        if (peer.broken) return false;
        if (peer.current.empty()) {
            if (!peer.queued.empty()) {
                peer.current = std::move(peer.queued.front());
                peer.queued.pop_front();
                peer.currentTicketed = true;
            } else if (!peer.latest.empty() && NotYetTaken(peer.fd) < MostSnapshotBytesOnTheLine) {
                peer.current = std::move(peer.latest);
                peer.latest.clear();
                peer.currentTicketed = false;
            } else {
                return true;
            }
            peer.done = 0;
            peer.lastProgress = now;
        }
        ssize_t n = send(peer.fd, peer.current.data() + peer.done, peer.current.size() - peer.done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            peer.done += size_t(n);
            peer.lastProgress = now;
            if (peer.done == peer.current.size()) {
                peer.ticketsSent += peer.currentTicketed;
                peer.current.clear();
                peer.done = 0;
            }
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && now - peer.lastProgress < std::chrono::milliseconds(NetSendTimeoutMs))
            return true;
        if (!peer.broken.exchange(true)) {
            if (peer.handle) std::fprintf(stderr, "korax: net: client %d took no frame in time, dropped\n", peer.handle);
            else std::fprintf(stderr, "korax: net: the host took no frame in time, connection closed\n");
        }
        peer.Shut();
        return false;
    }
}

std::string FrameOf(std::string_view marker, std::string_view payload)
{
    size_t length = marker.size() + payload.size();
    std::string frame;
    frame.reserve(FrameHeader + length);
    for (int shift = 0; shift < 32; shift += 8) frame.push_back(char((length >> shift) & 255));
    frame.append(marker);
    frame.append(payload);
    return frame;
}

// Sends bytes that must arrive, after what waits before them, and waits until they are out or
// the send time has passed without the peer taking any.
bool SendBytes(Peer& peer, std::string bytes)
{
    std::lock_guard guard(peer.sendLock);
    if (peer.broken) return false;
    peer.queued.push_back(std::move(bytes));
    uint64_t ticket = ++peer.ticketsQueued;
    while (Pump(peer) && peer.ticketsSent < ticket)
        WaitWritable(peer.fd, Clock::now() + std::chrono::milliseconds(50));
    return peer.ticketsSent >= ticket;
}

// One frame that must arrive; a frame over the limit is refused before anything is written,
// since the receiver would drop us for it.
bool SendFrame(Peer& peer, std::string_view marker, std::string_view payload)
{
    return marker.size() + payload.size() <= NetFrameLimit && SendBytes(peer, FrameOf(marker, payload));
}

// Hands a snapshot over without waiting: a newer one takes the place of one not yet begun, so
// a slow link gets fewer snapshots, never older ones. One that must arrive (it carries a chat
// line) goes in line with the other frames instead, and an older snapshot waiting is dropped.
bool OfferFrame(Peer& peer, std::string_view payload, bool mustArrive)
{
    if (payload.size() > NetFrameLimit) return false;
    std::lock_guard guard(peer.sendLock);
    if (peer.broken) return false;
    if (mustArrive) {
        if (peer.queued.size() >= MostQueuedFrames) {
            peer.broken = true;
            peer.Shut();
            return false;
        }
        peer.queued.push_back(FrameOf({}, payload));
        peer.ticketsQueued++;
        peer.latest.clear();
    } else {
        peer.latest = FrameOf({}, payload);
    }
    return Pump(peer);
}

// Writes what waits, without waiting.
bool FlushPeer(Peer& peer)
{
    std::lock_guard guard(peer.sendLock);
    return Pump(peer);
}

// A non-blocking socket listening on every local address of one family; -1 with errno set when
// it cannot be had.
int ListenOn(int family, int port)
{
    int fd = socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    int yes = 1, no = 0;
    // A host that restarts a game finds its port free again at once, not after the old
    // connections' wait time.
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_storage address{};
    socklen_t size = 0;
    bool ready = true;
    if (family == AF_INET6) {
        // Dual stack: IPv4 players arrive as mapped addresses on the same socket.
        ready = setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &no, sizeof no) == 0;
        sockaddr_in6& v6 = reinterpret_cast<sockaddr_in6&>(address);
        v6.sin6_family = AF_INET6;
        v6.sin6_addr = in6addr_any;
        v6.sin6_port = htons(uint16_t(port));
        size = sizeof v6;
    } else {
        sockaddr_in& v4 = reinterpret_cast<sockaddr_in&>(address);
        v4.sin_family = AF_INET;
        v4.sin_addr.s_addr = htonl(INADDR_ANY);
        v4.sin_port = htons(uint16_t(port));
        size = sizeof v4;
    }
    if (ready && bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 && listen(fd, SOMAXCONN) == 0) return fd;
    int error = errno;
    close(fd);
    errno = error;
    return -1;
}

// A new client's socket, or null when none is waiting.
std::shared_ptr<Peer> AcceptOne(int listener)
{
    for (;;) {
        int fd = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            SetNoDelay(fd);
            return std::make_shared<Peer>(fd);
        }
        if (errno != EINTR) return nullptr;
    }
}

// Waits for a non-blocking connect to finish within the connect time; true when it succeeded.
bool WaitConnected(int fd)
{
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(NetConnectTimeoutMs);
    if (!WaitWritable(fd, deadline)) return false;
    int error = 0;
    socklen_t size = sizeof error;
    return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

// A connected non-blocking socket to one address, or -1.
int ConnectTo(const addrinfo& address)
{
    int fd = socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address.ai_protocol);
    if (fd < 0) return -1;
    if (connect(fd, address.ai_addr, address.ai_addrlen) == 0 ||
        ((errno == EINPROGRESS || errno == EINTR) && WaitConnected(fd))) {
        SetNoDelay(fd);
        return fd;
    }
    close(fd);
    return -1;
}

// A connected socket to the first address of `host` that answers, or -1.
int ConnectToHost(const std::string& host, int port)
{
    if (host.empty() || port <= 0 || port > 65535) return -1;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int failed = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (failed) {
        std::fprintf(stderr, "korax: net: %s: %s\n", host.c_str(), gai_strerror(failed));
        return -1;
    }
    int fd = -1;
    for (addrinfo* address = found; address && fd < 0; address = address->ai_next) fd = ConnectTo(*address);
    freeaddrinfo(found);
    if (fd < 0) std::fprintf(stderr, "korax: net: no connection to %s port %d\n", host.c_str(), port);
    return fd;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Server

struct NetServer::State {
    mutable std::mutex lock;                     // the fields up to pollLock
    std::shared_ptr<Socket> listener;            // null while not listening
    std::vector<std::shared_ptr<Peer>> clients;  // in connection order, so their handles rise
    int nextHandle = 1;                          // never reset, so no handle is ever reused

    std::mutex pollLock;                         // one poll at a time; taken before `lock`
    int lastServed = 0;                          // the handle the last frame came from
    std::vector<char> scratch = std::vector<char>(ReadChunk);

    // The client with `handle` while it is connected, or null.
    std::shared_ptr<Peer> Find(int handle) const
    {
        std::lock_guard guard(lock);
        for (const std::shared_ptr<Peer>& peer : clients)
            if (peer->handle == handle && !peer->broken) return peer;
        return nullptr;
    }
};

NetServer::NetServer() : state_(std::make_unique<State>()) {}

NetServer::~NetServer() { Close(); }

bool NetServer::Listen(int port)
{
    Close();
    if (port < 0 || port > 65535) return false;
    int fd = ListenOn(AF_INET6, port);
    // Without IPv6 the host still serves IPv4; a port in use is in use for both.
    if (fd < 0 && errno != EADDRINUSE) fd = ListenOn(AF_INET, port);
    if (fd < 0) {
        std::fprintf(stderr, "korax: net: cannot listen on port %d: %s\n", port, std::strerror(errno));
        return false;
    }
    auto listener = std::make_shared<Socket>(fd);
    std::lock_guard guard(state_->lock);
    if (state_->listener) return false; // another Listen came first
    state_->listener = listener;
    return true;
}

bool NetServer::Listening() const
{
    std::lock_guard guard(state_->lock);
    return state_->listener != nullptr;
}

// Keeps the event of `peer` only while the peer is still listed (a Close may have dropped it
// meanwhile); a Disconnect forgets it, so it is reported once.
static bool StillListed(std::vector<std::shared_ptr<Peer>>& clients, const std::shared_ptr<Peer>& peer, const NetEvent& event)
{
    for (size_t i = 0; i < clients.size(); i++) {
        if (clients[i] != peer) continue;
        if (event.kind == NetEvent::Disconnect) clients.erase(clients.begin() + long(i));
        return true;
    }
    return false;
}

NetEvent NetServer::Poll()
{
    State& state = *state_;
    std::lock_guard pollGuard(state.pollLock);
    std::shared_ptr<Socket> listener;
    std::vector<std::shared_ptr<Peer>> clients;
    {
        std::lock_guard guard(state.lock);
        listener = state.listener;
        clients = state.clients;
    }
    if (!listener) return {};
    NetEvent event;
    if (std::shared_ptr<Peer> peer = AcceptOne(listener->fd)) {
        std::lock_guard guard(state.lock);
        if (state.listener != listener) return {}; // closed meanwhile: the new socket goes too
        peer->handle = state.nextHandle++;
        state.clients.push_back(peer);
        event.kind = NetEvent::NewClient;
        event.client = peer->handle;
        return event;
    }
    // Round robin, starting after the client served last.
    size_t first = 0;
    while (first < clients.size() && clients[first]->handle <= state.lastServed) first++;
    for (size_t i = 0; i < clients.size(); i++) {
        const std::shared_ptr<Peer>& peer = clients[(first + i) % clients.size()];
        event = NextEvent(*peer, state.scratch);
        if (event.kind == NetEvent::None) continue;
        state.lastServed = peer->handle;
        event.client = peer->handle;
        std::lock_guard guard(state.lock);
        if (StillListed(state.clients, peer, event)) return event;
    }
    return {};
}

bool NetServer::Send(int client, std::string_view block)
{
    std::shared_ptr<Peer> peer = state_->Find(client);
    return peer && SendFrame(*peer, {}, block);
}

bool NetServer::SendFile(int client, std::string_view fileBytes)
{
    std::shared_ptr<Peer> peer = state_->Find(client);
    return peer && SendFrame(*peer, NetFileMarker, fileBytes);
}

bool NetServer::Offer(int client, std::string_view block, bool mustArrive)
{
    std::shared_ptr<Peer> peer = state_->Find(client);
    return peer && OfferFrame(*peer, block, mustArrive);
}

void NetServer::Flush()
{
    std::vector<std::shared_ptr<Peer>> clients;
    {
        std::lock_guard guard(state_->lock);
        clients = state_->clients;
    }
    for (const std::shared_ptr<Peer>& peer : clients) FlushPeer(*peer);
}

std::vector<int> NetServer::Clients() const
{
    std::lock_guard guard(state_->lock);
    std::vector<int> handles;
    for (const std::shared_ptr<Peer>& peer : state_->clients)
        if (!peer->broken) handles.push_back(peer->handle);
    return handles;
}

void NetServer::Drop(int client)
{
    if (std::shared_ptr<Peer> peer = state_->Find(client)) peer->Shut();
}

void NetServer::Close()
{
    std::lock_guard guard(state_->lock);
    for (const std::shared_ptr<Peer>& peer : state_->clients) peer->Shut();
    state_->clients.clear();
    state_->listener.reset();
}

// ---------------------------------------------------------------------------------------------
// Connection

struct NetConnection::State {
    mutable std::mutex lock;      // the fields up to pollLock
    std::shared_ptr<Peer> peer;   // null while not connected and once Disconnect was reported
    int closes = 0;               // counts Close calls: a Connect overtaken by one gives up

    std::mutex pollLock;          // one poll at a time; taken before `lock`
    std::vector<char> scratch = std::vector<char>(ReadChunk);

    std::shared_ptr<Peer> Current() const
    {
        std::lock_guard guard(lock);
        return peer;
    }
};

NetConnection::NetConnection() : state_(std::make_unique<State>()) {}

NetConnection::~NetConnection() { Close(); }

bool NetConnection::Connect(const std::string& host, int port)
{
    Close();
    int closes = 0;
    {
        std::lock_guard guard(state_->lock);
        closes = state_->closes;
    }
    int fd = ConnectToHost(host, port);
    if (fd < 0) return false;
    auto peer = std::make_shared<Peer>(fd);
    std::lock_guard guard(state_->lock);
    if (state_->closes != closes) return false;
    state_->peer = peer;
    return true;
}

bool NetConnection::Connected() const
{
    std::shared_ptr<Peer> peer = state_->Current();
    return peer && !peer->broken;
}

NetEvent NetConnection::Poll()
{
    State& state = *state_;
    std::lock_guard pollGuard(state.pollLock);
    std::shared_ptr<Peer> peer = state.Current();
    if (!peer) return {};
    NetEvent event = NextEvent(*peer, state.scratch);
    if (event.kind == NetEvent::None) return event;
    std::lock_guard guard(state.lock);
    if (state.peer != peer) return {}; // closed meanwhile
    if (event.kind == NetEvent::Disconnect) state.peer.reset();
    return event;
}

bool NetConnection::Send(std::string_view block)
{
    std::shared_ptr<Peer> peer = state_->Current();
    return peer && SendFrame(*peer, {}, block);
}

bool NetConnection::SendFile(std::string_view fileBytes)
{
    std::shared_ptr<Peer> peer = state_->Current();
    return peer && SendFrame(*peer, NetFileMarker, fileBytes);
}

bool NetConnection::Offer(std::string_view block, bool mustArrive)
{
    std::shared_ptr<Peer> peer = state_->Current();
    return peer && OfferFrame(*peer, block, mustArrive);
}

void NetConnection::Flush()
{
    if (std::shared_ptr<Peer> peer = state_->Current()) FlushPeer(*peer);
}

void NetConnection::Close()
{
    std::lock_guard guard(state_->lock);
    if (state_->peer) state_->peer->Shut();
    state_->peer.reset();
    state_->closes++;
}

bool NetSendRaw(NetConnection& connection, std::string_view bytes)
{
    std::shared_ptr<Peer> peer = connection.state_->Current();
    return peer && SendBytes(*peer, std::string(bytes));
}
