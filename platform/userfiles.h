// platform/userfiles.h - files in the user's own folders, addressed by plain OS paths.
//
// The desktop tools keep working files outside the installed tree (the help viewer's page and
// its copy of the manual). Those paths come from the environment, not from our data, so they
// are used as the OS gives them (UTF-8) and never go through the case-blind game paths.
#pragma once

#include "platform/files.h"

#include <string>

// The user's cache folder as an OS path ending in '/': $XDG_CACHE_HOME when it is an absolute
// path, else $HOME/.cache. The folder is made when missing. Empty when neither can be had.
std::string UserCacheFolder();

// Whole files by OS path: ReadOsFile and WriteOsFile of platform/files.h.
