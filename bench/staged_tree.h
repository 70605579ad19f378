// bench/staged_tree.h - a copy of the staged tree after its first start, made once per run.
#pragma once

#include "platform/files.h"
#include "platform/process.h"

#include <cstdlib>
#include <filesystem>
#include <string>

inline std::string PreparedTree()
{
    static std::string tree;
    if (!tree.empty()) return tree;
    char pattern[] = "/tmp/korax-bench-XXXXXX";
    tree = std::string(mkdtemp(pattern)) + "/DATEN";
    std::filesystem::copy(KORAX_STAGED_DATEN, tree, std::filesystem::copy_options::recursive);
    SetProgramFolder(tree);
    StartProgram("BMP\\B\\" + ProgramFile("texgen"), 1);
    StartProgram("BMP\\O\\" + ProgramFile("terrashade"), 1);
    return tree;
}
