// libFuzzer target: the I/Q conversion against the frame-by-frame conversion, on any store, poll
// spacing, stop and thread count.
#include "fuzz/EditFuzzInput.h"
#include "ops/IQToReal.h"
#include "support/ReferenceOps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedEdit edit = DecodeEdit(data, size);
    // The walk polls after frame 0 and after every frame m * every - 1.
    const int64_t stopAt = edit.StopPoll < 0    ? reference::kNever
                           : edit.StopPoll == 0 ? 0
                                                : edit.StopPoll * edit.PollEvery - 1;
    SignalStore slow = edit.Store;
    reference::StopFrom fastPoll(stopAt);
    reference::StopFrom slowPoll(stopAt);
    const bool fastDone = ConvertIQToReal(edit.Store, fastPoll, WalkOptions{edit.PollEvery, edit.Threads});
    const bool slowDone = reference::ConvertIQToReal(slow, slowPoll);
    if (fastDone != slowDone) ReportDifference("I/Q2R (refusal)", edit.Store, slow);
    RequireSame("I/Q2R", edit.Store, slow);
    return 0;
}
