// The manual's rules on a small document of our own: copying it out of a program file, the
// search, the pages and the highlighting.
#include "help/document.h"
#include "platform/files.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

// Lines joined with CR LF, as every file of the suite is written.
static std::string Lines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string& line : lines) AppendLine(text, line);
    return text;
}

// Three topics; the head and the lines after an end marker carry words of their own.
static const std::string Document = Lines({
    "<html>",
    "<head>",
    "<title>Pionier</title>",
    "</head>",
    "<body>",
    "Panzer vor dem ersten Thema",
    "[-Alpha-]",
    "<p><font face=\"Arial\">Ein Panzer und noch ein panzer, font</font></p>",
    "<p>Zweite Zeile mit PANZER</p>",
    "]-Alpha-[",
    "Zebra nach dem Ende von Alpha",
    "[-Beta-]",
    "<p>Ohne Schrift: Sand &amp; Spice&nbsp;hier</p>",
    "]-Beta-[",
    "[-Gamma-]",
    "<font size=\"2\">\xDC" "ber \xD6l und Panzerung</font>",
    "]-Gamma-[",
    "</body>",
    "</html>",
});

using Topics = std::vector<std::string>;

TEST(Search, ListsEachTopicOnceInDocumentOrder)
{
    EXPECT_EQ(SearchTopics(Document, "panzer"), (Topics{"Alpha", "Gamma"}))
        << "Alpha matches on two lines and is listed once; the line before the first marker counts for nobody";
    EXPECT_EQ(SearchTopics(Document, "pAnZeRuNg"), (Topics{"Gamma"}));
    EXPECT_EQ(SearchTopics(Document, "zebra"), (Topics{"Alpha"})) << "after its end marker a line still belongs to Alpha";
    EXPECT_EQ(SearchTopics(Document, "title"), (Topics{NoTopicsFound})) << "the head lies before the first marker";
    EXPECT_EQ(SearchTopics(Document, "Wasser"), (Topics{NoTopicsFound}));
}

TEST(Search, LooksAtRawLinesMarkupAndMarkersIncluded)
{
    EXPECT_EQ(SearchTopics(Document, "font"), (Topics{"Alpha", "Gamma"})) << "the font tags match";
    EXPECT_EQ(SearchTopics(Document, "beta"), (Topics{"Beta"})) << "a topic is found by its own marker";
    EXPECT_EQ(SearchTopics(Document, "&amp;"), (Topics{"Beta"}));
    EXPECT_EQ(SearchTopics(Document, "]-"), (Topics{"Alpha", "Beta", "Gamma"}));
}

TEST(Search, UpperCaseFoldsAsciiAndTheHighLatin1Half)
{
    EXPECT_EQ(SearchTopics(Document, "\xFC" "ber \xF6l"), (Topics{"Gamma"})) << "ü and ö find Ü and Ö";
    EXPECT_EQ(SearchUpperCase("az{\xE0\xE4\xF7\xFF\xDF\xC4"), "AZ{\xC0\xC4\xD7\xDF\xDF\xC4")
        << "a-z and 0xE0-0xFF drop by 0x20, everything else stays";
}

TEST(Search, NeedsAStartMarkerWithAName)
{
    std::string document = Lines({"[-", "Panzer ohne Namen", "[-A-]", "Panzer", "[-A-]", "noch ein Panzer"});
    EXPECT_EQ(SearchTopics(document, "panzer"), (Topics{"A"})) << "a marker without a name starts no topic; a repeated name is listed once";
}

TEST(Pages, HeadAloneForATopicWithoutMarkers)
{
    std::string head = PageHead();
    std::vector<std::string> lines = SplitLines(head);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "<html>");
    EXPECT_EQ(lines[4], "<meta http-equiv=\"Content-Language\" content=\"de\">");
    EXPECT_EQ(lines[5], "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">");
    EXPECT_EQ(lines[8], "<title>Pionier</title>");
    EXPECT_EQ(lines[11], "<body>");
    EXPECT_EQ(head.substr(head.size() - 8), "<body>\r\n") << "every head line ends in CR LF";
    EXPECT_EQ(TopicPage(Document, "Delta", ""), head);
    EXPECT_EQ(TopicPage(Document, NoTopicsFound, "panzer"), head);
}

