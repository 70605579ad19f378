// help/main.cpp - Hilfe: the game's manual with a topic tree, a search and an HTML view.
#include "help/viewer.h"
#include "help/window.h"
#include "platform/dialog.h"
#include "platform/files.h"
#include "platform/gtk_form.h"
#include "platform/latin1.h"
#include "platform/process.h"
#include "platform/session.h"
#include "platform/userfiles.h"


int main()
{
    // Without a display there is nothing to show the manual in: said at once, before any work.
    if (!SessionNamesDisplay()) {
        ReportNoDisplay("Hilfe");
        return 1;
    }
    SetProgramFolderFromExecutable();
    WorkingFolder = UserCacheFolder();
    int found = CopyManualOut(ProgramFile("Hilfe"));
    if (!StartFormWindows()) {
        ReportNoDisplay("Hilfe");
        return 1;
    }
    if (!OpenViewerWindow()) {
        ShowMessageBox("FEHLER", L1("Das Hilfefenster konnte nicht geöffnet werden."), MessageOk);
        return 1;
    }
    ProcessFormEvents();
    if (!found)
        ShowMessageBox("FEHLER", L1("Das Handbuch konnte nicht aus dem Programm gelesen werden.\n"
                                    "Die Themen bleiben leer."), MessageOk);
    RunFormWindow();
    return 0;
}
