// fuzz/fuzz_package.cpp - the installer's package reader on any installer file: whatever the
// bytes say, it ends, and nothing appears outside the destination folder.
#include "setup/package.h"

#include "platform/files.h"

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <sys/stat.h>

static std::string Root;        // a folder of its own for this run, ends in '/'
static std::string Destination; // Root + "Ziel/"

static void RemoveRoot() { RemoveFolder(Root); }

static void Prepare()
{
    char pattern[] = "/tmp/korax-fuzz-package-XXXXXX";
    Root = std::string(mkdtemp(pattern)) + "/";
    Destination = Root + "Ziel/";
    std::atexit(RemoveRoot);
}

// 1 when the root holds nothing but the destination.
static int NothingBesideTheDestination()
{
    DIR* dir = opendir(Root.c_str());
    if (!dir) return 0;
    int clean = 1;
    while (struct dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != ".." && name != "Ziel") clean = 0;
    }
    closedir(dir);
    return clean;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (Root.empty()) Prepare();
    mkdir(Destination.c_str(), 0755);
    std::FILE* installer = size ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : nullptr;
    UnpackPackage(installer, Destination);
    if (installer) std::fclose(installer);
    if (!NothingBesideTheDestination()) std::abort();
    RemoveFolder(Destination);
    return 0;
}
