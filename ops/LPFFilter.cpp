#include "ops/LPFFilter.h"

#include "ops/NormalizePeak.h"
#include "ops/SampleRounding.h"
#include "ops/TLPF.h"
#include "ops/ValueLoopPoll.h"
#include "signal/NumberText.h"

#include <cmath>

std::optional<double> LPFCutoffFromText(const SignalStore& store, std::string_view text) {
    const double fc = std::fabs(StrToFloat(text));
    if (store.SampleRate < 1 || fc > static_cast<double>(store.SampleRate) - 1.0) return std::nullopt;
    return fc;
}

void LPFFilterStore(SignalStore& store, double fc, JobControl& job) {
    if (store.SampleRate < 1) return;
    const int32_t peak = PrepareLevel(store, true);
    TLPF filter(12, fc, store.SampleRate, 0.8, 0.9);
    int16_t* s = store.Samples.data();
    const int64_t n = static_cast<int64_t>(store.Samples.size());
    const bool filtering = fc > 0;
    ValueLoopPoll poll(job, n);
    for (int64_t k = 0; k < n; ++k) {
        if (filtering) s[k] = RoundToSample(filter.Process(s[k]));
        if (poll.StopAt(k)) break;
    }
    RestoreLevel(store, peak);
}
