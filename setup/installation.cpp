// setup/installation.cpp - unpacking, the installation record, the font and the programs.
#include "setup/installation.h"

#include "setup/package.h"

#include "help/viewer.h"

#include "platform/files.h"
#include "platform/install_files.h"
#include "platform/install_record.h"
#include "platform/latin1.h"
#include "platform/process.h"
#include "platform/user_font.h"

#include <cerrno>
#include <cstdio>

std::string InstallerFileName() { return ProgramFile("setup"); }

int UnpackInstaller(const std::string& installerPath, const std::string& installFolder)
{
    LastUnpack = UnpackReport{};
    size_t slash = installerPath.rfind('/');
    std::string name = slash == std::string::npos ? installerPath : installerPath.substr(slash + 1);
    if (name != InstallerFileName()) return 0;
    std::FILE* installer = std::fopen(installerPath.c_str(), "rb");
    if (!installer) return 0;
    int read = UnpackPackage(installer, installFolder);
    std::fclose(installer);
    return read;
}

std::string FailureReason(int error)
{
    switch (error) {
    case RefusedPath: return L1("der Pfad im Installationspaket ist unzulässig");
    case PackageCutShort: return L1("das Installationspaket endet vorzeitig");
    case EACCES:
    case EPERM: return "keine Schreibberechtigung";
    case ENOSPC:
    case EDQUOT: return L1("kein Platz mehr auf dem Datenträger");
    case EROFS: return L1("der Datenträger ist schreibgeschützt");
    case ELOOP: return L1("ein Verweis (Link) steht an seiner Stelle");
    case EISDIR: return "ein Ordner gleichen Namens steht im Weg";
    case EEXIST: return "eine Datei gleichen Namens steht im Weg";
    case ENOENT: return "der Ordner dazu fehlt";
    case ENOTDIR: return "ein Teil des Pfades ist kein Ordner";
    case ENAMETOOLONG: return "der Name ist zu lang";
    case EIO: return L1("Schreibfehler des Datenträgers");
    default: return "Systemfehler " + std::to_string(error);
    }
}

static std::string FilesCount(int count)
{
    return count == 1 ? std::string("1 Datei konnte") : std::to_string(count) + " Dateien konnten";
}

std::string UnpackFailureNote()
{
    if (!LastUnpack.found) return L1("Das Installationspaket wurde nicht gefunden,\nes wurden keine Dateien installiert.");
    if (LastUnpack.failed == 0) return "";
    std::string note = FilesCount(LastUnpack.failed) + " nicht geschrieben werden:\n";
    for (const UnpackFailure& failure : LastUnpack.failures) note += failure.path + ": " + FailureReason(failure.error) + "\n";
    int unnamed = LastUnpack.failed - int(LastUnpack.failures.size());
    if (unnamed > 0) note += "... und " + std::to_string(unnamed) + " weitere.\n";
    if (LastUnpack.cutShort) note += L1("Das Installationspaket ist unvollständig.\n");
    return note + L1("Die Installation ist nicht vollständig.");
}

std::string ReportText(int shadowsMade, int menuEntriesMade)
{
    if (!LastUnpack.found) return L1("KORAX 3050 wurde nicht installiert:\ndas Installationspaket wurde nicht gefunden.");
    if (LastUnpack.failed > 0)
        return L1("KORAX 3050 wurde nicht vollständig installiert:\n") + FilesCount(LastUnpack.failed) +
               L1(" nicht geschrieben werden.\n\nBitte beheben sie die Ursache und\ninstallieren sie erneut.");
    std::string text = "KORAX 3050 wurde erfolgreich installiert.";
    if (!shadowsMade) text += "\n\nDie Schattenbilder konnten nicht erstellt werden;\ndas Spiel erstellt sie bei seinem ersten Start.";
    if (!menuEntriesMade) text += L1("\n\nDer Eintrag im Anwendungsmenü konnte nicht\nangelegt werden.");
    return text;
}

std::string WithFinalSeparator(const std::string& folder)
{
    if (folder.empty() || folder.back() == '/') return folder;
    return folder + "/";
}

std::string AbsoluteFolder(const std::string& folder)
{
    if (folder.empty() || folder[0] == '/') return folder;
    return CurrentFolder() + folder;
}

