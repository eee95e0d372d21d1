#include "ops/StoreLevel.h"

#include "ops/SampleRounding.h"
#include "ops/WorkerTeam.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

namespace {

constexpr size_t kDistinctValues = 65536;
constexpr size_t kSharedFrom = size_t{1} << 20; // values from which a pass is shared among the cores

// Calls part(first, end) for consecutive parts of positions 0 .. count-1, one part per core for a
// large store, on as many threads.
template <class Part> void InParts(size_t count, Part part) {
    if (count < kSharedFrom) {
        part(size_t{0}, count);
        return;
    }
    WorkerTeam team(0);
    const size_t parts = team.Size();
    team.Run(parts, [&](size_t i) { part(count * i / parts, count * (i + 1) / parts); });
}

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
    InParts(samples.size(), [&](size_t first, size_t end) {
        for (size_t i = first; i < end; ++i) samples[i] = table[static_cast<size_t>(samples[i] + 32768)];
    });
}

// numerator / denominator in extended precision, kept as a double.
double Ratio(int32_t numerator, int32_t denominator) {
    return static_cast<double>(static_cast<long double>(numerator) / static_cast<long double>(denominator));
}

} // namespace

int32_t PeakMagnitude(const SampleArray& samples) {
    std::mutex lock;
    int32_t peak = 1;
    InParts(samples.size(), [&](size_t first, size_t end) {
        int32_t partPeak = 1;
        for (size_t i = first; i < end; ++i)
            partPeak = std::max(partPeak, std::abs(static_cast<int32_t>(samples[i])));
        std::lock_guard guard(lock);
        peak = std::max(peak, partPeak);
    });
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
