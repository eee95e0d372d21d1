// The "FFT_F" command: band-limits the whole store in place by short-time Fourier filtering. Frames
// of 16384 values, Hann-windowed, at a hop of 8192; the spectrum above the high cut and below the low
// cut is removed with a smooth 50-bin transition; the frames are transformed back and overlap-added.
// With two channels, each channel's values are filtered as a sequence of their own, one channel after the
// other, so that nothing of one channel reaches the other.
#pragma once

#include "ops/CheckedInput.h"

#include "signal/JobControl.h"
#include "signal/SignalStore.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

inline constexpr int32_t kFilterFrameLength = 16384;
inline constexpr int32_t kFilterHop = 8192;
inline constexpr int32_t kFilterTransition = 50; // bins of each taper

// Status panel 3 while the filter runs (its progress bar background is red, 0x000000FF).
inline constexpr const char* kFFTFilterStatusText = " FFT Filtring...";

// The periodic Hann window of the frames: 16384 entries, w[i] + w[i + 8192] = 1.
std::vector<float> BuildFilterWindow();
// The two tapers in one table of 100 entries: 0 .. 49 rise (low-cut edge), 50 .. 99 fall (high cut).
std::vector<float> BuildFilterTaper();

// The first bins of the two transitions for cut-offs hi and lo (Hz) at sampleRate (>= 1): the rounded
// bin of hi minus 25 and of lo plus 25. 0 disables that side (also when hi's bin is at most 25).
struct FilterCutBins {
    int32_t Hi = 0; // kHi: bins from kHi + 50 up are removed
    int32_t Lo = 0; // kLo: bins up to kLo - 50 are removed
};
FilterCutBins FilterCutBinsFor(int32_t sampleRate, int32_t hi, int32_t lo);

// What the filter panel asks for.
struct FFTFilterRequest {
    int32_t Hi = 0;     // Hz
    int32_t Lo = 0;     // Hz
    int32_t Passes = 0; // the selected quality: 1 ... 9
};

// Reads the panel: hi and lo are the absolute values of the texts as integers (an empty text is 0;
// EConvertError for a text that is not an integer), passes = qualityIndex + 1. Refuses (with the
// reason) a cut-off above half the sample rate, and any request while the rate is below 1.
CheckedInput<FFTFilterRequest> FFTFilterRequestFromTexts(const SignalStore& store, std::string_view hiText,
                                                         std::string_view loText, int qualityIndex);

// Filters the store `passes` times, each pass re-reading the result of the one before. A stop (polled
// after every block) ends the run: positions written in the current pass are filtered once more than
// the rest, and with two channels a stop during the first leaves the second as it was. Nothing happens
// on a store whose rate is below 1. The blocks of a pass are computed by `threads` workers (0: one per
// thread of the worker pool), the caller and pool threads; the result is the same as one block after
// the other.
void FFTBandFilter(SignalStore& store, int32_t hi, int32_t lo, int32_t passes, JobControl& job,
                   unsigned threads = 0);
