// tools/terrashade/main.cpp - terrashade: renders every listed building's shadows for the hours 5 to 18.
//
// The installer and the game's first start run it and wait for it.
// It takes no arguments, opens no window and reports nothing: only the written images count,
// and whatever happens the run ends normally.
#include "tools/terrashade/terrashade.h"

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
    RunTerrashade();
    return 0;
}
