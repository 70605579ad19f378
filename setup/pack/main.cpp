// setup/pack/main.cpp - korax_pack <program> <staged top folder> <overlay top folder> <output>
//
// Run by the build over the staged tree: writes the installer, the program with the package
// appended, and says in one line what went in and how long it took.
#include "setup/pack/packer.h"

#include <chrono>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: korax_pack <program> <staged top folder> <overlay top folder> <output>\n");
        return 2;
    }
    auto begin = std::chrono::steady_clock::now();
    if (!BuildInstaller(argv[1], argv[2], argv[3], argv[4])) {
        std::fprintf(stderr, "korax_pack: %s\n", PackError.c_str());
        return 1;
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::printf("korax_pack: %s: %d folders, %d files, package from byte %llu, %llu bytes%s, %.2f s\n", argv[4],
                LastPack.folders, LastPack.files, (unsigned long long)LastPack.start, (unsigned long long)LastPack.size,
                LastPack.written ? "" : " (unchanged)", seconds);
    return 0;
}
