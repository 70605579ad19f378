// tools/artgen/sounds.cpp - the effect sounds of WAV\Effekte and the helpers all sounds share.
//
// Every effect is a row of layers: seeded noise through a swept filter, or a tone with a
// gliding pitch, each with a loudness curve in decibels (so straight lines are natural
// exponential decays). Only the two cries are made by their own routine.
#include "audio.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

static const int EffectRate = 22050;    // Hz, mono
static const double EffectPeak = 0.891; // -1 dBFS

// ---- files ----------------------------------------------------------------------------------

static void PutLittle(std::string& bytes, uint32_t value, int count)
{
    for (int i = 0; i < count; i++) bytes += char((value >> (8 * i)) & 255);
}

static uint32_t GetLittle(const std::string& bytes, size_t at, int count)
{
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; i--) value = (value << 8) | (unsigned char)bytes[at + size_t(i)];
    return value;
}

static void PutSample(std::string& bytes, float sample)
{
    double clipped = std::clamp(double(sample), -1.0, 1.0);
    PutLittle(bytes, uint32_t(uint16_t(int16_t(std::lround(clipped * 32767.0)))), 2);
}

std::string EncodeWav(const Samples& left, const Samples& right, int rate)
{
    uint32_t channels = right.empty() ? 1 : 2;
    uint32_t dataBytes = uint32_t(left.size()) * channels * 2;
    std::string bytes = "RIFF";
    PutLittle(bytes, 36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    PutLittle(bytes, 16, 4);
    PutLittle(bytes, 1, 2); // PCM
    PutLittle(bytes, channels, 2);
    PutLittle(bytes, uint32_t(rate), 4);
    PutLittle(bytes, uint32_t(rate) * channels * 2, 4);
    PutLittle(bytes, channels * 2, 2);
    PutLittle(bytes, 16, 2);
    bytes += "data";
    PutLittle(bytes, dataBytes, 4);
    bytes.reserve(bytes.size() + dataBytes);
    for (size_t i = 0; i < left.size(); i++) {
        PutSample(bytes, left[i]);
        if (channels == 2) PutSample(bytes, i < right.size() ? right[i] : 0.0f);
    }
    return bytes;
}

int DecodeWav(const std::string& bytes, Samples& samples, int& rate)
{
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) return 0;
    uint32_t channels = 0, bits = 0;
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        std::string id = bytes.substr(at, 4);
        // A streamed file may give its data size as "unknown": then the data runs to the end.
        size_t size = std::min<size_t>(GetLittle(bytes, at + 4, 4), bytes.size() - at - 8);
        if (id == "fmt " && size >= 16) {
            if (GetLittle(bytes, at + 8, 2) != 1) return 0;
            channels = GetLittle(bytes, at + 10, 2);
            rate = int(GetLittle(bytes, at + 12, 4));
            bits = GetLittle(bytes, at + 22, 2);
        } else if (id == "data") {
            if (channels == 0 || bits != 16) return 0;
            size_t frames = size / (2 * channels);
            samples.assign(frames, 0.0f);
            for (size_t i = 0; i < frames; i++) {
                double sum = 0;
                for (uint32_t c = 0; c < channels; c++)
                    sum += int16_t(GetLittle(bytes, at + 8 + 2 * (i * channels + c), 2)) / 32768.0;
                samples[i] = float(sum / channels);
            }
            return 1;
        }
        at += 8 + size + (size & 1);
    }
    return 0;
}

// ---- filters ----------------------------------------------------------------------------------

