// game/net/threads.cpp - the control, send and receive threads and the client list.
#include "game/net/threads.h"

#include "platform/files.h"
#include "platform/net.h"

#include <algorithm>
#include <chrono>
#include <deque>
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

struct Client {
    int handle = 0;
    std::string name = "Unbekannt";
};

struct Shared {
    NetServer server;
    NetConnection connection;
    std::mutex lock; // everything below
    std::string hostAddress = "127.0.0.1";
    std::vector<Client> clients;
    std::deque<NetMessage> waiting;
    size_t waitingBytes = 0;
    std::string outgoing;
    int exceptPlayer = 0;
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
            NetRole = net.connection.Connect(address, NetGamePort) ? 2 : -2;
        }
        if (command != 0) {
            NetDropWaiting();
            NetCommand.compare_exchange_strong(command, 0);
        }
        Sleep2ms();
    }
}

void SendThread()
{
    Shared& net = Net();
    while (!Stopping) {
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
                for (size_t i = 0; i < clients.size(); i++) {
                    int player = int(i) + 2;
                    if (player == except) continue;
                    std::pair<int, int> cell = size_t(player) < cells.size() ? cells[size_t(player)] : std::pair{0, 0};
                    std::string block = message;
                    PutHostTrailer(block, player, width, height, cell.first, cell.second);
                    net.server.Send(clients[i].handle, block);
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
    return block.compare(0, plain.size(), plain) == 0;
}

// Under the lock: appends a received block, a newer snapshot of the same sender in place of
// its older one (unless the older one carries a chat line, which must not be lost).
void Arrived(Shared& net, std::string block, int from)
{
    if (Keyword(block) == "DATEN")
        for (NetMessage& waiting : net.waiting)
            if (waiting.from == from && PlainSnapshot(waiting.block)) {
                net.waitingBytes = net.waitingBytes - waiting.block.size() + block.size();
                waiting.block = std::move(block);
                return;
            }
    if (net.waiting.size() >= MostWaiting || net.waitingBytes + block.size() > MostWaitingBytes) return;
    net.waitingBytes += block.size();
    net.waiting.push_back(NetMessage{std::move(block), from});
    NetMessageTaken = 0;
}

void ReceiveAsHost(Shared& net)
{
    for (int events = 0; events < 64; events++) {
        NetEvent event = net.server.Poll();
        if (event.kind == NetEvent::None) return;
        std::lock_guard guard(net.lock);
        auto at = std::find_if(net.clients.begin(), net.clients.end(), [&](const Client& c) { return c.handle == event.client; });
        int player = at == net.clients.end() ? 0 : int(at - net.clients.begin()) + 2;
        if (event.kind == NetEvent::NewClient) {
            net.clients.push_back(Client{event.client});
        } else if (event.kind == NetEvent::Disconnect) {
            if (at != net.clients.end()) net.clients.erase(at);
        } else if (event.kind == NetEvent::Data && player > 0) {
            Arrived(net, std::move(event.bytes), player);
        }
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
            MakeFolder("SAVE");
            if (WriteWholeFile("SAVE\\" + std::string(NetStartSave) + ".sav", event.bytes)) NetFileArrived = 1;
        } else if (event.kind == NetEvent::Data) {
            std::lock_guard guard(net.lock);
            Arrived(net, std::move(event.bytes), 1);
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
    Net().waiting.clear();
    Net().waitingBytes = 0;
    NetRole = 0;
    NetCommand = 0;
    NetSendPending = 0;
    NetMessageTaken = 1;
}

bool NetSendSlotFree() { return NetSendPending.load() == 0; }

bool NetQueue(const NetBlock& message, int exceptPlayer)
{
    if (message.overfull || NetSendPending.load() != 0) return false;
    {
        std::lock_guard guard(Net().lock);
        Net().outgoing = message.bytes;
        Net().exceptPlayer = exceptPlayer;
    }
    NetSendPending = 1;
    return true;
}

bool NetQueueWhenFree(const NetBlock& message, int waitMs, int exceptPlayer)
{
    for (int waited = 0; !NetSendSlotFree() && waited < waitMs; waited += 100) std::this_thread::sleep_for(100ms);
    return NetQueue(message, exceptPlayer);
}

void NetSendFileToClients(const std::string& bytes)
{
    for (int handle : Net().server.Clients()) Net().server.SendFile(handle, bytes);
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
    for (const Client& client : Net().clients) names.push_back(client.name);
    return names;
}

void SetNetClientName(int player, const std::string& name)
{
    std::lock_guard guard(Net().lock);
    size_t at = size_t(player - 2);
    if (player >= 2 && at < Net().clients.size()) Net().clients[at].name = name.substr(0, NetNameLength);
}
