// tools/artgen/music.cpp - the background music WAV\HGM2.wav: 100 seconds of desert that loop.
//
// D in the Phrygian dominant mode (D Eb F# G A Bb C): a drone pad, a slow bass riff, frame
// drums and a reed-like melody, in sections written as tables. The game plays the file over
// and over, so the piece is mixed into a ring: whatever rings past the end sounds again at the
// start, and echo and reverb run twice round the ring so that their state at the join is the
// state they really have there. The file thus joins itself without a seam.
#include "audio.h"

#include <algorithm>
#include <cmath>

static const int MusicRate = 22050;                 // Hz, stereo
static const int Bars = 40;                         // 4/4 bars of 2.5 s
static const int StepsPerBar = 16;                  // sixteenth notes
static const double StepSeconds = 60.0 / 96.0 / 4;  // 96 beats per minute
static const size_t LoopLength = size_t(Bars * StepsPerBar * StepSeconds * MusicRate + 0.5);

// The stereo ring everything is mixed into.
struct Ring {
    Samples left, right;
};

static double StepTime(int step) { return step * StepSeconds; }
static double NoteHz(double midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12); }

static Ring NewRing() { return Ring{Samples(LoopLength, 0.0f), Samples(LoopLength, 0.0f)}; }

// A place between the speakers, as the gains of the two sides (equal power).
struct Pan {
    double left, right;
};
static Pan PanOf(double place) // -1 left .. 1 right
{
    double angle = (place + 1) * Pi / 4;
    return Pan{std::cos(angle), std::sin(angle)};
}

// Adds one sample at a ring position below twice the ring's length; positions past the end
// wrap round to the start.
static void AddAt(Ring& ring, size_t at, double value, Pan pan)
{
    if (at >= LoopLength) at -= LoopLength;
    ring.left[at] += float(value * pan.left);
    ring.right[at] += float(value * pan.right);
}

// A number of samples for a duration.
static size_t SampleCount(double seconds) { return size_t(std::max(0.0, seconds) * MusicRate + 0.5); }

// The ring position of a time; a time just before the start lies at the end of the ring.
static size_t RingIndex(double seconds)
{
    long at = std::lround(seconds * MusicRate) % long(LoopLength);
    return size_t(at < 0 ? at + long(LoopLength) : at);
}

// A band-limited sawtooth step (polyBLEP), so the low pads do not fizz with aliasing.
static double Saw(double& phase, double increment)
{
    phase += increment;
    if (phase >= 1) phase -= 1;
    double value = 2 * phase - 1;
    if (phase < increment) {
        double t = phase / increment;
        value -= t + t - t * t - 1;
    } else if (phase > 1 - increment) {
        double t = (phase - 1) / increment;
        value -= t * t + t + t + 1;
    }
    return value;
}

// ---- the plan ---------------------------------------------------------------------------------

// Chords as MIDI notes of the pad; the first is the root that the bass follows.
struct Chord {
    int notes[4];
};
static const Chord Chords[] = {
    {{38, 45, 50, 54}}, // 0 D major, the mode's home
    {{39, 46, 51, 55}}, // 1 Eb major, the half step above that gives the mode its colour
    {{36, 43, 48, 51}}, // 2 C minor
    {{43, 50, 55, 58}}, // 3 G minor
};

enum BassStyle { NoBass, RiffBass, LeapingBass, HeldBass };

// A stretch of bars with its chord cycle (one chord per bar, repeating), bass and drums.
struct Section {
    int firstBar, bars;
    int chords[4];
    BassStyle bass;
    const char* drums; // sixteen steps per bar, see DrumKinds
    int boom;          // 1: a deep drum opens the section
};
static const Section Sections[] = {
    {0, 4, {0, 0, 0, 0}, NoBass, "D...............", 0},         // the drone alone
    {4, 8, {0, 0, 1, 0}, RiffBass, "D.T...T.D...T...", 1},        // the riff and the drums come in
    {12, 8, {0, 3, 1, 0}, RiffBass, "D.Tk.kT.D.k.T.k.", 0},       // first tune
    {20, 4, {1, 1, 0, 0}, HeldBass, "D.......D.......", 1},       // the break, a lone flute
    {24, 8, {0, 2, 1, 0}, LeapingBass, "D.TkTkT.D.kDT.kT", 1},    // second tune, higher
    {32, 4, {3, 1, 0, 0}, RiffBass, "D.TkTkT.D.kDT.kT", 0},       // first tune returns
    {36, 4, {0, 0, 0, 0}, NoBass, "D.......T.......", 0},         // back to the drone
};

