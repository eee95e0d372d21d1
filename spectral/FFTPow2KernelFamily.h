// The recursion shared by every family of power-of-two kernels. A family supplies the pass of the
// sizes from 32 up (LargePass<N, Inverse>::Run) and the straight-line kernels up to 16 points
// (Leaf<N, Inverse>::Run); the scalar versions of both are here. Internal linkage throughout: each family's
// source file compiles its own copy for its own instruction set.
#pragma once

#include <cstring>
#include <utility>

#include "spectral/FFTPow2Butterflies.h"
#include "spectral/FFTPow2Kernels.h"

namespace fftpow2 {
namespace {

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

// The straight-line kernels up to 16 points, one value at a time: the whole recursion inlined, in place
// on a. Run(a, other): the forward kernel leaves its result in other, the inverse one takes its input
// from other (both at the same offsets as a); other may be a.
template <int N, bool Inverse> struct ScalarLeaf {
    static constexpr int kLargest = 16;

    static FFTPOW2_INLINE void Run(TComplexSingle* a, TComplexSingle* other, const FFTPow2Tables& tables) {
        if (Inverse && other != a) std::memcpy(a, other, sizeof(TComplexSingle) * N);
        Transform(a, tables);
        if (!Inverse && other != a) std::memcpy(other, a, sizeof(TComplexSingle) * N);
    }

    static FFTPOW2_INLINE void Transform(TComplexSingle* a, const FFTPow2Tables& tables) {
        if constexpr (N == 2) {
            const TComplexSingle x0 = a[0], x1 = a[1];
            a[0] = Add(x0, x1);
            a[1] = Sub(x0, x1);
        } else if constexpr (N > 2 && !Inverse) {
            ScalarPass<N, false>::Run(a, tables);
            ScalarLeaf<N / 4, false>::Transform(a + 3 * N / 4, tables);
            ScalarLeaf<N / 4, false>::Transform(a + N / 2, tables);
            ScalarLeaf<N / 2, false>::Transform(a, tables);
        } else if constexpr (N > 2) {
            ScalarLeaf<N / 2, true>::Transform(a, tables);
            ScalarLeaf<N / 4, true>::Transform(a + N / 2, tables);
            ScalarLeaf<N / 4, true>::Transform(a + 3 * N / 4, tables);
            ScalarPass<N, true>::Run(a, tables);
        }
    }
};

// A family of kernels: Leaf<N, Inverse> for the sizes up to its kLargest (16 or 32), run as
// straight-line code; LargePass<N, Inverse> for the pass of the larger ones, which then call the
// smaller kernels of the family. The passes work in place on a; the straight-line kernels, the last
// stage of every value, write the forward result into `other` and read the inverse input from it, so
// that a reordering through a scratch array needs no copy of its own.
template <template <int, bool> class LargePass, template <int, bool> class Leaf> struct KernelFamily {
    template <int N>
    static FFTPOW2_INLINE void ForwardBody(TComplexSingle* a, TComplexSingle* out,
                                           const FFTPow2Tables& tables) {
        if constexpr (N <= Leaf<2, false>::kLargest) {
            Leaf<N, false>::Run(a, out, tables);
        } else {
            LargePass<N, false>::Run(a, tables);
            Forward<N / 4>(a + 3 * N / 4, out + 3 * N / 4, tables);
            Forward<N / 4>(a + N / 2, out + N / 2, tables);
            Forward<N / 2>(a, out, tables);
        }
    }

    template <int N>
    static FFTPOW2_INLINE void InverseBody(TComplexSingle* a, TComplexSingle* in,
                                           const FFTPow2Tables& tables) {
        if constexpr (N <= Leaf<2, false>::kLargest) {
            Leaf<N, true>::Run(a, in, tables);
        } else {
            Inverse<N / 2>(a, in, tables);
            Inverse<N / 4>(a + N / 2, in + N / 2, tables);
            Inverse<N / 4>(a + 3 * N / 4, in + 3 * N / 4, tables);
            LargePass<N, true>::Run(a, tables);
        }
    }

    template <int N>
    static void Forward(TComplexSingle* a, TComplexSingle* out, const FFTPow2Tables& tables) {
        ForwardBody<N>(a, out, tables);
    }
    template <int N> static void Inverse(TComplexSingle* a, TComplexSingle* in, const FFTPow2Tables& tables) {
        InverseBody<N>(a, in, tables);
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
