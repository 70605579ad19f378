// game/net/protocol.h - the game snapshots every machine sends once a frame, and what they do
// to the running game.
//
// Every machine runs the whole game and is the authority for its own player's objects: a
// client sends its buildings, units and shots to the host, which keeps only that client's own
// records; the host sends everything to every client, which keeps everything but its own.
//
// A block that lies about its counts or ends early is dropped whole: it is read into fresh
// lists first and only a block read to its end without a fault replaces the game's records.
#pragma once

#include "game/net/blocks.h"

#include <string>

// The host's "DATEN": everything it knows.
void PutGameSnapshot(NetBlock& block, const std::string& chat, int lowestFrameRate);
// A client's "DATEN": its own player's objects.
void PutClientSnapshot(NetBlock& block, const std::string& chat, int player, int frameRate);

// A watcher's "DATEN": a chat line and its frame rate, player 0 and no objects.
void PutWatcherSnapshot(NetBlock& block, const std::string& chat, int frameRate);

// On a client: the host's snapshot replaces every object not of `localPlayer`, the storms and
// the clock. False (and the game untouched) for anything but a whole "DATEN" block.
bool ApplyGameSnapshot(const std::string& block, int localPlayer, ReceivedSnapshot& snapshot);
// On the host: a client's snapshot replaces that client's objects, and only those. `sender` is
// the player of the connection it came by (2 or more); a block that claims another player is
// dropped. False (and the game untouched) for anything but a whole "DATEN" block.
bool ApplyClientSnapshot(const std::string& block, int sender, ReceivedSnapshot& snapshot);

// What a received record must fit: this map and these players.
RecordBounds RunningGameBounds();

// The id the next object of `localPlayer` gets after the start of a network game: above every
// id in the game and in that player's own series (the last digit is the player), so that
// objects made on different machines never share an id.
int NetworkNextObjectId(int localPlayer);