static const Section& SectionOfBar(int bar)
{
    for (const Section& section : Sections)
        if (bar >= section.firstBar && bar < section.firstBar + section.bars) return section;
    return Sections[0];
}

static int ChordOfBar(int bar)
{
    const Section& section = SectionOfBar(bar % Bars);
    return section.chords[(bar % Bars - section.firstBar) % 4];
}

// ---- pad and wind -----------------------------------------------------------------------------

// How far a held sound has faded in and not yet out, 0..1, with soft cosine edges.
static double HeldLevel(double t, double seconds, double fade)
{
    double level = std::min(1.0, std::min(t, seconds - t) / fade);
    return level >= 1 ? 1.0 : 0.5 - 0.5 * std::cos(Pi * std::max(0.0, level));
}

// One held chord from `start` for `seconds` and a fade: three detuned saws per note spread
// across the sides, all through one slowly breathing low-pass per side.
static void AddPadChord(Ring& ring, const Chord& chord, double start, double seconds)
{
    const double detune[3] = {-0.07, 0.0, 0.07}; // semitones
    const Pan pans[3] = {PanOf(-0.8), PanOf(0), PanOf(0.8)};
    const double fade = 1.5;
    double phases[4][3], increments[4][3];
    for (int n = 0; n < 4; n++) {
        for (int v = 0; v < 3; v++) {
            phases[n][v] = 0.31 * (n + 1) * (v + 1) - std::floor(0.31 * (n + 1) * (v + 1));
            increments[n][v] = NoteHz(chord.notes[n] + detune[v]) / MusicRate;
        }
    }
    size_t first = RingIndex(start), count = SampleCount(seconds + fade);
    Biquad left, right;
    double level = 0;
    for (size_t i = 0; i < count; i++) {
        if (i % 32 == 0) {
            // The filter breathes five times per loop, so it too meets itself at the join.
            double loopTime = double((first + i) % LoopLength) / MusicRate;
            double corner = 650 + 350 * std::sin(2 * Pi * 5 * loopTime / 100.0);
            TuneBiquad(left, LowPassFilter, MusicRate, corner, 0.9);
            TuneBiquad(right, LowPassFilter, MusicRate, corner, 0.9);
            level = 0.035 * HeldLevel(double(i) / MusicRate, seconds + fade, fade);
        }
        double sumLeft = 0, sumRight = 0;
        for (int v = 0; v < 3; v++) {
            double saw = 0;
            for (int n = 0; n < 4; n++) saw += Saw(phases[n][v], increments[n][v]);
            sumLeft += saw * pans[v].left;
            sumRight += saw * pans[v].right;
        }
        AddAt(ring, first + i, level * RunBiquad(left, float(sumLeft)), Pan{1, 0});
        AddAt(ring, first + i, level * RunBiquad(right, float(sumRight)), Pan{0, 1});
    }
}

// The pad plays each run of equal chords as one held chord; a run may wrap round the join.
static void AddPads(Ring& ring)
{
    int firstBar = 0;
    while (firstBar < Bars && ChordOfBar(firstBar) == ChordOfBar(firstBar + Bars - 1)) firstBar++;
    for (int bar = firstBar; bar < firstBar + Bars;) {
        int end = bar + 1;
        while (end < firstBar + Bars && ChordOfBar(end) == ChordOfBar(bar)) end++;
        AddPadChord(ring, Chords[ChordOfBar(bar)], StepTime(bar * StepsPerBar), StepTime((end - bar) * StepsPerBar));
        bar = end;
    }
}

