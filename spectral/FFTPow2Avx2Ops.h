// Complex arithmetic on four TComplexSingle values per AVX2 register (c0, c1 | c2, c3: two values in
// each 128-bit half). Only for source files compiled for AVX2 and FMA (#pragma GCC target before the
// includes); internal linkage, like the rest of the kernel families.
#pragma once

#include <immintrin.h>

#include "spectral/FFTPow2Butterflies.h"

namespace fftpow2 {
namespace {

FFTPOW2_INLINE __m256 Load(const TComplexSingle* p) {
    return _mm256_loadu_ps(&p->re);
}
FFTPOW2_INLINE void Store(TComplexSingle* p, __m256 v) {
    _mm256_storeu_ps(&p->re, v);
}

// Four values given one by one, c0 first.
FFTPOW2_INLINE __m256 Values(TComplexSingle c0, TComplexSingle c1, TComplexSingle c2, TComplexSingle c3) {
    return _mm256_setr_ps(c0.re, c0.im, c1.re, c1.im, c2.re, c2.im, c3.re, c3.im);
}

// x + y with the sign of float k of y (0 .. 7) turned where bit k of `negated` is set, as one fused
// multiply-add by +-1 (exact: the same result as the addition or subtraction).
FFTPOW2_INLINE __m256 AddSigned(__m256 x, __m256 y, int negated) {
    const auto sign = [negated](int k) { return (negated >> k & 1) != 0 ? -1.0f : 1.0f; };
    const __m256 signs =
        _mm256_setr_ps(sign(0), sign(1), sign(2), sign(3), sign(4), sign(5), sign(6), sign(7));
    return _mm256_fmadd_ps(y, signs, x);
}

// (im, re) of each value.
FFTPOW2_INLINE __m256 Swap(__m256 v) {
    return _mm256_permute_ps(v, 0xB1);
}

// v * w and v * conj(w), value by value.
FFTPOW2_INLINE __m256 Mul(__m256 v, __m256 w) {
    return _mm256_fmaddsub_ps(v, _mm256_moveldup_ps(w), _mm256_mul_ps(Swap(v), _mm256_movehdup_ps(w)));
}
FFTPOW2_INLINE __m256 MulConj(__m256 v, __m256 w) {
    return _mm256_fmsubadd_ps(v, _mm256_moveldup_ps(w), _mm256_mul_ps(Swap(v), _mm256_movehdup_ps(w)));
}
// d + i*e and d - i*e.
FFTPOW2_INLINE __m256 AddTimesI(__m256 d, __m256 e) {
    return _mm256_addsub_ps(d, Swap(e));
}
FFTPOW2_INLINE __m256 SubTimesI(__m256 d, __m256 e) {
    return AddSigned(d, Swap(e), 0xAA);
}

// The first value of each 128-bit half ("0x03" the first value of the register) from `plain`, the rest
// from `twiddled`: butterflies with j = 0 are not multiplied.
FFTPOW2_INLINE __m256 KeepFirst(__m256 twiddled, __m256 plain) {
    return _mm256_blend_ps(twiddled, plain, 0x03);
}
FFTPOW2_INLINE __m256 KeepFirstOfHalves(__m256 twiddled, __m256 plain) {
    return _mm256_blend_ps(twiddled, plain, 0x33);
}

// Within each 128-bit half (x, y): (x + y, x - y), the two-point butterfly.
FFTPOW2_INLINE __m256 PairButterflies(__m256 v) {
    const __m256 x = _mm256_permute_ps(v, 0x44), y = _mm256_permute_ps(v, 0xEE);
    return AddSigned(x, y, 0xCC);
}

// (lower half of v | lower half of v) and (upper half of v | upper half of v).
FFTPOW2_INLINE __m256 LowerTwice(__m256 v) {
    return _mm256_permute2f128_ps(v, v, 0x00);
}
FFTPOW2_INLINE __m256 UpperTwice(__m256 v) {
    return _mm256_permute2f128_ps(v, v, 0x11);
}

// The four registers of one block of butterflies: the values at j, j + N/4, j + N/2 and j + 3N/4 for
// four neighbouring j.
struct Quarters {
    __m256 x0, x1, x2, x3;
};

// v times w, or its conjugate; with Plain0 the first value (j = 0) is left unmultiplied.
template <bool Plain0> FFTPOW2_INLINE __m256 Twiddle(__m256 v, __m256 w, bool conjugate) {
    const __m256 product = conjugate ? MulConj(v, w) : Mul(v, w);
    return Plain0 ? KeepFirst(product, v) : product;
}

// Four forward butterflies: (x0 + x2, x1 + x3, (d + i*e) * w, (d - i*e) * conj(w)), d = x0 - x2, e = x1 - x3.
template <bool Plain0> FFTPOW2_INLINE Quarters ForwardButterflies(const Quarters& x, __m256 w) {
    const __m256 d = _mm256_sub_ps(x.x0, x.x2), e = _mm256_sub_ps(x.x1, x.x3);
    return {_mm256_add_ps(x.x0, x.x2), _mm256_add_ps(x.x1, x.x3), Twiddle<Plain0>(AddTimesI(d, e), w, false),
            Twiddle<Plain0>(SubTimesI(d, e), w, true)};
}

// Four inverse butterflies: y2 = x2 * conj(w), y3 = x3 * w, s = y2 + y3, d = y2 - y3; the result is
// (x0 + s, x1 - i*d, x0 - s, x1 + i*d).
template <bool Plain0> FFTPOW2_INLINE Quarters InverseButterflies(const Quarters& x, __m256 w) {
    const __m256 y2 = Twiddle<Plain0>(x.x2, w, true), y3 = Twiddle<Plain0>(x.x3, w, false);
    const __m256 s = _mm256_add_ps(y2, y3), d = _mm256_sub_ps(y2, y3);
    return {_mm256_add_ps(x.x0, s), SubTimesI(x.x1, d), _mm256_sub_ps(x.x0, s), AddTimesI(x.x1, d)};
}

} // namespace
} // namespace fftpow2