void TuneBiquad(Biquad& filter, FilterKind kind, double rate, double frequency, double quality)
{
    double w = 2 * Pi * std::clamp(frequency, 10.0, 0.45 * rate) / rate;
    double alpha = std::sin(w) / (2 * std::max(quality, 0.05)), cosW = std::cos(w);
    double a0 = 1 + alpha;
    switch (kind) {
    case LowPassFilter:
        filter.b0 = (1 - cosW) / 2 / a0;
        filter.b1 = (1 - cosW) / a0;
        filter.b2 = filter.b0;
        break;
    case HighPassFilter:
        filter.b0 = (1 + cosW) / 2 / a0;
        filter.b1 = -(1 + cosW) / a0;
        filter.b2 = filter.b0;
        break;
    case BandPassFilter: // peak gain 1 at the centre
        filter.b0 = alpha / a0;
        filter.b1 = 0;
        filter.b2 = -alpha / a0;
        break;
    }
    filter.a1 = -2 * cosW / a0;
    filter.a2 = (1 - alpha) / a0;
}

Biquad MakeBiquad(FilterKind kind, double rate, double frequency, double quality)
{
    Biquad filter;
    TuneBiquad(filter, kind, rate, frequency, quality);
    return filter;
}

float RunBiquad(Biquad& filter, float input)
{
    double output = filter.b0 * input + filter.b1 * filter.x1 + filter.b2 * filter.x2 - filter.a1 * filter.y1 -
                    filter.a2 * filter.y2;
    filter.x2 = filter.x1;
    filter.x1 = input;
    filter.y2 = filter.y1;
    filter.y1 = output;
    return float(output);
}

void FilterSamples(Samples& samples, Biquad filter)
{
    for (float& sample : samples) sample = RunBiquad(filter, sample);
}

// ---- levels -----------------------------------------------------------------------------------

double PeakOf(const Samples& samples)
{
    double peak = 0;
    for (float sample : samples) peak = std::max(peak, double(std::fabs(sample)));
    return peak;
}

void NormalisePeak(Samples& samples, double peak)
{
    double loudest = PeakOf(samples);
    if (loudest <= 0) return;
    for (float& sample : samples) sample = float(sample * peak / loudest);
}

void FadeEnds(Samples& samples, int rate, double inSeconds, double outSeconds)
{
    size_t fadeIn = std::min(samples.size(), size_t(inSeconds * rate));
    size_t fadeOut = std::min(samples.size(), size_t(outSeconds * rate));
    for (size_t i = 0; i < fadeIn; i++) samples[i] *= float(double(i) / double(fadeIn));
    for (size_t i = 0; i < fadeOut; i++) samples[samples.size() - 1 - i] *= float(double(i) / double(fadeOut));
}

float WhiteNoise(ArtRandom& random) { return float(2 * RandomUnit(random) - 1); }

// ---- curves -----------------------------------------------------------------------------------

struct Point {
    double time;  // seconds from the start of the layer
    double value; // Hz or decibels
};
using Curve = std::vector<Point>;

// Straight-line value of a curve; before the first and after the last point it holds.
static double CurveAt(const Curve& curve, double time)
{
    if (curve.empty()) return 0;
    if (time <= curve.front().time) return curve.front().value;
    for (size_t i = 1; i < curve.size(); i++) {
        if (time > curve[i].time) continue;
        double span = curve[i].time - curve[i - 1].time;
        double f = span > 0 ? (time - curve[i - 1].time) / span : 1;
        return curve[i - 1].value + f * (curve[i].value - curve[i - 1].value);
    }
    return curve.back().value;
}

// Frequencies glide evenly in pitch, so they are interpolated between their logarithms.
static double HzAt(const Curve& curve, double time)
{
    if (curve.empty()) return 0;
    if (time <= curve.front().time) return curve.front().value;
    for (size_t i = 1; i < curve.size(); i++) {
        if (time > curve[i].time) continue;
        double span = curve[i].time - curve[i - 1].time;
        double f = span > 0 ? (time - curve[i - 1].time) / span : 1;
        return curve[i - 1].value * std::pow(curve[i].value / curve[i - 1].value, f);
    }
    return curve.back().value;
}

static double GainOf(double decibels) { return std::pow(10.0, decibels / 20); }

// ---- layers -----------------------------------------------------------------------------------

enum LayerKind { NoiseLayer, SineLayer, SawLayer };