// Runs a band-pass that sweeps along `hzAt` round the ring. It first runs over the ring's last
// half second, so that at the join it is in the state the end of the ring leaves it in.
static void FilterRing(Samples& samples, double rate, double (*hzAt)(double), double quality)
{
    Biquad filter;
    size_t warmUp = std::min(samples.size(), size_t(0.5 * rate));
    for (size_t i = samples.size() - warmUp; i < samples.size(); i++) {
        if (i % 64 == 0) TuneBiquad(filter, BandPassFilter, rate, hzAt(double(i) / rate), quality);
        RunBiquad(filter, samples[i]);
    }
    for (size_t i = 0; i < samples.size(); i++) {
        if (i % 64 == 0) TuneBiquad(filter, BandPassFilter, rate, hzAt(double(i) / rate), quality);
        samples[i] = RunBiquad(filter, samples[i]);
    }
}

static double WindHz(double t) { return 600 + 350 * std::sin(2 * Pi * 3 * t / 100.0) + 150 * std::sin(2 * Pi * 7 * t / 100.0); }

// Desert wind: a band of noise that wanders, a little different on each side.
static void AddWind(Ring& ring)
{
    for (int side = 0; side < 2; side++) {
        ArtRandom random = SeededRandom(side ? "HGM2 wind right" : "HGM2 wind left");
        Samples wind(LoopLength);
        for (float& sample : wind) sample = WhiteNoise(random);
        FilterRing(wind, MusicRate, WindHz, 0.7);
        Samples& out = side ? ring.right : ring.left;
        for (size_t i = 0; i < LoopLength; i++) {
            double t = double(i) / MusicRate;
            double gust = 0.6 + 0.4 * std::sin(2 * Pi * (2 + side) * t / 100.0 + side);
            out[i] += float(0.09 * gust * wind[i]);
        }
    }
}

// ---- bass -------------------------------------------------------------------------------------

struct Note {
    int step;   // sixteenth within the bar or phrase
    int length; // sixteenths
    int pitch;  // semitones above the root or tonic
};
// The riff over the home chord walks down the mode: D D Eb D C Bb A.
static const std::vector<Note> HomeRiff = {{0, 3, 0}, {3, 2, 0}, {6, 2, 1}, {8, 3, 0}, {11, 2, -2}, {13, 1, -4}, {14, 2, -5}};
static const std::vector<Note> OtherRiff = {{0, 3, 0}, {3, 2, 0}, {6, 2, 7}, {8, 3, 0}, {11, 2, 12}, {13, 3, 7}};
static const std::vector<Note> LeapRiff = {{0, 2, 0}, {2, 1, 12}, {3, 2, 0}, {6, 2, 1}, {8, 2, 0}, {10, 1, 12}, {11, 2, -2}, {13, 1, -4}, {14, 2, -5}};
static const std::vector<Note> HeldRoot = {{0, 15, 0}};

// One plucked bass note: a saw through a closing filter over a sine body.
static void AddBassNote(Ring& ring, double start, double seconds, int midi)
{
    double hz = NoteHz(midi), phase = 0, body = 0;
    Biquad filter;
    size_t first = RingIndex(start), count = SampleCount(seconds + 0.08);
    for (size_t i = 0; i < count; i++) {
        double t = double(i) / MusicRate;
        if (i % 16 == 0) TuneBiquad(filter, LowPassFilter, MusicRate, 180 + 1100 * std::exp(-t / 0.12), 1.4);
        double level = std::min(1.0, t / 0.005) * (0.7 + 0.3 * std::exp(-t / 0.3));
        if (t > seconds) level *= std::max(0.0, 1 - (t - seconds) / 0.08);
        body += 2 * Pi * hz / MusicRate;
        double value = 0.5 * RunBiquad(filter, float(Saw(phase, hz / MusicRate))) + 0.35 * std::sin(body);
        AddAt(ring, first + i, 0.35 * level * value, PanOf(0));
    }
}

