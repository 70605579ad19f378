// tools/artgen/voices.cpp - the spoken messages of WAV\Sprache, as heard over the field radio.
//
// espeak-ng speaks each German line, we band-limit, compress and level it like a radio
// channel, and lame encodes it to MP3. espeak-ng and lame give the same bytes for the same
// input, and our processing is plain arithmetic, so every build writes the same files.
#include "audio.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

extern char** environ;

static const double VoicePeak = 0.891; // -1 dBFS

// Who speaks: the soldiers answer orders, the operator at the base reports.
struct Speaker {
    const char* voice; // espeak-ng voice and variant
    const char* pitch; // 0..99
    const char* speed; // words per minute
};
static const Speaker Soldier = {"de+m3", "38", "165"};
static const Speaker Operator = {"de+klatt3", "45", "150"};

// One message: the file name the game asks for and the sentence it stands for (UTF-8).
struct VoiceLine {
    const char* name;
    const char* sentence;
    const Speaker* speaker;
    const char* pronounced = nullptr; // what espeak-ng reads instead, where its German rules
                                      // would say a borrowed word wrongly ([[ ]] holds sounds)
};
static const VoiceLine VoiceLines[] = {
    {"Was_ist", "Was ist?", &Soldier},
    {"Jaaa", "Jaaa?", &Soldier},
    {"Worum_gehts", "Worum geht's?", &Soldier},
    {"Was_soll_ich_machen", "Was soll ich machen?", &Soldier},
    {"Jawohl_Sir", "Jawohl, Sir!", &Soldier, "Jawohl, [[s'Y:r]]!"}, // the English "Sir", not "Sier"
    {"Bin_auf_dem_Weg", "Bin auf dem Weg!", &Soldier},
    {"Sofort", "Sofort!", &Soldier},
    {"Wie_soll_ich_da_hinkommen", "Wie soll ich da hinkommen?", &Soldier},
    {"Ich_tue_was_ich_kann", "Ich tue, was ich kann!", &Soldier},
    {"Einer_muss_es_ja_machen", "Einer muss es ja machen.", &Soldier},
    {"Schon_dabei", "Schon dabei!", &Soldier},
    {"Das_ist_nicht_moeglich", "Das ist nicht möglich!", &Soldier},
    {"Wird_ausgebildet", "Wird ausgebildet.", &Operator},
    {"Wird_gebaut", "Wird gebaut.", &Operator},
    {"Wird_erforscht", "Wird erforscht.", &Operator},
    {"Neue_Einheit_verfuegbar", "Neue Einheit verfügbar.", &Operator},
    {"Neue_Einheit_fertiggestellt", "Neue Einheit fertiggestellt.", &Operator},
    {"Gebaeude_fertig", "Gebäude fertig.", &Operator},
    {"Neue_Waffe_erforscht", "Neue Waffe erforscht.", &Operator},
    {"Neue_Einheit_erforscht", "Neue Einheit erforscht.", &Operator},
    {"Neue_Technologie_erforscht", "Neue Technologie erforscht.", &Operator},
    {"Technologie_verbessert", "Technologie verbessert.", &Operator},
    {"Abgebrochen", "Abgebrochen.", &Operator},
    {"Zu_wenig_Energie", "Zu wenig Energie!", &Operator},
    {"Gebaeude_unter_Beschuss", "Gebäude unter Beschuss!", &Operator},
    {"Basis_unter_Beschuss", "Basis unter Beschuss!", &Operator},
    {"Wir_werden_angegriffen", "Wir werden angegriffen!", &Operator},
    {"Gebaeude_Verloren", "Gebäude verloren.", &Operator},
    {"Einheit_Verloren", "Einheit verloren.", &Operator},
};

// ---- running the tools ------------------------------------------------------------------------

// Runs a program found on the PATH with its output thrown away; 1 when it ran and ended well.
static int RunQuietly(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    int failed = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) return 0;
    int status = 0;
    if (waitpid(child, &status, 0) != child) return 0;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

static void StopWith(const char* message)
{
    std::fprintf(stderr, "artgen: %s\n", message);
    std::exit(1);
}

static std::string ReadFileBytes(const std::string& path)
{
    std::string bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    std::fclose(file);
    return bytes;
}

static int WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    int ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

// ---- the radio channel ------------------------------------------------------------------------

// Cuts the silence that espeak-ng leaves around a sentence, keeping a short breath of it.
static void TrimSilence(Samples& samples, int rate)
{
    size_t first = 0, last = samples.size();
    while (first < last && std::fabs(samples[first]) < 0.01f) first++;
    while (last > first && std::fabs(samples[last - 1]) < 0.01f) last--;
    size_t margin = size_t(0.04 * rate);
    first = first > margin ? first - margin : 0;
    last = std::min(samples.size(), last + margin);
    samples = Samples(samples.begin() + long(first), samples.begin() + long(last));
}