// One voice of an effect. Its loudness runs along `decibels`; a silent curve end stops it.
struct Layer {
    LayerKind kind = NoiseLayer;
    double start = 0;    // s into the effect
    Curve hz = {};       // pitch of a tone, or the frequency of the noise filter
    Curve decibels = {}; // loudness, 0 = full; the last point's time is the layer's length
    double weight = 1;   // peak of this layer in the mix before the whole is normalised
    FilterKind filter = LowPassFilter; // noise, or a saw's low-pass when filterHz is given
    double quality = 0.7;
    Curve filterHz = {}; // saw only: the sweep of its filter
    double fmRatio = 0;  // sine only: a modulator at this multiple of the pitch
    double fmIndex = 0;  //   and this depth, fading with the loudness
    double grainRate = 0;    // per second: the layer sounds only in short random grains
    double grainSeconds = 0; //   each fading with this time constant
};

struct Effect {
    const char* path;
    double seconds;
    std::vector<Layer> layers;
    double echoSeconds = 0; // a dull slap-back from the surroundings
    double echoLevel = 0;
    Samples (*make)(ArtRandom&) = nullptr; // made by its own routine instead
};

// The raw signal of one layer, not yet scaled, `length` samples.
static Samples LayerSource(const Layer& layer, ArtRandom& random, size_t length)
{
    Samples out(length, 0.0f);
    Biquad filter;
    double phase = 0;
    for (size_t i = 0; i < length; i++) {
        double t = double(i) / EffectRate;
        double hz = HzAt(layer.hz, t);
        if (layer.kind == NoiseLayer) {
            if (i % 16 == 0) TuneBiquad(filter, layer.filter, EffectRate, hz, layer.quality);
            out[i] = RunBiquad(filter, WhiteNoise(random));
            continue;
        }
        phase += 2 * Pi * hz / EffectRate;
        if (phase > 2 * Pi * 64) phase -= 2 * Pi * 64;
        if (layer.kind == SineLayer) {
            double depth = layer.fmIndex * GainOf(CurveAt(layer.decibels, t));
            out[i] = float(std::sin(phase + depth * std::sin(phase * layer.fmRatio)));
        } else {
            double saw = std::fmod(phase / (2 * Pi), 1.0) * 2 - 1;
            if (!layer.filterHz.empty() && i % 16 == 0)
                TuneBiquad(filter, layer.filter, EffectRate, HzAt(layer.filterHz, t), layer.quality);
            out[i] = layer.filterHz.empty() ? float(saw) : RunBiquad(filter, float(saw));
        }
    }
    return out;
}

// Multiplies a layer by random grains: each starts at full strength and fades quickly.
static void ApplyGrains(Samples& samples, const Layer& layer, ArtRandom& random)
{
    double chance = layer.grainRate / EffectRate, fade = std::exp(-1.0 / (layer.grainSeconds * EffectRate));
    double envelope = 0;
    for (float& sample : samples) {
        if (RandomUnit(random) < chance) envelope = std::max(envelope, RandomRange(random, 0.3, 1.0));
        sample = float(sample * envelope);
        envelope *= fade;
    }
}

// Adds one layer into the effect at its start time.
static void MixLayer(Samples& effect, const Layer& layer, ArtRandom& random)
{
    size_t start = size_t(layer.start * EffectRate);
    if (start >= effect.size() || layer.decibels.empty()) return;
    size_t length = std::min(effect.size() - start, size_t(layer.decibels.back().time * EffectRate) + 1);
    Samples voice = LayerSource(layer, random, length);
    for (size_t i = 0; i < length; i++) voice[i] *= float(GainOf(CurveAt(layer.decibels, double(i) / EffectRate)));
    if (layer.grainRate > 0) ApplyGrains(voice, layer, random);
    double peak = PeakOf(voice);
    if (peak <= 0) return;
    for (size_t i = 0; i < length; i++) effect[start + i] += float(voice[i] * layer.weight / peak);
}

