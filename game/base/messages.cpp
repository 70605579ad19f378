// game/base/messages.cpp - the message ticker.
#include "game/base/messages.h"

#include <algorithm>

int LocalPlayer = 1;
int ChatActive = 0;
std::vector<Message> Messages;
std::string ChatToSend;

void AddMessage(const std::string& text)
{
    float y = Messages.empty() ? 200.0f : std::max(200.0f, Messages.back().y + 20.0f);
    Messages.push_back(Message{text, y});
}

void ClearMessages()
{
    Messages.clear();
    ChatToSend.clear();
}

std::string ChatLead() { return LocalPlayer >= 1 ? "Spieler " + std::to_string(LocalPlayer) + ": " : "Zuschauer: "; }
