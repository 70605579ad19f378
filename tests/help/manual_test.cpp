// The shipped manual: its topics, the tree that shows them, its figures against the rules
// tables, and the copy that Hilfe carries inside its program file.
#include "help/document.h"
#include "help/viewer.h"
#include "platform/files.h"
#include "platform/latin1.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

// A file of data/ in the form the programs read it: Latin-1 with CR LF.
static std::string ShippedText(const std::string& name)
{
    std::ifstream in(std::string(KORAX_SOURCE_DATA) + "/TXT/" + name, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    std::string text;
    for (const std::string& line : SplitLines(L1(content.str()))) AppendLine(text, line);
    return text;
}

// The manual as it stands between "<html>" and "</html>".
static std::string Manual()
{
    std::string document;
    ExtractDocument(ShippedText("HILFE.info"), document);
    return document;
}

static std::vector<std::string> TopicNames(const std::string& document)
{
    std::vector<std::string> names;
    for (const std::string& line : SplitLines(document))
        if (line.size() > 4 && line.compare(0, 2, "[-") == 0) names.push_back(line.substr(2, line.size() - 4));
    return names;
}

TEST(Manual, HoldsTheThirtySevenTopicsInOrder)
{
    std::string shipped = ShippedText("HILFE.info");
    std::vector<std::string> lines = SplitLines(shipped);
    ASSERT_GT(lines.size(), 20u);
    EXPECT_EQ(lines[0], "") << "the package's copy has one empty line in front";
    EXPECT_EQ(lines[1], "<html>");
    EXPECT_EQ(lines.back(), "</html>");
    std::string document = Manual();
    ASSERT_FALSE(document.empty());
    const char* order[] = {"Steuerung", "Gruppieren", "Anwählen", "Bewegen", "Oberfläche", "Das Spiel", "Gebäude", "Einheiten",
                           "Waffen", "Infos", "Karte", "Buttons", "Forschungszentrum", "Radar", "Mauer", "Türme",
                           "Solaranlage", "Verbrennungsanlage", "Regenerationswerk", "Wirtschaft", "Militär", "Pionier",
                           "Bagger", "Sammler", "Trupps", "Speeder", "Quads", "Panzer", "Roboter", "Gleiter",
                           "Wirkungstabelle", "MG", "Kugel", "Laser", "Rakete", "Plasma", "Ionen"};
    std::vector<std::string> expected;
    for (const char* name : order) expected.push_back(L1(name));
    EXPECT_EQ(TopicNames(document), expected);
    for (const std::string& name : expected)
        EXPECT_NE(document.find("\r\n]-" + name + "-[\r\n"), std::string::npos) << name << " has its end marker";
    EXPECT_EQ(SearchTopics(document, "font"), expected) << "every topic is written with font tags";
}

TEST(Manual, EveryTreeEntryShowsItsOwnSection)
{
    std::string document = Manual();
    for (int i = 0; i < TopicTreeSize; i++) {
        std::string page = TopicPage(document, L1(TopicTree[i].name), "");
        EXPECT_GT(page.size(), PageHead().size() + 200) << TopicTree[i].name;
        EXPECT_EQ(page.find("[-"), std::string::npos) << TopicTree[i].name << " shows no other topic";
    }
    std::string game = TopicPage(document, "Das Spiel", "");
    EXPECT_NE(game.find("Im Jahr 3050"), std::string::npos);
    EXPECT_EQ(game.find("Solarzelle</td>"), std::string::npos) << "not the buildings' table of its sub-topic";
    // The three topics without an entry are reached by searching their names.
    for (const char* name : {"Regenerationswerk", "Pionier", "Sammler"}) {
        std::vector<std::string> found = SearchTopics(document, name);
        EXPECT_NE(std::find(found.begin(), found.end(), name), found.end()) << name;
    }
}

// A fixed-column field of a rules table, 1-based column, trailing spaces removed.
static std::string Field(const std::string& line, size_t column, size_t width)
{
    if (line.size() < column) return "";
    std::string field = line.substr(column - 1, width);
    while (!field.empty() && field.back() == ' ') field.pop_back();
    return field;
}

static std::vector<std::string> DataRows(const std::string& table)
{
    std::vector<std::string> rows;
    for (const std::string& line : SplitLines(table)) {
        if (line.empty()) break;
        if (line.compare(0, 4, ">>> ") != 0) rows.push_back(line);
    }
    return rows;
}

// The table row of the manual's page `topic` that starts with the cell `first`.
static std::string Row(const std::string& topic, const std::string& first)
{
    std::string page = TopicPage(Manual(), topic, "");
    size_t at = page.find("<tr><td>" + first + "</td>");
    if (at == std::string::npos) return "";
    return page.substr(at, page.find("</tr>", at) - at);
}

TEST(Manual, FiguresAgreeWithTheRulesTables)
{
    std::string weaponNames[8] = {"", "MG", "Kugel", "Laser", "Rakete", "Plasma", "Ionen", ""};
    int checked = 0;
    for (const std::string& row : DataRows(ShippedText("Einheiten.info"))) {
        int id = std::stoi(Field(row, 1, 4));
        if (id < 2001) continue; // the towers' combat rows
        std::string name = Field(row, 11, 20), cost = Field(row, 41, 7), hp = Field(row, 51, 7), speed = Field(row, 61, 7),
                    turn = Field(row, 71, 7), build = Field(row, 91, 7);
        int weapon = std::stoi(Field(row, 81, 7));
        const char* families[7] = {"", "Trupps", "Speeder", "Quads", "Panzer", "Roboter", "Gleiter"};
        int family = (id - 2000) / 100;
        if (family >= 1 && family <= 6) {
            std::string cells = "<td>" + cost + "</td><td>" + hp + "</td><td>" + speed + "</td><td>" + turn + "</td><td>" + build + "</td>";
            std::string line = Row(families[family], name);
            EXPECT_NE(line.find(cells), std::string::npos) << name << ": " << line;
            if (weapon <= 6) {
                EXPECT_EQ(line.find("<tr><td>" + name + "</td><td>" + weaponNames[weapon] + "</td>"), 0u) << name;
            }
        }
        if (id == 2001 || id == 2002 || id == 2107) {
            std::string topic = id == 2001 ? "Bagger" : id == 2002 ? "Sammler" : "Pionier";
            std::string prose = cost + " Euro, " + hp + " TP, Tempo " + speed + ", Bauzeit " + build;
            EXPECT_NE(TopicPage(Manual(), topic, "").find(prose), std::string::npos) << topic;
        }
        checked++;
    }
    EXPECT_EQ(checked, 21);

    int buildings = 0;
    for (const std::string& row : DataRows(ShippedText("Gebaeude.info"))) {
        std::string energy = Field(row, 71, 7);
        std::string shown = energy == "0" ? "0" : (energy[0] == '-' ? energy : "+" + energy) + " MW";
        std::string cells = "<td>" + Field(row, 41, 7) + "</td><td>" + Field(row, 51, 7) + "</td><td>" + Field(row, 61, 7) +
                            "</td><td>" + shown + "</td>";
        EXPECT_NE(Row(L1("Gebäude"), Field(row, 11, 28)).find(cells), std::string::npos) << Field(row, 11, 28);
        buildings++;
    }
    EXPECT_EQ(buildings, 16);

    for (const std::string& row : DataRows(ShippedText("Waffen.info"))) {
        int id = std::stoi(Field(row, 1, 4));
        if (id < 1 || id > 6) continue;
        std::string cells = "<td>" + Field(row, 31, 7) + " Felder</td><td>" + Field(row, 81, 7) + "</td><td>" + Field(row, 51, 7) +
                            " s</td><td>" + Field(row, 41, 7) + "</td>";
        EXPECT_NE(Row("Waffen", Field(row, 11, 20)).find(cells), std::string::npos) << Field(row, 11, 20);
    }

    for (const std::string& row : DataRows(ShippedText("Forschung.info"))) {
        std::string cells = "<td>" + Field(row, 41, 7) + "</td><td>" + Field(row, 61, 7) + "</td>";
        EXPECT_NE(Row("Forschungszentrum", Field(row, 11, 28)).find(cells), std::string::npos) << Field(row, 11, 28);
    }
}

// The numbers of a table row with its markup and "&nbsp;%" taken out.
static std::vector<int> Numbers(const std::string& row)
{
    std::vector<int> numbers;
    std::string text;
    int inTag = 0;
    for (char c : row) {
        if (c == '<') inTag = 1;
        else if (c == '>') inTag = 0, text += ' ';
        else if (!inTag) text += c;
    }
    std::istringstream words(text);
    std::string word;
    while (words >> word)
        if (std::isdigit((unsigned char)word[0])) numbers.push_back(std::stoi(word));
    return numbers;
}

TEST(Manual, DamageTableIsTheRulesTable)
{
    std::vector<std::string> lines = SplitLines(ShippedText("Wirkung.info"));
    ASSERT_GE(lines.size(), 8u);
    std::string page = TopicPage(Manual(), "Wirkungstabelle", "");
    const char* classes[6] = {"Trupps", "Speeder", "Quads", "Panzer", "Roboter", "Gleiter"};
    for (int armour = 0; armour < 6; armour++) {
        std::vector<int> expected;
        for (int weapon = 1; weapon <= 6; weapon++) expected.push_back(std::stoi(lines[size_t(2 + armour)].substr(size_t(10 * weapon + 2), 5)) / 10);
        size_t at = page.find(std::string("<tr><td><b>") + classes[armour] + "</b></td>");
        ASSERT_NE(at, std::string::npos) << classes[armour];
        EXPECT_EQ(Numbers(page.substr(at, page.find("</tr>", at) - at)), expected) << classes[armour];
        // Each family's own page repeats its row.
        std::string family = TopicPage(Manual(), classes[armour], "");
        size_t armourRow = family.find("%</td>");
        ASSERT_NE(armourRow, std::string::npos);
        size_t rowStart = family.rfind("<tr>", armourRow);
        EXPECT_EQ(Numbers(family.substr(rowStart, family.find("</tr>", rowStart) - rowStart)), expected) << classes[armour];
    }
}

TEST(Manual, HilfeCarriesItInsideItsProgramFile)
{
    std::ifstream in(KORAX_HILFE_PROGRAM, std::ios::binary);
    std::stringstream program;
    program << in.rdbuf();
    ASSERT_GT(program.str().size(), 100000u);
    std::string carried;
    ASSERT_EQ(ExtractDocument(program.str(), carried), 1);
    EXPECT_EQ(carried, Manual()) << "the first <html> line of the program file is the manual's own";
}
