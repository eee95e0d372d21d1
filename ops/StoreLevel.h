// Measuring and setting the level of the whole store, as the filtering and shifting edits do around
// their work. All values are treated as one sequence, whatever the channel count.
#pragma once

#include "signal/SignalStore.h"

#include <cstdint>

// The largest |value| in 32-bit arithmetic (so -32768 counts as 32768), never less than 1.
int32_t PeakMagnitude(const SampleArray& samples);

// Scales the values so that their largest magnitude becomes `target` (1 ... 32767): every value s
// becomes R(s / f), f = PeakMagnitude / target formed in extended precision and kept as a double, the
// division in extended precision. A silent store stays silent.
void ScaleToPeak(SampleArray& samples, int32_t target);

// The level preparation of the filtering and shifting edits: measures the peak of the values as they
// are, optionally scaling each by 0.9 in the same pass, and normalises to 32767 when a -32768 was
// present. Returns the peak the result must be restored to (at most 32767).
int32_t PrepareLevel(SignalStore& store, bool scaleByNineTenths);

// Rescales the store so that its peak becomes `inputPeak` again, the last step of those edits.
void RestoreLevel(SignalStore& store, int32_t inputPeak);
