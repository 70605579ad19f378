// game/net/threads.cpp - the control, send and receive threads and the client list.
#include "game/net/threads.h"

#include "game/net/delta.h"
#include "game/save/saveformat.h"
#include "platform/files.h"
#include "platform/latin1.h"
#include "platform/net.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

std::atomic<int> NetRole{0};
std::atomic<int> NetCommand{0};
std::atomic<int> NetSendPending{0};
std::atomic<int> NetMessageTaken{1};
std::atomic<int> NetHostLost{0};
std::atomic<int> NetGamePort{NetPort};
std::atomic<int> NetFileArrived{0};

namespace {

using namespace std::chrono_literals;

// What waits for the receiving game; bounded, so a peer that floods cannot fill the memory. A
// newer snapshot of a sender replaces its older one still waiting: the game wants the latest
// state, and a host with several clients takes them all each frame.
constexpr size_t MostWaitingBytes = size_t(32) << 20;
constexpr size_t MostWaiting = 256;
constexpr size_t MostWaitingPerSender = 32;

// Connections to clients beyond the players' seats: watchers of a running game, and newcomers
// who have not yet said who they are.
constexpr int MostWatchers = 4;
constexpr int MostNewcomers = 2;
// A newcomer who says nothing for this long is let go, so a silent connection holds no place.
constexpr auto NewcomerPatience = std::chrono::seconds(10);

// One connection of the host. A player's seat is given once, when the connection is accepted
// in the waiting room, and never changes for it: every message it sends is that seat's.
struct Client {
    int handle = 0;
    int seat = 0;          // 2..6 a player; 0 a watcher or a newcomer
    int watching = 0;      // 1 once admitted to watch a running game
    std::chrono::steady_clock::time_point since = std::chrono::steady_clock::now();
};

// A player's seat. A seat whose connection dropped during a game keeps its name and objects
// and waits for its player to come back; in the waiting room a seat left is free again.
struct Seat {
    int taken = 0;
    int handle = 0;        // its connection; 0 while dropped
    std::string name = "Unbekannt";
};

// What one side of a connection knows of the other's snapshots.
struct Link {
    int peerAck = 0;     // the last of our snapshots the peer applied
    int applied = 0;     // the last of the peer's snapshots we applied
    std::deque<std::pair<int, SharedImage>> received; // the peer's, by number, newest last
};

// Snapshots kept on either side to take changes against: about a second and a half of frames.
constexpr size_t KeptImages = 64;

struct Shared {
    NetServer server;
    NetConnection connection;
    std::mutex lock; // everything below
    std::string hostAddress = "127.0.0.1";
    std::vector<Client> clients;
    Seat seats[MaxPlayers + 1];        // 2..seatLimit
    int seatLimit = MaxPlayers;        // the map's start marks
    int gameRunning = 0;               // 1 from the start: newcomers rejoin or watch
    std::vector<std::string> notices;  // seats left, for the game's ticker
    std::deque<NetMessage> waiting;
    size_t waitingBytes = 0;
    std::string outgoing;
    int exceptPlayer = 0;
    int outgoingSnapshot = 0;          // the outgoing block is this machine's snapshot
    // Snapshots travel as the change to what each receiver has (delta.h): the images sent
    // lately, by number, and per connection what it acknowledged and what we applied of its.
    std::deque<std::pair<int, SharedImage>> sent;
    int nextSeq = 1;
    std::map<int, Link> links;         // host: by connection handle; client: 0
    // Bytes on the wire in the last whole second, and the second being counted.
    long long bytesOut = 0, bytesIn = 0, countingOut = 0, countingIn = 0;
    std::chrono::steady_clock::time_point secondStart = std::chrono::steady_clock::now();
    std::vector<std::pair<int, int>> startCells;
    int screenWidth = 1024, screenHeight = 768;
};

// Never destroyed: a fatal error ends the program with std::exit while the threads still run.
Shared& Net()
{
    static Shared* shared = new Shared;
    return *shared;
}

std::atomic<bool> Stopping{false};
std::thread* Threads = new std::thread[3];
bool Running = false;

void Sleep2ms() { std::this_thread::sleep_for(2ms); }

void ControlThread()
{
    Shared& net = Net();
    while (!Stopping) {
        int command = NetCommand.load();
        if (command == -2) {
            net.connection.Close();
            NetRole = 0;
        } else if (command == -1) {
            net.server.Close();
            std::lock_guard guard(net.lock);
            net.clients.clear();
            for (Seat& seat : net.seats) seat = Seat{};
            net.gameRunning = 0;
            net.notices.clear();
            net.links.clear();
            net.sent.clear();
            NetRole = 0;
        } else if (command == 1) {
            NetRole = net.server.Listen(NetGamePort) ? 1 : -1;
        } else if (command == 2) {
            std::string address;
            {
                std::lock_guard guard(net.lock);
                address = net.hostAddress;
            }
            NetHostLost = 0;
            NetFileArrived = 0;
            {
                std::lock_guard guard(net.lock);
                net.links.clear();
                net.sent.clear();
            }
            NetRole = net.connection.Connect(address, NetGamePort) ? 2 : -2;
        }
        if (command != 0) {
            NetDropWaiting();
            NetCommand.compare_exchange_strong(command, 0);
        }
        Sleep2ms();
    }
}

// Counts bytes on the wire, a second at a time.
void CountBytes(Shared& net, long long out, long long in)
{
    std::lock_guard guard(net.lock);
    auto now = std::chrono::steady_clock::now();
    if (now - net.secondStart >= std::chrono::seconds(1)) {
        net.bytesOut = net.countingOut;
        net.bytesIn = net.countingIn;
        net.countingOut = net.countingIn = 0;
        net.secondStart = now;
    }
    net.countingOut += out;
    net.countingIn += in;
}

SharedImage FindImage(const std::deque<std::pair<int, SharedImage>>& images, int seq)
{
    for (const auto& kept : images)
        if (kept.first == seq) return kept.second;
    return nullptr;
}

// The snapshot numbered `seq` for one receiver: the change to what it acknowledged, if we still
// have that, else the whole of it.
std::string DeltaFor(Shared& net, int connection, const SnapshotImage& image, int seq, bool clientForm, bool chat)
{
    DeltaHeader header{clientForm, chat, seq, 0, 0};
    SharedImage base;
    {
        std::lock_guard guard(net.lock);
        Link& link = net.links[connection];
        header.ack = link.applied;
        base = FindImage(net.sent, link.peerAck);
        if (base) header.base = link.peerAck;
    }
    return PutDelta(header, EncodeDelta(image, base.get()));
}

// This machine's snapshot, once taken apart and numbered, to each receiver as its change.
void SendSnapshot(Shared& net, const std::string& block, bool host)
{
    auto image = std::make_shared<SnapshotImage>();
    if (!SplitSnapshot(block, !host, *image)) return;
    bool chat = block.compare(0, 13, std::string("DATEN\0NOCHAT\0", 13)) != 0;
    std::vector<Client> clients;
    std::vector<std::pair<int, int>> cells;
    int seq = 0, width = 0, height = 0;
    {
        std::lock_guard guard(net.lock);
        seq = net.nextSeq++;
        net.sent.emplace_back(seq, image);
        if (net.sent.size() > KeptImages) net.sent.pop_front();
        clients = net.clients;
        cells = net.startCells;
        width = net.screenWidth;
        height = net.screenHeight;
    }
    long long out = 0;
    if (!host) {
        std::string delta = DeltaFor(net, 0, *image, seq, true, chat);
        out += (long long)delta.size();
        net.connection.Offer(delta, chat);
        clients.clear();
    }
    // Players by their seats and watchers; a newcomer gets nothing until it is let in.
    for (const Client& client : clients) {
        if (client.seat == 0 && !client.watching) continue;
        std::string delta = DeltaFor(net, client.handle, *image, seq, false, chat);
        std::pair<int, int> cell = size_t(client.seat) < cells.size() ? cells[size_t(client.seat)] : std::pair{0, 0};
        PutHostTrailer(delta, client.seat, width, height, cell.first, cell.second);
        out += (long long)delta.size();
        net.server.Offer(client.handle, delta, chat);
    }
    CountBytes(net, out, 0);
}

void SendThread()
{
    Shared& net = Net();
    while (!Stopping) {
        if (NetRole == 1) net.server.Flush();
        else if (NetRole == 2) net.connection.Flush();
        if (NetSendPending.load() == 1 && net.outgoingSnapshot && NetRole > 0) {
            std::string block;
            {
                std::lock_guard guard(net.lock);
                block = net.outgoing;
            }
            SendSnapshot(net, block, NetRole == 1);
            NetSendPending = 0;
        }
        if (NetSendPending.load() == 1) {
            if (NetRole == 1) {
                // Each client gets the message with its own trailer: its player number and the
                // camera on its start cell. The list is copied, so the send never holds the lock.
                std::vector<Client> clients;
                std::string message;
                int except = 0;
                std::vector<std::pair<int, int>> cells;
                int width = 0, height = 0;
                {
                    std::lock_guard guard(net.lock);
                    clients = net.clients;
                    message = net.outgoing;
                    except = net.exceptPlayer;
                    cells = net.startCells;
                    width = net.screenWidth;
                    height = net.screenHeight;
                }
                // Players by their seats and watchers; a newcomer gets nothing until it is let in.
                for (const Client& client : clients) {
                    int player = client.seat;
                    if ((player == 0 && !client.watching) || (player != 0 && player == except)) continue;
                    std::pair<int, int> cell = size_t(player) < cells.size() ? cells[size_t(player)] : std::pair{0, 0};
                    std::string block = message;
                    PutHostTrailer(block, player, width, height, cell.first, cell.second);
                    net.server.Send(client.handle, block);
                }
            } else if (NetRole == 2) {
                std::string message;
                {
                    std::lock_guard guard(net.lock);
                    message = net.outgoing;
                }
                net.connection.Send(message);
            }
            NetSendPending = 0;
        }
        Sleep2ms();
    }
}

// A snapshot without a chat line: a newer one of the same sender may take its place.
bool PlainSnapshot(const std::string& block)
{
    static const std::string plain("DATEN\0NOCHAT\0", 13);
    DeltaHeader header;
    return block.compare(0, plain.size(), plain) == 0 || (ReadDeltaHeader(block, header) && !header.chat);
}

// Under the lock: appends a received block, a newer snapshot of the same sender in place of
// its older one (unless the older one carries a chat line, which must not be lost). Each sender
// has its own share of the room, so one that floods loses only its own messages.
void Arrived(Shared& net, std::string block, int from, int connection)
{
    net.countingIn += (long long)block.size();
    std::string keyword = Keyword(block);
    if ((keyword == "DATEN" || keyword == "DELTA") && PlainSnapshot(block))
        for (NetMessage& waiting : net.waiting)
            if (waiting.connection == connection && PlainSnapshot(waiting.block)) {
                net.waitingBytes = net.waitingBytes - waiting.block.size() + block.size();
                waiting.block = std::move(block);
                return;
            }
    size_t mine = size_t(std::count_if(net.waiting.begin(), net.waiting.end(), [&](const NetMessage& m) { return m.connection == connection; }));
    if (mine >= MostWaitingPerSender || net.waiting.size() >= MostWaiting || net.waitingBytes + block.size() > MostWaitingBytes) return;
    net.waitingBytes += block.size();
    net.waiting.push_back(NetMessage{std::move(block), from, connection});
    NetMessageTaken = 0;
}

// The lowest seat of the waiting room nobody holds, or 0 when the map has no more.
int FreeSeat(const Shared& net)
{
    for (int seat = 2; seat <= std::min(net.seatLimit, MaxPlayers); seat++)
        if (!net.seats[seat].taken) return seat;
    return 0;
}

// Under the lock: a new connection takes a seat in the waiting room, or waits to say who it is
// in a running game; 0 when there is no room for it.
int Welcome(Shared& net, int handle)
{
    Client client{handle};
    if (!net.gameRunning) {
        client.seat = FreeSeat(net);
        if (client.seat == 0) return 0;
        net.seats[client.seat] = Seat{1, handle, "Unbekannt"};
    } else {
        int watchers = 0, newcomers = 0;
        for (const Client& other : net.clients) {
            watchers += other.watching;
            newcomers += other.seat == 0 && !other.watching;
        }
        if (newcomers >= MostNewcomers || watchers + newcomers >= MostWatchers + MostNewcomers) return 0;
    }
    net.clients.push_back(client);
    return 1;
}

// Under the lock: a connection went. A player's seat in a running game waits for him; in the
// waiting room it is free again.
void Farewell(Shared& net, std::vector<Client>::iterator at)
{
    int seat = at->seat;
    if (seat >= 2 && net.seats[seat].handle == at->handle) {
        if (net.gameRunning) {
            net.seats[seat].handle = 0;
            net.notices.push_back("INFO: Spieler " + std::to_string(seat) + " hat das Spiel verlassen.");
        } else {
            net.seats[seat] = Seat{};
        }
    }
    net.links.erase(at->handle);
    net.clients.erase(at);
}

// Newcomers who said nothing in time are let go.
void DropSilentNewcomers(Shared& net)
{
    std::vector<int> silent;
    {
        std::lock_guard guard(net.lock);
        auto now = std::chrono::steady_clock::now();
        for (const Client& client : net.clients)
            if (client.seat == 0 && !client.watching && now - client.since > NewcomerPatience) silent.push_back(client.handle);
    }
    for (int handle : silent) net.server.Drop(handle);
}

void ReceiveAsHost(Shared& net)
{
    DropSilentNewcomers(net);
    for (int events = 0; events < 64; events++) {
        NetEvent event = net.server.Poll();
        if (event.kind == NetEvent::None) return;
        if (event.kind == NetEvent::NewClient) {
            int welcome = 0;
            {
                std::lock_guard guard(net.lock);
                welcome = Welcome(net, event.client);
            }
            if (!welcome) {
                NetBlock full;
                full.Start("VOLL");
                full.PutText(NetFullText());
                net.server.Send(event.client, full.bytes);
                net.server.Drop(event.client);
            }
            continue;
        }
        std::lock_guard guard(net.lock);
        auto at = std::find_if(net.clients.begin(), net.clients.end(), [&](const Client& c) { return c.handle == event.client; });
        if (at == net.clients.end()) continue;
        if (event.kind == NetEvent::Disconnect) Farewell(net, at);
        else if (event.kind == NetEvent::Data) Arrived(net, std::move(event.bytes), at->seat ? at->seat : -at->watching, at->handle);
        // Files go from the host to the clients only.
    }
}

void ReceiveAsClient(Shared& net)
{
    for (int events = 0; events < 64; events++) {
        NetEvent event = net.connection.Poll();
        if (event.kind == NetEvent::None) return;
        if (event.kind == NetEvent::Disconnect) {
            NetHostLost = 1;
        } else if (event.kind == NetEvent::File) {
            // The transfer file travels packed; unpacked it is no larger than a save may be.
            std::string file;
            MakeFolder("SAVE");
            if (Unpack(event.bytes, MostSaveBytes(), file) && WriteWholeFile("SAVE\\" + std::string(NetStartSave) + ".sav", file))
                NetFileArrived = 1;
        } else if (event.kind == NetEvent::Data) {
            std::lock_guard guard(net.lock);
            Arrived(net, std::move(event.bytes), 1, 0);
        }
    }
}

void ReceiveThread()
{
    Shared& net = Net();
    while (!Stopping) {
        if (NetRole == 1) ReceiveAsHost(net);
        else if (NetRole == 2) ReceiveAsClient(net);
        Sleep2ms();
    }
}

} // namespace