static void AddBass(Ring& ring)
{
    for (int bar = 0; bar < Bars; bar++) {
        const Section& section = SectionOfBar(bar);
        int chord = ChordOfBar(bar);
        const std::vector<Note>* riff = nullptr;
        if (section.bass == RiffBass) riff = chord == 0 ? &HomeRiff : &OtherRiff;
        if (section.bass == LeapingBass) riff = chord == 0 ? &LeapRiff : &OtherRiff;
        if (section.bass == HeldBass) riff = &HeldRoot;
        if (!riff) continue;
        for (const Note& note : *riff)
            AddBassNote(ring, StepTime(bar * StepsPerBar + note.step), StepTime(note.length) * 0.9,
                        Chords[chord].notes[0] + note.pitch);
    }
}

// ---- drums ------------------------------------------------------------------------------------

// The frame drum's strokes by letter: deep "doum" in the middle, bright "tek" at the rim, a
// soft "ka", and the big drum "B" that opens sections.
struct DrumKind {
    char letter;
    double fromHz, toHz, toneSeconds; // the skin's tone and how fast it falls
    double noiseHz, noiseSeconds;     // the slap
    double toneLevel, noiseLevel, pan;
};
static const DrumKind DrumKinds[] = {
    {'D', 115, 68, 0.28, 900, 0.012, 0.55, 0.18, 0.0},
    {'T', 830, 800, 0.04, 1900, 0.035, 0.10, 0.30, 0.25},
    {'k', 900, 880, 0.025, 2600, 0.02, 0.04, 0.14, -0.3},
    {'B', 62, 42, 0.6, 350, 0.15, 0.4, 0.15, 0.0},
};

// One stroke: a skin tone whose pitch drops as it settles, and a slap of filtered noise. Both
// end 5 time constants in (-43 dB), the last tenth faded so the end is soft.
static void AddDrum(Ring& ring, const DrumKind& kind, double start, double strength, ArtRandom& random)
{
    Biquad slap = MakeBiquad(BandPassFilter, MusicRate, kind.noiseHz, 1.2);
    size_t toneCount = SampleCount(kind.toneSeconds * 5), noiseCount = SampleCount(kind.noiseSeconds * 5);
    size_t count = std::max(toneCount, noiseCount), first = RingIndex(start), attack = SampleCount(0.001);
    double toneFall = std::exp(-1.0 / (kind.toneSeconds * MusicRate));
    double noiseFall = std::exp(-1.0 / (kind.noiseSeconds * MusicRate));
    double glideFall = std::exp(-1.0 / (0.025 * MusicRate));
    double phase = 0, tone = kind.toneLevel, noise = 3 * kind.noiseLevel, glide = kind.fromHz - kind.toHz;
    Pan pan = PanOf(kind.pan);
    for (size_t i = 0; i < count; i++) {
        phase += 2 * Pi * (kind.toHz + glide) / MusicRate;
        glide *= glideFall;
        double value = tone * std::sin(phase);
        tone *= toneFall;
        if (i < noiseCount) value += noise * RunBiquad(slap, WhiteNoise(random));
        noise *= noiseFall;
        double edge = std::min({1.0, double(i) / double(attack), 10.0 * double(count - i) / double(count)});
        AddAt(ring, first + i, strength * edge * value, pan);
    }
}

static const DrumKind* DrumOfLetter(char letter)
{
    for (const DrumKind& kind : DrumKinds)
        if (kind.letter == letter) return &kind;
    return nullptr;
}

// Plays each section's pattern; hands are never quite even, so strength and timing wander.
static void AddDrums(Ring& ring)
{
    ArtRandom random = SeededRandom("HGM2 drums");
    for (int bar = 0; bar < Bars; bar++) {
        const Section& section = SectionOfBar(bar);
        if (section.boom && bar == section.firstBar) AddDrum(ring, *DrumOfLetter('B'), StepTime(bar * StepsPerBar), 1.0, random);
        for (int step = 0; step < StepsPerBar; step++) {
            const DrumKind* kind = DrumOfLetter(section.drums[step]);
            if (!kind) continue;
            double accent = step % 4 == 0 ? 1.0 : 0.85;
            double start = StepTime(bar * StepsPerBar + step) + RandomRange(random, -0.004, 0.004);
            AddDrum(ring, *kind, start, accent * RandomRange(random, 0.85, 1.0), random);
        }
    }
}

