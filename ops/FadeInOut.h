// The "Fade" edit: fades the start of the store in and its end out along the spectrogram engine's
// FadeCurve (a periodic raised cosine of up to 1024 entries).
#pragma once

#include "signal/SignalStore.h"

#include <span>

// With L = fadeCurve.size() and h = L / 2: the first h values are multiplied by the curve's rising
// half w[0 .. h-1], the last h values by its falling half w[h .. 2h-1]; the middle is untouched. A
// curve longer than the store (left from an earlier, longer recording) changes nothing.
void FadeInOut(SignalStore& store, std::span<const float> fadeCurve);