void SetNetHostAddress(const std::string& address)
{
    std::lock_guard guard(Net().lock);
    Net().hostAddress = address;
}

void StartNetThreads()
{
    if (Running) return;
    Running = true;
    Stopping = false;
    Net();
    Threads[0] = std::thread(ControlThread);
    Threads[1] = std::thread(SendThread);
    Threads[2] = std::thread(ReceiveThread);
}

void StopNetThreads()
{
    if (!Running) return;
    Stopping = true;
    for (int i = 0; i < 3; i++) Threads[i].join();
    Running = false;
    Net().server.Close();
    Net().connection.Close();
    std::lock_guard guard(Net().lock);
    Net().clients.clear();
    for (Seat& seat : Net().seats) seat = Seat{};
    Net().gameRunning = 0;
    Net().notices.clear();
    Net().waiting.clear();
    Net().waitingBytes = 0;
    NetRole = 0;
    NetCommand = 0;
    NetSendPending = 0;
    NetMessageTaken = 1;
}

bool NetSendSlotFree() { return NetSendPending.load() == 0; }

// Hands a message to the send thread; `snapshot` marks this machine's "DATEN".
static bool Queue(const NetBlock& message, int exceptPlayer, int snapshot)
{
    if (message.overfull || NetSendPending.load() != 0) return false;
    {
        std::lock_guard guard(Net().lock);
        Net().outgoing = message.bytes;
        Net().exceptPlayer = exceptPlayer;
        Net().outgoingSnapshot = snapshot;
    }
    NetSendPending = 1;
    return true;
}

