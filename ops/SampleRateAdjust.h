// The "ASR" command: relabels the recording with a new sample rate. The values stay exactly as they
// are; only the rate the rest of the program interprets them with changes.
#pragma once

#include "signal/SignalStore.h"

#include "ops/CheckedInput.h"
#include <cstdint>

#include <optional>
#include <string>
#include <string_view>

// The rate typed into the ASR field: the text as an integer (EConvertError for a text that is not
// one). A rate below 1 is refused (nothing returned, with the reason): no later operation, ruler or
// playback could work with it.
CheckedInput<int32_t> SampleRateFromText(std::string_view text);

// Converts the text as SampleRateFromText does and stores the rate as SampleRate; false (nothing
// changed) when it is refused.
bool AdjustSampleRate(SignalStore& store, std::string_view text);

// The status text of the channel count and rate: "  Channels: 2  SmpleRate: 48000".
std::string ChannelRateText(const SignalStore& store);