// ---- melody -----------------------------------------------------------------------------------

// Phrases of four bars, in sixteenths, pitches in semitones above D4.
static const std::vector<Note> PhraseCall = {
    {0, 8, 7},   {8, 2, 8},   {10, 2, 7},  {12, 2, 5},  {14, 2, 4},  {16, 4, 5},  {20, 2, 4},
    {22, 2, 1},  {24, 8, 0},  {32, 2, 0},  {34, 2, 1},  {36, 4, 4},  {40, 2, 5},  {42, 6, 7},
    {48, 2, 8},  {50, 2, 7},  {52, 2, 5},  {54, 2, 4},  {56, 8, 4}};
static const std::vector<Note> PhraseAnswer = {
    {0, 8, 7},   {8, 2, 8},   {10, 2, 7},  {12, 2, 5},  {14, 2, 4},  {16, 4, 5},  {20, 2, 4},
    {22, 2, 1},  {24, 8, 0},  {32, 2, 7},  {34, 2, 5},  {36, 4, 4},  {40, 2, 1},  {42, 6, 4},
    {48, 2, 1},  {50, 2, 0},  {52, 12, 0}};
static const std::vector<Note> PhraseHigh = {
    {0, 4, 12},  {4, 2, 13},  {6, 2, 12},  {8, 8, 10},  {16, 2, 8},  {18, 2, 10}, {20, 4, 12},
    {24, 8, 7},  {32, 2, 7},  {34, 2, 8},  {36, 2, 10}, {38, 2, 12}, {40, 4, 13}, {44, 4, 12},
    {48, 4, 10}, {52, 4, 8},  {56, 8, 7}};
static const std::vector<Note> PhraseDescent = {
    {0, 4, 12},  {4, 2, 13},  {6, 2, 12},  {8, 8, 10},  {16, 2, 8},  {18, 2, 7},  {20, 4, 5},
    {24, 8, 4},  {32, 2, 4},  {34, 2, 5},  {36, 4, 7},  {40, 2, 8},  {42, 2, 7},  {44, 4, 5},
    {48, 4, 4},  {52, 4, 1},  {56, 8, 0}};
static const std::vector<Note> PhraseLone = {
    {0, 12, 8},  {12, 4, 5},  {16, 14, 1}, {32, 12, 4}, {44, 4, 5},  {48, 14, 7}};

// Where the tunes play: bar, phrase, octave shift, loudness, place between the speakers.
struct PhrasePlacement {
    int bar;
    const std::vector<Note>* phrase;
    int octave;
    double level, pan;
};
static const PhrasePlacement Placements[] = {
    {12, &PhraseCall, 0, 1.0, -0.15},   {16, &PhraseAnswer, 0, 1.0, -0.15}, {20, &PhraseLone, 0, 0.8, 0.1},
    {24, &PhraseHigh, 0, 0.9, -0.15},   {28, &PhraseDescent, 0, 0.95, -0.15},
    {32, &PhraseAnswer, 0, 1.0, -0.15}, {32, &PhraseAnswer, -1, 0.45, 0.35},
};

static const double ReedHarmonics[] = {1.0, 0.55, 0.42, 0.25, 0.18, 0.12, 0.08, 0.05};

// The pitch and whether a note sounds at a time into the phrase (in sixteenths); legato notes
// are parted by a short dip, as a player's tongue parts them.
static int PhraseNoteAt(const std::vector<Note>& phrase, double step, double& pitch)
{
    for (const Note& note : phrase) {
        if (step < note.step || step >= note.step + note.length) continue;
        pitch = note.pitch;
        return step < note.step + note.length - 0.15 ? 1 : 0;
    }
    return 0;
}

