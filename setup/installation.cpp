// setup/installation.cpp - unpacking, the installation record, the font and the programs.
#include "setup/installation.h"

#include "setup/package.h"

#include "platform/files.h"
#include "platform/install_files.h"
#include "platform/latin1.h"
#include "platform/process.h"
#include "platform/user_font.h"

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
    int read = UnpackPackage(installer, ToUtf8(installFolder));
    std::fclose(installer);
    return read;
}

std::string UnpackFailureNote(int recordWritten)
{
    if (!LastUnpack.found) return L1("Das Installationspaket wurde nicht gefunden,\nes wurden keine Dateien installiert.");
    int failed = LastUnpack.failed + (recordWritten ? 0 : 1);
    if (failed == 0) return "";
    std::string note = failed == 1 ? std::string("1 Datei konnte nicht geschrieben werden.")
                                   : std::to_string(failed) + " Dateien konnten nicht geschrieben werden.";
    if (LastUnpack.cutShort) note += L1("\nDas Installationspaket ist unvollständig.");
    return note;
}

std::string WithFinalSeparator(const std::string& folder)
{
    if (folder.empty() || folder.back() == '/') return folder;
    return folder + "/";
}

std::string AbsoluteFolder(const std::string& folder)
{
    if (folder.empty() || folder[0] == '/') return folder;
    return L1(CurrentFolder()) + folder;
}

int FolderTest(const std::string& installFolder) { return FolderTakesNewFile(ToUtf8(installFolder), "Ordner_Test"); }

// The game's top folder below the install folder, as a Latin-1 OS path ending in '/'.
static std::string TopFolder(const std::string& installFolder)
{
    return WithFinalSeparator(installFolder) + PackageTopFolder + "/";
}

std::string InstallationRecord(const std::string& installFolder)
{
    std::string line = TopFolder(installFolder);
    for (char& c : line)
        if (c == '/') c = '\\';
    return line + "\r\n";
}

int WriteInstallationRecord(const std::string& installFolder)
{
    std::string record = InstallationRecord(installFolder);
    FileBelow file;
    CreateFileBelow(ToUtf8(installFolder), {PackageTopFolder, "DATEN", "Installationsort.ini"}, 0, file);
    WriteFileBelow(file, record.data(), record.size());
    return CloseFileBelow(file);
}

int MakeGameFontKnown(const std::string& installFolder)
{
    std::string font = ResolvePath(TopFolder(installFolder) + "DATEN\\TXT\\Omiczp__.ttf");
    return InstallUserFont(font);
}

int RunShadowMaker(const std::string& installFolder)
{
    return StartProgram(TopFolder(installFolder) + "DATEN\\BMP\\O\\" + ProgramFile("terrashade"), 1);
}

int StartLauncher(const std::string& installFolder)
{
    return StartProgram(TopFolder(installFolder) + ProgramFile("Launch"), 0);
}
