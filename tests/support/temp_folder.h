// tests/support/temp_folder.h - a fresh program folder for one test, removed afterwards.
#pragma once

#include "platform/files.h"

#include <cstdlib>
#include <string>

struct TempFolder {
    std::string path; // OS path, ends in '/'

    TempFolder()
    {
        char pattern[] = "/tmp/korax-test-XXXXXX";
        char* made = mkdtemp(pattern);
        path = std::string(made ? made : "/tmp") + "/";
        SetProgramFolder(path);
    }
    ~TempFolder() { RemoveFolder(path); }
};
