// The "Amp" edit and the normalisation the other edits call: scales the whole store to a peak.
#pragma once

#include "ops/StoreLevel.h" // the peak it scales from is PeakMagnitude's
#include "signal/SignalStore.h"

#include <cstdint>

// Scales the store so that its largest magnitude becomes `target`: every value s becomes
// R(s / (peak / target)). A silent store stays silent.
void NormalizePeak(SignalStore& store, int16_t target);
