// The viewer's working files: the copy of the manual out of the program file, the pages it
// writes, and the search's length check.
#include "help/document.h"
#include "help/viewer.h"
#include "platform/files.h"
#include "platform/userfiles.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace std::string_literals;

// A program folder holding a "Hilfe" program file, and a working folder beside it.
struct ViewerFolders {
    TempFolder folder;
    ViewerFolders()
    {
        MakeFolder("cache");
        WorkingFolder = folder.path + "cache/";
        LastSearchWord.clear();
    }
    std::string Working(const char* name)
    {
        std::string bytes;
        ReadOsFile(WorkingFolder + name, bytes);
        return bytes;
    }
};

static const std::string Manual =
    "<html>\r\n<body>\r\n[-Panzer-]\r\n<p>Der Panzer</p>\r\n]-Panzer-[\r\n[-Sand-]\r\n<p>K\xF6rner</p>\r\n]-Sand-[\r\n</html>\r\n";

TEST(WorkingFiles, ASecondStartRewritesTheCopyIdentically)
{
    ViewerFolders folders;
    ASSERT_EQ(WriteWholeFile("Hilfe", "\x7F" "ELF\0\0code\r\n"s + Manual + "\0tail"s), 1);
    ASSERT_EQ(CopyManualOut("Hilfe"), 1);
    std::string first = folders.Working(WorkingDocumentName);
    EXPECT_EQ(first, Manual);
    ASSERT_EQ(WriteOsFile(WorkingFolder + WorkingDocumentName, "vom Leser verändert"), 1);
    ASSERT_EQ(CopyManualOut("Hilfe"), 1);
    EXPECT_EQ(folders.Working(WorkingDocumentName), first);
}

TEST(WorkingFiles, AProgramWithoutAManualLeavesAnEmptyCopy)
{
    ViewerFolders folders;
    ASSERT_EQ(WriteOsFile(WorkingFolder + WorkingDocumentName, Manual), 1);
    ASSERT_EQ(WriteWholeFile("Hilfe", "<html>\r\n[-Panzer-]\r\nohne Ende\r\n"), 1);
    EXPECT_EQ(CopyManualOut("Hilfe"), 0);
    EXPECT_EQ(folders.Working(WorkingDocumentName), "") << "an older copy is not shown as if it were this program's";
    EXPECT_EQ(CopyManualOut("fehlt"), 0);
    std::vector<std::string> results;
    ASSERT_EQ(SearchManual("Panzer", results), 1);
    EXPECT_EQ(results, std::vector<std::string>{NoTopicsFound});
}

TEST(WorkingFiles, SearchAndPagesReadTheWorkingCopy)
{
    ViewerFolders folders;
    ASSERT_EQ(WriteWholeFile("Hilfe", Manual), 1);
    ASSERT_EQ(CopyManualOut("Hilfe"), 1);
    std::vector<std::string> results = {"alt"};
    EXPECT_EQ(SearchManual("p", results), 0) << "one character is too short";
    EXPECT_EQ(results, std::vector<std::string>{"alt"}) << "the list stays as it was";
    EXPECT_EQ(LastSearchWord, "");
    ASSERT_EQ(SearchManual("k\xF6rn", results), 1);
    EXPECT_EQ(results, std::vector<std::string>{"Sand"});
    EXPECT_EQ(LastSearchWord, "k\xF6rn");

    std::string page;
    ASSERT_EQ(WriteTopicPage("Sand", 1, page), 1);
    EXPECT_EQ(page, PageHead() + "<p><span style=\"background-color: #FF00FF\">k\xF6rn</span>er</p>\r\n");
    EXPECT_EQ(folders.Working(WorkingPageName), page);
    ASSERT_EQ(WriteTopicPage("Sand", 0, page), 1) << "a topic chosen in the tree is not highlighted";
    EXPECT_EQ(folders.Working(WorkingPageName), PageHead() + "<p>K\xF6rner</p>\r\n");
}

TEST(WorkingFiles, CacheFolderFollowsTheXdgRule)
{
    TempFolder folder;
    const char* oldCache = std::getenv("XDG_CACHE_HOME");
    std::string saved = oldCache ? oldCache : "";
    setenv("XDG_CACHE_HOME", (folder.path + "neu/cache").c_str(), 1);
    EXPECT_EQ(UserCacheFolder(), folder.path + "neu/cache/") << "made when missing";
    EXPECT_EQ(FolderExists("neu\\cache"), 1);
    setenv("XDG_CACHE_HOME", "relativ", 1);
    const char* home = std::getenv("HOME");
    if (home) {
        EXPECT_EQ(UserCacheFolder(), std::string(home) + (std::string(home).back() == '/' ? "" : "/") + ".cache/")
            << "a relative XDG_CACHE_HOME is ignored";
    }
    if (oldCache) setenv("XDG_CACHE_HOME", saved.c_str(), 1);
    else unsetenv("XDG_CACHE_HOME");
}
