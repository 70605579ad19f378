// game/base/config.cpp - reading and writing Konfigurationen.ini, driven by one table of settings.
#include "game/base/config.h"

#include "game/base/numbers.h"
#include "platform/files.h"
#include "platform/latin1.h"

#include <algorithm>
#include <cmath>
#include <vector>

std::string FolderSetting;
int JumpToScreenModes;
int MakeTextures;
int MouseSpeed;
int ScrollSpeed;
float GameSpeedSetting;
int MapSetting;
int DayNightSetting;
int StormSetting;
int Difficulty;
int StartHour;
std::string SaveName;
std::string ServerAddress;
std::string PlayerName;
int CurrentMission;
int ResolutionIndex;
int ColourDepth;
int SmokeEffects;
int TrackEffects;
int BloodEffects;
int ShadowEffects;
int SoundEffects;
int VoiceEffects;
int MusicInGame;
int StereoSound;
int PathfindingSetting;
int PathTestSetting;
int ComputerSetting;
int FrameSkipSetting;
int FogSetting;
int TechLevel;

// How a setting is held in memory and spelled in the file.
enum SettingKind {
    WholeNumber, // int as written
    Text,        // string as written
    RealNumber,  // float in memory, written rounded
    FrameSkip,   // "draw every X-th frame": X in the file, X - 1 in memory
    Mission,     // mission number in memory, scrambled in the file
};

struct Setting {
    const char* group;   // written with one space on each side
    const char* key;     // found in any letter case
    const char* comment; // the line above the key, after ";" (UTF-8 here, Latin-1 in the file)
    SettingKind kind;
    void* value;
    int defaultNumber;
    const char* defaultText;
    // A whole number that a saved game carries is held to the range its comment names: the save
    // reader takes no other, so a hand-edited value must not reach a save.
    int lowest = 0, highest = -1; // highest < lowest: any number
};

// A configuration without campaign progress starts with mission 1.
static const char* const FirstMissionLetters = "GLR";

static const std::vector<Setting> Settings = {
    {" EXE-Einstellungen ", "OrdnerOrt$", "Ort vom Ordner KORAX 3050 {$}", Text, &FolderSetting, 0, ""},
    {" EXE-Einstellungen ", "Sprung", "Bei Start zum Auflösungsmenü springen {0;1}", WholeNumber, &JumpToScreenModes, 0, nullptr},
    {" EXE-Einstellungen ", "Texturen_machen", "Bei Start nichtvorhandene Grafik erstellen {0;1}", WholeNumber, &MakeTextures, 0, nullptr},
    {" Steuerung ", "Maus", "Mausgeschwindigkeit {5...40}", WholeNumber, &MouseSpeed, 15, nullptr},
    {" Steuerung ", "Scroll", "Scrolltempo beim Kartenausschnittversieben {1...8}", WholeNumber, &ScrollSpeed, 4, nullptr},
    {" Spiel ", "KF", "Spielgeschwindigkeit {1...8}", RealNumber, &GameSpeedSetting, 4, nullptr},
    {" Spiel ", "SpielKarte", "Spielkarte {1..7}", WholeNumber, &MapSetting, 1, nullptr},
    {" Spiel ", "TagNacht", "Tag-Nacht-Wechel {-1;1}", WholeNumber, &DayNightSetting, 1, nullptr},
    {" Spiel ", "F9_Sturm", "Sandstürme {0..3}", WholeNumber, &StormSetting, 1, nullptr, 0, 3},
    {" Spiel ", "Schwierigkeitsgrad", "Schwierigkeitsgrad {1..3}", WholeNumber, &Difficulty, 2, nullptr, 1, 3},
    {" Spiel ", "StartTageszeit", "Tageszeit bei Start eines neuen Spiels {0...23}", WholeNumber, &StartHour, 12, nullptr},
    {" Spiel ", "savename$", "Letzter Spilstandname {$}", Text, &SaveName, 0, "autosave"},
    {" Spiel ", "IP_Adresse$", "Letzte benutzte IP Adresse {$}", Text, &ServerAddress, 0, "127.0.0.1"},
    {" Spiel ", "Spielername$", "Letzter benutzter Spielername {$}", Text, &PlayerName, 0, "Unbekannt"},
    {" Spiel ", "akt_Miss", "Aktuelle Mission (verschlüsselt) {1..3}", Mission, &CurrentMission, 0, FirstMissionLetters},
    {" Grafik ", "Auf", "Auflösung des Spiels {1...5}", WholeNumber, &ResolutionIndex, 3, nullptr},
    {" Grafik ", "Farbtiefe", "Farbtiefe des Spiels {16;24;32}", WholeNumber, &ColourDepth, 32, nullptr},
    {" Grafik ", "Effekt_Rauch", "Rauch bei Verbrennungsanlagen, beschädigten Fahrzeugen {-1| 1}", WholeNumber, &SmokeEffects, 1, nullptr},
    {" Grafik ", "Effekt_Spuren", "Spuren(Fuß oder Reifen) bei Einheiten {-1;1}", WholeNumber, &TrackEffects, 1, nullptr},
    {" Grafik ", "Effekt_Blut", "Blut und Trümmer bei zerstörten Elementen {-1;1}", WholeNumber, &BloodEffects, 1, nullptr},
    {" Grafik ", "Effekt_Schatten", "Schatten beim Tag-Nacht-Zyklus {-1;1}", WholeNumber, &ShadowEffects, 1, nullptr},
    {" Sound ", "Effekt_Sound", "Explosionen, Waffen {-1;1}", WholeNumber, &SoundEffects, 1, nullptr},
    {" Sound ", "Effekt_Sprache", "Sprache bei Aktionen {-1;1}", WholeNumber, &VoiceEffects, 1, nullptr},
    {" Sound ", "Effekt_HGM", "Hintergrundmusik im Spiel {-1;1}", WholeNumber, &MusicInGame, -1, nullptr},
    {" Sound ", "F9_2D_Sound", "Sereosound {-1;1}", WholeNumber, &StereoSound, -1, nullptr},
    {" Allgemein ", "F9_Wegsuche", "Wegsucheprogramm dazuschalten {-1;1}", WholeNumber, &PathfindingSetting, 1, nullptr},
    {" Allgemein ", "F9_Funk_Test", "Funktionstest der Wegsucheprogramm dazuschalten {-1;1}", WholeNumber, &PathTestSetting, -1, nullptr},
    {" Allgemein ", "F9_Computer", "Computer für Spieler 2 einsetzten {-1;1}", WholeNumber, &ComputerSetting, 1, nullptr},
    {" Allgemein ", "Herz", "Jedes Xte mal ein Bild anzeigen {1;2}", FrameSkip, &FrameSkipSetting, 1, nullptr},
    {" Allgemein ", "F9_DUNKEL", "Nicht erkundete Teile dunkel machen {-1;1}", WholeNumber, &FogSetting, 1, nullptr},
    {" Allgemein ", "TECH_STUFE", "Alle Technologien sind gleich erforscht {0;1}", WholeNumber, &TechLevel, 0, nullptr},
};

