// tools/texgen/main.cpp - texgen: renders the terrain transition tiles into its own folder.
//
// The game starts it on its first run and waits for it. It takes no arguments, opens no window
// and reports nothing: only the written tiles count, and whatever happens the run ends normally.
#include "tools/texgen/texgen.h"

#include "platform/files.h"

#include <unistd.h>

// Works in the program's own folder, wherever it was started from. Every path goes through
// ProgramFolder, so a folder that cannot be entered changes nothing.
static void EnterProgramFolder()
{
    if (!SetProgramFolderFromExecutable()) return;
    if (chdir(ProgramFolder.c_str()) != 0) return;
}

int main()
{
    EnterProgramFolder();
    RunTexgen();
    return 0;
}
