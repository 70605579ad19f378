// tools/artgen/font.cpp - the title font "Omicron Zeta Pressed", made from a free Debian font.
//
// The menus and the intro ask the system for the family "Omicron Zeta Pressed". We ship a
// condensed display face under the SIL Open Font License, renamed: its 'name' table is
// rewritten and its line metrics made to fit its accents; the outlines stay untouched. The OFL allows modified versions under a new name;
// the licence record beside the font (TXT\Omiczp__.LICENSE.txt) says where it came from.
// The source file carries fixed 'head' dates, so the output is the same bytes on every run.
#include "artgen.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// Where Debian's fonts-bebas-neue package installs the face we rename.
static const char* SourceFontPath = "/usr/share/fonts/opentype/bebas-neue/BebasNeue-Regular.otf";

// The names the renamed font carries (Windows platform, US English). Name ids not listed here
// and not dropped below (copyright, version, designer, URLs) are kept from the source.
struct FontName {
    int id;           // OpenType name id
    const char* text; // ASCII
};
static const FontName NewNames[] = {
    {1, "Omicron Zeta Pressed"},             // family
    {2, "Regular"},                          // style
    {3, "KORAX 3050: Omicron Zeta Pressed"}, // unique id
    {4, "Omicron Zeta Pressed"},             // full name
    {6, "OmicronZetaPressed"},               // PostScript name
    {13, "This Font Software is licensed under the SIL Open Font License, Version 1.1."},
    {14, "https://openfontlicense.org"},
};
// Typographic family and style would otherwise still announce the original family.
static const int DroppedNameIds[] = {16, 17, 21, 22};

// One table of the font file.
struct FontTable {
    std::string tag;   // four characters
    std::string bytes; // contents, unpadded
};

static uint32_t GetU16(const std::string& bytes, size_t at)
{
    if (at + 2 > bytes.size()) return 0;
    return (uint32_t((unsigned char)bytes[at]) << 8) | uint32_t((unsigned char)bytes[at + 1]);
}

static uint32_t GetU32(const std::string& bytes, size_t at) { return (GetU16(bytes, at) << 16) | GetU16(bytes, at + 2); }

static void PutU16(std::string& bytes, uint32_t value)
{
    bytes += char((value >> 8) & 255);
    bytes += char(value & 255);
}

static void PutU32(std::string& bytes, uint32_t value)
{
    PutU16(bytes, value >> 16);
    PutU16(bytes, value & 0xFFFF);
}

static void SetU32(std::string& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; i++) bytes[at + size_t(i)] = char((value >> (24 - 8 * i)) & 255);
}

// Sum of the big-endian 32-bit words of a table, the last one padded with zeros.
static uint32_t TableChecksum(const std::string& bytes)
{
    std::string padded = bytes;
    while (padded.size() % 4) padded += '\0';
    uint32_t sum = 0;
    for (size_t at = 0; at < padded.size(); at += 4) sum += GetU32(padded, at);
    return sum;
}

static std::string ReadWholeFile(const char* path)
{
    std::string bytes;
    FILE* file = std::fopen(path, "rb");
    if (!file) return bytes;
    char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    std::fclose(file);
    return bytes;
}

// Splits a font file into its tables, in directory order; 0 when the file is not a font.
static int SplitFont(const std::string& file, uint32_t& version, std::vector<FontTable>& tables)
{
    version = GetU32(file, 0);
    uint32_t count = GetU16(file, 4);
    if (file.size() < 12 + 16 * size_t(count) || count == 0) return 0;
    for (uint32_t i = 0; i < count; i++) {
        size_t entry = 12 + 16 * size_t(i);
        uint32_t offset = GetU32(file, entry + 8), length = GetU32(file, entry + 12);
        if (size_t(offset) + length > file.size()) return 0;
        tables.push_back(FontTable{file.substr(entry, 4), file.substr(offset, length)});
    }
    return 1;
}

// A name record before its string is placed.
struct NameRecord {
    uint32_t platform, encoding, language, id;
    std::string text; // as stored: UTF-16BE for Windows records
};

static std::string Utf16FromAscii(const char* text)
{
    std::string wide;
    for (const char* c = text; *c; c++) PutU16(wide, (unsigned char)*c);
    return wide;
}

static int IsReplacedOrDropped(uint32_t id)
{
    for (const FontName& name : NewNames)
        if (uint32_t(name.id) == id) return 1;
    for (int dropped : DroppedNameIds)
        if (uint32_t(dropped) == id) return 1;
    return 0;
}

