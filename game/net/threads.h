// game/net/threads.h - the three threads of the network game and their hand-over with the game.
//
// The control thread opens and closes the server or the connection on request (NetCommand),
// the send thread sends the outgoing message when one is pending, the receive thread polls the
// server or the connection and queues what arrived. The game thread builds a message only
// while the send slot is free and marks it pending last; it takes received messages one at a
// time. The threads run for the whole program.
#pragma once

#include "game/net/protocol.h"

#include <atomic>
#include <string>
#include <vector>

// NetRole: 0 none, 1 hosting, 2 connected as a client, -1 the server could not be made, -2
// the host could not be reached.
extern std::atomic<int> NetRole;
// NetCommand: 1 make the server, 2 connect to NetHostAddress, -1 close the server, -2 close
// the connection; the control thread sets it back to 0 when done.
extern std::atomic<int> NetCommand;
// 1 while the outgoing message waits to be sent.
extern std::atomic<int> NetSendPending;
// 1 while no received message waits to be taken.
extern std::atomic<int> NetMessageTaken;
// 1 after the connection to the host broke (a client's game goes on without updates).
extern std::atomic<int> NetHostLost;
// Counts up when the host's start file has arrived whole (a client waits for it).
extern std::atomic<int> NetFileArrived;
// The port the server listens on and clients connect to (tests use their own).
extern std::atomic<int> NetGamePort;

// The host to connect to, by name or address; set before NetCommand 2.
void SetNetHostAddress(const std::string& address);

// Starts the threads (once; later calls do nothing) and stops them (program end, tests).
void StartNetThreads();
void StopNetThreads();

// ---- sending ----
// Queues `message` when the send slot is free; false when it is busy or the message is
// overfull. Host: it goes to every client, each with its trailer, except to `exceptPlayer`.
bool NetQueue(const NetBlock& message, int exceptPlayer = 0);
// This machine's snapshot ("DATEN"), when the send slot is free: it travels to each receiver
// as the change to the last one that receiver acknowledged, packed, and a newer one passes over
// one a slow link has not yet begun to take.
bool NetQueueSnapshot(const NetBlock& snapshot);
// Waits (in steps of 100 ms, for at most `waitMs`) for the send slot, then queues.
bool NetQueueWhenFree(const NetBlock& message, int waitMs = 10000, int exceptPlayer = 0);
bool NetSendSlotFree();
// Host: the file to every client, straight away (the start transfer).
void NetSendFileToClients(const std::string& bytes);
// Host: the start cells of the players, for the camera in each client's trailer, and the
// screen the cameras are centred on.
void SetNetStartCells(const std::vector<std::pair<int, int>>& cells, int screenWidth, int screenHeight);

// ---- receiving ----
struct NetMessage {
    std::string block;
    int from = 0;       // host: the seat of the sending client, -1 a watcher, 0 a newcomer; client: 1
    int connection = 0; // host: the sending connection's handle
};
// Takes the next received message; false when none waits.
bool NetTake(NetMessage& message);
// A received "DELTA" made whole again: its block becomes the "DATEN" the sender made. False
// when it does not decode (the sender is then asked for a whole snapshot).
bool NetOpenSnapshot(NetMessage& message);
// Bytes sent and received in the last whole second (the F9 overlay shows them).
void NetBytesPerSecond(long long& sent, long long& received);
// Drops every message still waiting (a new game starts, a connection closes).
void NetDropWaiting();

// ---- the host's seats ----
// A seat (player number 2..6) is given to a connection when it is accepted in the waiting room
// and never changes for it. In the waiting room a seat left is free again; in a running game
// it waits, with its name and objects, for its player to come back (NetComeback).
//
// The names of the players connected now, by seat ("Unbekannt" until a client says).
std::vector<std::string> NetClientNames();
// Every seat's name from seat 2 to the highest taken, "" where a seat is free: the "PLAYER"
// list, in which seat s is entry s - 1.
std::vector<std::string> NetSeatNames();
// The taken seats as bits (1 << seat), and those whose player is connected now.
unsigned NetTakenSeats();
unsigned NetConnectedSeats();
// In the waiting room: the name a seat's client said.
void SetNetClientName(int player, const std::string& name);
// How many players the map has start marks for (the host is one); seats beyond are refused.
void SetNetSeatLimit(int seats);
// From the start on, a newcomer takes no free seat: it rejoins a dropped one or watches.
void SetNetGameRunning(int running);
// The ticker lines of seats that left since the last call.
std::vector<std::string> NetTakeNotices();
// A newcomer to a running game said its name: the seat it takes back (2..6), 0 when it is to
// watch, -1 when the connection is not a newcomer.
int NetComeback(int connection, const std::string& name);
// One connection only, from the game thread: a block or a file, sent now; and letting one go.
bool NetSendTo(int connection, const std::string& block, bool asFile = false);
// The host's connections now: players, watchers and newcomers.
int NetConnectionCount();
void NetDropConnection(int connection);
// What a client that finds no room is told before it is let go ("VOLL").
std::string NetFullText();

// The name the start file of a network game is kept under, in the SAVE folder.
constexpr const char* NetStartSave = "_MehrspielerNWI";