TEST(Pages, CarryTheTopicsOwnLinesWithoutMarkers)
{
    EXPECT_EQ(TopicPage(Document, "Beta", ""), PageHead() + Lines({"<p>Ohne Schrift: Sand &amp; Spice&nbsp;hier</p>"}));
    std::string alpha = TopicPage(Document, "Alpha", "");
    EXPECT_EQ(alpha.find("Zebra"), std::string::npos) << "the page ends at the end marker";
    EXPECT_EQ(alpha.find("]-"), std::string::npos);
    EXPECT_EQ(alpha.find("</body>"), std::string::npos) << "the page is left open";
}

static const std::string Marked(const std::string& word)
{
    return "<span style=\"background-color: #FF00FF\">" + word + "</span>";
}

TEST(Highlighting, WrapsTheWordInAnyCaseAsTyped)
{
    std::string page = TopicPage(Document, "Alpha", "PaNzEr");
    EXPECT_EQ(page, PageHead() + Lines({"<p><font face=\"Arial\">Ein " + Marked("PaNzEr") + " und noch ein " + Marked("PaNzEr") +
                                            ", font</font></p>",
                                        "<p>Zweite Zeile mit " + Marked("PaNzEr") + "</p>"}));
    EXPECT_EQ(TopicPage(Document, "Gamma", "\xFC" "BER"), PageHead() + Lines({"<font size=\"2\">" + Marked("\xFC" "BER") +
                                                                              " \xD6l und Panzerung</font>"}))
        << "umlauts are matched in any case too";
}

TEST(Highlighting, NeverInsideATagOrAnEntity)
{
    EXPECT_EQ(TopicPage(Document, "Alpha", "font"),
              PageHead() + Lines({"<p><font face=\"Arial\">Ein Panzer und noch ein panzer, " + Marked("font") + "</font></p>",
                                  "<p>Zweite Zeile mit PANZER</p>"}));
    int inTag = 0;
    EXPECT_EQ(HighlightLine("<span class=\"x\">span</span>", "span", inTag), "<span class=\"x\">" + Marked("span") + "</span>");
    EXPECT_EQ(HighlightLine("Sand &amp; Spice&nbsp;hier", "nbsp", inTag), "Sand &amp; Spice&nbsp;hier");
    EXPECT_EQ(HighlightLine("Rock & Roll", "& r", inTag), "Rock " + Marked("&amp; r") + "oll")
        << "a plain '&' is text, and the typed word is written as text";
}

TEST(Highlighting, ATagRunningOnToTheNextLineStaysWhole)
{
    int inTag = 0;
    EXPECT_EQ(HighlightLine("<table border=\"1\"", "border", inTag), "<table border=\"1\"");
    EXPECT_EQ(inTag, 1);
    EXPECT_EQ(HighlightLine(" border=\"2\">border", "border", inTag), " border=\"2\">" + Marked("border"));
    EXPECT_EQ(inTag, 0);
}

TEST(Extraction, CopiesFromTheFirstHtmlLineToTheNextClosingLine)
{
    std::string program = "\x7F" "ELF\0\0x<html>\0<html>x\0\r\n"s + Document + "\0\0</html>\0more"s;
    std::string document;
    ASSERT_EQ(ExtractDocument(program, document), 1);
    EXPECT_EQ(document, Document) << "lines that only contain the tag do not start the copy";
    // Other line ends become CR LF, and a second document after the first is not copied.
    ASSERT_EQ(ExtractDocument("<html>\n<p>a</p>\0</html>\n<html>\n</html>\n"s, document), 1);
    EXPECT_EQ(document, Lines({"<html>", "<p>a</p>", "</html>"}));
}

TEST(Extraction, WithoutAClosingLineGivesNothingAndEnds)
{
    std::string document = "alt";
    EXPECT_EQ(ExtractDocument("kein Handbuch\r\n</html>\r\n", document), 0);
    EXPECT_EQ(document, "");
    EXPECT_EQ(ExtractDocument(Lines({"<html>", "<body>", "[-A-]"}), document), 0) << "the file ends before </html>";
    EXPECT_EQ(document, "");
    // An "<html>" line followed by more than the largest manual of lines, none of them the end.
    std::string endless = "<html>\r\n";
    endless.reserve(MaxDocumentBytes + 4096);
    while (endless.size() <= MaxDocumentBytes + 1024) endless += "Zeile ohne Ende\r\n";
    endless += "</html>\r\n";
    EXPECT_EQ(ExtractDocument(endless, document), 0) << "a document stops being copied at its size limit";
    EXPECT_EQ(document, "");
}
