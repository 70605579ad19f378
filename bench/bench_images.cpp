// bench/bench_images.cpp - decode speed of the picture codecs on pictures the size of the game's.
#include "platform/image.h"

#include <benchmark/benchmark.h>

namespace {

// Deterministic noise, so every run times the same bytes.
uint32_t NextNoise(uint32_t& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// Sand-coloured dunes with grain: smooth bands plus noise, closer to real art than a flat fill.
Image DunePicture(int w, int h)
{
    Image image;
    MakeImage(image, w, h, 0);
    uint32_t state = 2024;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            int grain = int(NextNoise(state) & 15);
            int band = (x / 3 + y * 2) % 64;
            image.pixels[size_t(y) * size_t(w) + size_t(x)] =
                PackColour(180 + band / 2 + grain, 140 + band / 3 + grain, 80 + grain);
        }
    return image;
}

// Appends a little-endian header field.
void PutLe(std::string& s, uint32_t v, int count)
{
    for (int i = 0; i < count; i++)
        s.push_back(char((v >> (8 * i)) & 255));
}

// A 256-colour BMP with a grey ramp palette and noisy indices, bottom-up like most files.
std::string EightBitBmp(int w, int h)
{
    size_t stride = size_t((w + 3) / 4 * 4);
    uint32_t offBits = 14 + 40 + 256 * 4;
    std::string s = "BM";
    PutLe(s, uint32_t(offBits + stride * size_t(h)), 4);
    PutLe(s, 0, 4);
    PutLe(s, offBits, 4);
    PutLe(s, 40, 4);
    PutLe(s, uint32_t(w), 4);
    PutLe(s, uint32_t(h), 4);
    PutLe(s, 1, 2);
    PutLe(s, 8, 2);
    for (int i = 0; i < 6; i++)
        PutLe(s, i == 1 ? uint32_t(stride * size_t(h)) : 0, 4);
    for (uint32_t i = 0; i < 256; i++)
        PutLe(s, i | (i << 8) | (i << 16), 4);
    uint32_t state = 7;
    for (size_t i = 0; i < stride * size_t(h); i++)
        s.push_back(char(NextNoise(state)));
    return s;
}

// Times one decoder over one file; bytes per second are those of the file.
void TimeDecode(benchmark::State& state, const std::string& file, int (*decode)(const uint8_t*, size_t, Image&))
{
    Image image;
    for (auto _ : state) {
        if (!decode(reinterpret_cast<const uint8_t*>(file.data()), file.size(), image))
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
    state.counters["pixels/s"] =
        benchmark::Counter(double(image.pixels.size()) * double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_DecodeBmp24_1024x1024(benchmark::State& state)
{
    static const std::string file = EncodeBmp24(DunePicture(1024, 1024));
    TimeDecode(state, file, DecodeBmp);
}
BENCHMARK(BM_DecodeBmp24_1024x1024)->Unit(benchmark::kMillisecond);

void BM_DecodeBmp8_256x256(benchmark::State& state)
{
    static const std::string file = EightBitBmp(256, 256);
    TimeDecode(state, file, DecodeBmp);
}
BENCHMARK(BM_DecodeBmp8_256x256)->Unit(benchmark::kMicrosecond);

void BM_DecodeJpeg_864x432(benchmark::State& state)
{
    static const std::string file = EncodeJpeg(DunePicture(864, 432), 85);
    TimeDecode(state, file, DecodeJpeg);
}
BENCHMARK(BM_DecodeJpeg_864x432)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
