// The pieces every family of power-of-two kernels shares: complex arithmetic on TComplexSingle, the
// constants of the small kernels, and the walk over the twiddles of one pass.
#pragma once

#include "spectral/FFTPow2Tables.h"

#define FFTPOW2_INLINE inline __attribute__((always_inline))

// Everything here has internal linkage: the kernel families are compiled for different instruction
// sets, and each must keep its own copy.
namespace fftpow2 {
namespace {

// The constants of the unrolled kernels and of the middle twiddle of the large passes.
inline constexpr float kSqrtHalf = 0.70710677f; // sqrt(1/2)
inline constexpr float kCosPi8 = 0.9238795f;    // cos(pi/8)
inline constexpr float kSinPi8 = 0.38268343f;   // sin(pi/8)

FFTPOW2_INLINE TComplexSingle Add(TComplexSingle a, TComplexSingle b) {
    return {a.re + b.re, a.im + b.im};
}
FFTPOW2_INLINE TComplexSingle Sub(TComplexSingle a, TComplexSingle b) {
    return {a.re - b.re, a.im - b.im};
}
FFTPOW2_INLINE TComplexSingle Mul(TComplexSingle a, TComplexSingle w) {
    return {a.re * w.re - a.im * w.im, a.im * w.re + a.re * w.im};
}
// a times the conjugate of w.
FFTPOW2_INLINE TComplexSingle MulConj(TComplexSingle a, TComplexSingle w) {
    return {a.re * w.re + a.im * w.im, a.im * w.re - a.re * w.im};
}
// d + i*e and d - i*e.
FFTPOW2_INLINE TComplexSingle AddTimesI(TComplexSingle d, TComplexSingle e) {
    return {d.re - e.im, d.im + e.re};
}
FFTPOW2_INLINE TComplexSingle SubTimesI(TComplexSingle d, TComplexSingle e) {
    return {d.re + e.im, d.im - e.re};
}

// omega^j = exp(2*pi*i*j/N) of the kernels up to 16 points, which use constants instead of a table.
template <int N> constexpr TComplexSingle SmallTwiddle(int j) {
    if constexpr (N == 8) {
        return j == 0 ? TComplexSingle{1.0f, 0.0f} : TComplexSingle{kSqrtHalf, kSqrtHalf};
    } else if constexpr (N == 16) {
        constexpr TComplexSingle w[4] = {
            {1.0f, 0.0f}, {kCosPi8, kSinPi8}, {kSqrtHalf, kSqrtHalf}, {kSinPi8, kCosPi8}};
        return w[j];
    } else {
        return {1.0f, 0.0f};
    }
}

// Calls visit(j, omega^j) for j = 1 .. N/4 - 1 of a table pass (N >= 32). Up to 512 the table holds
// every twiddle; from 1024 it holds the first eighth of the circle, the middle twiddle is the constant
// (sqrt 1/2, sqrt 1/2), and the rest are the table's entries mirrored: omega^j = (sin, cos) of N/4 - j.
template <int N, class Visit> FFTPOW2_INLINE void ForEachTwiddle(const TComplexSingle* table, Visit&& visit) {
    constexpr int quarter = N / 4;
    if constexpr (N < kSymmetricTwiddleMinSize) {
        for (int j = 1; j < quarter; ++j) visit(j, table[j - 1]);
    } else {
        constexpr int eighth = N / 8;
        for (int j = 1; j < eighth; ++j) visit(j, table[j - 1]);
        visit(eighth, TComplexSingle{kSqrtHalf, kSqrtHalf});
        for (int j = eighth + 1; j < quarter; ++j) {
            const TComplexSingle mirrored = table[quarter - j - 1];
            visit(j, TComplexSingle{mirrored.im, mirrored.re});
        }
    }
}

} // namespace
} // namespace fftpow2
