// The straight-line kernels of 4, 8, 16 and 32 points with four values per AVX2 register: the same
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

// omega^j, j = 0 .. 3, of the 32-point pass: 1, then entries 1 .. 3 of its table (j = 4 .. 7 are the
// table's next four entries).
FFTPOW2_INLINE __m256 Twiddles32(const TComplexSingle* table) {
    return Values({1.0f, 0.0f}, table[0], table[1], table[2]);
}

// Values 0 .. 15 of a block as four registers.
FFTPOW2_INLINE Quarters LoadQuarters(const TComplexSingle* a) {
    return {Load(a), Load(a + 4), Load(a + 8), Load(a + 12)};
}
FFTPOW2_INLINE void StoreQuarters(TComplexSingle* a, const Quarters& v) {
    Store(a, v.x0);
    Store(a + 4, v.x1);
    Store(a + 8, v.x2);
    Store(a + 12, v.x3);
}

// Forward 4 points (x0, x1 | x2, x3). Pass: s = (x0 + x2, x1 + x3), and d = x0 - x2, e = x1 - x3; then
// the 2-point kernel on s. Result (s0 + s1, s0 - s1 | d + i*e, d - i*e).
FFTPOW2_INLINE __m256 Forward4(__m256 q) {
    const __m256 se = AddSigned(LowerTwice(q), UpperTwice(q), 0xF0); // (s | d, e)
    const __m256 first = _mm256_permute_ps(se, 0x44);                // (s0, s0 | d, d)
    const __m256 second = _mm256_permutevar_ps(se, _mm256_setr_epi32(2, 3, 2, 3, 3, 2, 3, 2));
    return AddSigned(first, second, 0x9C);
}

// Forward 8 points: the pass (j = 0, 1), then 4 points on values 0 .. 3 and 2 points on 4, 5 and on 6, 7.
FFTPOW2_INLINE EightValues Forward8(__m256 low, __m256 high) {
    const __m256 sum = _mm256_add_ps(low, high);
    const __m256 de = _mm256_sub_ps(low, high); // (d0, d1 | e0, e1)
    const __m256 d = LowerTwice(de), e = UpperTwice(de);
    const __m256 upperLower = AddSigned(d, Swap(e), 0xA5); // (d + i*e | d - i*e)
    const __m256 twiddles = Values({1.0f, 0.0f}, SmallTwiddle<8>(1), {1.0f, 0.0f},
                                   {SmallTwiddle<8>(1).re, -SmallTwiddle<8>(1).im});
    const __m256 twiddled = KeepFirstOfHalves(Mul(upperLower, twiddles), upperLower);
    return {Forward4(sum), PairButterflies(twiddled)};
}

FFTPOW2_INLINE Quarters Forward16(const Quarters& v) {
    const Quarters pass = ForwardButterflies<true>(v, Twiddles16());
    const EightValues half = Forward8(pass.x0, pass.x1);
    return {half.low, half.high, Forward4(pass.x2), Forward4(pass.x3)};
}

// Forward 32 points: the table pass (two blocks of four butterflies), then 8 points on values 24 .. 31
// and on 16 .. 23, and 16 points on 0 .. 15, all in registers.
FFTPOW2_INLINE void Forward32(const TComplexSingle* a, TComplexSingle* out, const TComplexSingle* table) {
    const Quarters first =
        ForwardButterflies<true>({Load(a), Load(a + 8), Load(a + 16), Load(a + 24)}, Twiddles32(table));
    const Quarters second =
        ForwardButterflies<false>({Load(a + 4), Load(a + 12), Load(a + 20), Load(a + 28)}, Load(table + 3));
    const EightValues lower = Forward8(first.x3, second.x3), upper = Forward8(first.x2, second.x2);
    const Quarters half = Forward16({first.x0, second.x0, first.x1, second.x1});
    StoreQuarters(out, half);
    Store(out + 16, upper.low);
    Store(out + 20, upper.high);
    Store(out + 24, lower.low);
    Store(out + 28, lower.high);
}

