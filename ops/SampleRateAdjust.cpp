#include "ops/SampleRateAdjust.h"

#include "signal/NumberText.h"

CheckedInput<int32_t> SampleRateFromText(std::string_view text) {
    const int32_t rate = StrToInt(text);
    if (rate < 1) return CheckedInput<int32_t>::Refused(SampleRateBelowOneText(rate));
    return rate;
}

bool AdjustSampleRate(SignalStore& store, std::string_view text) {
    const CheckedInput<int32_t> rate = SampleRateFromText(text);
    if (rate) store.SampleRate = *rate;
    return rate.has_value();
}

std::string ChannelRateText(const SignalStore& store) {
    return "  Channels: " + std::to_string(store.ChannelCount) +
           "  SmpleRate: " + std::to_string(store.SampleRate);
}
