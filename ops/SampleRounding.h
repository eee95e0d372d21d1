// The rounding every edit uses when it writes a computed value back into the store: to the nearest
// integer with halves going to the even neighbour, then only the low 16 bits are kept, so values
// outside -32768 .. 32767 wrap instead of being clipped.
#pragma once

#include <cmath>
#include <cstdint>

// llrint rounds in the current mode (nearest, ties to even, unless someone changed it). A value too
// large for 64 bits (or NaN) yields an unspecified integer, never undefined behaviour.
inline int16_t RoundToSample(long double x) {
    return static_cast<int16_t>(static_cast<uint16_t>(std::llrint(x)));
}

inline int16_t RoundToSample(double x) {
    return static_cast<int16_t>(static_cast<uint16_t>(std::llrint(x)));
}

// R(exact()) for a value that `approx` (a double computed with a few correctly rounded operations)
// matches to a relative 1e-15: when approx lies clearly away from a rounding boundary (a
// half-integer), both round alike and the fast double path decides; otherwise the exact,
// extended-precision value does. The result is always that of the extended computation.
template <class Exact> int16_t RoundToSampleVia(double approx, Exact exact) {
    const double magnitude = std::fabs(approx);
    if (magnitude < 1e15) {
        const long long nearest = std::llrint(approx);
        const double distance = std::fabs(approx - static_cast<double>(nearest));
        if (std::fabs(distance - 0.5) > 1e-9 + magnitude * 1e-13)
            return static_cast<int16_t>(static_cast<uint16_t>(nearest));
    }
    return RoundToSample(exact());
}

// Percent done at position k of a loop whose last position is `last`, rounded like the samples;
// 0 when the loop has a single position.
inline int PercentDone(int64_t k, int64_t last) {
    if (last <= 0) return 0;
    return static_cast<int>(std::nearbyint(static_cast<double>(k) / static_cast<double>(last) * 100.0));
}
