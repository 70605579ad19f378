// tools/terrashade/main2.cpp - terrashade2: one building's shadows, hours 6 to 18, beside itself.
//
// The single-building build, kept for making one building's shadows by hand; nothing starts it.
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
    RunTerrashade2();
    return 0;
}
