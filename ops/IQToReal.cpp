#include "ops/IQToReal.h"

#include "ops/SampleRounding.h"
#include "ops/StoreLevel.h"
#include "ops/TLPF.h"
#include "ops/TLPFPipeline.h"
#include "ops/WorkerTeam.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

namespace {

constexpr std::array<int16_t, 4> kSinTab = {0, 1, 0, -1}; // sin(pi m / 2)
constexpr std::array<int16_t, 4> kCosTab = {1, 0, -1, 0}; // cos(pi m / 2)
constexpr double kOutputGain = 2.5;
constexpr int64_t kFramesPerProgress = 50000; // progress every 100000 output values

// The rate must be usable by the filters and, for a pair that becomes one channel, doublable.
bool RateConvertible(const SignalStore& store) {
    if (store.SampleRate < 1) return false;
    return !store.TwoChannels() || store.SampleRate <= std::numeric_limits<int32_t>::max() / 2;
}

// Publishes the progress where the frame-by-frame conversion did (when 2k + 2 is a multiple of
// 100000) and reads the stop flag.
class FramePoll final : public StorePoll {
public:
    FramePoll(JobControl& job, int64_t frames) : job_(job), frames_(frames) {}
    bool StopAt(int64_t k) override {
        if ((2 * k + 2) % (2 * kFramesPerProgress) == 0) job_.SetProgress(PercentDone(k, frames_ - 1));
        return job_.Stopping();
    }

private:
    JobControl& job_;
    int64_t frames_;
};

// The frame after which the walk polls next, from frame k on: 0, then m * every - 1.
int64_t NextFramePoll(int64_t k, int64_t every) {
    if (k == 0) return 0;
    return (k + every) / every * every - 1;
}

// One channel of the pair (0: I, 1: Q) through its filter. Each frame k gives the filter two inputs:
// the previous frame's value and the mean of the previous and the current one.
class ChannelFilter {
public:
    ChannelFilter(int channel, double rate, size_t maxFrames)
        : channel_(channel), filter_(12, rate / 2, rate, 0.8, 0.9), pipeline_(filter_),
          outputs_(2 * maxFrames) {}
    ChannelFilter(const ChannelFilter&) = delete; // the pipeline points into this object's filter
    ChannelFilter& operator=(const ChannelFilter&) = delete;

    // Frames first .. end - 1: reads their values, leaves 2.5 times the filter outputs in Outputs().
    void Run(const int16_t* samples, int64_t first, int64_t end) {
        const auto count = static_cast<size_t>(end - first);
        const int16_t* frames = samples + 2 * first + channel_;
        for (size_t f = 0; f < count; ++f) {
            const double value = frames[2 * f];
            outputs_[2 * f] = previous_;
            outputs_[2 * f + 1] = (previous_ + value) / 2;
            previous_ = value;
        }
        pipeline_.Run(outputs_.data(), 2 * count);
        for (size_t i = 0; i < 2 * count; ++i) outputs_[i] = kOutputGain * outputs_[i];
    }
    const std::vector<double>& Outputs() const { return outputs_; }

private:
    int channel_;
    TLPF filter_;
    TLPFPipeline pipeline_;
    std::vector<double> outputs_;
    double previous_ = 0;
};

// Both filters advance at every output position; the mixing tables pick one of them.
int16_t MixedOutput(double a, double b, int64_t m) {
    return RoundToSample(a * kSinTab[m % 4] - b * kCosTab[m % 4]); // one product is 0, the other exact
}

void ConvertFrames(SignalStore& store, StorePoll& poll, WalkOptions options) {
    const int64_t frames = static_cast<int64_t>(store.Samples.size()) / 2;
    const int64_t converted = std::max<int64_t>(frames - 1, 0); // the last frame is not converted
    const int64_t every = std::max<int64_t>(options.PollEvery, 1);
    const auto maxFrames = static_cast<size_t>(std::min(converted, every));
    WorkerTeam team(options.Threads, 2);
    std::array<ChannelFilter, 2> channels{ChannelFilter(0, store.SampleRate, maxFrames),
                                          ChannelFilter(1, store.SampleRate, maxFrames)};
    const int32_t peak = PrepareLevel(store, false);
    int16_t* s = store.Samples.data();
    for (int64_t first = 0; first < converted;) {
        const int64_t pollAt = NextFramePoll(first, every);
        const int64_t end = std::min(pollAt + 1, converted);
        team.Run(2, [&](size_t c) { channels[c].Run(s, first, end); });
        const std::vector<double>& a = channels[0].Outputs();
        const std::vector<double>& b = channels[1].Outputs();
        for (int64_t k = first; k < end; ++k) {
            const auto i = static_cast<size_t>(2 * (k - first));
            s[2 * k] = MixedOutput(a[i], b[i], 2 * k);
            s[2 * k + 1] = MixedOutput(a[i + 1], b[i + 1], 2 * k + 1);
        }
        if (pollAt < converted && poll.StopAt(pollAt)) break;
        first = end;
    }
    RestoreLevel(store, peak);
}

} // namespace

bool ConvertIQToReal(SignalStore& store, JobControl& job) {
    FramePoll poll(job, static_cast<int64_t>(store.Samples.size()) / 2);
    return ConvertIQToReal(store, poll, WalkOptions{kFramesPerProgress, 0});
}

bool ConvertIQToReal(SignalStore& store, StorePoll& poll, WalkOptions options) {
    if (!RateConvertible(store)) return false;
    ConvertFrames(store, poll, options);
    if (!store.Samples.empty()) store.Samples.back() = 0;
    if (store.TwoChannels()) {
        store.ChannelCount = 1;
        store.SampleRate *= 2;
    }
    return true;
}
