#include "ops/LPFFilter.h"

#include "ops/SampleRounding.h"
#include "ops/StoreLevel.h"
#include "ops/TLPF.h"
#include "ops/TLPFPipeline.h"
#include "signal/NumberText.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int64_t kPollEvery = 32000;

// Values first .. end - 1 through the filter: widened to doubles, filtered, rounded back.
void FilterValues(TLPFPipeline& pipeline, int16_t* samples, int64_t first, int64_t end,
                  std::vector<double>& block) {
    const auto count = static_cast<size_t>(end - first);
    const int16_t* in = samples + first;
    for (size_t i = 0; i < count; ++i) block[i] = in[i];
    pipeline.Run(block.data(), count);
    int16_t* out = samples + first;
    for (size_t i = 0; i < count; ++i) out[i] = RoundToSample(block[i]);
}

} // namespace

CheckedInput<double> LPFCutoffFromText(const SignalStore& store, std::string_view text) {
    const double fc = std::fabs(StrToFloat(text));
    if (store.SampleRate < 1) return CheckedInput<double>::Refused(SampleRateBelowOneText(store.SampleRate));
    if (fc > static_cast<double>(store.SampleRate) - 1.0)
        return CheckedInput<double>::Refused("the cut-off " + PlainHertzText(fc) +
                                             " Hz is above the sample rate minus 1 (" +
                                             PlainHertzText(store.SampleRate - 1.0) + " Hz)");
    return fc;
}

void LPFFilterStore(SignalStore& store, double fc, JobControl& job) {
    ValuePoll poll(job, static_cast<int64_t>(store.Samples.size()));
    LPFFilterStore(store, fc, poll, kPollEvery);
}

void LPFFilterStore(SignalStore& store, double fc, StorePoll& poll, int64_t pollEvery) {
    if (store.SampleRate < 1) return;
    const auto n = static_cast<int64_t>(store.Samples.size());
    pollEvery = ValuePollSpacing(pollEvery);
    std::vector<double> block(static_cast<size_t>(std::min(n, pollEvery)));
    const int32_t peak = PrepareLevel(store, true);
    TLPF filter(12, fc, store.SampleRate, 0.8, 0.9);
    TLPFPipeline pipeline(filter);
    for (int64_t first = 0; first < n;) {
        const int64_t pollAt = NextValuePoll(first, n, pollEvery);
        const int64_t end = std::min(pollAt + 1, n);
        if (fc > 0) FilterValues(pipeline, store.Samples.data(), first, end, block);
        if (pollAt < n && poll.StopAt(pollAt)) break;
        first = end;
    }
    RestoreLevel(store, peak);
}
