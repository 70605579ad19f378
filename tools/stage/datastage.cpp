// tools/stage/datastage.cpp - datastage <data folder> <DATEN folder> <top folder>
//
// People write data/ in UTF-8 with plain line feeds; the game reads Latin-1 with CR LF. Text
// files (.txt, .info, .ini) are converted on the way into the staged tree, everything else is
// copied as it is. File and folder names keep their UTF-8 spelling on disk. Then, as the
// installer would, it records the top folder in DATEN/Installationsort.ini, so that the first
// start of a freshly built tree finds its generators.
#include "platform/install_record.h"
#include "platform/latin1.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

static int IsText(const fs::path& path)
{
    std::string extension = path.extension().string();
    for (char& c : extension) c = char(std::tolower((unsigned char)c));
    return extension == ".txt" || extension == ".info" || extension == ".ini";
}

// UTF-8 with LF or CR LF -> Latin-1 with CR LF.
static std::string GameText(const std::string& utf8)
{
    std::string latin1 = L1(utf8), out;
    out.reserve(latin1.size() + latin1.size() / 16);
    for (size_t i = 0; i < latin1.size(); i++) {
        if (latin1[i] == '\r') continue;
        if (latin1[i] == '\n') out += '\r';
        out += latin1[i];
    }
    return out;
}

static int WriteIfChanged(const fs::path& target, const std::string& bytes)
{
    std::ifstream existing(target, std::ios::binary);
    if (existing) {
        std::stringstream old;
        old << existing.rdbuf();
        if (old.str() == bytes) return 1;
    }
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << bytes;
    return bool(out);
}

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: datastage <data folder> <DATEN folder> <top folder>\n");
        return 2;
    }
    fs::path from = argv[1], to = argv[2];
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(from, error); it != fs::recursive_directory_iterator(); it.increment(error)) {
        const fs::directory_entry& entry = *it;
        fs::path relative = fs::relative(entry.path(), from);
        // The maps are written as text grids and become pictures through their own build step.
        if (relative == "maps") {
            it.disable_recursion_pending();
            continue;
        }
        fs::path target = to / relative;
        if (entry.is_directory()) {
            fs::create_directories(target, error);
            continue;
        }
        fs::create_directories(target.parent_path(), error);
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        std::string bytes = IsText(entry.path()) ? GameText(content.str()) : content.str();
        if (!WriteIfChanged(target, bytes)) {
            std::fprintf(stderr, "datastage: cannot write %s\n", target.c_str());
            return 1;
        }
    }
    if (error) {
        std::fprintf(stderr, "datastage: %s\n", error.message().c_str());
        return 1;
    }
    // Folders the game and the shadow maker expect, as the installer creates them.
    fs::create_directories(to / "SAVE", error);
    fs::create_directories(to / "BMP" / "O" / "Schatten", error);
    return WriteIfChanged(to / "Installationsort.ini", InstallationRecordFor(argv[3])) ? 0 : 1;
}
