#include "ops/IQToReal.h"

#include "ops/NormalizePeak.h"
#include "ops/SampleRounding.h"
#include "ops/TLPF.h"

#include <array>
#include <limits>

namespace {

constexpr std::array<int16_t, 4> kSinTab = {0, 1, 0, -1}; // sin(pi m / 2)
constexpr std::array<int16_t, 4> kCosTab = {1, 0, -1, 0}; // cos(pi m / 2)
constexpr double kOutputGain = 2.5;

// The rate must be usable by the filters and, for a pair that becomes one channel, doublable.
bool RateConvertible(const SignalStore& store) {
    if (store.SampleRate < 1) return false;
    return !store.TwoChannels() || store.SampleRate <= std::numeric_limits<int32_t>::max() / 2;
}

// Both filters advance at every output position; the mixing tables pick one of them.
int16_t MixedOutput(TLPF& iFilter, TLPF& qFilter, double iIn, double qIn, int64_t m) {
    const double a = kOutputGain * iFilter.Process(iIn);
    const double b = kOutputGain * qFilter.Process(qIn);
    return RoundToSample(a * kSinTab[m % 4] - b * kCosTab[m % 4]); // one product is 0, the other exact
}

void ConvertFrames(SignalStore& store, JobControl& job) {
    const double rate = store.SampleRate;
    TLPF iFilter(12, rate / 2, rate, 0.8, 0.9);
    TLPF qFilter(12, rate / 2, rate, 0.8, 0.9);
    int16_t* s = store.Samples.data();
    const int64_t frames = static_cast<int64_t>(store.Samples.size()) / 2;
    double prevI = 0;
    double prevQ = 0;
    for (int64_t k = 0; k + 1 < frames; ++k) {
        const double i = s[2 * k];
        const double q = s[2 * k + 1];
        s[2 * k] = MixedOutput(iFilter, qFilter, prevI, prevQ, 2 * k);
        s[2 * k + 1] = MixedOutput(iFilter, qFilter, (prevI + i) / 2, (prevQ + q) / 2, 2 * k + 1);
        if ((2 * k + 2) % 100000 == 0) job.SetProgress(PercentDone(k, frames - 1));
        if (job.Stopping()) break;
        prevI = i;
        prevQ = q;
    }
}

} // namespace

bool ConvertIQToReal(SignalStore& store, JobControl& job) {
    if (!RateConvertible(store)) return false;
    const int32_t peak = PrepareLevel(store, false);
    ConvertFrames(store, job);
    RestoreLevel(store, peak);
    if (!store.Samples.empty()) store.Samples.back() = 0;
    if (store.TwoChannels()) {
        store.ChannelCount = 1;
        store.SampleRate *= 2;
    }
    return true;
}
