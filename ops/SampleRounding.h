// The rounding every edit uses when it writes a computed value back into the store: to the nearest
// integer with halves going to the even neighbour, then only the low 16 bits are kept, so values
// outside -32768 .. 32767 wrap instead of being clipped.
#pragma once

#include <cmath>
#include <cstdint>

#if defined(__x86_64__) && defined(__SSE2__)
#include <emmintrin.h>
#endif

// std::llrint of a double: nearest in the current mode (ties to even, unless someone changed it). On
// x86-64 this is the single conversion instruction that the C library's llrint runs, without the call;
// a value too large for 64 bits (or NaN) gives the same 0x8000000000000000 there.
inline long long NearestInteger(double x) {
#if defined(__x86_64__) && defined(__SSE2__)
    return _mm_cvtsd_si64(_mm_set_sd(x));
#else
    return std::llrint(x);
#endif
}

// A value too large for 64 bits (or NaN) yields an unspecified integer, never undefined behaviour.
inline int16_t RoundToSample(long double x) {
    return static_cast<int16_t>(static_cast<uint16_t>(std::llrint(x)));
}

inline int16_t RoundToSample(double x) {
    return static_cast<int16_t>(static_cast<uint16_t>(NearestInteger(x)));
}

// R(exact()) for a value that `approx` (a double computed with a few correctly rounded operations)
// matches to a relative 1e-15: when approx lies clearly away from a rounding boundary (a
// half-integer), both round alike and the fast double path decides; otherwise the exact,
// extended-precision value does. The result is always that of the extended computation.
template <class Exact> int16_t RoundToSampleVia(double approx, Exact exact) {
    const double magnitude = std::fabs(approx);
    if (magnitude < 1e15) {
        const long long nearest = NearestInteger(approx);
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
