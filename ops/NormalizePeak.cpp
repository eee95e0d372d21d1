#include "ops/NormalizePeak.h"

#include "ops/SampleRounding.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Every value s becomes R(s / divisor), the division in extended precision.
void DivideAll(SampleArray& samples, double divisor) {
    const long double d = divisor;
    for (int16_t& s : samples) {
        const int16_t value = s;
        s = RoundToSampleVia(value / divisor, [&] { return static_cast<long double>(value) / d; });
    }
}

// numerator / denominator in extended precision, kept as a double.
double Ratio(int32_t numerator, int32_t denominator) {
    return static_cast<double>(static_cast<long double>(numerator) / static_cast<long double>(denominator));
}

} // namespace

int32_t PeakMagnitude(const SampleArray& samples) {
    int32_t peak = 1;
    for (const int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int32_t>(s)));
    return peak;
}

void NormalizePeak(SignalStore& store, int16_t target) {
    DivideAll(store.Samples, Ratio(PeakMagnitude(store.Samples), target));
}

int32_t PrepareLevel(SignalStore& store, bool scaleByNineTenths) {
    int32_t peak = 1;
    if (scaleByNineTenths) {
        for (int16_t& s : store.Samples) {
            peak = std::max(peak, std::abs(static_cast<int32_t>(s)));
            const int16_t value = s;
            s = RoundToSampleVia(value * 0.9, [&] { return static_cast<long double>(value) * 0.9L; });
        }
    } else {
        peak = PeakMagnitude(store.Samples);
    }
    if (peak > 32767) {
        NormalizePeak(store, 32767);
        peak = 32767;
    }
    return peak;
}

void RestoreLevel(SignalStore& store, int32_t inputPeak) {
    DivideAll(store.Samples, Ratio(PeakMagnitude(store.Samples), inputPeak));
}
