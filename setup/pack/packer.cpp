// setup/pack/packer.cpp - the staged tree walked in package order and written in the package layout.
#include "setup/pack/packer.h"

#include "setup/package.h"
#include "tools/texgen/texgen.h"

#include "platform/files.h"
#include "platform/latin1.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

std::string PackError;
PackSummary LastPack;

namespace {

// What appears in the staged tree only after installing, by folder and name pattern (both
// ignoring case). The generated tiles are added by name from the texture list.
struct LeftOut {
    const char* folder;  // below the top folder, '/' between names
    const char* pattern; // '*' and '?'
};
const LeftOut LeftOutFiles[] = {
    {"DATEN", "Installationsort.ini"},     // the installer writes it for the folder it installs into
    {"DATEN/BMP/O/Schatten", "*"},         // the shadow maker's hourly shadows
    {"DATEN/BMP/O", "*_Schatten_??.bmp"}, // the single-building shadow maker's, when run by hand
    {"DATEN/SAVE", "*"},                   // saved games
    {"DATEN", "Bild*.bmp"},                // screenshots
    {"DATEN", "_Konfigurationen.ini"},     // the configuration's scratch file
    {"*", "*.schreiben"},                  // a write of WriteWholeFile caught half-way
};

void AppendHeaderLine(std::string& out, const std::string& line)
{
    out += line;
    out += "\r\n";
}

void AppendEntryPrefix(std::string& out)
{
    AppendHeaderLine(out, " ");
    AppendHeaderLine(out, SeparatorLine);
}

// Case-blind order of Latin-1 names, ties broken by the bytes, so the order never depends on
// how the file system lists a folder.
bool PackageOrder(const std::string& a, const std::string& b)
{
    int cmp = 0;
    for (size_t i = 0; i < a.size() && i < b.size() && cmp == 0; i++)
        cmp = int(FoldCase((unsigned char)a[i])) - int(FoldCase((unsigned char)b[i]));
    if (cmp != 0) return cmp < 0;
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

std::string FolderPart(const std::string& relative)
{
    size_t slash = relative.rfind('/');
    return slash == std::string::npos ? "" : relative.substr(0, slash);
}

std::string NamePart(const std::string& relative)
{
    size_t slash = relative.rfind('/');
    return slash == std::string::npos ? relative : relative.substr(slash + 1);
}

// A name the reader would refuse or the package cannot spell is an error of the build.
int CheckName(const std::string& utf8, const fs::path& where)
{
    std::string name = L1(utf8);
    int bad = !FitsLatin1(utf8) || name.find('\\') != std::string::npos;
    for (unsigned char c : name) bad = bad || c < 0x20 || c == 0x7F;
    if (bad) PackError = "cannot pack the name of " + where.string();
    return !bad;
}

struct Walk {
    const std::vector<std::string>* tileNames;
    fs::path overlay;
    std::vector<PackItem>* items;
};

int WalkFolder(Walk& walk, const fs::path& folder, const std::string& relative, const std::string& packagePath)
{
    std::error_code error;
    std::vector<std::pair<std::string, fs::path>> children; // Latin-1 name, OS path
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        std::string name = entry.path().filename().string();
        if (!CheckName(name, entry.path())) return 0;
        children.push_back({L1(name), entry.path()});
    }
    if (error) {
        PackError = "cannot list " + folder.string() + ": " + error.message();
        return 0;
    }
    std::sort(children.begin(), children.end(), [](const auto& a, const auto& b) { return PackageOrder(a.first, b.first); });
    for (const auto& [name, path] : children) {
        std::string childRelative = relative.empty() ? ToUtf8(name) : relative + "/" + ToUtf8(name);
        std::string childPath = packagePath + "\\" + name;
        if (childPath.size() > size_t(MaxEntryPath)) {
            PackError = "path too long for the package: " + path.string();
            return 0;
        }
        fs::file_status status = fs::symlink_status(path, error);
        if (fs::is_symlink(status) || (!fs::is_directory(status) && !fs::is_regular_file(status))) {
            PackError = "neither a file nor a folder: " + path.string();
            return 0;
        }
        if (fs::is_directory(status)) {
            walk.items->push_back({childPath, "", 1});
            if (!WalkFolder(walk, path, childRelative, childPath)) return 0;
        } else if (!MadeAfterInstalling(childRelative, *walk.tileNames)) {
            fs::path fresh = walk.overlay.empty() ? fs::path() : walk.overlay / childRelative;
            int fromOverlay = !fresh.empty() && fs::is_regular_file(fs::symlink_status(fresh, error));
            walk.items->push_back({childPath, (fromOverlay ? fresh : path).string(), 0});
        }
    }
    return 1;
}

int ReadFileBytes(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return 0;
    std::ostringstream content;
    content << in.rdbuf();
    bytes = content.str();
    return !in.bad();
}

} // namespace

