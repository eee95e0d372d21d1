// The pass of the sizes from 32 up of the AVX2 kernels, four butterflies at a time. Only for source
// files compiled for AVX2 and FMA (#pragma GCC target before the includes); internal linkage, like the
// rest of the kernel families.
#pragma once

#include "spectral/FFTPow2Avx2Ops.h"
#include "spectral/FFTPow2Tables.h"

namespace fftpow2 {
namespace {

// Four butterflies of the pass of size N, j = j0 .. j0 + 3, with w = omega^j0 .. omega^(j0 + 3).
// With Plain0 the first of them (j = 0) is not multiplied. Without WithLower (forward only) the last
// quarter is neither computed nor stored: of a real frame it is the conjugate of the third.
template <int N, bool Inverse, bool Plain0, bool WithLower = true>
FFTPOW2_INLINE void PassButterflies(TComplexSingle* a, int j, __m256 w) {
    constexpr int q = N / 4;
    const Quarters x = {Load(a + j), Load(a + j + q), Load(a + j + 2 * q), Load(a + j + 3 * q)};
    const Quarters y = Inverse ? InverseButterflies<Plain0>(x, w) : ForwardButterflies<Plain0>(x, w);
    Store(a + j, y.x0);
    Store(a + j + q, y.x1);
    Store(a + j + 2 * q, y.x2);
    if constexpr (WithLower) Store(a + j + 3 * q, y.x3);
}

// The pass of size N >= 32, four butterflies at a time, with the twiddles the scalar pass reads: up to
// 512 the table from j = 1; from 1024 up the table's first eighth, the constant middle twiddle, and
// above it the first eighth mirrored, whose four entries come with their eight floats reversed (order
// and re/im at once). WithLower as for PassButterflies.
template <int N, bool Inverse, bool WithLower> struct VectorPassOf {
    static FFTPOW2_INLINE void Run(TComplexSingle* a, const FFTPow2Tables& tables) {
        constexpr int q = N / 4;
        const TComplexSingle* table = tables.TwiddleTable[__builtin_ctz(N)].data();
        PassButterflies<N, Inverse, true, WithLower>(a, 0,
                                                     Values({1.0f, 0.0f}, table[0], table[1], table[2]));
        constexpr int direct = N < kSymmetricTwiddleMinSize ? q : N / 8;
        for (int j = 4; j < direct; j += 4)
            PassButterflies<N, Inverse, false, WithLower>(a, j, Load(table + j - 1));
        if constexpr (N >= kSymmetricTwiddleMinSize) {
            constexpr int m = N / 8;
            const auto mirrored = [](TComplexSingle t) { return TComplexSingle{t.im, t.re}; };
            const __m256 middle = Values({kSqrtHalf, kSqrtHalf}, mirrored(table[m - 2]),
                                         mirrored(table[m - 3]), mirrored(table[m - 4]));
            PassButterflies<N, Inverse, false, WithLower>(a, m, middle);
            const __m256i reversed = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
            for (int j = m + 4; j < q; j += 4) {
                const __m256 w = _mm256_permutevar8x32_ps(Load(table + (q - j - 4)), reversed);
                PassButterflies<N, Inverse, false, WithLower>(a, j, w);
            }
        }
    }
};

// The pass of the complex kernels.
template <int N, bool Inverse> using VectorPass = VectorPassOf<N, Inverse, true>;

} // namespace
} // namespace fftpow2