bool NetQueue(const NetBlock& message, int exceptPlayer) { return Queue(message, exceptPlayer, 0); }
bool NetQueueSnapshot(const NetBlock& snapshot) { return Queue(snapshot, 0, 1); }

bool NetOpenSnapshot(NetMessage& message)
{
    DeltaHeader header;
    std::string delta;
    if (!ReadDelta(message.block, header, delta)) return false;
    Shared& net = Net();
    SharedImage base;
    {
        std::lock_guard guard(net.lock);
        Link& link = net.links[message.connection];
        link.peerAck = std::max(link.peerAck, header.ack);
        if (header.base) base = FindImage(link.received, header.base);
        // A change from a snapshot we no longer have: ask for a whole one.
        if (header.base && !base) {
            link.applied = 0;
            return false;
        }
    }
    auto image = std::make_shared<SnapshotImage>();
    if (!DecodeDelta(delta, base.get(), *image)) return false;
    message.block = JoinSnapshot(*image);
    std::lock_guard guard(net.lock);
    Link& link = net.links[message.connection];
    link.received.emplace_back(header.seq, image);
    if (link.received.size() > KeptImages) link.received.pop_front();
    link.applied = header.seq;
    return true;
}

void NetBytesPerSecond(long long& sent, long long& received)
{
    CountBytes(Net(), 0, 0);
    std::lock_guard guard(Net().lock);
    sent = Net().bytesOut;
    received = Net().bytesIn;
}

