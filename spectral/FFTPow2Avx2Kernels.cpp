// The kernels for processors with AVX2 and FMA: the passes of the sizes from 32 up and the kernels of
// 8 and 16 points work on four complex values per register. Only called after the processor check in
// GetFFTPow2Kernels.
#pragma GCC target("avx2,fma")

#include "spectral/FFTPow2Avx2Leaves.h"

namespace {

using namespace fftpow2;

// omega^j for j = j0 .. j0 + 3 (j0 a multiple of 4), as the scalar pass reads them: the table from
// j = 1; from 1024 up the mirrored first eighth, whose floats come reversed (order and re/im at once).
template <int N> struct PassTwiddles {
    const TComplexSingle* table;
    TComplexSingle first[4];  // j = 0 .. 3; j = 0 is never used
    TComplexSingle middle[4]; // j = N/8 .. N/8 + 3, from 1024 up

    explicit PassTwiddles(const FFTPow2Tables& tables) : table(tables.TwiddleTable[__builtin_ctz(N)].data()) {
        first[0] = {1.0f, 0.0f};
        for (int j = 1; j < 4; ++j) first[j] = table[j - 1];
        if constexpr (N >= kSymmetricTwiddleMinSize) {
            ForEachTwiddle<N>(table, [this](int j, TComplexSingle w) {
                if (j >= N / 8 && j < N / 8 + 4) middle[j - N / 8] = w;
            });
        }
    }

    FFTPOW2_INLINE __m256 At(int j0) const {
        if (j0 == 0) return Load(first);
        if constexpr (N >= kSymmetricTwiddleMinSize) {
            if (j0 == N / 8) return Load(middle);
            if (j0 > N / 8) {
                const __m256 mirrored = Load(table + (N / 4 - j0 - 4));
                return _mm256_permutevar8x32_ps(mirrored, _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0));
            }
        }
        return Load(table + j0 - 1);
    }
};

template <int N, bool Inverse> struct VectorPass {
    static FFTPOW2_INLINE void Run(TComplexSingle* a, const FFTPow2Tables& tables) {
        constexpr int q = N / 4;
        const PassTwiddles<N> twiddles(tables);
        for (int j = 0; j < q; j += 4) {
            const __m256 w = twiddles.At(j);
            if constexpr (Inverse) {
                __m256 y2 = Load(a + j + 2 * q), y3 = Load(a + j + 3 * q);
                const __m256 y2w = MulConj(y2, w), y3w = Mul(y3, w);
                y2 = j == 0 ? KeepFirst(y2w, y2) : y2w;
                y3 = j == 0 ? KeepFirst(y3w, y3) : y3w;
                const __m256 x0 = Load(a + j), r = Load(a + j + q);
                const __m256 s = _mm256_add_ps(y2, y3), d = _mm256_sub_ps(y2, y3);
                Store(a + j + 2 * q, _mm256_sub_ps(x0, s));
                Store(a + j, _mm256_add_ps(x0, s));
                Store(a + j + 3 * q, AddTimesI(r, d));
                Store(a + j + q, SubTimesI(r, d));
            } else {
                const __m256 x0 = Load(a + j), x1 = Load(a + j + q);
                const __m256 x2 = Load(a + j + 2 * q), x3 = Load(a + j + 3 * q);
                Store(a + j, _mm256_add_ps(x0, x2));
                Store(a + j + q, _mm256_add_ps(x1, x3));
                const __m256 d = _mm256_sub_ps(x0, x2), e = _mm256_sub_ps(x1, x3);
                const __m256 upper = AddTimesI(d, e), lower = SubTimesI(d, e);
                const __m256 upperW = Mul(upper, w), lowerW = MulConj(lower, w);
                Store(a + j + 2 * q, j == 0 ? KeepFirst(upperW, upper) : upperW);
                Store(a + j + 3 * q, j == 0 ? KeepFirst(lowerW, lower) : lowerW);
            }
        }
    }
};

} // namespace

const FFTPow2KernelTable& GetAvx2FFTPow2Kernels() {
    static constexpr FFTPow2KernelTable table = KernelFamily<VectorPass, VectorLeaf>::Table();
    return table;
}
