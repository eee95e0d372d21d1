// libFuzzer target: the "LPF" command's filtering against the value-by-value filter, on any store,
// cut-off, poll spacing and stop; and, since a difference in the last bit of a double rarely changes
// a rounded value, the side-by-side sections themselves against the plain loop, double for double,
// over blocks of any lengths.
#include "fuzz/EditFuzzInput.h"
#include "ops/LPFFilter.h"
#include "ops/TLPFPipeline.h"
#include "support/ReferenceOps.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

void RequireSameFilterOutputs(const FuzzedEdit& edit, double fc) {
    if (edit.Store.SampleRate < 1) return;
    TLPF fast(12, fc, edit.Store.SampleRate, 0.8, 0.9);
    reference::Cascade slow(fast);
    TLPFPipeline pipeline(fast);
    std::vector<double> values(edit.Store.Samples.begin(), edit.Store.Samples.end());
    std::vector<double> expected = values;
    for (double& x : expected) x = slow.Process(x);
    // Blocks of 1 ... 64 values, chosen by the poll spacing, then whatever is left.
    const auto block = static_cast<size_t>(edit.PollEvery);
    for (size_t first = 0; first < values.size(); first += block)
        pipeline.Run(values.data() + first, std::min(block, values.size() - first));
    if (!values.empty() && std::memcmp(values.data(), expected.data(), values.size() * sizeof(double)) != 0) {
        std::fprintf(stderr, "LPF: the side-by-side sections and the plain loop differ\n");
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedEdit edit = DecodeEdit(data, size);
    const double fc = edit.Fraction * (edit.Store.SampleRate - 1);
    RequireSameFilterOutputs(edit, fc);
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
