// tests/support/shipped_data.h - copies the tables we ship into a test's program folder, in
// the form the game reads them (Latin-1, CR LF).
#pragma once

#include "platform/files.h"
#include "platform/latin1.h"

#include <fstream>
#include <sstream>
#include <string>

// 1 when data/TXT/<name> was installed as TXT\<name>.
inline int InstallShippedTable(const std::string& name)
{
    std::ifstream in(std::string(KORAX_SOURCE_DATA) + "/TXT/" + name, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    if (content.str().empty()) return 0;
    std::string out;
    for (const std::string& line : SplitLines(L1(content.str()))) AppendLine(out, line);
    MakeFolder("TXT");
    return WriteWholeFile("TXT\\" + name, out);
}