static const char* const ConfigFile = "Konfigurationen.ini";
static const char* const BodyFile = "_Konfigurationen.ini";
static const char* const EmptyMarker = "= = =";
static const char* const EndMarker = "= = = =";

std::string ScrambleMission(int mission)
{
    std::string plain = NumberText((long long)mission * mission), letters;
    for (unsigned char c : plain) {
        letters += char(71 + c / 100);
        letters += char(72 + c / 10 % 10);
        letters += char(73 + c % 10);
    }
    return letters;
}

// 0 when the letters are no scrambled number: a wrong count, a letter outside its range.
int UnscrambleMission(const std::string& letters)
{
    if (letters.empty() || letters.size() % 3 != 0) return 0;
    std::string plain;
    for (size_t i = 0; i < letters.size(); i += 3) {
        int d1 = letters[i] - 71, d2 = letters[i + 1] - 72, d3 = letters[i + 2] - 73;
        if (d1 < 0 || d1 > 9 || d2 < 0 || d2 > 9 || d3 < 0 || d3 > 9) return 0;
        plain += char(d1 * 100 + d2 * 10 + d3);
    }
    int squared = ReadNumber(plain);
    return squared > 0 ? int(std::lround(std::sqrt(double(squared)))) : 0;
}

// Stores a value read from the file (or the default's text) into the setting.
static void Store(const Setting& setting, const std::string& text)
{
    switch (setting.kind) {
    case Text: *(std::string*)setting.value = text; break;
    case WholeNumber: {
        int number = ReadNumber(TrimSpaces(text, 0));
        if (setting.highest >= setting.lowest) number = std::clamp(number, setting.lowest, setting.highest);
        *(int*)setting.value = number;
        break;
    }
    case RealNumber: *(float*)setting.value = float(ReadNumber(TrimSpaces(text, 0))); break;
    case FrameSkip: *(int*)setting.value = ReadNumber(TrimSpaces(text, 0)) - 1; break;
    case Mission: {
        // Campaign progress must survive a hand-edited line: spaces around it are trimmed, and
        // anything unreadable restarts at the default mission, never at "mission 0".
        int mission = UnscrambleMission(TrimSpaces(text, 1));
        *(int*)setting.value = mission > 0 ? mission : UnscrambleMission(setting.defaultText);
        break;
    }
    }
}

