// help/document.cpp - copying the manual out, searching it and cutting pages from it.
#include "help/document.h"

#include "platform/files.h"

#include <unordered_set>

const char* const NoTopicsFound = "..keine Themen gefunden";
const char* const WorkingDocumentName = "HILFE_KORAX_3050.ini";
const char* const WorkingPageName = "HILFE_KORAX_3050.htm";

// Put together at run time: written out whole, either tag would sit in our own program file as
// a line of its own (between zero bytes), and the copy out of the program file would start in
// our code instead of in the manual.
std::string HtmlLine(int closing)
{
    std::string line = "<";
    if (closing) line += '/';
    line += "html";
    line += '>';
    return line;
}

int ExtractDocument(const std::string& programFile, std::string& document)
{
    document.clear();
    const std::string open = HtmlLine(0), close = HtmlLine(1);
    LineReader reader = MakeLineReader(programFile);
    std::string line;
    int copying = 0;
    while (ReadLine(reader, line)) {
        if (!copying && line != open) continue;
        copying = 1;
        AppendLine(document, line);
        if (document.size() > MaxDocumentBytes) break;
        if (line == close) return 1;
    }
    document.clear();
    return 0;
}

static unsigned char SearchUpper(unsigned char c)
{
    return ((c >= 'a' && c <= 'z') || c >= 0xE0) ? (unsigned char)(c - 0x20) : c;
}

std::string SearchUpperCase(const std::string& text)
{
    std::string upper = text;
    for (char& c : upper) c = char(SearchUpper((unsigned char)c));
    return upper;
}

std::vector<std::string> SearchTopics(const std::string& document, const std::string& word)
{
    std::vector<std::string> found;
    std::unordered_set<std::string> listedNames;
    const std::string upperWord = SearchUpperCase(word);
    std::string topic, line;
    int listed = 1; // no current topic yet: nothing before the first marker counts
    LineReader reader = MakeLineReader(document);
    while (ReadLine(reader, line)) {
        if (line.compare(0, 2, "[-") == 0) {
            // The name is the line without its first two and last two characters; a marker too
            // short to hold a name starts no topic.
            topic = line.size() > 4 ? line.substr(2, line.size() - 4) : "";
            listed = topic.empty() || listedNames.count(topic);
        }
        if (!listed && SearchUpperCase(line).find(upperWord) != std::string::npos) {
            found.push_back(topic);
            listedNames.insert(topic);
            listed = 1;
        }
    }
    if (found.empty()) found.push_back(NoTopicsFound);
    return found;
}

std::string PageHead()
{
    std::string head;
    AppendLine(head, "");
    AppendLine(head, HtmlLine(0));
    AppendLine(head, "");
    AppendLine(head, "<head>");
    AppendLine(head, "<meta http-equiv=\"Content-Language\" content=\"de\">");
    AppendLine(head, "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">");
    AppendLine(head, "<meta name=\"GENERATOR\" content=\"KORAX 3050 Handbuch\">");
    AppendLine(head, "<meta name=\"ProgId\" content=\"KORAX3050.Handbuch\">");
    AppendLine(head, "<title>Pionier</title>");
    AppendLine(head, "</head>");
    AppendLine(head, "");
    AppendLine(head, "<body>");
    return head;
}

// Length of a character entity ("&auml;", "&#228;") at `at`, or 0 when the '&' is plain text.
static size_t EntityLength(const std::string& line, size_t at)
{
    if (line[at] != '&') return 0;
    size_t i = at + 1;
    while (i < line.size() && i - at <= 32) {
        unsigned char c = (unsigned char)line[i];
        if (c == ';') return i > at + 1 ? i - at + 1 : 0;
        if (!(c == '#' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return 0;
        i++;
    }
    return 0;
}

// The typed word goes into the page as text, so markup characters in it are written out.
static std::string AsHtmlText(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '"') out += "&quot;";
        else out += c;
    }
    return out;
}

// Highlights the plain text line[from, to), which holds no tag and no entity.
static void HighlightText(const std::string& line, size_t from, size_t to, const std::string& upperWord,
                          const std::string& marked, std::string& out)
{
    size_t i = from;
    while (i < to) {
        size_t n = upperWord.size();
        int match = i + n <= to;
        for (size_t k = 0; match && k < n; k++)
            match = SearchUpper((unsigned char)line[i + k]) == (unsigned char)upperWord[k];
        if (match) {
            out += marked;
            i += n;
        } else {
            out += line[i++];
        }
    }
}

std::string HighlightLine(const std::string& line, const std::string& word, int& inTag)
{
    if (word.empty()) return line;
    const std::string upperWord = SearchUpperCase(word);
    const std::string marked = "<span style=\"background-color: #FF00FF\">" + AsHtmlText(word) + "</span>";
    std::string out;
    out.reserve(line.size() + 64);
    size_t i = 0;
    while (i < line.size()) {
        if (inTag || line[i] == '<') {
            size_t end = line.find('>', i);
            inTag = end == std::string::npos;
            end = inTag ? line.size() : end + 1;
            out.append(line, i, end - i);
            i = end;
            continue;
        }
        if (size_t entity = EntityLength(line, i)) {
            out.append(line, i, entity);
            i += entity;
            continue;
        }
        size_t runEnd = i;
        while (runEnd < line.size() && line[runEnd] != '<' && !EntityLength(line, runEnd)) runEnd++;
        HighlightText(line, i, runEnd, upperWord, marked, out);
        i = runEnd;
    }
    return out;
}

std::string TopicPage(const std::string& document, const std::string& topic, const std::string& word)
{
    std::string page = PageHead();
    const std::string start = "[-" + topic + "-]", end = "]-" + topic + "-[";
    LineReader reader = MakeLineReader(document);
    std::string line;
    while (ReadLine(reader, line) && line != start) {
    }
    int inTag = 0;
    while (ReadLine(reader, line) && line != end && page.size() < MaxPageBytes)
        AppendLine(page, HighlightLine(line, word, inTag));
    return page;
}
