// Fuzzes the help viewer's reading of its manual: any bytes as the program file the manual is
// copied out of, and as the working copy that searches and pages read.
#include "help/document.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_set>

static void Check(int condition)
{
    if (!condition) abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes((const char*)data, size);
    std::string document;
    if (ExtractDocument(bytes, document)) {
        Check(document.compare(0, 8, HtmlLine(0) + "\r\n") == 0);
        Check(document.size() >= 9 && document.compare(document.size() - 9, 9, HtmlLine(1) + "\r\n") == 0);
        Check(document.size() <= MaxDocumentBytes);
    } else {
        Check(document.empty());
    }
    // The first bytes choose a search word; the whole input is the working copy.
    std::string word = bytes.substr(0, size > 0 ? 1 + data[0] % 6 : 0);
    std::vector<std::string> topics = SearchTopics(bytes, word.size() >= 2 ? word : "an");
    Check(!topics.empty());
    std::unordered_set<std::string> seen;
    for (const std::string& topic : topics) Check(seen.insert(topic).second);
    const std::string head = PageHead();
    for (size_t i = 0; i < topics.size() && i < 4; i++) {
        std::string page = TopicPage(bytes, topics[i], word);
        Check(page.compare(0, head.size(), head) == 0);
    }
    return 0;
}
