// "Extract": a time range and a frequency band of a recording become a recording of their own, two
// channels I and Q: tuned so the band's centre is at 0 Hz, low-pass filtered to the band, and
// decimated to the smallest whole fraction R / k of the rate that holds the band with a margin for the
// filter's transition (k a whole number dividing R, so the new rate is a whole number of hertz).
#pragma once

#include "ops/CheckedInput.h"
#include "signal/JobControl.h"
#include "signal/SignalStore.h"

#include <cstdint>
#include <optional>

// What to cut out.
struct ExtractRequest {
    double FromSeconds = 0; // start, 0 <= from < to
    double ToSeconds = 0;   // end; past the recording's end is its end
    double LowHz = 0;       // the band's lower edge: signed baseband Hz (-R/2 ... R/2) for two channels,
    double HighHz = 0;      // 0 ... R/2 for one; low < high
};

// How it is done.
struct ExtractPlan {
    int64_t FirstFrame = 0; // the source frames of the range: first .. end - 1
    int64_t EndFrame = 0;
    double CentreHz = 0;    // the band's centre: the new recording's 0 Hz, in the source's baseband
    double WidthHz = 0;     // the band's width
    int32_t Decimation = 1; // k
    int32_t Rate = 0;       // the new rate, R / k
};

// The new rate leaves this much room above the band's width for the filter's transition: R / k is at
// least 1.25 times the width.
inline constexpr double kExtractRateMargin = 1.25;

// Checks the request against the recording and plans it. Refuses (with the reason): nothing loaded, a
// rate below 1, an empty or inverted time range or band, a band beyond the recording's (-R/2 ... R/2
// with two channels, 0 ... R/2 with one), a band so narrow that its filter would be too long.
CheckedInput<ExtractPlan> PlanExtract(const SignalStore& source, const ExtractRequest& request);

// Computes the new recording: two channels at plan.Rate holding the range's frames / k values of the
// band (a one-channel source is taken as I = value, Q = 0, and its band raised by 6 dB so that a tone
// keeps its level). The filter reads the source's frames around the range too, as far as they exist.
// Polls job's stop flag and publishes progress; nothing when stopped. The store's FileName is empty.
std::optional<SignalStore> ExtractBand(const SignalStore& source, const ExtractPlan& plan, JobControl& job);
