// libFuzzer target: the "LPF" command's filtering against the value-by-value filter, on any store,
// cut-off, poll spacing and stop.
#include "fuzz/EditFuzzInput.h"
#include "ops/LPFFilter.h"
#include "ops/reference/ReferenceOps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedEdit edit = DecodeEdit(data, size);
    const double fc = edit.Fraction * (edit.Store.SampleRate - 1);
    const int64_t every = 10 * edit.PollEvery;
    const int64_t stopAt = ValueStopPosition(edit, every);
    SignalStore slow = edit.Store;
    reference::StopFrom fastPoll(stopAt);
    reference::StopFrom slowPoll(stopAt);
    LPFFilterStore(edit.Store, fc, fastPoll, every);
    reference::LPFFilterStore(slow, fc, slowPoll);
    RequireSame("LPF", edit.Store, slow);
    return 0;
}