// Keeps the source's Windows English records that we do not replace, then adds our names.
static std::vector<NameRecord> RenamedRecords(const std::string& table)
{
    std::vector<NameRecord> records;
    uint32_t count = GetU16(table, 2), storage = GetU16(table, 4);
    for (uint32_t i = 0; i < count; i++) {
        size_t at = 6 + 12 * size_t(i);
        NameRecord record{GetU16(table, at), GetU16(table, at + 2), GetU16(table, at + 4), GetU16(table, at + 6), ""};
        uint32_t length = GetU16(table, at + 8), offset = GetU16(table, at + 10);
        if (record.platform != 3 || record.encoding != 1 || record.language != 0x409) continue;
        if (IsReplacedOrDropped(record.id) || size_t(storage) + offset + length > table.size()) continue;
        record.text = table.substr(storage + offset, length);
        records.push_back(record);
    }
    for (const FontName& name : NewNames) records.push_back(NameRecord{3, 1, 0x409, uint32_t(name.id), Utf16FromAscii(name.text)});
    // Records must be sorted by platform, encoding, language and id; all share the first three.
    for (size_t i = 1; i < records.size(); i++)
        for (size_t j = i; j > 0 && records[j - 1].id > records[j].id; j--) std::swap(records[j - 1], records[j]);
    return records;
}

// A 'name' table of format 0 holding the records.
static std::string EncodeNameTable(const std::vector<NameRecord>& records)
{
    std::string table, strings;
    PutU16(table, 0);
    PutU16(table, uint32_t(records.size()));
    PutU16(table, uint32_t(6 + 12 * records.size()));
    for (const NameRecord& record : records) {
        PutU16(table, record.platform);
        PutU16(table, record.encoding);
        PutU16(table, record.language);
        PutU16(table, record.id);
        PutU16(table, uint32_t(record.text.size()));
        PutU16(table, uint32_t(strings.size()));
        strings += record.text;
    }
    return table + strings;
}

// Writes the tables back into one file with a fresh directory and checksums.
static std::string JoinFont(uint32_t version, std::vector<FontTable>& tables)
{
    uint32_t count = uint32_t(tables.size()), power = 1, log2 = 0;
    while (power * 2 <= count) power *= 2, log2++;
    std::string file;
    PutU32(file, version);
    PutU16(file, count);
    PutU16(file, power * 16);
    PutU16(file, log2);
    PutU16(file, count * 16 - power * 16);
    size_t headAt = 0, offset = 12 + 16 * size_t(count);
    std::string body;
    for (FontTable& table : tables) {
        if (table.tag == "head" && table.bytes.size() >= 12) SetU32(table.bytes, 8, 0); // checkSumAdjustment
        if (table.tag == "head") headAt = offset + body.size();
        file += table.tag;
        PutU32(file, TableChecksum(table.bytes));
        PutU32(file, uint32_t(offset + body.size()));
        PutU32(file, uint32_t(table.bytes.size()));
        body += table.bytes;
        while (body.size() % 4) body += '\0';
    }
    file += body;
    if (headAt) SetU32(file, headAt + 8, 0xB1B0AFBAu - TableChecksum(file));
    return file;
}

static FontTable* FindTable(std::vector<FontTable>& tables, const char* tag)
{
    for (FontTable& table : tables)
        if (table.tag == tag) return &table;
    return nullptr;
}

// Sets the line ascent and descent that FreeType reads ('hhea') to the ones Windows reads
// ('OS/2' win metrics). The source's 'hhea' ascent ends at the cap height, so on Linux the dots
// of "Ä", "Ö" and "Ü" were cut off at the top of every rendered line.
static void MatchLineMetrics(std::vector<FontTable>& tables)
{
    FontTable* hhea = FindTable(tables, "hhea");
    FontTable* os2 = FindTable(tables, "OS/2");
    if (!hhea || !os2 || hhea->bytes.size() < 8 || os2->bytes.size() < 78) return;
    uint32_t winAscent = GetU16(os2->bytes, 74), winDescent = GetU16(os2->bytes, 76);
    std::string ascent, descent;
    PutU16(ascent, winAscent);
    PutU16(descent, (0x10000 - winDescent) & 0xFFFF); // stored negative
    hhea->bytes.replace(4, 2, ascent);
    hhea->bytes.replace(6, 2, descent);
}

// Renames the source font and writes it where the game's font service looks for it.
void MakeTitleFont()
{
    std::string source = ReadWholeFile(SourceFontPath);
    uint32_t version = 0;
    std::vector<FontTable> tables;
    if (source.empty() || !SplitFont(source, version, tables)) {
        std::fprintf(stderr, "artgen: cannot read the title font %s (Debian package fonts-bebas-neue)\n",
                     SourceFontPath);
        std::exit(1);
    }
    FontTable* names = FindTable(tables, "name");
    if (!names) {
        std::fprintf(stderr, "artgen: the title font %s has no name table\n", SourceFontPath);
        std::exit(1);
    }
    names->bytes = EncodeNameTable(RenamedRecords(names->bytes));
    MatchLineMetrics(tables);
    SaveBytes("TXT\\Omiczp__.ttf", JoinFont(version, tables));
}
