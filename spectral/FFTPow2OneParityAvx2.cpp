// The one-parity forward kernels with AVX2 and FMA. For a frame of M points whose elements of the other
// parity are 0, the M-point kernel's pass butterfly j combines elements j, j + M/4, j + M/2, j + 3M/4,
// all of j's parity, so only the butterflies j = 2j' + parity do anything; on the packed values
// c[j'] = frame[2j' + parity] they are the butterflies of a pass over M/2 values with the quarter M/8,
// taking the M-point twiddles of j. The sub-kernels of M/2 and M/4 points start at even positions, so
// their frames have the same property and the same parity. The 4-point kernel's butterflies and the
// 2-point kernel pair an element with a zero: their results are the packed values' 2-point butterfly
// (4 points) or the packed value (2 points), up to signs and the order of re and im.
// Every operation on a value is the one the AVX2 kernels do on it, so the results agree bit for bit.
#pragma GCC target("avx2,fma")

#include "spectral/FFTPow2OneParityKernels.h"
#include "spectral/FFTPow2RealFrameKernels.h"

#include <array>
#include <vector>

#include "spectral/FFTPow2Avx2Leaves.h"

namespace {

using namespace fftpow2;

// Twiddles[log][parity][j'] = the twiddle the M-point pass (M = 2^log, 32 .. 16384) gives butterfly
// j = 2j' + parity, j' = 0 .. M/8 - 1 (1 for j = 0, which is not multiplied).
struct OneParityTwiddles {
    std::array<std::array<std::vector<TComplexSingle>, 2>, kFFTPow2MaxLog + 1> Twiddles;
};

// The twiddles of the M-point pass, butterflies of each parity apart: the pass's own walk over its
// table (ForEachTwiddle), then every other one.
template <int M> void AddTwiddles(OneParityTwiddles& built, const FFTPow2Tables& tables) {
    constexpr int log = __builtin_ctz(M);
    std::vector<TComplexSingle> pass(M / 4, TComplexSingle{1.0f, 0.0f});
    ForEachTwiddle<M>(tables.TwiddleTable[log].data(), [&pass](int j, TComplexSingle w) { pass[j] = w; });
    for (int parity = 0; parity < 2; ++parity)
        for (int j = parity; j < M / 4; j += 2) built.Twiddles[log][parity].push_back(pass[j]);
}

template <int... Logs> OneParityTwiddles BuildTwiddles(std::integer_sequence<int, Logs...>) {
    OneParityTwiddles built;
    const FFTPow2Tables& tables = GetFFTPow2Tables();
    (AddTwiddles<32 << Logs>(built, tables), ...);
    return built;
}

const OneParityTwiddles& GetTwiddles() {
    static const OneParityTwiddles twiddles =
        BuildTwiddles(std::make_integer_sequence<int, kFFTPow2MaxLog - 4>{});
    return twiddles;
}

// The 8-point kernel on the packed (x0, x1 | x2, x3): its one butterfly j = parity, then the 2-point
// butterfly of the sums; the differences' 2-point kernels pair them with zeros.
template <int Parity> FFTPOW2_INLINE __m256 Packed8(__m256 q) {
    const __m256 result = Forward4(q); // (s0 + s1, s0 - s1 | d + i*e, d - i*e)
    if constexpr (Parity == 0) {
        return result;
    } else {
        const TComplexSingle w = SmallTwiddle<8>(1);
        const __m256 product = Mul(result, Values({1.0f, 0.0f}, {1.0f, 0.0f}, w, {w.re, -w.im}));
        return _mm256_blend_ps(product, result, 0x0F);
    }
}

// The 16-point kernel on the packed values 0 .. 3 and 4 .. 7: butterflies j = parity and parity + 2,
// then the 8-point kernel of the sums and the 4-point kernels of the differences.
template <int Parity> FFTPOW2_INLINE EightValues Packed16(__m256 low, __m256 high) {
    const __m256 sum = _mm256_add_ps(low, high);
    const __m256 de = _mm256_sub_ps(low, high);                                      // (d0, d1 | e0, e1)
    const __m256 upperLower = AddSigned(LowerTwice(de), Swap(UpperTwice(de)), 0xA5); // (d + i*e | d - i*e)
    const TComplexSingle w0 = SmallTwiddle<16>(Parity), w1 = SmallTwiddle<16>(Parity + 2);
    const __m256 product = Mul(upperLower, Values(w0, w1, {w0.re, -w0.im}, {w1.re, -w1.im}));
    const __m256 twiddled = Parity == 0 ? KeepFirstOfHalves(product, upperLower) : product;
    return {Packed8<Parity>(sum), PairButterflies(twiddled)};
}

// The 32-point kernel on 16 packed values: its four butterflies, then the 16-point kernel of the sums
// and the 8-point kernels of the differences.
template <int Parity> FFTPOW2_INLINE void Packed32(TComplexSingle* c, const TComplexSingle* twiddles) {
    const Quarters pass = ForwardButterflies<Parity == 0>(LoadQuarters(c), Load(twiddles));
    const EightValues half = Packed16<Parity>(pass.x0, pass.x1);
    StoreQuarters(c, {half.low, half.high, Packed8<Parity>(pass.x2), Packed8<Parity>(pass.x3)});
}

// The M-point pass on M/2 packed values: four butterflies at a time, the first (j = 0) of parity 0
// not multiplied. Without WithLower the last quarter is left out (see FFTPow2RealFrame.h).
template <int M, int Parity, bool WithLower = true>
FFTPOW2_INLINE void PackedPass(TComplexSingle* c, const TComplexSingle* twiddles) {
    constexpr int q = M / 8;
    const auto butterflies = [c, twiddles]<bool Plain0>(int j) {
        const Quarters x = {Load(c + j), Load(c + j + q), Load(c + j + 2 * q), Load(c + j + 3 * q)};
        const Quarters y = ForwardButterflies<Plain0>(x, Load(twiddles + j));
        Store(c + j, y.x0);
        Store(c + j + q, y.x1);
        Store(c + j + 2 * q, y.x2);
        if constexpr (WithLower) Store(c + j + 3 * q, y.x3);
    };
    butterflies.template operator()<Parity == 0>(0);
    for (int j = 4; j < q; j += 4) butterflies.template operator()<false>(j);
}

template <int Parity> struct PackedFamily {
    template <int M> static void Forward(TComplexSingle* c, const OneParityTwiddles& t) {
        constexpr int log = __builtin_ctz(M);
        if constexpr (M == 8) {
            Store(c, Packed8<Parity>(Load(c)));
        } else if constexpr (M == 16) {
            const EightValues result = Packed16<Parity>(Load(c), Load(c + 4));
            Store(c, result.low);
            Store(c + 4, result.high);
        } else if constexpr (M == 32) {
            Packed32<Parity>(c, t.Twiddles[log][Parity].data());
        } else {
            PackedPass<M, Parity>(c, t.Twiddles[log][Parity].data());
            Forward<M / 4>(c + 3 * M / 8, t);
            Forward<M / 4>(c + M / 4, t);
            Forward<M / 2>(c, t);
        }
    }

    // Of a real frame: the last quarter of each pass left out, as the real-frame kernels leave it out.
    template <int M> static void RealForward(TComplexSingle* c, const OneParityTwiddles& t) {
        if constexpr (M <= kRealFrameWholeUpTo) {
            Forward<M>(c, t);
        } else {
            PackedPass<M, Parity, false>(c, t.Twiddles[__builtin_ctz(M)][Parity].data());
            Forward<M / 4>(c + M / 4, t);
            RealForward<M / 2>(c, t);
        }
    }

    template <bool Real, int... Logs>
    static constexpr OneParityKernelTable MakeTable(std::integer_sequence<int, Logs...>) {
        OneParityKernelTable table{};
        ((table[Logs + 3] = &Run<Real, 8 << Logs>), ...);
        return table;
    }

    template <bool Real, int M> static void Run(TComplexSingle* c) {
        if constexpr (Real)
            RealForward<M>(c, GetTwiddles());
        else
            Forward<M>(c, GetTwiddles());
    }
};

template <bool Real> constexpr std::array<OneParityKernelTable, 2> Tables() {
    constexpr auto logs = std::make_integer_sequence<int, kFFTPow2MaxLog - 2>{};
    return {PackedFamily<0>::MakeTable<Real>(logs), PackedFamily<1>::MakeTable<Real>(logs)};
}

} // namespace

const OneParityKernelTable& GetAvx2OneParityKernels(int parity, bool realFrame) {
    static constexpr std::array<OneParityKernelTable, 2> complexTables = Tables<false>();
    static constexpr std::array<OneParityKernelTable, 2> realTables = Tables<true>();
    return (realFrame ? realTables : complexTables)[static_cast<size_t>(parity)];
}