// The setting's value as the file spells it.
static std::string Spelled(const Setting& setting)
{
    switch (setting.kind) {
    case Text: return *(const std::string*)setting.value;
    case WholeNumber: return NumberText(*(const int*)setting.value);
    case RealNumber: return NumberText(std::lround(*(const float*)setting.value));
    case FrameSkip: return NumberText((long long)*(const int*)setting.value + 1);
    case Mission: return ScrambleMission(*(const int*)setting.value);
    }
    return "";
}

void SetConfigurationDefaults()
{
    for (const Setting& setting : Settings) {
        if (setting.kind == Text || setting.kind == Mission) Store(setting, setting.defaultText);
        else if (setting.kind == FrameSkip) *(int*)setting.value = setting.defaultNumber - 1;
        else if (setting.kind == RealNumber) *(float*)setting.value = float(setting.defaultNumber);
        else *(int*)setting.value = setting.defaultNumber;
    }
}

// Index of the line "[group]" (letter case ignored), or -1.
static int FindGroup(const std::vector<std::string>& lines, const std::string& group)
{
    for (size_t i = 0; i < lines.size(); i++)
        if (SameIgnoringCase(lines[i], "[" + group + "]")) return int(i);
    return -1;
}

// The value of `key` in one key line, when the line is that key's; 1 when found.
static int KeyLineValue(const std::string& line, const std::string& key, std::string& value)
{
    size_t i = 0;
    while (i < line.size() && line[i] == ' ') i++;
    if (i < line.size() && line[i] == ';') return 0;
    size_t keyEnd = i;
    while (keyEnd < line.size() && line[keyEnd] != ' ' && line[keyEnd] != '=') keyEnd++;
    if (!SameIgnoringCase(line.substr(i, keyEnd - i), key)) return 0;
    i = keyEnd;
    while (i < line.size() && line[i] == ' ') i++;
    if (i >= line.size() || line[i] != '=') return 0;
    i++;
    while (i < line.size() && line[i] == ' ') i++;
    value = line.substr(i);
    return 1;
}

// Looks for a setting's key inside its group, up to the next "[" line; 1 when found.
static int FindSetting(const std::vector<std::string>& lines, const Setting& setting, std::string& value)
{
    int group = FindGroup(lines, setting.group);
    if (group < 0) return 0;
    for (size_t i = size_t(group) + 1; i < lines.size() && (lines[i].empty() || lines[i][0] != '['); i++)
        if (KeyLineValue(lines[i], setting.key, value)) return 1;
    return 0;
}

void ReadConfiguration()
{
    std::string data;
    ReadWholeFile(ConfigFile, data);
    ReadConfigurationText(data);
}

void ReadConfigurationText(const std::string& data)
{
    std::vector<std::string> lines = SplitLines(data);
    for (const Setting& setting : Settings) {
        std::string value;
        if (FindSetting(lines, setting, value)) Store(setting, value);
    }
}

// The body as it goes through the scratch file: every empty line is a marker line.
static std::string ConfigurationBody()
{
    std::string body;
    const char* group = nullptr;
    for (const Setting& setting : Settings) {
        if (!group || std::string(group) != setting.group) {
            group = setting.group;
            for (int i = 0; i < 3; i++) AppendLine(body, EmptyMarker);
            AppendLine(body, "[" + std::string(group) + "]");
            AppendLine(body, EmptyMarker);
        }
        AppendLine(body, ";" + L1(setting.comment));
        AppendLine(body, std::string(setting.key) + " = " + Spelled(setting));
        AppendLine(body, EmptyMarker);
    }
    AppendLine(body, EmptyMarker);
    AppendLine(body, EndMarker);
    return body;
}

static std::string ConfigurationHeader()
{
    std::string header;
    AppendLine(header, "; Das ist die Konfigurationensdatei von KORAX 3050" + L1(", gebaut vom Studio Wüstenwind"));
    AppendLine(header, L1("; Änderungen in dieser Datei können zu unerwünschten Folgen führen,"));
    AppendLine(header, L1("; also ändern sie nur was, wenn sie genau wissen was sie machen."));
    AppendLine(header, ";" + std::string(40, ' ') + L1("Mit freundlichen Grüßen, das KORAX-3050-Team"));
    return header;
}

int WriteConfiguration()
{
    // The body goes through a scratch file first, so that a half-done write never leaves a
    // broken configuration behind: the real file is only written from a complete body.
    if (!WriteWholeFile(BodyFile, ConfigurationBody())) return 0;
    std::string body;
    int readBack = ReadWholeFile(BodyFile, body);
    RemoveFile(BodyFile);
    if (!readBack) return 0;
    std::string file = ConfigurationHeader();
    for (const std::string& line : SplitLines(body)) {
        if (line == EndMarker) break;
        AppendLine(file, line == EmptyMarker ? "" : line);
    }
    return WriteWholeFile(ConfigFile, file);
}
