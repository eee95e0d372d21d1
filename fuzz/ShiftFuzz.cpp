// libFuzzer target: the "Sin" and "Cos" shifts against the block-by-block oscillator, on any store,
// frequency up to the rate, poll spacing, stop and thread count.
#include "fuzz/EditFuzzInput.h"
#include "ops/FrequencyShift.h"
#include "ops/reference/ReferenceOps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedEdit edit = DecodeEdit(data, size);
    const double frequency = edit.Fraction * edit.Store.SampleRate;
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