void AppendFolderEntry(std::string& out, const std::string& path)
{
    AppendEntryPrefix(out);
    AppendHeaderLine(out, FolderLabel + path);
    AppendHeaderLine(out, SeparatorLine);
}

void AppendFileEntry(std::string& out, const std::string& path, const std::string& bytes)
{
    AppendEntryPrefix(out);
    AppendHeaderLine(out, FileLabel + path);
    AppendHeaderLine(out, LengthLabel + std::to_string(bytes.size()));
    AppendHeaderLine(out, SeparatorLine);
    out += bytes;
}

void AppendTrailer(std::string& out, uint32_t start)
{
    AppendEntryPrefix(out);
    out += TrailerLabel;
    for (int i = 0; i < 4; i++) out += char((start >> (8 * i)) & 0xFF);
}

int MadeAfterInstalling(const std::string& relative, const std::vector<std::string>& tileNames)
{
    std::string folder = L1(FolderPart(relative)), name = L1(NamePart(relative));
    for (const LeftOut& rule : LeftOutFiles)
        if (WildcardMatch(rule.folder, folder) && WildcardMatch(rule.pattern, name)) return 1;
    if (SameIgnoringCase(folder, "DATEN/BMP/B"))
        for (const std::string& tile : tileNames)
            if (SameIgnoringCase(tile, name)) return 1;
    return 0;
}

std::vector<std::string> GeneratedTileNames(const std::string& stagedTop)
{
    std::vector<std::string> names;
    std::string list;
    if (!ReadFileBytes((fs::path(stagedTop) / "DATEN" / "BMP" / "B" / "TEX.txt").string(), list)) return names;
    ReadTexList(list);
    for (const TexturePair& pair : TexturePairs)
        for (int i = 0; i < TilesPerPair; i++) names.push_back(TileFileName(pair, i));
    return names;
}

int CollectPackItems(const std::string& stagedTop, const std::string& overlayTop, std::vector<PackItem>& items)
{
    items.clear();
    PackError.clear();
    std::error_code error;
    if (!fs::is_directory(fs::symlink_status(stagedTop, error))) {
        PackError = "no staged tree at " + stagedTop;
        return 0;
    }
    std::vector<std::string> tileNames = GeneratedTileNames(stagedTop);
    Walk walk{&tileNames, overlayTop.empty() ? fs::path() : fs::path(overlayTop), &items};
    items.push_back({PackageTopFolder, "", 1});
    return WalkFolder(walk, stagedTop, "", PackageTopFolder);
}

int AppendPackage(std::string& installer, const std::vector<PackItem>& items)
{
    uint64_t start = installer.size();
    std::string bytes;
    for (const PackItem& item : items) {
        if (item.folder) {
            AppendFolderEntry(installer, item.path);
            continue;
        }
        if (!ReadFileBytes(item.source, bytes)) {
            PackError = "cannot read " + item.source;
            return 0;
        }
        AppendFileEntry(installer, item.path, bytes);
    }
    AppendTrailer(installer, uint32_t(start));
    if (start > UINT32_MAX || installer.size() > UINT32_MAX) {
        PackError = "the installer would pass 4 GiB, which its start offset cannot reach";
        return 0;
    }
    return 1;
}

int BuildInstaller(const std::string& program, const std::string& stagedTop, const std::string& overlayTop,
                   const std::string& output)
{
    LastPack = PackSummary{};
    std::string installer, old;
    if (!ReadFileBytes(program, installer)) {
        PackError = "cannot read the program " + program;
        return 0;
    }
    // Zero filler up to a 16-byte boundary, so the package starts on a round offset.
    installer.append((16 - installer.size() % 16) % 16, '\0');
    std::vector<PackItem> items;
    if (!CollectPackItems(stagedTop, overlayTop, items)) return 0;
    LastPack.start = installer.size();
    if (!AppendPackage(installer, items)) return 0;
    for (const PackItem& item : items) (item.folder ? LastPack.folders : LastPack.files)++;
    LastPack.size = installer.size();
    if (ReadFileBytes(output, old) && old == installer) return 1;
    std::string temporary = output + ".neu";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(installer.data(), std::streamsize(installer.size()));
        if (!out.flush()) {
            PackError = "cannot write " + temporary;
            return 0;
        }
    }
    std::error_code error;
    fs::permissions(temporary, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                   fs::perms::others_read | fs::perms::others_exec, error);
    fs::rename(temporary, output, error);
    if (error) {
        PackError = "cannot put the installer at " + output + ": " + error.message();
        fs::remove(temporary, error);
        return 0;
    }
    LastPack.written = 1;
    return 1;
}
