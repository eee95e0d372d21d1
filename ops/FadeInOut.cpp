#include "ops/FadeInOut.h"

#include "ops/SampleRounding.h"

void FadeInOut(SignalStore& store, std::span<const float> fadeCurve) {
    SampleArray& s = store.Samples;
    const size_t n = s.size();
    const size_t h = fadeCurve.size() / 2;
    if (fadeCurve.size() > n) return;
    for (size_t i = 0; i < h; ++i) s[i] = RoundToSample(static_cast<long double>(s[i]) * fadeCurve[i]);
    for (size_t k = 0; k < h; ++k) {
        int16_t& value = s[n - h + k];
        value = RoundToSample(static_cast<long double>(value) * fadeCurve[h + k]);
    }
}
