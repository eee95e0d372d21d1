// The "I/Q2R" command: turns an interleaved I/Q pair at rate R into one real channel at rate 2R, in
// place. Each channel is upsampled by two with linear interpolation, low-pass filtered by its own
// TLPF(12, R/2, R, 0.8, 0.9), and mixed up to a quarter of the new rate: a tone at +f in the
// recording lands at R/2 - f, one at -f at R/2 + f.
#pragma once

#include "ops/StorePoll.h"
#include "signal/JobControl.h"
#include "signal/SignalStore.h"

// Status panel 3 while the conversion runs (its progress bar background is white, 0x00FFFFFF).
inline constexpr const char* kIQToRealStatusText = " Converting I/Q...";

// Converts the store; returns false and changes nothing when the rate is below 1 or cannot be
// doubled in 32 bits. The last frame is not converted and the last value becomes 0. Progress is
// published every 50000 frames, where the stop flag is read too: a stop leaves the frames after the
// last one converted as they were; the level restore and the relabelling still run. The stop flag is
// left as it is (the job frame clears it before the next job). Only a two-channel store becomes one
// channel at twice the rate; any other keeps its channel count and rate. The I and Q filters run on
// two threads where there are two cores; the arrays it needs are taken before it changes a value.
bool ConvertIQToReal(SignalStore& store, JobControl& job);

// The same with its poll given: StopAt(k) is asked after frame k at k = 0, then at every frame
// k = m * options.PollEvery - 1 (m = 1, 2, ...).
bool ConvertIQToReal(SignalStore& store, StorePoll& poll, WalkOptions options);
