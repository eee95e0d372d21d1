// The portable kernels: plain single-precision arithmetic that any x86-64 runs. The kernels up to 16
// points are inlined into straight-line code; every larger size is one pass and three smaller kernels.
#include "spectral/FFTPow2Butterflies.h"
#include "spectral/FFTPow2Kernels.h"

namespace {

using namespace fftpow2;

// One forward butterfly of the pass of size N at offset j, with w = omega^j.
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

template <int N, bool Inverse> FFTPOW2_INLINE void Pass(TComplexSingle* a, const FFTPow2Tables& tables) {
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

template <int N> void Forward(TComplexSingle* a, const FFTPow2Tables& tables);
template <int N> void Inverse(TComplexSingle* a, const FFTPow2Tables& tables);

// Up to 16 points the whole recursion is inlined; larger kernels call their three sub-kernels.
template <int N> FFTPOW2_INLINE void ForwardBody(TComplexSingle* a, const FFTPow2Tables& tables) {
    if constexpr (N == 2) {
        const TComplexSingle x0 = a[0], x1 = a[1];
        a[0] = Add(x0, x1);
        a[1] = Sub(x0, x1);
    } else if constexpr (N > 2) {
        Pass<N, false>(a, tables);
        if constexpr (N <= 16) {
            ForwardBody<N / 4>(a + 3 * N / 4, tables);
            ForwardBody<N / 4>(a + N / 2, tables);
            ForwardBody<N / 2>(a, tables);
        } else {
            Forward<N / 4>(a + 3 * N / 4, tables);
            Forward<N / 4>(a + N / 2, tables);
            Forward<N / 2>(a, tables);
        }
    }
}

template <int N> FFTPOW2_INLINE void InverseBody(TComplexSingle* a, const FFTPow2Tables& tables) {
    if constexpr (N == 2) {
        ForwardBody<2>(a, tables);
    } else if constexpr (N > 2) {
        if constexpr (N <= 16) {
            InverseBody<N / 2>(a, tables);
            InverseBody<N / 4>(a + N / 2, tables);
            InverseBody<N / 4>(a + 3 * N / 4, tables);
        } else {
            Inverse<N / 2>(a, tables);
            Inverse<N / 4>(a + N / 2, tables);
            Inverse<N / 4>(a + 3 * N / 4, tables);
        }
        Pass<N, true>(a, tables);
    }
}

template <int N> void Forward(TComplexSingle* a, const FFTPow2Tables& tables) {
    ForwardBody<N>(a, tables);
}
template <int N> void Inverse(TComplexSingle* a, const FFTPow2Tables& tables) {
    InverseBody<N>(a, tables);
}

template <int... Logs> constexpr FFTPow2KernelTable MakeTable(std::integer_sequence<int, Logs...>) {
    FFTPow2KernelTable table{};
    ((table[2 * Logs] = &Forward<2 << Logs>, table[2 * Logs + 1] = &Inverse<2 << Logs>), ...);
    return table;
}

} // namespace

const FFTPow2KernelTable& GetPortableFFTPow2Kernels() {
    static constexpr FFTPow2KernelTable table = MakeTable(std::make_integer_sequence<int, kFFTPow2MaxLog>{});
    return table;
}
