// help/document.h - the manual that the help viewer carries inside its own program file.
//
// The manual is one HTML text (Latin-1, CR LF) cut into topics by marker lines: "[-" + name +
// "-]" starts a topic, "]-" + name + "-[" ends it. At start the viewer copies it out of its
// program file into a working copy; every search and every page reads that copy again.
// Nothing here touches GTK, so the fuzzer and the headless tests run the same code.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// A document that has not ended by this size is taken as not ending at all: the copy out of
// the program file never grows without bound, whatever follows an "<html>" line.
constexpr size_t MaxDocumentBytes = size_t(8) << 20;
// A page stops growing here; the highlighting can at most multiply a line by about twenty.
constexpr size_t MaxPageBytes = size_t(32) << 20;

extern const char* const NoTopicsFound;        // the one result entry when nothing matched
extern const char* const WorkingDocumentName;  // the working copy of the manual, in the cache folder
extern const char* const WorkingPageName;      // the page being shown, in the cache folder

// The line "<html>" (closing 0) or "</html>" (closing 1).
std::string HtmlLine(int closing);

// Copies every line from the first line "<html>" up to and including the next line "</html>"
// out of `programFile`, each ended by CR LF. 1 when both were found; otherwise 0 and `document`
// is empty (no "<html>", no "</html>" after it, or more than MaxDocumentBytes between them).
int ExtractDocument(const std::string& programFile, std::string& document);

// The search's upper case: a-z and every byte from 0xE0 to 0xFF become the byte 0x20 lower,
// so that umlauts match their capitals; all other bytes stay.
std::string SearchUpperCase(const std::string& text);

// Topics whose lines contain `word` (upper case on both sides), in document order, each once.
// Lines are looked at raw, markers and markup included; lines before the first start marker
// belong to no topic. A search that finds nothing gives the single entry NoTopicsFound.
std::vector<std::string> SearchTopics(const std::string& document, const std::string& word);

// The 12 head lines of every page, each ended by CR LF.
std::string PageHead();

// Wraps every occurrence of `word` (upper case on both sides) in the text of an HTML line in a
// magenta span that shows the word as typed. Tags and character entities are left as they
// are, so a search for "font" or "span" cannot break the markup; `inTag` carries a tag that
// runs on to the next line (0 at the start of a page).
std::string HighlightLine(const std::string& line, const std::string& word, int& inTag);

// The page of one topic: the head, then the topic's body lines (its markers not included),
// each highlighted when `word` is not empty. A topic without markers gives the head alone.
// The page is left open: no "</body>" and no "</html>" follow.
std::string TopicPage(const std::string& document, const std::string& topic, const std::string& word);