// Inverse 4 points: the 2-point kernel on values 0, 1 giving (b0, b1), then the pass with s = x2 + x3,
// d = x2 - x3. Result (b0 + s, b1 - i*d | b0 - s, b1 + i*d).
FFTPOW2_INLINE __m256 Inverse4(__m256 q) {
    const __m256 pairs = PairButterflies(q); // (b0, b1 | s, d)
    const __m256 sd = _mm256_permute_ps(UpperTwice(pairs), 0xB4);
    return AddSigned(LowerTwice(pairs), sd, 0x78);
}

// Inverse 8 points: 4 points on values 0 .. 3, 2 points on 4, 5 and on 6, 7, then the pass (j = 0, 1).
FFTPOW2_INLINE EightValues Inverse8(__m256 low, __m256 high) {
    const __m256 q = Inverse4(low);
    const __m256 pairs = PairButterflies(high);
    const __m256 twiddles = Values({1.0f, 0.0f}, {SmallTwiddle<8>(1).re, -SmallTwiddle<8>(1).im},
                                   {1.0f, 0.0f}, SmallTwiddle<8>(1));
    const __m256 y = KeepFirstOfHalves(Mul(pairs, twiddles), pairs); // (y2 | y3)
    const __m256 sd = AddSigned(LowerTwice(y), UpperTwice(y), 0xF0); // (s | d)
    // With v = (s | -i*d): (q + v, q - v).
    const __m256 swapped = _mm256_permutevar_ps(sd, _mm256_setr_epi32(0, 1, 2, 3, 1, 0, 3, 2));
    return {AddSigned(q, swapped, 0xA0), AddSigned(q, swapped, 0x5F)};
}

FFTPOW2_INLINE Quarters Inverse16(const Quarters& v) {
    const EightValues half = Inverse8(v.x0, v.x1);
    return InverseButterflies<true>({half.low, half.high, Inverse4(v.x2), Inverse4(v.x3)}, Twiddles16());
}

// Inverse 32 points: 16 points on values 0 .. 15, 8 points on 16 .. 23 and on 24 .. 31, then the
// table pass, all in registers.
FFTPOW2_INLINE void Inverse32(const TComplexSingle* in, TComplexSingle* a, const TComplexSingle* table) {
    const Quarters half = Inverse16(LoadQuarters(in));
    const EightValues upper = Inverse8(Load(in + 16), Load(in + 20)),
                      lower = Inverse8(Load(in + 24), Load(in + 28));
    const Quarters first =
        InverseButterflies<true>({half.x0, half.x2, upper.low, lower.low}, Twiddles32(table));
    const Quarters second =
        InverseButterflies<false>({half.x1, half.x3, upper.high, lower.high}, Load(table + 3));
    Store(a, first.x0);
    Store(a + 8, first.x1);
    Store(a + 16, first.x2);
    Store(a + 24, first.x3);
    Store(a + 4, second.x0);
    Store(a + 12, second.x1);
    Store(a + 20, second.x2);
    Store(a + 28, second.x3);
}

// The leaves of the AVX2 family: 8, 16 and 32 points in registers, 2 and 4 points (only ever called as
// whole transforms) the scalar way.
template <int N, bool Inverse> struct VectorLeaf {
    static constexpr int kLargest = 32;

    // Forward: from a into other; inverse: from other into a (other may be a).
    static FFTPOW2_INLINE void Run(TComplexSingle* a, TComplexSingle* other, const FFTPow2Tables& tables) {
        TComplexSingle* in = Inverse ? other : a;
        TComplexSingle* out = Inverse ? a : other;
        if constexpr (N == 32) {
            const TComplexSingle* table = tables.TwiddleTable[5].data();
            if constexpr (Inverse) {
                Inverse32(in, out, table);
            } else {
                Forward32(in, out, table);
            }
        } else if constexpr (N == 16) {
            StoreQuarters(out, Inverse ? Inverse16(LoadQuarters(in)) : Forward16(LoadQuarters(in)));
        } else if constexpr (N == 8) {
            const EightValues result =
                Inverse ? Inverse8(Load(in), Load(in + 4)) : Forward8(Load(in), Load(in + 4));
            Store(out, result.low);
            Store(out + 4, result.high);
        } else {
            ScalarLeaf<N, Inverse>::Run(a, other, tables);
        }
    }
};

} // namespace
} // namespace fftpow2
