// help/viewer.cpp - the help viewer's working files, search and pages.
#include "help/viewer.h"

#include "help/document.h"
#include "platform/files.h"
#include "platform/latin1.h"
#include "platform/userfiles.h"

// Every entry shows its own topic, those with sub-entries too; "Wirkungstabelle" is reached
// from both the units and the weapons. Regenerationswerk, Pionier and Sammler have no entry:
// the search finds them.
const TopicEntry TopicTree[] = {
    {0, "Steuerung"},  {1, "Gruppieren"},  {1, "Anwählen"}, {1, "Bewegen"},
    {0, "Oberfläche"}, {1, "Infos"},       {1, "Karte"},    {1, "Buttons"},
    {0, "Das Spiel"},  {1, "Wirtschaft"},  {1, "Militär"},
    {1, "Gebäude"},    {2, "Mauer"},       {2, "Türme"},    {2, "Verbrennungsanlage"}, {2, "Solaranlage"},
    {2, "Radar"},      {2, "Forschungszentrum"},
    {1, "Einheiten"},  {2, "Trupps"},      {2, "Speeder"},  {2, "Quads"},  {2, "Panzer"}, {2, "Roboter"},
    {2, "Gleiter"},    {2, "Bagger"},      {2, "Wirkungstabelle"},
    {1, "Waffen"},     {2, "MG"},          {2, "Kugel"},    {2, "Laser"},  {2, "Rakete"}, {2, "Plasma"},
    {2, "Ionen"},      {2, "Wirkungstabelle"},
};
const int TopicTreeSize = int(sizeof TopicTree / sizeof TopicTree[0]);

std::string WorkingFolder;
std::string LastSearchWord;

int CopyManualOut(const std::string& programFile)
{
    std::string program, document;
    int found = ReadWholeFile(programFile, program) && ExtractDocument(program, document);
    WriteOsFile(WorkingFolder + WorkingDocumentName, document); // a failed write is not reported
    return found;
}

std::string ReadWorkingCopy()
{
    std::string document;
    ReadOsFile(WorkingFolder + WorkingDocumentName, document);
    return document;
}

int WriteTopicPage(const std::string& topic, int highlight, std::string& page)
{
    page = TopicPage(ReadWorkingCopy(), topic, highlight ? LastSearchWord : "");
    return WriteOsFile(WorkingFolder + WorkingPageName, page);
}

int SearchManual(const std::string& word, std::vector<std::string>& results)
{
    if (word.size() < 2) return 0;
    LastSearchWord = word;
    results = SearchTopics(ReadWorkingCopy(), word);
    return 1;
}
