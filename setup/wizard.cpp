// setup/wizard.cpp - the pages, the buttons and the installation step of the installer.
#include "setup/wizard.h"

#include "setup/installation.h"
#include "setup/logo.h"
#include "setup/package.h"

#include "platform/dialog.h"
#include "platform/files.h"
#include "platform/gtk_controls.h"
#include "platform/image.h"
#include "platform/install_files.h"
#include "platform/latin1.h"
#include "platform/session.h"

#include <cstdio>

std::string InstallFolder;

namespace {

enum SetupControl {
    Picture = 1,
    BackButton,
    NextButton,
    PageFrame,
    PageText,
    RequirementBox,
    FolderField,
    BrowseButton,
    StatusLine,
    ProgressBar
};

struct ControlPlace {
    int number; // SetupControl
    int kind;   // ControlKind
    int x, y, width, height;
};

// Every control's place in the 500 x 280 client area.
const ControlPlace Places[] = {
    {Picture, PictureControl, 10, 10, 128, 256},      {BackButton, ButtonControl, 155, 250, 90, 20},
    {NextButton, ButtonControl, 400, 250, 90, 20},    {PageFrame, FrameControl, 155, 10, 335, 230},
    {PageText, TextControl, 170, 40, 300, 190},       {RequirementBox, CheckControl, 170, 205, 300, 20},
    {FolderField, EditControl, 170, 200, 190, 20},    {BrowseButton, ButtonControl, 370, 200, 100, 20},
    {StatusLine, TextControl, 170, 160, 300, 20},     {ProgressBar, ProgressControl, 170, 200, 300, 20},
};

// The controls that each page hides and empties before it shows its own.
const int PageControls[] = {PageText, RequirementBox, FolderField, BrowseButton, StatusLine, ProgressBar};

enum Page { EndOfSetup, Foreword, Requirements, Location, Installation, Report };

// One of the two buttons as a page sets it.
struct ButtonState {
    const char* text; // UTF-8 literal
    int shown;
    int enabled;
};

int QuitRequested = 0; // set when the window was closed during the unpacking and the user said Yes

// The window shows each change at once.
void Changed() { ProcessWindowMessages(3); }

void SetButton(int button, const ButtonState& state)
{
    SetControlText(button, L1(state.text));
    Changed();
    ShowControl(button, state.shown);
    Changed();
    EnableControl(button, state.enabled);
    Changed();
}

void ShowWithText(int control, const std::string& text)
{
    SetControlText(control, text);
    Changed();
    ShowControl(control, 1);
    Changed();
}

// The common start of every page: buttons, frame title, then the page controls hidden and emptied.
void SetUpPage(const ButtonState& back, const ButtonState& next, const char* title)
{
    DropControlEvents();
    SetButton(BackButton, back);
    SetButton(NextButton, next);
    SetControlText(PageFrame, L1(title));
    Changed();
    for (int control : PageControls) {
        ShowControl(control, 0);
        Changed();
        SetControlText(control, "");
        Changed();
    }
}

int Clicked(const WindowEvent& event, int control) { return event.kind == ControlClicked && event.control == control; }

Page ForewordPage()
{
    SetUpPage({"", 0, 1}, {"Weiter", 1, 1}, " Vorwort ");
    ShowWithText(PageText, L1("Willkommen im Installationsprogramm\nvon KORAX 3050\n\n"
                              "Befolgen sie bitte die folgenden Anweisungen\n"
                              "und beachten sie die Hinweise zur Installation.\n\n"
                              "Klicken sie auf Weiter um mit der Installation\nvon KORAX 3050 zu beginnen."));
    FocusControl(NextButton);
    for (;;) {
        WindowEvent event = WaitWindowEvent();
        if (event.kind == WindowClosing) return EndOfSetup;
        if (Clicked(event, NextButton)) return Requirements;
    }
}

Page RequirementsPage()
{
    SetUpPage({"Zurück", 1, 1}, {"Weiter", 1, ControlChecked(RequirementBox)}, " Systemvoraussetzungen ");
    ShowWithText(PageText, L1("Windows  :  98/ME/2000/XP\nProcessor  :  1,5 GHz\nArbeitsspeicher  :  256 MB RAM\n"
                              "Festplatte  :  20 MB\nGrafikkarte  :  3D-Karte mit 64 MB + DirectX 7.0"));
    ShowWithText(RequirementBox, L1("Ja, mein Computer hat die Mindestanforderungen"));
    FocusControl(ControlChecked(RequirementBox) ? NextButton : RequirementBox);
    for (;;) {
        WindowEvent event = WaitWindowEvent();
        if (event.kind == WindowClosing) return EndOfSetup;
        if (Clicked(event, RequirementBox)) {
            EnableControl(NextButton, ControlChecked(RequirementBox));
            Changed();
        }
        if (Clicked(event, BackButton)) return Foreword;
        if (Clicked(event, NextButton) && ControlChecked(RequirementBox)) return Location;
    }
}

// "Weiter" on the location page: the folder gets its final separator, then must take a file.
int AcceptFolder()
{
    InstallFolder = WithFinalSeparator(AbsoluteFolder(InstallFolder));
    if (FolderTest(InstallFolder)) return 1;
    ShowMessageBox("FEHLER", L1("Der angegebene Ordner exestiert nicht, bitte anderen Ort wählen!"), MessageOk);
    return 0;
}

Page LocationPage()
{
    SetUpPage({"Zurück", 1, 1}, {"Weiter", 1, 1}, " Installationsort ");
    ShowWithText(PageText, L1("Bitte geben sie den Installationsort\nfür den Ordner KORAX 3050 an:"));
    SetControlPathText(FolderField, InstallFolder);
    ShowWithText(BrowseButton, "Durchsuchen");
    ShowControl(FolderField, 1);
    FocusControl(NextButton);
    Changed();
    for (;;) {
        WindowEvent event = WaitWindowEvent();
        if (event.kind == WindowClosing) return EndOfSetup;
        if (event.kind == ControlChanged && event.control == FolderField) InstallFolder = ControlPathText(FolderField);
        std::string chosen;
        if (Clicked(event, BrowseButton) && ChooseFolder("Installationsort", BrowseStart(InstallFolder), chosen)) {
            InstallFolder = chosen;
            SetControlPathText(FolderField, chosen);
            Changed();
        }
        if (Clicked(event, BackButton)) return Requirements;
        if (Clicked(event, NextButton) && AcceptFolder()) return Installation;
    }
}

int ReallyCancel()
{
    return ShowMessageBox("ACHTUNG",
                          L1("Wenn sie jetzt abbrechen, ist die Installation nicht\n"
                             "abgeschlossen und sie könnne KORAX 3050 nicht starten!\n\nWirklich abbrechen ?"),
                          MessageYesNo);
}

// Before every line the reader reads: the bar moves, and what the user did is answered.
int OnUnpackProgress(int progress)
{
    SetControlProgress(ProgressBar, progress, ProgressRange);
    Changed();
    for (WindowEvent event = TakeWindowEvent(); event.kind != NoWindowEvent; event = TakeWindowEvent()) {
        if (event.kind == WindowClosing && ReallyCancel()) {
            QuitRequested = 1;
            return 0;
        }
        if (Clicked(event, BackButton) && ReallyCancel()) return 0;
    }
    return 1;
}

void OnUnpackFile(const std::string& path)
{
    SetControlText(StatusLine, path);
    Changed();
}

// What the installation achieved besides the files, for the report page.
int ShadowsMade = 0;
int MenuEntriesMade = 0;

// The installer's logo, decoded once: the window's picture and the menu entries' icons.
Image Logo;

// "Start": unpack, record the folder, the font, the menu entries, the note, the shadows.
Page Install()
{
    SetButton(BackButton, {"Abbrechen", 1, 1});
    ShowControl(NextButton, 0);
    Changed();
    UnpackProgressHook = OnUnpackProgress;
    UnpackFileHook = OnUnpackFile;
    UnpackInstaller(OwnProgramPath(), InstallFolder);
    UnpackProgressHook = nullptr;
    UnpackFileHook = nullptr;
    if (QuitRequested) return EndOfSetup;
    if (LastUnpack.stopped) return Location;
    WriteInstallationRecord(InstallFolder);
    MakeGameFontKnown(InstallFolder);
    MenuEntriesMade = LastUnpack.found && AddMenuEntries(InstallFolder, Logo);
    std::string failures = UnpackFailureNote();
    if (!failures.empty()) ShowMessageBox("FEHLER", failures, MessageOk);
    ShowMessageBox("HINWEIS",
                   L1("Da sie zum ersten mal des Programm starten,\n"
                      "müssen zuerst einige Grafiken erstellt werden.\n"
                      "Dieser Vorgang kann 1-2 min dauern.\n"
                      "Der Bildschirm wird dabei Schwarz bleiben,\n"
                      "bitte den Vorgang nicht unterbrechen."),
                   MessageOk);
    ShadowsMade = RunShadowMaker(InstallFolder);
    return Report;
}

Page InstallationPage()
{
    SetUpPage({"Zurück", 1, 1}, {"Start", 1, 1}, " Installation ");
    ShowWithText(PageText, "Bitte klicken sie auf Start\num die Installation zu starten.");
    SetControlPathText(StatusLine, InstallFolder);
    ShowControl(StatusLine, 1);
    SetControlProgress(ProgressBar, 0, ProgressRange);
    ShowWithText(ProgressBar, "");
    FocusControl(NextButton);
    for (;;) {
        WindowEvent event = WaitWindowEvent();
        if (event.kind == WindowClosing) return EndOfSetup;
        if (Clicked(event, BackButton)) return Location;
        if (Clicked(event, NextButton)) return Install();
    }
}

Page ReportPage()
{
    SetUpPage({"", 0, 1}, {"Fertig", 1, 1}, " Installationsbericht ");
    ShowWithText(PageText, ReportText(ShadowsMade, MenuEntriesMade));
    FocusControl(NextButton);
    for (;;) {
        WindowEvent event = WaitWindowEvent();
        if (event.kind == WindowClosing) return EndOfSetup;
        if (Clicked(event, NextButton)) {
            StartLauncher(InstallFolder);
            return EndOfSetup;
        }
    }
}

Page RunPage(Page page)
{
    switch (page) {
    case Foreword: return ForewordPage();
    case Requirements: return RequirementsPage();
    case Location: return LocationPage();
    case Installation: return InstallationPage();
    case Report: return ReportPage();
    case EndOfSetup: break;
    }
    return EndOfSetup;
}

// The window at the middle of the screen with every control in place, all page controls hidden.
int OpenSetupWindow()
{
    int x = DesktopWidth() / 2 - 250, y = DesktopHeight() / 2 - 150;
    if (!OpenControlWindow("KORAX 3050 - Installation", 500, 280, x, y)) return 0;
    SetControlFont("Arial Fett", 8);
    for (const ControlPlace& place : Places) AddControl(place.number, place.kind, place.x, place.y, place.width, place.height);
    if (DecodeBmp(SetupLogo, SetupLogoSize, Logo)) SetControlPicture(Picture, Logo);
    // Return presses "Weiter" from the first page on, as the buttons' own focus does with Space.
    SetDefaultControl(NextButton);
    ShowControl(Picture, 1);
    ShowControl(PageFrame, 1);
    Changed();
    return 1;
}

} // namespace

int RunSetup()
{
    // The installer works in its own folder, as it finds its package in its own file.
    if (SetProgramFolderFromExecutable()) EnterFolder(ProgramFolder);
    if (!SessionNamesDisplay() || !StartControlWindows()) {
        ReportNoDisplay("setup");
        return 1;
    }
    InstallFolder = UserHomeFolder();
    if (!OpenSetupWindow()) return 1;
    for (Page page = Foreword; page != EndOfSetup;) page = RunPage(page);
    CloseControlWindow();
    return 0;
}
