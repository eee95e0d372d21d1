// Saving the picture of a 60 s recording (mono, 48000 Hz, N = 1024, "X / 8": 22510 x 512 pixels,
// 46 MB as BMP) as BMP and as PNG, each including the flush to disk, one after the other in one run.
// The PNG is measured with the writer's default settings and, for comparison, with the settings that
// compress: the fastest of them (Huffman coding alone), run lengths, and zlib's and libpng's usual
// level 6 with every filter. Counters: the file size in bytes.
#include "signal/SignalStore.h"
#include "spectral/RecomputeSpectrogram.h"
#include "view/BmpFile.h"
#include "view/PngFile.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <random>
#include <string>
#include <unistd.h>

namespace {

// A minute of what a receiver records: two steady carriers, a slow chirp, a keyed tone and noise.
SignalStore Recording() {
    constexpr int kRate = 48000;
    constexpr int kCount = 60 * kRate;
    SignalStore store;
    store.SampleRate = kRate;
    store.ChannelCount = 1;
    store.BitsPerSample = 16;
    store.FileName = "minute.wav";
    store.Samples.resize(kCount);
    store.ValueCount = kCount;
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 300.0);
    for (int i = 0; i < kCount; ++i) {
        const double t = double(i) / kRate;
        const double chirp = 2 * std::numbers::pi * (500.0 * t + 150.0 * t * t);
        const bool keyed = std::fmod(t, 0.4) < 0.2;
        const double v = 3000 * std::sin(2 * std::numbers::pi * 3000 * t) +
                         2000 * std::sin(2 * std::numbers::pi * 11000 * t) + 2500 * std::sin(chirp) +
                         (keyed ? 1500 * std::sin(2 * std::numbers::pi * 7000 * t) : 0.0) + noise(random);
        store.Samples[size_t(i)] = int16_t(std::lround(std::clamp(v, -32768.0, 32767.0)));
    }
    return store;
}

const TBitmap32& Picture() {
    static const SpectrogramState state = [] {
        const SignalStore store = Recording();
        SpectrogramState computed;
        SpectrogramSettings settings;
        settings.Decimation = 8;
        JobControl control;
        RecomputeSpectrogram(computed, store, settings, control);
        return computed;
    }();
    return state.SpectrogramBitmap;
}

std::string TargetFile(const char* extension) {
    return (std::filesystem::temp_directory_path() /
            ("orvane_bench_" + std::to_string(::getpid()) + extension))
        .string();
}

void BM_SaveBmp(benchmark::State& state) {
    const TBitmap32& picture = Picture();
    const std::string file = TargetFile(".bmp");
    for (auto _ : state) WriteBmpFile(file, picture.Bits(), picture.Width(), picture.Height());
    state.counters["bytes"] = double(std::filesystem::file_size(file));
    state.counters["width"] = picture.Width();
    std::remove(file.c_str());
}
BENCHMARK(BM_SaveBmp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Arguments: zlib level, zlib strategy, libpng filter set.
void BM_SavePng(benchmark::State& state) {
    const TBitmap32& picture = Picture();
    const std::string file = TargetFile(".png");
    const PngCompression compression{int(state.range(0)), int(state.range(1)), int(state.range(2))};
    for (auto _ : state) WritePngFile(file, picture.Bits(), picture.Width(), picture.Height(), compression);
    state.counters["bytes"] = double(std::filesystem::file_size(file));
    std::remove(file.c_str());
}
constexpr PngCompression kDefault{};
BENCHMARK(BM_SavePng)
    ->ArgNames({"level", "strategy", "filters"})
    ->Args({kDefault.Level, kDefault.Strategy, kDefault.Filters}) // the writer's default
    ->Args({1, 2, 0x08})                                          // the fastest that compresses
    ->Args({1, 3, 0x10})                                          // run lengths over horizontal differences
    ->Args({6, 0, 0xF8})                                          // zlib's and libpng's usual choice
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

} // namespace

BENCHMARK_MAIN();
