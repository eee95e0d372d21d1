// The "LPF" command: low-pass filters the whole store in place through a 12-section TLPF, then
// restores the input's peak level.
#pragma once

#include "ops/CheckedInput.h"

#include "ops/StorePoll.h"
#include "signal/JobControl.h"
#include "signal/SignalStore.h"

#include <cstdint>
#include <optional>
#include <string_view>

// Status panel 3 while the filter runs (its progress bar background is white, 0x00FFFFFF).
inline constexpr const char* kLPFStatusText = " LPF Filtring...";

// The cut-off typed into the LPF field: the absolute value of the text as a floating-point number.
// Throws EConvertError for a text that is not a number. Refuses (with the reason) a cut-off above the
// sample rate minus 1, and any cut-off while the store's rate is below 1.
CheckedInput<double> LPFCutoffFromText(const SignalStore& store, std::string_view text);

// Filters each channel's values in order with its own TLPF(12, fc, SampleRate, 0.8, 0.9), so that
// nothing of one channel reaches the other, after scaling the store by 0.9; fc = 0 filters nothing. Polls
// the stop flag at least every 32000 values, at positions that are multiples of 10: a stop at
// position k leaves the values after k at their 0.9-scaled level. Does nothing on a store whose rate
// is below 1. The arrays it needs are taken before it changes a value.
void LPFFilterStore(SignalStore& store, double fc, JobControl& job);

// The same with its poll given, polling every `pollEvery` values (a multiple of 10).
void LPFFilterStore(SignalStore& store, double fc, StorePoll& poll, int64_t pollEvery);
