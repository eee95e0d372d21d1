// The "ASR" command: relabels the recording with a new sample rate. The values stay exactly as they
// are; only the rate the rest of the program interprets them with changes.
#pragma once

#include "signal/SignalStore.h"

#include <string>
#include <string_view>

// Converts the text as an integer (EConvertError for a text that is not one, rate unchanged) and
// stores it as SampleRate. A rate below 1 is refused silently (returns false, nothing changed): no
// later operation, ruler or playback could work with it.
bool AdjustSampleRate(SignalStore& store, std::string_view text);

// The status text of the channel count and rate: "  Channels: 2  SmpleRate: 48000".
std::string ChannelRateText(const SignalStore& store);