// A reed flute: harmonics with breath, gliding between notes, vibrato on held notes.
static void AddPhrase(Ring& ring, const PhrasePlacement& placement, ArtRandom& random)
{
    const std::vector<Note>& phrase = *placement.phrase;
    double start = StepTime(placement.bar * StepsPerBar);
    double seconds = StepTime(phrase.back().step + phrase.back().length) + 0.4;
    double pitch = phrase.front().pitch, target = pitch, level = 0, phase = 0, held = 0;
    Biquad breath = MakeBiquad(BandPassFilter, MusicRate, 1600, 0.9);
    Pan pan = PanOf(placement.pan);
    size_t first = RingIndex(start);
    for (size_t i = 0, count = SampleCount(seconds); i < count; i++) {
        double t = double(i) / MusicRate;
        int sounding = PhraseNoteAt(phrase, t / StepSeconds, target);
        pitch += (target - pitch) * 0.004;                               // about 11 ms of glide
        level += ((sounding ? 1.0 : 0.0) - level) * (sounding ? 0.0016 : 0.0006);
        held = sounding && std::fabs(target - pitch) < 0.05 ? held + 1.0 / MusicRate : 0;
        double vibrato = 0.12 * std::min(1.0, std::max(0.0, held - 0.25) / 0.4) * std::sin(2 * Pi * 5.2 * t);
        double hz = NoteHz(62 + 12 * placement.octave + pitch + vibrato);
        phase += 2 * Pi * hz / MusicRate;
        if (phase > 2 * Pi * 64) phase -= 2 * Pi * 64;
        // sin((k + 1) phase) by the recurrence s(k + 1) = 2 cos(phase) s(k) - s(k - 1)
        double value = 0, twiceCos = 2 * std::cos(phase), before = 0, harmonic = std::sin(phase);
        for (int k = 0; k < 8 && (k + 1) * hz < 5000; k++) {
            value += ReedHarmonics[k] * harmonic;
            double next = twiceCos * harmonic - before;
            before = harmonic;
            harmonic = next;
        }
        value += 0.5 * RunBiquad(breath, WhiteNoise(random));
        AddAt(ring, first + i, 0.09 * placement.level * level * value, pan);
    }
}

static void AddMelody(Ring& ring)
{
    ArtRandom random = SeededRandom("HGM2 melody");
    for (const PhrasePlacement& placement : Placements) AddPhrase(ring, placement, random);
}

// ---- space ------------------------------------------------------------------------------------

// Delay lines for the echo and the reverb.
struct DelayLine {
    std::vector<float> line;
    size_t at = 0;
};

static DelayLine MakeDelay(size_t length) { return DelayLine{std::vector<float>(std::max<size_t>(length, 1), 0.0f), 0}; }

// The sample that went in `line.size()` steps ago, replaced by `input`.
static float PassDelay(DelayLine& delay, float input)
{
    float out = delay.line[delay.at];
    delay.line[delay.at] = input;
    if (++delay.at == delay.line.size()) delay.at = 0;
    return out;
}

// A small room of four damped combs and two all-passes per side.
struct Reverb {
    DelayLine combs[4], passes[2];
    float damped[4] = {0, 0, 0, 0};
};

static Reverb MakeReverb(int spread)
{
    const size_t combLengths[4] = {1116, 1188, 1277, 1356}, passLengths[2] = {556, 441};
    Reverb reverb;
    for (int c = 0; c < 4; c++) reverb.combs[c] = MakeDelay((combLengths[c] + size_t(spread)) / 2);
    for (int p = 0; p < 2; p++) reverb.passes[p] = MakeDelay((passLengths[p] + size_t(spread)) / 2);
    return reverb;
}

