// The straight-line kernels of 4, 8 and 16 points with four values per AVX2 register: the same
// butterflies, twiddles and output order as the scalar kernels, with the values of a pass side by side
// in a register and the smaller kernels done by moving values between its halves. Only for source files
// compiled for AVX2 and FMA.
#pragma once

#include "spectral/FFTPow2Avx2Ops.h"
#include "spectral/FFTPow2KernelFamily.h"

namespace fftpow2 {
namespace {

// Two registers: values 0 .. 3 and 4 .. 7 of an 8-point block.
struct EightValues {
    __m256 low, high;
};

// omega^j, j = 0 .. 3, of the 16-point pass.
FFTPOW2_INLINE __m256 Twiddles16() {
    return Values(SmallTwiddle<16>(0), SmallTwiddle<16>(1), SmallTwiddle<16>(2), SmallTwiddle<16>(3));
}

// Forward 4 points (x0, x1 | x2, x3). Pass: s = (x0 + x2, x1 + x3), and d = x0 - x2, e = x1 - x3; then
// the 2-point kernel on s. Result (s0 + s1, s0 - s1 | d + i*e, d - i*e).
FFTPOW2_INLINE __m256 Forward4(__m256 q) {
    const __m256 se = _mm256_add_ps(LowerTwice(q), Flip(UpperTwice(q), SignMask(0xF0))); // (s | d, e)
    const __m256 first = _mm256_permute_ps(se, 0x44);                                    // (s0, s0 | d, d)
    const __m256 second = _mm256_permutevar_ps(se, _mm256_setr_epi32(2, 3, 2, 3, 3, 2, 3, 2));
    return _mm256_add_ps(first, Flip(second, SignMask(0x9C)));
}

// Forward 8 points: the pass (j = 0, 1), then 4 points on values 0 .. 3 and 2 points on 4, 5 and on 6, 7.
FFTPOW2_INLINE EightValues Forward8(__m256 low, __m256 high) {
    const __m256 sum = _mm256_add_ps(low, high);
    const __m256 de = _mm256_sub_ps(low, high); // (d0, d1 | e0, e1)
    const __m256 d = LowerTwice(de), e = UpperTwice(de);
    const __m256 upperLower = _mm256_add_ps(d, Flip(Swap(e), SignMask(0xA5))); // (d + i*e | d - i*e)
    const __m256 twiddles = Values({1.0f, 0.0f}, SmallTwiddle<8>(1), {1.0f, 0.0f},
                                   {SmallTwiddle<8>(1).re, -SmallTwiddle<8>(1).im});
    const __m256 twiddled = KeepFirstOfHalves(Mul(upperLower, twiddles), upperLower);
    return {Forward4(sum), PairButterflies(twiddled)};
}

FFTPOW2_INLINE void Forward16(TComplexSingle* a) {
    const __m256 v0 = Load(a), v1 = Load(a + 4), v2 = Load(a + 8), v3 = Load(a + 12);
    const __m256 d = _mm256_sub_ps(v0, v2), e = _mm256_sub_ps(v1, v3);
    const __m256 upper = AddTimesI(d, e), lower = SubTimesI(d, e);
    const __m256 w = Twiddles16();
    Store(a + 8, Forward4(KeepFirst(Mul(upper, w), upper)));
    Store(a + 12, Forward4(KeepFirst(MulConj(lower, w), lower)));
    const EightValues half = Forward8(_mm256_add_ps(v0, v2), _mm256_add_ps(v1, v3));
    Store(a, half.low);
    Store(a + 4, half.high);
}

// Inverse 4 points: the 2-point kernel on values 0, 1 giving (b0, b1), then the pass with s = x2 + x3,
// d = x2 - x3. Result (b0 + s, b1 - i*d | b0 - s, b1 + i*d).
FFTPOW2_INLINE __m256 Inverse4(__m256 q) {
    const __m256 pairs = PairButterflies(q); // (b0, b1 | s, d)
    const __m256 sd = _mm256_permute_ps(UpperTwice(pairs), 0xB4);
    return _mm256_add_ps(LowerTwice(pairs), Flip(sd, SignMask(0x78)));
}

// Inverse 8 points: 4 points on values 0 .. 3, 2 points on 4, 5 and on 6, 7, then the pass (j = 0, 1).
FFTPOW2_INLINE EightValues Inverse8(__m256 low, __m256 high) {
    const __m256 q = Inverse4(low);
    const __m256 pairs = PairButterflies(high);
    const __m256 twiddles = Values({1.0f, 0.0f}, {SmallTwiddle<8>(1).re, -SmallTwiddle<8>(1).im},
                                   {1.0f, 0.0f}, SmallTwiddle<8>(1));
    const __m256 y = KeepFirstOfHalves(Mul(pairs, twiddles), pairs);                     // (y2 | y3)
    const __m256 sd = _mm256_add_ps(LowerTwice(y), Flip(UpperTwice(y), SignMask(0xF0))); // (s | d)
    // (s | -i*d)
    const __m256 v =
        Flip(_mm256_permutevar_ps(sd, _mm256_setr_epi32(0, 1, 2, 3, 1, 0, 3, 2)), SignMask(0xA0));
    return {_mm256_add_ps(q, v), _mm256_sub_ps(q, v)};
}

FFTPOW2_INLINE void Inverse16(TComplexSingle* a) {
    const EightValues half = Inverse8(Load(a), Load(a + 4));
    const __m256 u = Inverse4(Load(a + 8)), l = Inverse4(Load(a + 12));
    const __m256 w = Twiddles16();
    const __m256 y2 = KeepFirst(MulConj(u, w), u), y3 = KeepFirst(Mul(l, w), l);
    const __m256 s = _mm256_add_ps(y2, y3), d = _mm256_sub_ps(y2, y3);
    Store(a, _mm256_add_ps(half.low, s));
    Store(a + 8, _mm256_sub_ps(half.low, s));
    Store(a + 4, SubTimesI(half.high, d));
    Store(a + 12, AddTimesI(half.high, d));
}

// The leaves of the AVX2 family: 8 and 16 points in registers, 2 and 4 points (only ever called as
// whole transforms) the scalar way.
template <int N, bool Inverse> struct VectorLeaf {
    static FFTPOW2_INLINE void Run(TComplexSingle* a, const FFTPow2Tables& tables) {
        if constexpr (N == 16) {
            if constexpr (Inverse) {
                Inverse16(a);
            } else {
                Forward16(a);
            }
        } else if constexpr (N == 8) {
            const EightValues result =
                Inverse ? Inverse8(Load(a), Load(a + 4)) : Forward8(Load(a), Load(a + 4));
            Store(a, result.low);
            Store(a + 4, result.high);
        } else {
            ScalarLeaf<N, Inverse>::Run(a, tables);
        }
    }
};

} // namespace
} // namespace fftpow2
