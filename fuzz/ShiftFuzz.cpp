// libFuzzer target: the "Sin" and "Cos" shifts against the block-by-block oscillator, on any store,
// frequency up to the rate, poll spacing, stop and thread count; and, since a difference in the last
// bit of an oscillator entry rarely changes a rounded value, the oscillator blocks themselves, double
// for double.
#include "fuzz/EditFuzzInput.h"
#include "ops/FrequencyShift.h"
#include "support/ReferenceOps.h"

#include <cstring>

namespace {

void RequireSameBlocks(const FuzzedEdit& edit, double frequency, double amplitude) {
    if (edit.Store.SampleRate < 1) return;
    for (const bool sine : {true, false}) {
        ShiftOscillator fast;
        fast.Omega = 2 * 3.141592653589793 * frequency;
        ShiftOscillator slow = fast;
        for (int block = 0; block < 3; ++block) {
            (sine ? GenerateSinBlock : GenerateCosBlock)(fast, edit.Store.SampleRate, amplitude);
            reference::GenerateBlock(slow, edit.Store.SampleRate, amplitude,
                                     sine ? reference::Sine : reference::Cosine);
            if (std::memcmp(&fast, &slow, sizeof fast) != 0) {
                std::fprintf(stderr, "%s: the oscillator blocks differ\n", sine ? "Sin" : "Cos");
                std::abort();
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedEdit edit = DecodeEdit(data, size);
    const double frequency = edit.Fraction * edit.Store.SampleRate;
    RequireSameBlocks(edit, frequency, 1 + edit.PollEvery * 511);
    const int64_t every = 10 * edit.PollEvery;
    const int64_t stopAt = ValueStopPosition(edit, every);
    for (const ShiftWave wave : {ShiftWave::Sine, ShiftWave::Cosine}) {
        SignalStore fast = edit.Store;
        SignalStore slow = edit.Store;
        reference::StopFrom fastPoll(stopAt);
        reference::StopFrom slowPoll(stopAt);
        ShiftStore(fast, frequency, wave, fastPoll, WalkOptions{every, edit.Threads});
        reference::ShiftStore(slow, frequency, wave, slowPoll);
        RequireSame(wave == ShiftWave::Sine ? "Sin" : "Cos", fast, slow);
    }
    return 0;
}
