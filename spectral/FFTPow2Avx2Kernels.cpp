// The kernels for processors with AVX2 and FMA: the passes of the sizes from 32 up and the kernels of
// 8 and 16 points work on four complex values per register. Only called after the processor check in
// GetFFTPow2Kernels.
#pragma GCC target("avx2,fma")

#include "spectral/FFTPow2Avx2Leaves.h"

namespace {

using namespace fftpow2;

// Four butterflies of the pass of size N, j = j0 .. j0 + 3, with w = omega^j0 .. omega^(j0 + 3).
// With Plain0 the first of them (j = 0) is not multiplied.
template <int N, bool Inverse, bool Plain0>
FFTPOW2_INLINE void PassButterflies(TComplexSingle* a, int j, __m256 w) {
    constexpr int q = N / 4;
    const Quarters x = {Load(a + j), Load(a + j + q), Load(a + j + 2 * q), Load(a + j + 3 * q)};
    const Quarters y = Inverse ? InverseButterflies<Plain0>(x, w) : ForwardButterflies<Plain0>(x, w);
    Store(a + j, y.x0);
    Store(a + j + q, y.x1);
    Store(a + j + 2 * q, y.x2);
    Store(a + j + 3 * q, y.x3);
}

// The pass of size N >= 32, four butterflies at a time, with the twiddles the scalar pass reads: up to
// 512 the table from j = 1; from 1024 up the table's first eighth, the constant middle twiddle, and
// above it the first eighth mirrored, whose four entries come with their eight floats reversed (order
// and re/im at once).
template <int N, bool Inverse> struct VectorPass {
    static FFTPOW2_INLINE void Run(TComplexSingle* a, const FFTPow2Tables& tables) {
        constexpr int q = N / 4;
        const TComplexSingle* table = tables.TwiddleTable[__builtin_ctz(N)].data();
        PassButterflies<N, Inverse, true>(a, 0, Values({1.0f, 0.0f}, table[0], table[1], table[2]));
        constexpr int direct = N < kSymmetricTwiddleMinSize ? q : N / 8;
        for (int j = 4; j < direct; j += 4) PassButterflies<N, Inverse, false>(a, j, Load(table + j - 1));
        if constexpr (N >= kSymmetricTwiddleMinSize) {
            constexpr int m = N / 8;
            const auto mirrored = [](TComplexSingle t) { return TComplexSingle{t.im, t.re}; };
            const __m256 middle = Values({kSqrtHalf, kSqrtHalf}, mirrored(table[m - 2]),
                                         mirrored(table[m - 3]), mirrored(table[m - 4]));
            PassButterflies<N, Inverse, false>(a, m, middle);
            const __m256i reversed = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
            for (int j = m + 4; j < q; j += 4) {
                const __m256 w = _mm256_permutevar8x32_ps(Load(table + (q - j - 4)), reversed);
                PassButterflies<N, Inverse, false>(a, j, w);
            }
        }
    }
};

} // namespace

const FFTPow2KernelTable& GetAvx2FFTPow2Kernels() {
    static constexpr FFTPow2KernelTable table = KernelFamily<VectorPass, VectorLeaf>::Table();
    return table;
}