// A feedback echo through a gentle low-pass, as from nearby rocks.
static void AddEcho(Samples& samples, double seconds, double level)
{
    size_t delay = size_t(seconds * EffectRate);
    if (delay == 0 || level <= 0) return;
    Biquad dull = MakeBiquad(LowPassFilter, EffectRate, 1800, 0.7);
    for (size_t i = delay; i < samples.size(); i++) samples[i] += float(level * RunBiquad(dull, samples[i - delay]));
}

// ---- layer rows for repeated hits -----------------------------------------------------------

// The same layers again at each of the start times, each hit a little louder or softer.
static std::vector<Layer> Repeated(const std::vector<Layer>& hit, const std::vector<double>& starts,
                                   const std::vector<double>& weights)
{
    std::vector<Layer> layers;
    for (size_t k = 0; k < starts.size(); k++) {
        for (Layer layer : hit) {
            layer.start += starts[k];
            layer.weight *= weights[k];
            layers.push_back(layer);
        }
    }
    return layers;
}

// A struck sound's loudness: up from -40 dB in `attack` seconds, then down to -60 dB in `seconds`.
static Curve Decay(double attack, double seconds)
{
    return Curve{{0, -40}, {attack, 0}, {attack + seconds, -60}};
}

// One shot of the machine gun: a sharp crack, a short body, a little thump.
static const std::vector<Layer> GunShot = {
    {.kind = NoiseLayer, .hz = {{0, 2500}}, .decibels = Decay(0.0005, 0.06), .weight = 0.8, .filter = HighPassFilter},
    {.kind = NoiseLayer, .hz = {{0, 2200}, {0.08, 350}}, .decibels = Decay(0.001, 0.16), .weight = 1.0},
    {.kind = SineLayer, .hz = {{0, 170}, {0.05, 80}}, .decibels = Decay(0.001, 0.14), .weight = 0.6},
};

// One blow of the builder's hammer on a steel plate: inharmonic ringing modes and a click.
static const std::vector<Layer> HammerBlow = {
    {.kind = NoiseLayer, .hz = {{0, 3000}}, .decibels = Decay(0.0003, 0.02), .weight = 0.5, .filter = HighPassFilter},
    {.kind = SineLayer, .hz = {{0, 430}}, .decibels = Decay(0.001, 0.25), .weight = 0.45},
    {.kind = SineLayer, .hz = {{0, 1187}}, .decibels = Decay(0.001, 0.9), .weight = 0.6},
    {.kind = SineLayer, .hz = {{0, 2463}}, .decibels = Decay(0.001, 0.6), .weight = 0.45},
    {.kind = SineLayer, .hz = {{0, 3719}}, .decibels = Decay(0.001, 0.4), .weight = 0.35},
    {.kind = SineLayer, .hz = {{0, 4957}}, .decibels = Decay(0.001, 0.28), .weight = 0.25},
    {.kind = SineLayer, .hz = {{0, 6353}}, .decibels = Decay(0.001, 0.18), .weight = 0.15},
};

// An explosion of a given size: the fireball's noise, a deep thump and the rumble after it;
// the larger ones throw debris that clatters for a while.
struct ExplosionSize {
    double seconds, thumpHz, thumpSeconds, blastSeconds, rumbleSeconds, brightHz, debrisRate;
};

static std::vector<Layer> Explosion(const ExplosionSize& size)
{
    std::vector<Layer> layers = {
        {.kind = NoiseLayer, .hz = {{0, size.brightHz}, {size.blastSeconds, 250}}, .decibels = Decay(0.003, size.blastSeconds),
         .weight = 1.0},
        {.kind = SineLayer, .hz = {{0, size.thumpHz}, {0.2, size.thumpHz * 0.45}}, .decibels = Decay(0.002, size.thumpSeconds),
         .weight = 0.9},
        {.kind = NoiseLayer, .hz = {{0, 500}, {size.rumbleSeconds, 90}}, .decibels = Decay(0.03, size.rumbleSeconds),
         .weight = 0.7},
    };
    if (size.debrisRate > 0)
        layers.push_back({.kind = NoiseLayer, .start = 0.06, .hz = {{0, 3500}}, .decibels = Decay(0.01, size.seconds * 0.7),
                          .weight = 0.35, .filter = BandPassFilter, .quality = 1.5, .grainRate = size.debrisRate,
                          .grainSeconds = 0.004});
    return layers;
}