std::string BrowseStart(const std::string& folder)
{
    std::string start = AbsoluteFolder(folder);
    while (!start.empty() && !OsFolderExists(start)) {
        while (!start.empty() && start.back() == '/') start.pop_back();
        size_t slash = start.rfind('/');
        start = slash == std::string::npos ? "" : start.substr(0, slash + 1);
    }
    return start.empty() ? UserHomeFolder() : start;
}

int FolderTest(const std::string& installFolder) { return FolderTakesNewFile(installFolder, "Ordner_Test"); }

// The game's top folder below the install folder, as an OS path ending in '/'.
static std::string TopFolder(const std::string& installFolder)
{
    return WithFinalSeparator(installFolder) + PackageTopFolder + "/";
}

std::string InstallationRecord(const std::string& installFolder) { return InstallationRecordFor(TopFolder(installFolder)); }

int WriteInstallationRecord(const std::string& installFolder)
{
    std::string record = InstallationRecord(installFolder);
    FileBelow file;
    CreateFileBelow(installFolder, {PackageTopFolder, "DATEN", "Installationsort.ini"}, 0, file);
    WriteFileBelow(file, record.data(), record.size());
    if (CloseFileBelow(file)) return 1;
    NoteUnpackFailure(std::string(PackageTopFolder) + "\\DATEN\\Installationsort.ini", file.error);
    return 0;
}

int MakeGameFontKnown(const std::string& installFolder)
{
    return InstallUserFont(ResolvePathFrom(TopFolder(installFolder), "DATEN\\TXT\\Omiczp__.ttf"));
}

void GameIcon(const Image& logo, Image& icon)
{
    // The sun above the title's first line: the logo's square from 48 pixels down.
    const int side = 128, top = 48;
    MakeImage(icon, side, side, PackColour(0, 0, 0));
    if (logo.width < side || logo.height < top + side) return;
    for (int y = 0; y < side; y++)
        for (int x = 0; x < side; x++) icon.pixels[size_t(y * side + x)] = logo.pixels[size_t((top + y) * logo.width + x)];
}

void HelpIcon(const Image& logo, Image& icon)
{
    GameIcon(logo, icon);
    Image book;
    BranchIcon(book);
    // The book three times its size in the lower right corner, its transparent pixels left out.
    const int scale = 3, left = icon.width - 16 * scale - 4, top = icon.height - 16 * scale - 4;
    for (int y = 0; y < 16 * scale; y++)
        for (int x = 0; x < 16 * scale; x++) {
            uint32_t colour = book.pixels[size_t((y / scale) * 16 + x / scale)];
            if (ColourAlpha(colour) > 0) icon.pixels[size_t((top + y) * icon.width + left + x)] = colour;
        }
}

MenuEntry LauncherMenuEntry(const std::string& installFolder)
{
    MenuEntry entry;
    entry.id = "korax3050";
    entry.name = "KORAX 3050";
    entry.genericName = "Echtzeit-Strategiespiel";
    entry.comment = "Basen bauen, Spice ernten und die Wüste erobern";
    entry.folder = TopFolder(installFolder);
    entry.program = ResolvePathFrom(entry.folder, ProgramFile("Launch"));
    entry.keywords = "Strategie;Echtzeit;Wüste;Spice;";
    return entry;
}

MenuEntry HelpMenuEntry(const std::string& installFolder)
{
    MenuEntry entry;
    entry.id = "korax3050-hilfe";
    entry.name = "KORAX 3050 Hilfe";
    entry.genericName = "Handbuch";
    entry.comment = "Das Handbuch von KORAX 3050 mit Themen und Suche";
    entry.folder = ResolvePathFrom(TopFolder(installFolder), "DATEN") + "/";
    entry.program = ResolvePathFrom(entry.folder, ProgramFile("Hilfe"));
    entry.windowClass = ProgramFile("Hilfe");
    entry.keywords = "Hilfe;Handbuch;Anleitung;";
    return entry;
}

int AddMenuEntries(const std::string& installFolder, const Image& logo)
{
    Image game, help;
    GameIcon(logo, game);
    HelpIcon(logo, help);
    int launcher = InstallMenuEntry(LauncherMenuEntry(installFolder), game);
    return InstallMenuEntry(HelpMenuEntry(installFolder), help) && launcher;
}

int RunShadowMaker(const std::string& installFolder)
{
    return StartProgramBelow(TopFolder(installFolder), "DATEN\\BMP\\O\\" + ProgramFile("terrashade"), 1);
}

int StartLauncher(const std::string& installFolder)
{
    return StartProgramBelow(TopFolder(installFolder), ProgramFile("Launch"), 0);
}
