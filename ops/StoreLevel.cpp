#include "ops/StoreLevel.h"

#include "ops/SampleRounding.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

constexpr size_t kDistinctValues = 65536;

// Applies `rounded` (a function of the value alone) to every value. A store with more values than
// there are distinct 16-bit values gets a table of all 65536 results first, so that each value costs
// a look-up; without memory for the table every value is computed. Both give the same values.
template <class Rounded> void MapValues(SampleArray& samples, Rounded rounded) {
    std::vector<int16_t> table;
    if (samples.size() > kDistinctValues) {
        try {
            table.resize(kDistinctValues);
        } catch (const std::bad_alloc&) {
            table.clear();
        }
    }
    if (table.empty()) {
        for (int16_t& s : samples) s = rounded(s);
        return;
    }
    for (size_t i = 0; i < kDistinctValues; ++i)
        table[i] = rounded(static_cast<int16_t>(static_cast<int32_t>(i) - 32768));
    for (int16_t& s : samples) s = table[static_cast<size_t>(s + 32768)];
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

void ScaleToPeak(SampleArray& samples, int32_t target) {
    const double divisor = Ratio(PeakMagnitude(samples), target);
    const long double d = divisor;
    MapValues(samples, [&](int16_t value) {
        return RoundToSampleVia(value / divisor, [&] { return static_cast<long double>(value) / d; });
    });
}

int32_t PrepareLevel(SignalStore& store, bool scaleByNineTenths) {
    int32_t peak = PeakMagnitude(store.Samples);
    if (scaleByNineTenths) {
        MapValues(store.Samples, [](int16_t value) {
            return RoundToSampleVia(value * 0.9, [&] { return static_cast<long double>(value) * 0.9L; });
        });
    }
    if (peak > 32767) {
        ScaleToPeak(store.Samples, 32767);
        peak = 32767;
    }
    return peak;
}

void RestoreLevel(SignalStore& store, int32_t inputPeak) {
    ScaleToPeak(store.Samples, inputPeak);
}
