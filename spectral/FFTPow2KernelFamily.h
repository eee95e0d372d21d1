// The recursion shared by every family of power-of-two kernels. A family supplies the pass of the
// sizes from 32 up (LargePass<N, Inverse>::Run) and the straight-line kernels up to 16 points
// (Leaf<N, Inverse>::Run); the scalar versions of both are here. Internal linkage throughout: each family's
// source file compiles its own copy for its own instruction set.
#pragma once

#include <utility>

#include "spectral/FFTPow2Butterflies.h"
#include "spectral/FFTPow2Kernels.h"

namespace fftpow2 {
namespace {

// The largest size with a straight-line kernel; larger sizes run a pass and call three smaller kernels.
inline constexpr int kLargestLeaf = 16;

// One forward butterfly of the pass of size N at offset j, with w = omega^j (unused when not twiddled).
template <int N>
FFTPOW2_INLINE void ForwardButterfly(TComplexSingle* a, int j, TComplexSingle w, bool twiddled) {
    constexpr int q = N / 4;
    const TComplexSingle x0 = a[j], x1 = a[j + q], x2 = a[j + 2 * q], x3 = a[j + 3 * q];
    a[j] = Add(x0, x2);
    a[j + q] = Add(x1, x3);
    const TComplexSingle d = Sub(x0, x2), e = Sub(x1, x3);
    const TComplexSingle upper = AddTimesI(d, e), lower = SubTimesI(d, e);
    a[j + 2 * q] = twiddled ? Mul(upper, w) : upper;
    a[j + 3 * q] = twiddled ? MulConj(lower, w) : lower;
}

// The transposed butterfly of the inverse pass.
template <int N>
FFTPOW2_INLINE void InverseButterfly(TComplexSingle* a, int j, TComplexSingle w, bool twiddled) {
    constexpr int q = N / 4;
    const TComplexSingle y2 = twiddled ? MulConj(a[j + 2 * q], w) : a[j + 2 * q];
    const TComplexSingle y3 = twiddled ? Mul(a[j + 3 * q], w) : a[j + 3 * q];
    const TComplexSingle r = a[j + q], s = Add(y2, y3), d = Sub(y2, y3);
    a[j + 2 * q] = Sub(a[j], s);
    a[j] = Add(a[j], s);
    a[j + 3 * q] = AddTimesI(r, d);
    a[j + q] = SubTimesI(r, d);
}

// The pass one value at a time: constants up to 16 points, the twiddle table above.
template <int N, bool Inverse> struct ScalarPass {
    static FFTPOW2_INLINE void Run(TComplexSingle* a, const FFTPow2Tables& tables) {
        const auto butterfly = [a](int j, TComplexSingle w, bool twiddled) {
            if constexpr (Inverse) {
                InverseButterfly<N>(a, j, w, twiddled);
            } else {
                ForwardButterfly<N>(a, j, w, twiddled);
            }
        };
        butterfly(0, {1.0f, 0.0f}, false);
        if constexpr (N < kTwiddleTableMinSize) {
#pragma GCC unroll 4
            for (int j = 1; j < N / 4; ++j) butterfly(j, SmallTwiddle<N>(j), true);
        } else {
            constexpr int log = __builtin_ctz(N);
            ForEachTwiddle<N>(tables.TwiddleTable[log].data(),
                              [&](int j, TComplexSingle w) { butterfly(j, w, true); });
        }
    }
};

// The straight-line kernels up to 16 points, one value at a time: the whole recursion inlined.
template <int N, bool Inverse> struct ScalarLeaf {
    static FFTPOW2_INLINE void Run(TComplexSingle* a, const FFTPow2Tables& tables) {
        if constexpr (N == 2) {
            const TComplexSingle x0 = a[0], x1 = a[1];
            a[0] = Add(x0, x1);
            a[1] = Sub(x0, x1);
        } else if constexpr (N > 2 && !Inverse) {
            ScalarPass<N, false>::Run(a, tables);
            ScalarLeaf<N / 4, false>::Run(a + 3 * N / 4, tables);
            ScalarLeaf<N / 4, false>::Run(a + N / 2, tables);
            ScalarLeaf<N / 2, false>::Run(a, tables);
        } else if constexpr (N > 2) {
            ScalarLeaf<N / 2, true>::Run(a, tables);
            ScalarLeaf<N / 4, true>::Run(a + N / 2, tables);
            ScalarLeaf<N / 4, true>::Run(a + 3 * N / 4, tables);
            ScalarPass<N, true>::Run(a, tables);
        }
    }
};

// A family of kernels: Leaf<N, Inverse> for the sizes up to 16, LargePass<N, Inverse> for the pass of
// the larger ones, which then call the smaller kernels of the family.
template <template <int, bool> class LargePass, template <int, bool> class Leaf> struct KernelFamily {
    template <int N> static FFTPOW2_INLINE void ForwardBody(TComplexSingle* a, const FFTPow2Tables& tables) {
        if constexpr (N <= kLargestLeaf) {
            Leaf<N, false>::Run(a, tables);
        } else {
            LargePass<N, false>::Run(a, tables);
            Forward<N / 4>(a + 3 * N / 4, tables);
            Forward<N / 4>(a + N / 2, tables);
            Forward<N / 2>(a, tables);
        }
    }

    template <int N> static FFTPOW2_INLINE void InverseBody(TComplexSingle* a, const FFTPow2Tables& tables) {
        if constexpr (N <= kLargestLeaf) {
            Leaf<N, true>::Run(a, tables);
        } else {
            Inverse<N / 2>(a, tables);
            Inverse<N / 4>(a + N / 2, tables);
            Inverse<N / 4>(a + 3 * N / 4, tables);
            LargePass<N, true>::Run(a, tables);
        }
    }

    template <int N> static void Forward(TComplexSingle* a, const FFTPow2Tables& tables) {
        ForwardBody<N>(a, tables);
    }
    template <int N> static void Inverse(TComplexSingle* a, const FFTPow2Tables& tables) {
        InverseBody<N>(a, tables);
    }

    // Entry 2 * (log2 N - 1): forward kernel of size N; the next: its inverse.
    template <int... Logs>
    static constexpr FFTPow2KernelTable MakeTable(std::integer_sequence<int, Logs...>) {
        FFTPow2KernelTable table{};
        ((table[2 * Logs] = &Forward<2 << Logs>, table[2 * Logs + 1] = &Inverse<2 << Logs>), ...);
        return table;
    }

    static constexpr FFTPow2KernelTable Table() {
        return MakeTable(std::make_integer_sequence<int, kFFTPow2MaxLog>{});
    }
};

} // namespace
} // namespace fftpow2
