// platform/user_font.h - making a font file known to every program of the user's session.
#pragma once

#include <string>

// The user's own font folder as an OS path ending in '/': $XDG_DATA_HOME/fonts/, else
// ~/.local/share/fonts/, the folder fontconfig reads for the user besides the system's.
std::string UserFontFolder();

// Copies the font file (OS path) into the user's font folder, replacing an older copy of the
// same name, and refreshes fontconfig's cache of that folder, so that programs started from now
// on find the font by its family name. 1 when the copy is in place.
int InstallUserFont(const std::string& fontFile);
