// The help viewer's window through a real X server (Xvfb): Enter searches, a result shows its
// page highlighted in the HTML view, a tree entry shows its own topic, a short word warns.
#include "help/document.h"
#include "help/viewer.h"
#include "help/window.h"
#include "platform/dialog.h"
#include "platform/files.h"
#include "platform/gtk_form.h"
#include "platform/gtk_html.h"
#include "platform/install_files.h"
#include "platform/latin1.h"
#include "platform/userfiles.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

// Lets the window work until the view has loaded the working page (ten seconds at most).
static int WaitForPage()
{
    const std::string page = WorkingFolder + WorkingPageName;
    for (int i = 0; i < 1000; i++) {
        ProcessFormEvents();
        std::string address = HtmlViewAddress(PageView);
        if (!HtmlViewLoading(PageView) && address.size() >= page.size() &&
            address.compare(address.size() - std::string(WorkingPageName).size(), std::string::npos, WorkingPageName) == 0)
            return 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
}

static std::vector<std::string> Results()
{
    std::vector<std::string> results;
    for (int i = 0; i < FormListEntryCount(ResultList); i++) results.push_back(FormListEntry(ResultList, i));
    return results;
}

static int IndexOf(const std::vector<std::string>& list, const std::string& entry)
{
    for (size_t i = 0; i < list.size(); i++)
        if (list[i] == entry) return int(i);
    return -1;
}

TEST(HelpWindow, SearchResultsTreeAndWarning)
{
    TempFolder folder;
    WorkingFolder = folder.path;
    ASSERT_EQ(CopyManualOut(KORAX_HILFE_PROGRAM), 1) << "the manual inside the built Hilfe";
    std::string manual = ReadWorkingCopy();
    ASSERT_EQ(StartFormWindows(), 1);
    ASSERT_EQ(OpenViewerWindow(), 1);
    ProcessFormEvents();

    // Enter, pressed anywhere in the window, searches.
    SetFormLineEditText(SearchEdit, "sammler");
    SendFormEnterKey();
    std::vector<std::string> results = Results();
    EXPECT_EQ(results, SearchTopics(manual, "sammler"));
    int sammler = IndexOf(results, "Sammler");
    ASSERT_GE(sammler, 0) << "a topic without a tree entry is found by the search";

    ChooseFormListEntry(ResultList, sammler);
    ASSERT_EQ(WaitForPage(), 1);
    std::string page;
    ReadOsFile(WorkingFolder + WorkingPageName, page);
    EXPECT_EQ(page, TopicPage(manual, "Sammler", "sammler"));
    EXPECT_NE(page.find("<span style=\"background-color: #FF00FF\">sammler</span>"), std::string::npos);

    // A tree entry shows its own topic, without highlighting.
    int entry = 0;
    for (int i = 0; i < TopicTreeSize; i++)
        if (std::string(TopicTree[i].name) == "Das Spiel") entry = i + 1;
    ChooseFormTreeEntry(TopicTreeView, entry);
    ASSERT_EQ(WaitForPage(), 1);
    ReadOsFile(WorkingFolder + WorkingPageName, page);
    EXPECT_EQ(page, TopicPage(manual, "Das Spiel", ""));

    // A word too short warns and leaves the list as it was.
    SetMessageBoxAnswer(1);
    testing::internal::CaptureStderr();
    SetFormLineEditText(SearchEdit, "p");
    SendFormEnterKey();
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log, "korax: ACHTUNG: Das Suchwort muss mindestens 2 Zeichen haben!\n");
    EXPECT_EQ(Results(), results);

    SetFormLineEditText(SearchEdit, "gibtsnicht");
    SendFormEnterKey();
    EXPECT_EQ(Results(), std::vector<std::string>{NoTopicsFound});
    CloseFormWindow();
}

static int TreeEntryOf(const std::string& name)
{
    for (int i = 0; i < TopicTreeSize; i++)
        if (std::string(TopicTree[i].name) == name) return i + 1;
    return 0;
}

static std::string ShownPage()
{
    std::string page;
    ReadOsFile(WorkingFolder + WorkingPageName, page);
    return page;
}

// Every click on an entry shows its topic, also on the entry that is selected already.
TEST(HelpWindow, AClickOnTheSelectedEntryShowsItsTopicAgain)
{
    TempFolder folder;
    // The working files go into a cache folder named in Cyrillic, as in a Russian user's home.
    WorkingFolder = folder.path + "Кэш/";
    ASSERT_EQ(MakeOsFolders(WorkingFolder), 1);
    ASSERT_EQ(CopyManualOut(KORAX_HILFE_PROGRAM), 1);
    std::string manual = ReadWorkingCopy();
    ASSERT_EQ(StartFormWindows(), 1);
    ASSERT_EQ(OpenViewerWindow(), 1);
    ProcessFormEvents();

    // A search result, then another topic from the tree, then the same result once more.
    SetFormLineEditText(SearchEdit, "panzer");
    SendFormEnterKey();
    int panzer = IndexOf(Results(), "Panzer");
    ASSERT_GE(panzer, 0);
    ClickFormListEntry(ResultList, panzer);
    ASSERT_EQ(WaitForPage(), 1);
    EXPECT_EQ(ShownPage(), TopicPage(manual, "Panzer", "panzer"));
    ClickFormTreeEntry(TopicTreeView, TreeEntryOf("Das Spiel"));
    ASSERT_EQ(WaitForPage(), 1);
    EXPECT_EQ(ShownPage(), TopicPage(manual, "Das Spiel", ""));
    ClickFormListEntry(ResultList, panzer);
    ASSERT_EQ(WaitForPage(), 1);
    EXPECT_EQ(ShownPage(), TopicPage(manual, "Panzer", "panzer")) << "the result clicked again";

    // After the empty page of "..keine Themen gefunden", the selected topic shows again.
    SetFormLineEditText(SearchEdit, "gibtsnicht");
    SendFormEnterKey();
    ClickFormListEntry(ResultList, 0);
    ASSERT_EQ(WaitForPage(), 1);
    EXPECT_EQ(ShownPage(), TopicPage(manual, NoTopicsFound, "gibtsnicht"));
    ClickFormTreeEntry(TopicTreeView, TreeEntryOf("Das Spiel"));
    ASSERT_EQ(WaitForPage(), 1);
    EXPECT_EQ(ShownPage(), TopicPage(manual, "Das Spiel", "")) << "the tree's selected entry clicked again";
    CloseFormWindow();
}
