// Fuzzes the reading of Installationsort.ini: any bytes give a usable top folder or none.
#include "platform/install_record.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string root = TopFolderFromRecord(std::string((const char*)data, size));
    if (root.empty()) return 0;
    // Two bytes per Latin-1 letter at most, and the final separator.
    if (root.size() > 2 * 4096 + 1 || root.back() != '/') abort();
    for (unsigned char c : root)
        if (c < 32) abort();
    // The record written for that folder reads back as the same folder.
    if (root[0] == '/' && TopFolderFromRecord(InstallationRecordFor(root)) != root) abort();
    return 0;
}