bool NetQueueWhenFree(const NetBlock& message, int waitMs, int exceptPlayer)
{
    for (int waited = 0; !NetSendSlotFree() && waited < waitMs; waited += 100) std::this_thread::sleep_for(100ms);
    return NetQueue(message, exceptPlayer);
}

void NetSendFileToClients(const std::string& bytes)
{
    std::string packed = Pack(bytes);
    for (int handle : Net().server.Clients()) Net().server.SendFile(handle, packed);
}

void SetNetStartCells(const std::vector<std::pair<int, int>>& cells, int screenWidth, int screenHeight)
{
    std::lock_guard guard(Net().lock);
    Net().startCells = cells;
    Net().screenWidth = screenWidth;
    Net().screenHeight = screenHeight;
}

bool NetTake(NetMessage& message)
{
    std::lock_guard guard(Net().lock);
    if (Net().waiting.empty()) {
        NetMessageTaken = 1;
        return false;
    }
    message = std::move(Net().waiting.front());
    Net().waiting.pop_front();
    Net().waitingBytes -= message.block.size();
    NetMessageTaken = Net().waiting.empty() ? 1 : 0;
    return true;
}

void NetDropWaiting()
{
    std::lock_guard guard(Net().lock);
    Net().waiting.clear();
    Net().waitingBytes = 0;
    NetMessageTaken = 1;
}

