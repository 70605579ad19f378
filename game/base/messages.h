// game/base/messages.h - the message ticker of the game screen, the chat line being typed and
// the one to send, and who sits at this computer.
#pragma once

#include <string>
#include <vector>

struct Message {
    std::string text; // Latin-1
    float y = 0;      // logical y on the 1024 x 768 layout; rises by 0.5 per drawn frame
};

extern int LocalPlayer; // player at this computer, 1 in a single-player game; outlives games
extern int ChatActive;  // 1 while the player types a chat line
extern std::vector<Message> Messages; // oldest first; emptied when a new game is built
extern std::string ChatToSend;        // a typed chat line waiting for the next network message; empty when none

// Appends a line to the ticker, below the last one (never above y 200).
void AddMessage(const std::string& text);
void ClearMessages();
// How a chat line typed here begins: "Spieler " + the local player + ": ", or "Zuschauer: "
// for a watcher of a network game (who has no player).
std::string ChatLead();
