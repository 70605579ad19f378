// game/net/netgame.h - the network game as the menus and the game loop see it: the waiting
// room, the start, the exchange once a frame, chat, pause, resume and the shared save.
#pragma once

#include "game/net/protocol.h"

#include <string>
#include <vector>

// The latest frame rate each player reported, by player number.
extern int FrameRates[8];
// 1 when the game was paused by a partner's "PAUSE" (this machine need not tell the others).
extern int PartnerPaused;

// The waiting room as the menus show it.
struct NetLobby {
    std::vector<std::string> names; // client: every player's name the host sent, the host's first
    int player = 0;                 // client: the own player number, 0 until the host said
    HostTrailer trailer;            // client: as the start message brought it
    std::string loadName;           // client: the save "START_LADEN" named
    std::string refusal;            // client: why the host turned us away ("VOLL"), else empty
};
extern NetLobby Lobby;

// Asks the control thread to make the server or reach `address`; the menus then watch NetRole.
// The host's map has start marks for `players` players (the host among them): no more clients
// find a seat.
void HostNetwork(int players = MaxPlayers);
void JoinNetwork(const std::string& address);
// Closes whatever is open ("Zurück", "Abbrechen", the main page); a failed role goes back to 0.
void LeaveNetwork();

// One menu frame of the waiting room. Host: sends the name list when the send slot is free and
// takes the names the clients send. Client: sends its name and takes the host's list; 1 when
// "START" came, 2 when "START_LADEN" came (Lobby.loadName names the save).
void HostLobbyStep(const std::string& hostName);
int ClientLobbyStep(const std::string& ownName);

// The host's "Starten": tells the clients (ten times, the messages are not acknowledged), then
// starts the game and hands it to them. `loadName` empty: a new game on the current map, saved
// as the start file and sent; otherwise the named save, which every machine loads from its own
// folder. 1 when the game is ready to run.
int HostStartGame(const std::string& loadName);
// The client's side after "START" / "START_LADEN": waits for the start file (or takes its own
// save), loads it and becomes its player. 1 when the game is ready to run; 0 with the game
// untouched when the file never came or could not be read.
int ClientStartGame(int started);

// Once a frame in a running network game: takes what arrived and sends this machine's state.
// 1 when a partner paused the game (the loop leaves into the pause page).
int NetExchange();
// The pause page of a network game, once a frame: 1 when a partner resumed. A partner's save
// is made here too.
int NetPauseStep();
// This machine paused (unless a partner did), resumed or saved: the partners follow.
void NetSendPause();
void NetSendResume();
void NetSendSave(const std::string& name);
// Sets the game's state after a start file or a shared save was loaded on this machine.
void BecomeNetworkPlayer(int player);
