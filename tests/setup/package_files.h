// tests/setup/package_files.h - installers made in a test, and what unpacking left on disk.
#pragma once

#include "setup/pack/packer.h"
#include "setup/package.h"

#include "platform/files.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

// A fresh folder with a destination "Ziel/" inside it; anything that turns up in the folder
// beside "Ziel" and the test's own files was written outside the destination.
struct Sandbox {
    std::string root;        // OS path, ends in '/'
    std::string destination; // root + "Ziel/"

    Sandbox()
    {
        char pattern[] = "/tmp/korax-setup-test-XXXXXX";
        char* made = mkdtemp(pattern);
        root = std::string(made ? made : "/tmp") + "/";
        destination = root + "Ziel/";
        std::filesystem::create_directory(destination);
    }
    ~Sandbox() { std::filesystem::remove_all(root); }
};

// The bytes of an installer: a stand-in program image, zero filler, the entries, the trailer.
inline std::string InstallerBytes(const std::string& entries, size_t imageSize = 100)
{
    std::string installer(imageSize, 'P');
    installer.append(7, '\0');
    uint32_t start = uint32_t(installer.size());
    installer += entries;
    AppendTrailer(installer, start);
    return installer;
}

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Unpacks installer bytes (from a file beside the destination) into the sandbox's destination.
inline int UnpackBytes(const Sandbox& sandbox, const std::string& installer)
{
    std::string path = sandbox.root + "paket.bin";
    WriteBytes(path, installer);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    int read = UnpackPackage(file, sandbox.destination);
    if (file) std::fclose(file);
    std::filesystem::remove(path);
    return read;
}

// Every entry below a folder, not following links: relative path -> contents; folders end in
// '/' and hold "", links hold "-> target".
inline std::map<std::string, std::string> TreeOf(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::map<std::string, std::string> tree;
    for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator(); ++it) {
        std::string relative = fs::relative(it->path(), folder).string();
        if (it->is_symlink()) tree[relative] = "-> " + fs::read_symlink(it->path()).string();
        else if (it->is_directory()) tree[relative + "/"] = "";
        else tree[relative] = ReadBytes(it->path().string());
    }
    return tree;
}
