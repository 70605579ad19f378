// Fuzzes the configuration reader: any bytes must read without a crash and write back.
#include "game/base/config.h"
#include "platform/files.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static std::string folder;
    if (folder.empty()) {
        char pattern[] = "/tmp/korax-fuzz-config-XXXXXX";
        folder = mkdtemp(pattern) ? pattern : "/tmp";
        SetProgramFolder(folder);
    }
    SetConfigurationDefaults();
    ReadConfigurationText(std::string((const char*)data, size));
    // Whatever was read is written back and must read again the same.
    if (!WriteConfiguration()) abort();
    int resolution = ResolutionIndex, frameSkip = FrameSkipSetting;
    std::string name = PlayerName;
    SetConfigurationDefaults();
    ReadConfiguration();
    if (ResolutionIndex != resolution || FrameSkipSetting != frameSkip || PlayerName != name) abort();
    return 0;
}
