// Fuzzes the launcher's reading of Installationsort.ini: any bytes give a usable root or none.
#include "launch/launcher.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string root = RootFromRecord(std::string((const char*)data, size));
    if (root.empty()) return 0;
    if (root.size() > 4097 || (root.back() != '\\' && root.back() != '/')) abort();
    for (unsigned char c : root)
        if (c < 32) abort();
    return 0;
}
