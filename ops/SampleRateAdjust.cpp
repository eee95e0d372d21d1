#include "ops/SampleRateAdjust.h"

#include "signal/NumberText.h"

bool AdjustSampleRate(SignalStore& store, std::string_view text) {
    const int32_t rate = StrToInt(text);
    if (rate < 1) return false;
    store.SampleRate = rate;
    return true;
}

std::string ChannelRateText(const SignalStore& store) {
    return "  Channels: " + std::to_string(store.ChannelCount) +
           "  SmpleRate: " + std::to_string(store.SampleRate);
}