std::vector<std::string> NetClientNames()
{
    std::lock_guard guard(Net().lock);
    std::vector<std::string> names;
    for (int seat = 2; seat <= MaxPlayers; seat++)
        if (Net().seats[seat].taken && Net().seats[seat].handle) names.push_back(Net().seats[seat].name);
    return names;
}

std::vector<std::string> NetSeatNames()
{
    std::lock_guard guard(Net().lock);
    int highest = 1;
    for (int seat = 2; seat <= MaxPlayers; seat++)
        if (Net().seats[seat].taken) highest = seat;
    std::vector<std::string> names;
    for (int seat = 2; seat <= highest; seat++) names.push_back(Net().seats[seat].taken ? Net().seats[seat].name : "");
    return names;
}

unsigned NetTakenSeats()
{
    std::lock_guard guard(Net().lock);
    unsigned seats = 0;
    for (int seat = 2; seat <= MaxPlayers; seat++)
        if (Net().seats[seat].taken) seats |= 1u << seat;
    return seats;
}

unsigned NetConnectedSeats()
{
    std::lock_guard guard(Net().lock);
    unsigned seats = 0;
    for (int seat = 2; seat <= MaxPlayers; seat++)
        if (Net().seats[seat].taken && Net().seats[seat].handle) seats |= 1u << seat;
    return seats;
}

