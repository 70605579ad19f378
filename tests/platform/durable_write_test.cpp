// A file written whole survives a power cut: its bytes reach the disk before its name moves
// over the old file, and the folder's new entry after. The test stands in for the C library's
// fsync and rename to see the order in which the writer asks for them.
#include "platform/files.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> Calls; // "fsync <path>", "rename <from> <to>", in order
bool Recording = false;

std::string PathOf(int fd)
{
    char target[4096];
    ssize_t n = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), target, sizeof target - 1);
    return n > 0 ? std::string(target, size_t(n)) : "?";
}

} // namespace

extern "C" int fsync(int fd)
{
    if (Recording) Calls.push_back("fsync " + PathOf(fd));
    return int(syscall(SYS_fsync, fd));
}

extern "C" int rename(const char* from, const char* to)
{
    if (Recording) Calls.push_back(std::string("rename ") + from + " " + to);
    return int(syscall(SYS_rename, from, to));
}

TEST(Files, AWriteReachesTheDiskBeforeItReplacesTheOldFile)
{
    TempFolder folder;
    ASSERT_EQ(MakeFolder("SAVE"), 1);
    ASSERT_EQ(WriteWholeFile("SAVE\\Spiel.sav", "alt"), 1);
    std::string final = ResolvePath("SAVE\\Spiel.sav");
    std::string temporary = final + ".schreiben";

    Calls.clear();
    Recording = true;
    int written = WriteWholeFile("SAVE\\Spiel.sav", "neu");
    Recording = false;
    ASSERT_EQ(written, 1);
    std::vector<std::string> expected = {"fsync " + temporary, "rename " + temporary + " " + final,
                                         "fsync " + final.substr(0, final.rfind('/'))};
    EXPECT_EQ(Calls, expected);
    std::string data;
    ASSERT_EQ(ReadWholeFile("SAVE\\Spiel.sav", data), 1);
    EXPECT_EQ(data, "neu");
}

TEST(Files, AFileLargerThanAskedIsNotRead)
{
    TempFolder folder;
    ASSERT_EQ(WriteWholeFile("gross.bin", std::string(1000, 'x')), 1);
    std::string data = "vorher";
    EXPECT_EQ(ReadWholeFile("gross.bin", data, 999), 0);
    EXPECT_TRUE(data.empty());
    EXPECT_EQ(ReadWholeFile("gross.bin", data, 1000), 1);
    EXPECT_EQ(data.size(), 1000u);
}
