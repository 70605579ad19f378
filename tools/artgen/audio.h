// tools/artgen/audio.h - what the sound makers share: samples, filters, WAV files.
//
// Sounds are made as float samples in -1..1 and written as 16-bit PCM WAV. Everything here is
// plain arithmetic on seeded noise, so the same build writes the same bytes.
#pragma once

#include "artgen.h"

#include <string>
#include <vector>

using Samples = std::vector<float>; // one channel

static constexpr double Pi = 3.14159265358979323846;

// ---- files ----------------------------------------------------------------------------------
// A 16-bit PCM WAV of one channel (right empty) or two; samples beyond -1..1 are clipped.
std::string EncodeWav(const Samples& left, const Samples& right, int rate);
// Reads a 16-bit PCM WAV and mixes it down to one channel; 1 on success, 0 when the bytes are
// not such a file.
int DecodeWav(const std::string& bytes, Samples& samples, int& rate);

// ---- filters ----------------------------------------------------------------------------------
// A second-order filter section (direct form I), coefficients already divided by a0.
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0; // state
};
enum FilterKind { LowPassFilter, HighPassFilter, BandPassFilter };
// Sets the coefficients for a corner or centre frequency (Hz) and a quality; keeps the state,
// so a filter can sweep while it runs.
void TuneBiquad(Biquad& filter, FilterKind kind, double rate, double frequency, double quality);
Biquad MakeBiquad(FilterKind kind, double rate, double frequency, double quality);
float RunBiquad(Biquad& filter, float input);
// Runs a whole channel through the filter in place.
void FilterSamples(Samples& samples, Biquad filter);

// ---- levels -----------------------------------------------------------------------------------
double PeakOf(const Samples& samples);
// Scales so that the loudest sample reaches `peak` (0.891 is -1 dBFS); silence stays silent.
void NormalisePeak(Samples& samples, double peak);
// Short linear fades at both ends, so that a sound neither starts nor stops with a click.
void FadeEnds(Samples& samples, int rate, double inSeconds, double outSeconds);

// ---- sources ----------------------------------------------------------------------------------
float WhiteNoise(ArtRandom& random); // -1..1

// ---- the music, music.cpp ---------------------------------------------------------------------
void MakeMusic(); // WAV\HGM2.wav