static const ExplosionSize SmallBang = {0.8, 120, 0.35, 0.35, 0.6, 4000, 0};
static const ExplosionSize MediumBang = {1.1, 95, 0.55, 0.5, 0.9, 3500, 25};
static const ExplosionSize LargeBang = {1.6, 75, 0.8, 0.7, 1.4, 3000, 40};
static const ExplosionSize HugeBang = {2.2, 58, 1.1, 0.9, 2.0, 2600, 60};

// The largest explosion has a second blast right after the first.
static std::vector<Layer> DoubleExplosion(const ExplosionSize& size)
{
    std::vector<Layer> layers = Explosion(size);
    std::vector<Layer> second = Repeated(Explosion(size), {0.22}, {0.7});
    layers.insert(layers.end(), second.begin(), second.end());
    return layers;
}

// ---- the cries --------------------------------------------------------------------------------

// A vowel as four formants: centre and bandwidth (Hz).
struct Vowel {
    double hz[4], width[4];
};
static const Vowel VowelA = {{850, 1250, 2650, 3500}, {120, 130, 170, 250}};
static const Vowel VowelO = {{560, 900, 2500, 3400}, {100, 110, 160, 250}};
static const Vowel VowelAe = {{720, 1750, 2600, 3500}, {110, 130, 170, 250}};

// Pitch and vowel of a cry over time; `vowel` 0 is the first vowel, 1 the second.
struct CryPoint {
    double time, pitch, vowel;
};

struct Cry {
    const Vowel* from;
    const Vowel* to;
    std::vector<CryPoint> points;
    double roughness; // strength of the rasping undertone an octave below the voice
};

// How strongly the throat and mouth pass a harmonic at `hz`, between two vowels: the
// resonances of a tube in a row, each passing low sounds as they are and ringing at its
// formant.
static double VocalTract(const Cry& cry, double vowel, double hz)
{
    double gain = 1;
    for (int f = 0; f < 4; f++) {
        double centre = cry.from->hz[f] + vowel * (cry.to->hz[f] - cry.from->hz[f]);
        double width = cry.from->width[f] + vowel * (cry.to->width[f] - cry.from->width[f]);
        double below = centre * centre - hz * hz;
        gain *= centre * centre / std::sqrt(below * below + width * width * hz * hz);
    }
    return gain;
}

// A shouting voice: harmonics of a shaky pitch shaped by the vowel, plus breath.
static Samples SynthesiseCry(const Cry& cry, ArtRandom& random)
{
    double seconds = cry.points.back().time;
    Samples out(size_t(seconds * EffectRate), 0.0f);
    Biquad breath = MakeBiquad(BandPassFilter, EffectRate, 2400, 0.8);
    double phase = 0, jitter = 0;
    Curve pitch, vowel;
    for (const CryPoint& point : cry.points) {
        pitch.push_back(Point{point.time, point.pitch});
        vowel.push_back(Point{point.time, point.vowel});
    }
    for (size_t i = 0; i < out.size(); i++) {
        double t = double(i) / EffectRate;
        jitter = 0.995 * jitter + 0.005 * WhiteNoise(random);
        double f0 = HzAt(pitch, t) * (1 + 0.012 * std::sin(2 * Pi * 5.5 * t) + 0.4 * jitter);
        double mix = CurveAt(vowel, t);
        phase += 2 * Pi * f0 / EffectRate;
        if (phase > 2 * Pi * 64) phase -= 2 * Pi * 64;
        double voice = 0;
        for (int k = 1; k * f0 < 5000; k++) voice += VocalTract(cry, mix, k * f0) * std::sin(k * phase) / std::pow(k, 0.7);
        voice *= 1 + cry.roughness * std::sin(phase / 2);
        double pulse = 0.5 + 0.5 * std::cos(phase);
        out[i] = float(voice / 20 + 0.06 * pulse * RunBiquad(breath, WhiteNoise(random)));
    }
    Curve loudness = {{0, -30}, {0.04, 0}, {seconds * 0.6, -3}, {seconds, -35}};
    for (size_t i = 0; i < out.size(); i++) out[i] *= float(GainOf(CurveAt(loudness, double(i) / EffectRate)));
    return out;
}

