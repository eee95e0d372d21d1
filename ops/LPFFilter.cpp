#include "ops/LPFFilter.h"

#include "ops/SampleRounding.h"
#include "ops/StoreLevel.h"
#include "ops/TLPF.h"
#include "ops/TLPFPipeline.h"
#include "signal/NumberText.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int64_t kPollEvery = 32000;

// One filter per channel, each with its own state: with two channels, value i belongs to channel i % 2
// and each filter sees only its own channel's values, in order, at the channel rate.
class ChannelFilters {
public:
    ChannelFilters(int channels, double fc, int32_t rate, size_t blockLength) : channels_(channels) {
        for (int c = 0; c < channels_; ++c) {
            filters_.push_back(std::make_unique<TLPF>(12, fc, rate, 0.8, 0.9));
            pipelines_.push_back(std::make_unique<TLPFPipeline>(*filters_.back()));
            blocks_.emplace_back(blockLength / static_cast<size_t>(channels_) + 1);
        }
    }

    // Values first .. end - 1 through their channel's filter: widened to doubles, filtered, rounded back.
    void Run(int16_t* samples, int64_t first, int64_t end) {
        for (int c = 0; c < channels_; ++c) {
            std::vector<double>& block = blocks_[static_cast<size_t>(c)];
            const int64_t from = FirstOfChannel(first, c);
            size_t count = 0;
            for (int64_t i = from; i < end; i += channels_) block[count++] = samples[i];
            pipelines_[static_cast<size_t>(c)]->Run(block.data(), count);
            count = 0;
            for (int64_t i = from; i < end; i += channels_) samples[i] = RoundToSample(block[count++]);
        }
    }

private:
    int64_t FirstOfChannel(int64_t first, int channel) const {
        const int64_t offset = (channel - first % channels_ + channels_) % channels_;
        return first + offset;
    }

    int channels_;
    std::vector<std::unique_ptr<TLPF>> filters_;
    std::vector<std::unique_ptr<TLPFPipeline>> pipelines_;
    std::vector<std::vector<double>> blocks_;
};

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
    const int channels = store.TwoChannels() ? 2 : 1;
    ChannelFilters filters(channels, fc, store.SampleRate, static_cast<size_t>(std::min(n, pollEvery + 1)));
    const int32_t peak = PrepareLevel(store, true);
    for (int64_t first = 0; first < n;) {
        const int64_t pollAt = NextValuePoll(first, n, pollEvery);
        const int64_t end = std::min(pollAt + 1, n);
        if (fc > 0) filters.Run(store.Samples.data(), first, end);
        if (pollAt < n && poll.StopAt(pollAt)) break;
        first = end;
    }
    RestoreLevel(store, peak);
}
