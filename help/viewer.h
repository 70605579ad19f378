// help/viewer.h - what the help viewer does when it starts and on each event, without GTK:
// the working files in the user's cache folder, the search with its length check, the pages.
#pragma once

#include "platform/image.h"

#include <string>
#include <vector>

// One entry of the topic tree: its depth (0 top) and the topic it shows (UTF-8 in the source).
struct TopicEntry {
    int level;
    const char* name;
};
extern const TopicEntry TopicTree[];
extern const int TopicTreeSize;

extern std::string WorkingFolder;  // OS path of the working files' folder, ends in '/'; set at start
extern std::string LastSearchWord; // Latin-1; set by each search that passes the length check

// Start: copies the manual out of the program file (a game path) into the working copy. 1 when
// the manual was found; otherwise the working copy is written empty, so no older copy is shown.
int CopyManualOut(const std::string& programFile);
// The working copy as the searches and pages read it; empty when it cannot be read.
std::string ReadWorkingCopy();

// Writes the page of `topic` into the working page, highlighted with LastSearchWord when
// `highlight` is 1. The page is also left in `page`; 1 when the file was written.
int WriteTopicPage(const std::string& topic, int highlight, std::string& page);

// The search of the search button. A word of fewer than 2 characters gives 0 and changes
// nothing; otherwise it becomes LastSearchWord, `results` is filled and the result is 1.
int SearchManual(const std::string& word, std::vector<std::string>& results);

// The two 16 x 16 tree icons: an entry with sub-entries, and a single entry.
void BranchIcon(Image& icon);
void LeafIcon(Image& icon);