// A soldier hit: a long open "aah" that breaks downwards into "oh".
static Samples MakeCryLong(ArtRandom& random)
{
    Cry cry = {&VowelA, &VowelO, {{0, 240, 0}, {0.08, 330, 0}, {0.3, 310, 0.15}, {0.6, 235, 0.6}, {0.85, 170, 1}}, 0.25};
    return SynthesiseCry(cry, random);
}

// A short, harsh "agh" as a soldier is thrown down.
static Samples MakeCryShort(ArtRandom& random)
{
    Cry cry = {&VowelAe, &VowelA, {{0, 210, 0}, {0.05, 285, 0.3}, {0.25, 262, 1}, {0.55, 150, 1}}, 0.4};
    return SynthesiseCry(cry, random);
}

// ---- the effect table -------------------------------------------------------------------------

static const Effect Effects[] = {
    {"WAV\\Effekte\\bib.wav", 0.12,
     {{.kind = SineLayer, .hz = {{0, 1320}}, .decibels = {{0, -30}, {0.004, 0}, {0.07, -4}, {0.11, -60}}, .weight = 1},
      {.kind = SineLayer, .hz = {{0, 2640}}, .decibels = {{0, -30}, {0.004, 0}, {0.05, -20}}, .weight = 0.2}}},
    {"WAV\\Effekte\\siu.wav", 0.45,
     {{.kind = SineLayer, .hz = {{0, 2600}, {0.42, 650}}, .decibels = {{0, -40}, {0.06, 0}, {0.3, -6}, {0.44, -60}}, .weight = 0.8},
      {.kind = NoiseLayer, .hz = {{0, 3200}, {0.42, 800}}, .decibels = {{0, -40}, {0.08, 0}, {0.44, -50}}, .weight = 0.5,
       .filter = BandPassFilter, .quality = 2}}},
    {"WAV\\Effekte\\klick.wav", 0.04,
     {{.kind = SineLayer, .hz = {{0, 2900}}, .decibels = Decay(0.0003, 0.025), .weight = 1},
      {.kind = SineLayer, .hz = {{0, 5300}}, .decibels = Decay(0.0002, 0.012), .weight = 0.5},
      {.kind = NoiseLayer, .hz = {{0, 4000}}, .decibels = Decay(0.0002, 0.006), .weight = 0.6, .filter = HighPassFilter}}},
    {"WAV\\Effekte\\Explo0.wav", SmallBang.seconds, Explosion(SmallBang), 0.09, 0.25},
    {"WAV\\Effekte\\Explo1.wav", MediumBang.seconds, Explosion(MediumBang), 0.12, 0.3},
    {"WAV\\Effekte\\Explo2.wav", LargeBang.seconds, Explosion(LargeBang), 0.15, 0.35},
    {"WAV\\Effekte\\Explo3.wav", HugeBang.seconds, DoubleExplosion(HugeBang), 0.19, 0.4},
    {"WAV\\Effekte\\Schrei1.wav", 0.85, {}, 0, 0, MakeCryLong},
    {"WAV\\Effekte\\Schrei2.wav", 0.55, {}, 0, 0, MakeCryShort},
    {"WAV\\Effekte\\Hammer.wav", 1.0, Repeated(HammerBlow, {0, 0.3, 0.6}, {1.0, 0.85, 0.95})},
    {"WAV\\Effekte\\Spice.wav", 1.5,
     {{.kind = NoiseLayer, .hz = {{0, 4200}}, .decibels = {{0, -30}, {0.15, 0}, {1.1, -2}, {1.5, -40}}, .weight = 1,
       .filter = BandPassFilter, .quality = 0.8, .grainRate = 450, .grainSeconds = 0.003},
      {.kind = NoiseLayer, .hz = {{0, 300}, {0.7, 700}, {1.5, 400}}, .decibels = {{0, -30}, {0.4, 0}, {1.2, -3}, {1.5, -40}},
       .weight = 0.6, .quality = 1.2},
      {.kind = SawLayer, .hz = {{0, 82}, {0.6, 90}, {1.5, 84}}, .decibels = {{0, -40}, {0.3, -6}, {1.2, -8}, {1.5, -50}},
       .weight = 0.25, .filterHz = {{0, 350}}}}},
    {"WAV\\Effekte\\MG.wav", 0.7, Repeated(GunShot, {0, 0.075, 0.15, 0.225, 0.3, 0.375, 0.45}, {1, 0.9, 0.97, 0.88, 0.95, 0.9, 1}),
     0.09, 0.25},
    {"WAV\\Effekte\\Kugel.wav", 1.3,
     {{.kind = NoiseLayer, .hz = {{0, 3000}}, .decibels = Decay(0.0005, 0.05), .weight = 0.7, .filter = HighPassFilter},
      {.kind = SineLayer, .hz = {{0, 85}, {0.15, 42}}, .decibels = Decay(0.002, 0.8), .weight = 1},
      {.kind = NoiseLayer, .hz = {{0, 2600}, {0.5, 200}}, .decibels = Decay(0.002, 0.7), .weight = 0.9},
      {.kind = NoiseLayer, .hz = {{0, 300}, {1.2, 80}}, .decibels = Decay(0.05, 1.2), .weight = 0.5}},
     0.14, 0.3},
    {"WAV\\Effekte\\Laser.wav", 0.42,
     {{.kind = SineLayer, .hz = {{0, 3000}, {0.05, 1300}, {0.15, 520}, {0.4, 330}}, .decibels = Decay(0.001, 0.4), .weight = 1,
       .fmRatio = 0.5, .fmIndex = 3},
      {.kind = SineLayer, .hz = {{0, 4500}, {0.05, 1950}, {0.15, 780}, {0.4, 495}}, .decibels = Decay(0.001, 0.25),
       .weight = 0.4, .fmRatio = 0.5, .fmIndex = 2},
      {.kind = NoiseLayer, .hz = {{0, 5000}}, .decibels = Decay(0.0005, 0.02), .weight = 0.25, .filter = HighPassFilter}}},
    {"WAV\\Effekte\\Rakete.wav", 1.4,
     {{.kind = NoiseLayer, .hz = {{0, 2500}}, .decibels = Decay(0.0005, 0.06), .weight = 0.6, .filter = HighPassFilter},
      {.kind = SineLayer, .hz = {{0, 130}, {0.1, 60}}, .decibels = Decay(0.002, 0.25), .weight = 0.5},
      {.kind = NoiseLayer, .start = 0.02, .hz = {{0, 700}, {0.5, 2300}, {1.35, 900}},
       .decibels = {{0, -30}, {0.06, 0}, {0.5, -1}, {1.35, -45}}, .weight = 1, .filter = BandPassFilter, .quality = 0.8},
      {.kind = NoiseLayer, .start = 0.02, .hz = {{0, 320}, {1.35, 160}}, .decibels = {{0, -30}, {0.06, 0}, {0.5, -2}, {1.35, -50}},
       .weight = 0.7},
      {.kind = NoiseLayer, .start = 0.02, .hz = {{0, 3000}}, .decibels = {{0, -30}, {0.06, 0}, {0.5, -3}, {1.35, -50}},
       .weight = 0.3, .filter = BandPassFilter, .quality = 1.2, .grainRate = 160, .grainSeconds = 0.002}}},
    {"WAV\\Effekte\\Plasma.wav", 0.7,
     {{.kind = SawLayer, .hz = {{0, 110}, {0.6, 92}}, .decibels = Decay(0.004, 0.66), .weight = 0.8,
       .quality = 6, .filterHz = {{0, 3200}, {0.12, 900}, {0.6, 180}}},
      {.kind = SawLayer, .hz = {{0, 111.7}, {0.6, 93.4}}, .decibels = Decay(0.004, 0.66), .weight = 0.7,
       .quality = 6, .filterHz = {{0, 3000}, {0.12, 850}, {0.6, 170}}},
      {.kind = SineLayer, .hz = {{0, 55}, {0.6, 46}}, .decibels = Decay(0.004, 0.6), .weight = 0.5},
      {.kind = NoiseLayer, .hz = {{0, 5500}}, .decibels = Decay(0.002, 0.15), .weight = 0.3, .filter = BandPassFilter,
       .quality = 1.5}}},
    {"WAV\\Effekte\\Ionen.wav", 0.9,
     {{.kind = SineLayer, .hz = {{0, 700}, {0.18, 2100}}, .decibels = {{0, -30}, {0.16, -4}, {0.2, -60}}, .weight = 0.5,
       .fmRatio = 3, .fmIndex = 0.8},
      {.kind = SawLayer, .start = 0.17, .hz = {{0, 120}}, .decibels = {{0, 0}, {0.5, -6}, {0.72, -50}}, .weight = 0.6,
       .filter = BandPassFilter, .quality = 1.5, .filterHz = {{0, 2200}}, .grainRate = 90, .grainSeconds = 0.02},
      {.kind = NoiseLayer, .start = 0.17, .hz = {{0, 3500}}, .decibels = {{0, 0}, {0.55, -8}, {0.72, -50}}, .weight = 1,
       .filter = HighPassFilter, .grainRate = 140, .grainSeconds = 0.006},
      {.kind = NoiseLayer, .start = 0.17, .hz = {{0, 1200}, {0.7, 300}}, .decibels = Decay(0.005, 0.7), .weight = 0.5}}},
    {"WAV\\Effekte\\SpiceExplo.wav", 1.7,
     {{.kind = NoiseLayer, .hz = {{0, 300}, {0.08, 1400}, {0.8, 250}}, .decibels = {{0, -20}, {0.07, 0}, {0.9, -45}}, .weight = 1},
      {.kind = SineLayer, .hz = {{0, 90}, {0.2, 45}}, .decibels = Decay(0.004, 0.6), .weight = 0.7},
      {.kind = NoiseLayer, .start = 0.1, .hz = {{0, 4500}}, .decibels = {{0, -20}, {0.1, 0}, {1.55, -40}}, .weight = 0.6,
       .filter = BandPassFilter, .quality = 0.8, .grainRate = 600, .grainSeconds = 0.003},
      {.kind = NoiseLayer, .start = 0.05, .hz = {{0, 2200}, {1.0, 900}}, .decibels = {{0, -30}, {0.15, -2}, {1.6, -50}},
       .weight = 0.3, .filter = BandPassFilter, .quality = 1.0}},
     0.13, 0.25},
};

// Makes one effect: its layers or its own routine, then echo, level and fades.
static void MakeEffect(const Effect& effect)
{
    ArtRandom random = SeededRandom(effect.path);
    Samples samples;
    if (effect.make) {
        samples = effect.make(random);
    } else {
        samples.assign(size_t(effect.seconds * EffectRate), 0.0f);
        for (const Layer& layer : effect.layers) MixLayer(samples, layer, random);
    }
    AddEcho(samples, effect.echoSeconds, effect.echoLevel);
    FadeEnds(samples, EffectRate, 0.001, 0.01);
    NormalisePeak(samples, EffectPeak);
    SaveBytes(effect.path, EncodeWav(samples, {}, EffectRate));
}

// Every effect sound of the game, then the background music (music.cpp).
void MakeSounds()
{
    for (const Effect& effect : Effects) MakeEffect(effect);
    MakeMusic();
}