void SetNetClientName(int player, const std::string& name)
{
    std::lock_guard guard(Net().lock);
    if (player >= 2 && player <= MaxPlayers && Net().seats[player].taken && !Net().gameRunning)
        Net().seats[player].name = PrintableLine(name.substr(0, NetNameLength));
}

void SetNetSeatLimit(int seats)
{
    std::lock_guard guard(Net().lock);
    Net().seatLimit = std::clamp(seats, 1, MaxPlayers);
}

void SetNetGameRunning(int running)
{
    std::lock_guard guard(Net().lock);
    Net().gameRunning = running;
}

std::vector<std::string> NetTakeNotices()
{
    std::lock_guard guard(Net().lock);
    std::vector<std::string> notices;
    notices.swap(Net().notices);
    return notices;
}

int NetComeback(int connection, const std::string& name)
{
    std::lock_guard guard(Net().lock);
    Shared& net = Net();
    auto at = std::find_if(net.clients.begin(), net.clients.end(), [&](const Client& c) { return c.handle == connection; });
    if (at == net.clients.end() || at->seat != 0 || at->watching || !net.gameRunning) return -1;
    // A returning player is known by the name he typed and a seat of that name whose
    // connection dropped; the lowest such seat is his.
    for (int seat = 2; seat <= MaxPlayers; seat++) {
        Seat& place = net.seats[seat];
        if (place.taken && !place.handle && place.name == name.substr(0, NetNameLength)) {
            place.handle = connection;
            at->seat = seat;
            return seat;
        }
    }
    at->watching = 1;
    return 0;
}

int NetConnectionCount()
{
    std::lock_guard guard(Net().lock);
    return int(Net().clients.size());
}

void NetDropConnection(int connection) { Net().server.Drop(connection); }

bool NetSendTo(int connection, const std::string& block, bool asFile)
{
    return asFile ? Net().server.SendFile(connection, Pack(block)) : Net().server.Send(connection, block);
}

std::string NetFullText() { return L1("Das Spiel läuft schon, und es ist kein Platz mehr frei."); }