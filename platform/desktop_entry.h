// platform/desktop_entry.h - an entry in the desktop's application menu, with its icon, for
// the user alone: a freedesktop desktop entry in $XDG_DATA_HOME/applications and the icon in
// the hicolor theme below $XDG_DATA_HOME/icons. The desktops watch those folders, so the entry
// appears without logging out.
#pragma once

#include "platform/image.h"

#include <string>

struct MenuEntry {
    std::string id;          // file name without ".desktop", also the icon's name (ASCII)
    std::string name;        // the menu's text (UTF-8)
    std::string genericName; // what kind of program it is (UTF-8)
    std::string comment;     // the tooltip (UTF-8)
    std::string program;     // the OS path of the program to start, without arguments
    std::string folder;      // the OS folder it starts in
    std::string windowClass; // the class of its windows, so that a dock shows them with the entry
    std::string keywords;    // search words, each followed by ';' (UTF-8)
};

// The entry's file in the desktop entry format; empty when a path cannot be written there
// (bytes that are no UTF-8, or control characters).
std::string DesktopEntryText(const MenuEntry& entry);

// Writes the entry and the icon (square, scaled to the theme's usual sizes), each replacing an
// older one of the same name. 1 when both are in place.
int InstallMenuEntry(const MenuEntry& entry, const Image& icon);

// Where InstallMenuEntry puts the entry's file and the icon of one size.
std::string MenuEntryFile(const std::string& id);
std::string MenuIconFile(const std::string& id, int size);

// The sizes the icon is written in, in pixels.
constexpr int MenuIconSizes[] = {48, 64, 128};
