// Playback's costs: filling one device buffer on the playback thread (it must take a small part of
// the 64 ms of sound the buffer holds), and the copy a play click makes of a 60-second two-channel
// 48000 Hz store on the user-interface thread.
#include "audio/Playback.h"
#include "audio/FillPlayBuffer.h"
#include "audio/PlaybackFades.h"
#include "audio/PlaybackFormat.h"
#include "support/TestWaveOutDevice.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>

namespace {

constexpr int32_t kRate = 48000;
constexpr uint16_t kChannels = 2;
constexpr size_t kValues = size_t(60) * kRate * kChannels;

SignalStore Recording() {
    SignalStore s;
    s.Samples.resize(kValues);
    for (size_t k = 0; k < kValues; ++k)
        s.Samples[k] = int16_t(12000 * std::sin(2 * std::numbers::pi * 1000.0 * double(k / 2) / kRate));
    s.ValueCount = int32_t(kValues);
    s.ChannelCount = kChannels;
    s.SampleRate = kRate;
    s.FileName = "bench.wav";
    return s;
}

// A playback state as the thread sees it while a looping playback of the recording runs.
PlaybackState& PlayingState() {
    static PlaybackState state;
    if (state.PlaybackCopy.empty()) {
        const SignalStore store = Recording();
        state.PlaybackCopy.assign(store.Samples.begin(), store.Samples.end());
        state.PlayChannels = kChannels;
        state.PlayTo = state.PlayableSize();
        state.PlayBufferBytes = PlayBufferBytesFor(kChannels, kRate);
        BuildFadeOutRamp(state.FadeOutRamp, state.PlayBufferBytes);
        state.PlaybackIdle = false;
        state.DeviceError = false;
        state.Loop = true;
    }
    return state;
}

// One buffer of 12288 bytes (64 ms of sound); the counter RealTimeFactor is how many seconds of
// sound are filled per second.
void BM_FillPlayBuffer(benchmark::State& bench) {
    PlaybackState& state = PlayingState();
    const bool fading = bench.range(0) != 0;
    std::vector<int16_t> buffer(size_t(state.PlayBufferBytes / 2));
    for (auto _ : bench) {
        state.FadeStop = fading;
        state.FadeCounter = 0;
        state.TerminateRequested = false;
        FillPlayBuffer(state, buffer, nullptr);
        benchmark::DoNotOptimize(buffer.data());
    }
    const double bufferSeconds = double(buffer.size()) / kChannels / kRate;
    bench.counters["RealTimeFactor"] =
        benchmark::Counter(bufferSeconds * double(bench.iterations()), benchmark::Counter::kIsRate);
    bench.SetBytesProcessed(int64_t(bench.iterations()) * state.PlayBufferBytes);
}
BENCHMARK(BM_FillPlayBuffer)->Arg(0)->Arg(1)->ArgName("fading");

// A play click after an edit copies the store (user-interface thread).
void BM_RefreshCopyOfSixtySeconds(benchmark::State& bench) {
    const SignalStore store = Recording();
    Playback player(std::make_unique<TestWaveOutDevice>());
    for (auto _ : bench) {
        player.MarkCopyStale();
        player.RefreshCopy(store);
        benchmark::DoNotOptimize(player.PlaybackCopy().data());
    }
    bench.SetBytesProcessed(int64_t(bench.iterations()) * int64_t(kValues * sizeof(int16_t)));
}
BENCHMARK(BM_RefreshCopyOfSixtySeconds)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
