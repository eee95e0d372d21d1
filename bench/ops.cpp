// Time of every edit on a 60-second two-channel 48000 Hz store (5.76 million values). The long edits
// against sox and against their straightforward versions: bench/edit_speed.cpp.
#include "ops/FFTBandFilter.h"
#include "ops/FadeInOut.h"
#include "ops/FrequencyShift.h"
#include "ops/IQToReal.h"
#include "ops/InvertSpectrum.h"
#include "ops/LPFFilter.h"
#include "ops/NormalizePeak.h"
#include "spectral/FadeCurve.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>

namespace {

constexpr size_t kValues = 60 * 48000 * 2;

const SignalStore& Recording() {
    static const SignalStore store = [] {
        SignalStore s;
        s.Samples.resize(kValues);
        std::mt19937 random(1);
        std::uniform_int_distribution<int> noise(-2000, 2000);
        for (size_t k = 0; k < kValues; ++k)
            s.Samples[k] = static_cast<int16_t>(
                12000 * std::cos(2 * std::numbers::pi * 3000.0 * static_cast<double>(k / 2) / 48000) +
                noise(random));
        s.ValueCount = static_cast<int32_t>(kValues);
        s.ChannelCount = 2;
        s.SampleRate = 48000;
        s.FileName = "bench.wav";
        return s;
    }();
    return store;
}

// Runs `edit` on a fresh copy of the recording per iteration; only the edit is timed.
template <class Edit> void TimeEdit(benchmark::State& state, Edit edit) {
    SignalStore store;
    for (auto _ : state) {
        state.PauseTiming();
        store = Recording();
        state.ResumeTiming();
        edit(store);
        benchmark::DoNotOptimize(store.Samples.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kValues));
}

void Fade(benchmark::State& state) {
    std::vector<float> curve;
    BuildFadeCurve(curve, kValues);
    TimeEdit(state, [&](SignalStore& s) { FadeInOut(s, curve); });
}

void Amp(benchmark::State& state) {
    TimeEdit(state, [](SignalStore& s) { NormalizePeak(s, 25000); });
}

void Invert(benchmark::State& state) {
    TimeEdit(state, [](SignalStore& s) { InvertSpectrum(s, 1024); });
}

void InvertChannel1(benchmark::State& state) {
    TimeEdit(state, [](SignalStore& s) { InvertChannel(s, 0); });
}

void IQ2Real(benchmark::State& state) {
    TimeEdit(state, [](SignalStore& s) {
        JobControl job;
        ConvertIQToReal(s, job);
    });
}

void SinShift3000(benchmark::State& state) {
    TimeEdit(state, [](SignalStore& s) {
        JobControl job;
        SinShift(s, 3000, job);
    });
}

void CosShift3000(benchmark::State& state) {
    TimeEdit(state, [](SignalStore& s) {
        JobControl job;
        CosShift(s, 3000, job);
    });
}

void LPFCommand(benchmark::State& state) {
    TimeEdit(state, [](SignalStore& s) {
        JobControl job;
        LPFFilterStore(s, 5000, job);
    });
}

void FFTFilterQuality1(benchmark::State& state) {
    TimeEdit(state, [](SignalStore& s) {
        JobControl job;
        FFTBandFilter(s, 6000, 300, 1, job);
    });
}

} // namespace

BENCHMARK(Fade)->Unit(benchmark::kMillisecond);
BENCHMARK(Amp)->Unit(benchmark::kMillisecond);
BENCHMARK(Invert)->Unit(benchmark::kMillisecond);
BENCHMARK(InvertChannel1)->Unit(benchmark::kMillisecond);
BENCHMARK(IQ2Real)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SinShift3000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CosShift3000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LPFCommand)->Unit(benchmark::kMillisecond);
BENCHMARK(FFTFilterQuality1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_MAIN();
