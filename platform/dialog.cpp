// platform/dialog.cpp - message boxes through SDL, with a stderr line for each.
#include "platform/dialog.h"

#include "platform/latin1.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>

static int AutoAnswer = -2; // -2: not yet read from the environment
static MessageBoxShower Shower = nullptr;

void SetMessageBoxAnswer(int answer) { AutoAnswer = answer; }
void SetMessageBoxShower(MessageBoxShower shower) { Shower = shower; }

static int CurrentAutoAnswer()
{
    if (AutoAnswer == -2) {
        const char* value = std::getenv("KORAX_MESSAGEBOX_ANSWER");
        AutoAnswer = value ? std::atoi(value) : -1;
    }
    return AutoAnswer;
}

static int ShowSdlBox(const std::string& titleUtf8, const std::string& textUtf8, int buttons)
{
    SDL_MessageBoxButtonData choices[2];
    int count = 1;
    if (buttons == MessageOk) {
        choices[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 1, "OK"};
    } else {
        const char* yes = buttons == MessageYesNo ? "Ja" : "OK";
        const char* no = buttons == MessageYesNo ? "Nein" : "Abbrechen";
        choices[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, yes};
        choices[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, no};
        count = 2;
    }
    SDL_MessageBoxData box{SDL_MESSAGEBOX_INFORMATION, nullptr, titleUtf8.c_str(), textUtf8.c_str(), count, choices, nullptr};
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0 || pressed < 0) return buttons == MessageOk ? 1 : 0;
    return pressed;
}

// One line for the log: the box's line breaks become spaces.
static std::string OneLine(const std::string& text)
{
    std::string line = text;
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    return line;
}

int ShowMessageBox(const std::string& title, const std::string& text, int buttons)
{
    std::fprintf(stderr, "korax: %s: %s\n", ToUtf8(OneLine(title)).c_str(), ToUtf8(OneLine(text)).c_str());
    int answer = CurrentAutoAnswer();
    if (answer >= 0) return buttons == MessageOk ? 1 : (answer ? 1 : 0);
    if (Shower) return Shower(ToUtf8(title), ToUtf8(text), buttons);
    return ShowSdlBox(ToUtf8(title), ToUtf8(text), buttons);
}