// A field radio passes only 300-3400 Hz; two sections on each side make the edges steep.
static void RadioBand(Samples& samples, int rate)
{
    for (int pass = 0; pass < 2; pass++) {
        FilterSamples(samples, MakeBiquad(HighPassFilter, rate, 300, 0.707));
        FilterSamples(samples, MakeBiquad(LowPassFilter, rate, 3400, 0.707));
    }
}

// Evens out loud and soft syllables (3:1 above -20 dB of the peak), then drives the
// signal gently into saturation, as a radio's limiter would.
static void Compress(Samples& samples, int rate)
{
    NormalisePeak(samples, 1.0);
    double attack = std::exp(-1.0 / (0.005 * rate)), release = std::exp(-1.0 / (0.08 * rate));
    double envelope = 0, threshold = 0.1;
    for (float& sample : samples) {
        double level = std::fabs(sample);
        envelope = level > envelope ? attack * envelope + (1 - attack) * level : release * envelope + (1 - release) * level;
        double gain = envelope > threshold ? std::pow(envelope / threshold, 1.0 / 3 - 1) : 1.0;
        sample = float(std::tanh(1.6 * sample * gain) / std::tanh(1.6));
    }
}

// A faint hiss of the channel under the voice.
static void AddHiss(Samples& samples, int rate, const std::string& seed)
{
    ArtRandom random = SeededRandom(seed);
    Biquad band = MakeBiquad(BandPassFilter, rate, 2000, 0.5);
    for (float& sample : samples) sample += float(0.012 * RunBiquad(band, WhiteNoise(random)));
}

// ---- one message ------------------------------------------------------------------------------

// Speaks, processes and encodes one message; 1 on success.
static int MakeVoiceLine(const VoiceLine& line, const std::string& folder)
{
    std::string spoken = folder + "/spoken.wav", radio = folder + "/radio.wav", encoded = folder + "/radio.mp3";
    const Speaker& speaker = *line.speaker;
    const char* text = line.pronounced ? line.pronounced : line.sentence;
    if (!RunQuietly({"espeak-ng", "-v", speaker.voice, "-p", speaker.pitch, "-s", speaker.speed, "-b", "1", "-w", spoken, text}))
        return 0;
    Samples samples;
    int rate = 0;
    if (!DecodeWav(ReadFileBytes(spoken), samples, rate) || samples.empty() || rate <= 0) return 0;
    TrimSilence(samples, rate);
    RadioBand(samples, rate);
    Compress(samples, rate);
    AddHiss(samples, rate, line.name);
    FadeEnds(samples, rate, 0.005, 0.02);
    NormalisePeak(samples, VoicePeak);
    if (!WriteFileBytes(radio, EncodeWav(samples, {}, rate))) return 0;
    if (!RunQuietly({"lame", "--quiet", "-b", "64", "-m", "m", radio, encoded})) return 0;
    std::string mp3 = ReadFileBytes(encoded);
    if (mp3.empty()) return 0;
    SaveBytes(std::string("WAV\\Sprache\\") + line.name + ".MP3", mp3);
    unlink(spoken.c_str());
    unlink(radio.c_str());
    unlink(encoded.c_str());
    return 1;
}

// Every voice message, made in a private scratch folder that is removed afterwards.
void MakeVoices()
{
    if (!RunQuietly({"espeak-ng", "--version"})) StopWith("espeak-ng is missing (Debian package espeak-ng)");
    if (!RunQuietly({"lame", "--version"})) StopWith("lame is missing (Debian package lame)");
    const char* temporary = std::getenv("TMPDIR");
    std::string pattern = std::string(temporary && *temporary ? temporary : "/tmp") + "/artgen-voices-XXXXXX";
    if (!mkdtemp(pattern.data())) StopWith("cannot make a scratch folder for the voices");
    int failedLine = -1;
    for (int i = 0; i < int(std::size(VoiceLines)) && failedLine < 0; i++)
        if (!MakeVoiceLine(VoiceLines[i], pattern)) failedLine = i;
    for (const char* leftover : {"/spoken.wav", "/radio.wav", "/radio.mp3"}) unlink((pattern + leftover).c_str());
    rmdir(pattern.c_str());
    if (failedLine >= 0) {
        std::fprintf(stderr, "artgen: could not make the voice message %s\n", VoiceLines[failedLine].name);
        std::exit(1);
    }
}
