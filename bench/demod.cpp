// Demodulation throughput: a whole run of each mode (demod/DemodulateRecording.h) over a 100 MB
// two-channel I/Q store (50 million values, 25 million frames at 2400000 Hz, 10.4 s), made in memory,
// in input values per second of wall time ("items_per_second"); a run longer than 5 s is shared by the
// worker pool's threads in parts. The signal: a tone at 100 kHz and noise.
#include "demod/DemodulateRecording.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>

namespace {

constexpr int32_t kRate = 2400000;
constexpr size_t kValues = 50'000'000; // 100 MB of 16-bit values

const SignalStore& Recording() {
    static const SignalStore store = [] {
        SignalStore s;
        s.Samples.resize(kValues);
        std::mt19937 random(1);
        std::uniform_int_distribution<int> noise(-2000, 2000);
        for (size_t k = 0; k < kValues; k += 2) {
            const double phase = 2 * std::numbers::pi * 100000.0 * static_cast<double>(k / 2) / kRate;
            s.Samples[k] = static_cast<int16_t>(std::lround(12000 * std::cos(phase)) + noise(random));
            s.Samples[k + 1] = static_cast<int16_t>(std::lround(12000 * std::sin(phase)) + noise(random));
        }
        s.ValueCount = static_cast<int32_t>(kValues);
        s.ChannelCount = 2;
        s.SampleRate = kRate;
        s.FileName = "bench-demod.wav";
        return s;
    }();
    return store;
}

void BM_Demodulate(benchmark::State& state) {
    const SignalStore& store = Recording();
    DemodRequest request;
    request.Mode = kDemodModes[static_cast<size_t>(state.range(0))];
    request.Frequency = 100000;
    state.SetLabel(std::string(DemodModeName(request.Mode)));
    for (auto _ : state) {
        JobControl job;
        const CheckedInput<DemodAudio> audio = DemodulateRecording(store, request, job);
        if (!audio) state.SkipWithError(audio.Refusal().c_str());
        benchmark::DoNotOptimize(audio->Samples.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kValues));
}

} // namespace

BENCHMARK(BM_Demodulate)
    ->DenseRange(0, static_cast<int>(kDemodModes.size()) - 1)
    ->Unit(benchmark::kSecond)
    ->Iterations(3)
    ->UseRealTime();

BENCHMARK_MAIN();
