// The "Tune" command, for two channels holding I and Q: multiplies every frame's I + jQ by
// e^(-j 2 pi f t), t = frame / SampleRate, so that the component at +f moves to 0 Hz and every other
// one moves by -f with it. Unlike "Sin" and "Cos" it makes no mirror image: the product is complex.
#pragma once

#include "ops/CheckedInput.h"
#include "ops/StorePoll.h"
#include "signal/JobControl.h"
#include "signal/SignalStore.h"

#include <string_view>

// Status panel 3 while it runs.
inline constexpr const char* kTuneStatusText = " Tune...";

// The signed frequency typed into the shift field (what a click in the I/Q view writes there). Throws
// EConvertError for a text that is not a number. Refuses (with the reason) a store without two
// channels, a rate below 1 and a frequency beyond half the sample rate either way.
CheckedInput<double> TuneFrequencyFromText(const SignalStore& store, std::string_view text);

// Tunes the store by `frequency` (Hz, signed). The levels stay as they are, except where a turned
// frame would not fit 16 bits (|I + jQ| above 32767): then the whole store is scaled so the largest
// frame just fits. A stop, polled at least every 163840 values at frames that are multiples of 10
// (and reported as the frame's first value), leaves the frames after the poll's frame as they were. The
// oscillator of each block of frames is computed from the block's first frame, so the result is the same
// whatever threads share the work.
void TuneStore(SignalStore& store, double frequency, JobControl& job);
void TuneStore(SignalStore& store, double frequency, StorePoll& poll, WalkOptions options);