static float RunReverb(Reverb& reverb, float input)
{
    float sum = 0;
    for (int c = 0; c < 4; c++) {
        DelayLine& comb = reverb.combs[c];
        float out = comb.line[comb.at];
        reverb.damped[c] = 0.6f * out + 0.4f * reverb.damped[c];
        comb.line[comb.at] = input + 0.8f * reverb.damped[c];
        if (++comb.at == comb.line.size()) comb.at = 0;
        sum += out;
    }
    for (int p = 0; p < 2; p++) {
        DelayLine& pass = reverb.passes[p];
        float delayed = pass.line[pass.at];
        float into = sum + 0.5f * delayed;
        pass.line[pass.at] = into;
        if (++pass.at == pass.line.size()) pass.at = 0;
        sum = delayed - 0.5f * into;
    }
    return sum * 0.25f;
}

// The melody's dotted-eighth echo that crosses between the sides, and the room around all.
struct Space {
    DelayLine toLeft, toRight;
    Reverb left, right;
    float fromLeft = 0, fromRight = 0; // the echoes of the sample before, fed back
};

// One sample through the space; gives the melody with its echo and the room, to add.
static void RunSpace(Space& space, const Ring& ring, const Ring& lead, size_t i, float& wetLeft, float& wetRight)
{
    float echoLeft = PassDelay(space.toLeft, 0.35f * (lead.right[i] + space.fromRight));
    float echoRight = PassDelay(space.toRight, 0.35f * (lead.left[i] + space.fromLeft));
    space.fromLeft = echoLeft;
    space.fromRight = echoRight;
    float roomLeft = RunReverb(space.left, ring.left[i] + lead.left[i] + echoLeft);
    float roomRight = RunReverb(space.right, ring.right[i] + lead.right[i] + echoRight);
    wetLeft = lead.left[i] + echoLeft + 0.7f * roomLeft;
    wetRight = lead.right[i] + echoRight + 0.7f * roomRight;
}

// Adds the melody, its echo and the room to the ring. Echo and room first run over the ring's
// last four seconds, by which time whatever came before has died away, so at the join they
// are in the state the end of the ring leaves them in.
static void AddSpace(Ring& ring, const Ring& lead)
{
    size_t echoLength = SampleCount(StepTime(3));
    Space space{MakeDelay(echoLength), MakeDelay(echoLength), MakeReverb(0), MakeReverb(23)};
    float wetLeft = 0, wetRight = 0;
    for (size_t i = LoopLength - SampleCount(4.0); i < LoopLength; i++) RunSpace(space, ring, lead, i, wetLeft, wetRight);
    for (size_t i = 0; i < LoopLength; i++) {
        RunSpace(space, ring, lead, i, wetLeft, wetRight);
        ring.left[i] += wetLeft;
        ring.right[i] += wetRight;
    }
}

// ---- the file -----------------------------------------------------------------------------------

// Turns the ring so that it starts where both sides are nearly silent, just before the first
// beat: playing the file from its start then begins without a click either.
static void StartAtQuietPoint(Ring& ring)
{
    size_t best = 0;
    double quietest = 1e9;
    for (size_t i = SampleCount(0.006); i < SampleCount(0.03); i++) {
        size_t at = LoopLength - i;
        double loudness = std::fabs(ring.left[at]) + std::fabs(ring.right[at]);
        if (loudness < quietest) quietest = loudness, best = at;
    }
    std::rotate(ring.left.begin(), ring.left.begin() + long(best), ring.left.end());
    std::rotate(ring.right.begin(), ring.right.begin() + long(best), ring.right.end());
}

void MakeMusic()
{
    Ring ring = NewRing(), lead = NewRing();
    AddWind(ring);
    AddPads(ring);
    AddBass(ring);
    AddDrums(ring);
    AddMelody(lead);
    AddSpace(ring, lead);
    StartAtQuietPoint(ring);
    double peak = std::max(PeakOf(ring.left), PeakOf(ring.right));
    for (size_t i = 0; i < LoopLength && peak > 0; i++) {
        ring.left[i] = float(ring.left[i] * 0.891 / peak);
        ring.right[i] = float(ring.right[i] * 0.891 / peak);
    }
    SaveBytes("WAV\\HGM2.wav", EncodeWav(ring.left, ring.right, MusicRate));
}
