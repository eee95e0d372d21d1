// Undo and redo of an edit on a 500 MB recording: the time until the store is restored (before any
// picture is computed), and the extra memory one kept state takes. Undo and redo exchange the store's
// values with the kept copy, so they should take microseconds, and a kept state one copy of the store.
#include "ops/EditCommand.h"
#include "ops/EditHistory.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace {

constexpr size_t kValues = 250'000'000; // 500 MB of 16-bit values

SignalStore& Recording() {
    static SignalStore store = [] {
        SignalStore s;
        s.Samples.resize(kValues);
        for (size_t k = 0; k < kValues; ++k) s.Samples[k] = int16_t((k * 7919) % 30000 - 15000);
        s.ValueCount = int32_t(kValues);
        s.ChannelCount = 2;
        s.SampleRate = 48000;
        s.FileName = "bench.wav";
        return s;
    }();
    return store;
}

// Resident memory of the process in bytes.
double ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    double pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4096.0;
}

// An "Invert" through the history, as the window runs it; returns the extra resident memory the kept
// state took.
double EditKeepingItsState(EditHistory& history, SignalStore& store) {
    const double before = ResidentBytes();
    history.Begin("Invert", store, true);
    const EditCommandInput input;
    JobControl job;
    RunEdit(*PrepareEdit(EditCommand::Invert, input, store, 1024).Edit, store, SpectrogramState{}, job);
    history.End(store);
    return ResidentBytes() - before;
}

void BM_UndoRedo500MB(benchmark::State& bench) {
    SignalStore& store = Recording();
    EditHistory history(size_t{4} << 30);
    const double extra = EditKeepingItsState(history, store);
    for (auto _ : bench) {
        history.Undo(store);
        benchmark::DoNotOptimize(store.Samples.data());
        history.Redo(store);
        benchmark::DoNotOptimize(store.Samples.data());
    }
    bench.counters["store_MB"] = double(store.Samples.size() * 2) / 1e6;
    bench.counters["extra_per_kept_state_MB"] = extra / 1e6;
    bench.counters["extra_over_store"] = extra / double(store.Samples.size() * 2);
}
BENCHMARK(BM_UndoRedo500MB)->Unit(benchmark::kMicrosecond)->Iterations(1000);

// The copy an edit takes of the store before it runs (inside the edit's job).
void BM_KeepStateBeforeEdit500MB(benchmark::State& bench) {
    SignalStore& store = Recording();
    for (auto _ : bench) {
        EditHistory history(size_t{4} << 30);
        history.Begin("Amp", store, true);
        benchmark::DoNotOptimize(history.BytesHeld());
    }
}
BENCHMARK(BM_KeepStateBeforeEdit500MB)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
