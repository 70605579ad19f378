// help/window.cpp - the help viewer's window: its controls at their places and its events.
#include "help/window.h"

#include "help/document.h"
#include "help/viewer.h"
#include "platform/dialog.h"
#include "platform/gtk_form.h"
#include "platform/gtk_html.h"
#include "platform/image.h"
#include "platform/latin1.h"

int SearchEdit = 0;
int ResultList = 0;
int PageView = 0;
int TopicTreeView = 0;

// The page goes to the view through its working file; should that file not be writable, the
// page is handed over from memory, so the reader still sees it.
static void ShowPage(const std::string& topic, int highlight)
{
    std::string page;
    if (WriteTopicPage(topic, highlight, page)) ShowHtmlFile(PageView, WorkingFolder + WorkingPageName);
    else ShowHtmlPage(PageView, page);
}

static void OnTopic(const std::string& topic) { ShowPage(topic, 0); }
static void OnResult(const std::string& topic) { ShowPage(topic, 1); }

static void OnSearch()
{
    std::vector<std::string> results;
    if (!SearchManual(FormLineEditText(SearchEdit), results)) {
        ShowMessageBox("ACHTUNG", "Das Suchwort muss mindestens 2 Zeichen haben!", MessageOk);
        return;
    }
    ClearFormListBox(ResultList);
    for (const std::string& topic : results) AddFormListEntry(ResultList, topic);
}

// Fills the tree in its order; an entry whose next entry lies deeper carries the book icon.
static void FillTree(int tree)
{
    Image book, sheet;
    BranchIcon(book);
    LeafIcon(sheet);
    int parents[8] = {0};
    for (int i = 0; i < TopicTreeSize; i++) {
        const TopicEntry& entry = TopicTree[i];
        int branch = i + 1 < TopicTreeSize && TopicTree[i + 1].level > entry.level;
        int parent = entry.level > 0 ? parents[entry.level - 1] : 0;
        parents[entry.level] = AddFormTreeEntry(tree, parent, L1(entry.name), branch ? book : sheet);
    }
}

int OpenViewerWindow()
{
    if (!OpenFormWindow("HILFE - KORAX 3050", 0, 0, 800, 480, "Courier New", 10, 1)) return 0;
    AddFormFrame(10, 10, 220, 230, "Inhalte");
    int tree = TopicTreeView = AddFormTree(20, 30, 200, 200, OnTopic);
    AddFormFrame(10, 250, 220, 220, "Suchen");
    SearchEdit = AddFormLineEdit(20, 270, 200, 20);
    AddFormButton(20, 295, 110, 20, "Suchen...", OnSearch);
    ResultList = AddFormListBox(20, 320, 200, 140, OnResult);
    AddFormFrame(250, 10, 540, 460, "Informationen");
    PageView = AddFormHtmlView(260, 30, 520, 430);
    FillTree(tree);
    SetFormEnterKey(OnSearch);
    // Typing goes straight into the search; a tree with the focus would pick its first topic.
    FocusFormControl(SearchEdit);
    return tree && SearchEdit && ResultList && PageView;
}

