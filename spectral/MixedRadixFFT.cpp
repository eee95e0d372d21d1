#include "spectral/MixedRadixFFT.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <vector>

#include "spectral/FactorLength.h"
#include "spectral/MixedRadixButterflies.h"

namespace {

using namespace mixedradix;

// The passes of one length: factor f_i, the product of the factors before it (sofar_i) and N divided
// by f_1 ... f_i (remain_i). Index 0 holds remain_0 = N; the passes use indices 1 .. Count.
struct StagePlan {
    int Count = 0;
    std::array<int32_t, FFTFactors::kMaxCount + 2> Factor{};
    std::array<int32_t, FFTFactors::kMaxCount + 2> Sofar{};
    std::array<int32_t, FFTFactors::kMaxCount + 2> Remain{};
};

// Factors N and raises EMathError, before anything is written, when a factor is too large.
StagePlan PlanStages(int32_t N) {
    const FFTFactors factors = FactorLength(N);
    if (factors.Factor[0] > cMaxPrimeFactor) throw EMathError(kPrimeFactorTooLargeMessage);
    StagePlan plan;
    plan.Count = factors.Count;
    plan.Remain[0] = N;
    for (int i = 1; i <= factors.Count; ++i) {
        plan.Factor[i] = factors.Factor[i - 1];
        plan.Sofar[i] = i == 1 ? 1 : plan.Sofar[i - 1] * plan.Factor[i - 1];
        plan.Remain[i] = plan.Remain[i - 1] / plan.Factor[i];
    }
    return plan;
}

// output[i] = input[k], where k is i with its mixed-radix digits reversed; counter j runs over the
// digit of factor f_j, whose step in k is remain_j. input and output must not overlap.
void DigitReversePermuteInOrder(const StagePlan& plan, const TComplexDouble* input, TComplexDouble* output,
                                int32_t N) {
    std::array<int32_t, FFTFactors::kMaxCount + 2> count{};
    int64_t k = 0;
    for (int32_t i = 0; i < N - 1; ++i) {
        output[i] = input[k];
        int j = 1;
        k += plan.Remain[1];
        ++count[1];
        while (count[j] >= plan.Factor[j]) {
            count[j] = 0;
            k = k - plan.Remain[j - 1] + plan.Remain[j + 1];
            ++j;
            ++count[j];
        }
    }
    output[N - 1] = input[N - 1];
}

// The values of digits first .. last of i (digit j has weight sofar_j in i), in the order of their
// weight in i, as offsets in k (sum of digit_j * remain_j).
std::vector<int64_t> DigitGroupOffsets(const StagePlan& plan, int first, int last) {
    std::vector<int64_t> offsets = {0};
    for (int j = first; j <= last; ++j) {
        const size_t lower = offsets.size();
        for (int32_t digit = 1; digit < plan.Factor[j]; ++digit)
            for (size_t e = 0; e < lower; ++e)
                offsets.push_back(offsets[e] + digit * int64_t{plan.Remain[j]});
    }
    return offsets;
}

// Fewest values a digit group of the tiled permutation should span: runs of at least this many values
// (16 bytes each) are read and written whole cache lines at a time.
constexpr int64_t kTileRun = 16;

// The same permutation in tiles. The lowest digits of i (group L) are the highest of k, and the highest
// of i (group H) the lowest of k: for a fixed value of the digits in between, the tile's values of i
// form runs of |L| neighbours, one per value of H, and its values of k runs of |H| neighbours, one per
// value of L. Going through i in plain order would take every value from another part of the array.
void DigitReversePermute(const StagePlan& plan, const TComplexDouble* input, TComplexDouble* output,
                         int32_t N) {
    int low = 0;
    int64_t lowCount = 1;
    while (low < plan.Count && lowCount < kTileRun) lowCount *= plan.Factor[++low];
    int high = plan.Count + 1;
    int64_t highCount = 1;
    while (high > low + 1 && highCount < kTileRun) highCount *= plan.Factor[--high];
    if (lowCount < kTileRun || highCount < kTileRun) {
        DigitReversePermuteInOrder(plan, input, output, N);
        return;
    }
    const std::vector<int64_t> lowK = DigitGroupOffsets(plan, 1, low);
    const std::vector<int64_t> highK = DigitGroupOffsets(plan, high, plan.Count);
    const int64_t highStep = plan.Sofar[high]; // weight in i of the group H's value
    // The middle digits low + 1 .. high - 1 as a counter, their offset in k kept up to date.
    std::array<int32_t, FFTFactors::kMaxCount + 2> count{};
    int64_t middleK = 0;
    for (int64_t middleI = 0; middleI < highStep; middleI += lowCount) {
        for (size_t h = 0; h < highK.size(); ++h) {
            TComplexDouble* run = output + middleI + static_cast<int64_t>(h) * highStep;
            const TComplexDouble* source = input + middleK + highK[h];
            for (size_t l = 0; l < lowK.size(); ++l) run[l] = source[lowK[l]];
        }
        for (int j = low + 1; j < high; ++j) {
            middleK += plan.Remain[j];
            if (++count[j] < plan.Factor[j]) break;
            middleK -= int64_t{plan.Factor[j]} * plan.Remain[j];
            count[j] = 0;
        }
    }
}

// (cos a, -sin a) for an angle rounded to double, evaluated in extended precision.
TComplexDouble NegativeRoot(double angle) {
    const auto a = static_cast<long double>(angle);
    return {static_cast<double>(std::cos(a)), static_cast<double>(-std::sin(a))};
}

double FullTurnOver(int64_t n) {
    return static_cast<double>(2 * std::numbers::pi_v<long double> / n);
}

// Twiddles of consecutive groups are computed for this many data numbers at a time, so that the
// groups' butterflies walk through memory in contiguous runs.
constexpr int32_t kTwiddleBlockValues = 1024;

// The butterfly of one radix, called as butterfly(z).
template <int32_t Radix> struct FixedButterfly {
    MIXED_RADIX_INLINE void operator()(TComplexDouble* z) const {
        if constexpr (Radix == 2) Butterfly2(z);
        if constexpr (Radix == 3) Butterfly3(z);
        if constexpr (Radix == 4) Butterfly4(z);
        if constexpr (Radix == 5) Butterfly5(z);
        if constexpr (Radix == 8) Butterfly8(z);
        if constexpr (Radix == 10) Butterfly10(z);
    }
};

struct OddButterfly {
    int32_t Radix;
    const TComplexDouble* Trig;
    TComplexDouble* V;
    TComplexDouble* W;
    void operator()(TComplexDouble* z) const { OddRadixButterfly(z, Radix, Trig, V, W); }
};

// One pass over y: for every data number d < sofar and group g < remain, the radix values at
// d + g * sofar * radix + m * sofar (m < radix) are multiplied by the twiddles of d and combined by the
// butterfly. Twiddles of d are powers of tw_d, where tw runs as a product of exp(-2 pi i/(sofar radix)).
template <int32_t MaxRadix, class Butterfly>
void RadixPass(TComplexDouble* y, int32_t sofar, int32_t radix, int32_t remain, const Butterfly& butterfly) {
    std::array<TComplexDouble, MaxRadix> z;
    const int64_t span = static_cast<int64_t>(sofar) * radix;
    if (sofar == 1) {
        for (int64_t base = 0; base < span * remain; base += span) {
            std::copy_n(y + base, radix, z.data());
            butterfly(z.data());
            std::copy_n(z.data(), radix, y + base);
        }
        return;
    }
    const int32_t block = std::max(1, std::min(sofar, kTwiddleBlockValues / radix));
    auto twiddles = std::make_unique_for_overwrite<TComplexDouble[]>(static_cast<size_t>(block) * radix);
    const TComplexDouble step = NegativeRoot(FullTurnOver(span));
    TComplexDouble tw = {1.0, 0.0};
    for (int32_t first = 0; first < sofar; first += block) {
        const int32_t count = std::min(block, sofar - first);
        for (int32_t b = 0; b < count; ++b) {
            TComplexDouble* t = twiddles.get() + static_cast<ptrdiff_t>(b) * radix;
            t[0] = {1.0, 0.0};
            t[1] = tw;
            for (int32_t m = 2; m < radix; ++m) t[m] = Mul(tw, t[m - 1]);
            tw = Mul(step, tw);
        }
        for (int64_t base = first; base < span * remain; base += span) {
            for (int32_t b = 0; b < count; ++b) {
                TComplexDouble* at = y + base + b;
                z[0] = at[0];
                if (first + b == 0) {
                    for (int32_t m = 1; m < radix; ++m) z[m] = at[m * static_cast<int64_t>(sofar)];
                } else {
                    const TComplexDouble* t = twiddles.get() + static_cast<ptrdiff_t>(b) * radix;
                    for (int32_t m = 1; m < radix; ++m) z[m] = Mul(at[m * static_cast<int64_t>(sofar)], t[m]);
                }
                butterfly(z.data());
                for (int32_t m = 0; m < radix; ++m) at[m * static_cast<int64_t>(sofar)] = z[m];
            }
        }
    }
}

// The general odd radix: its table of r-th roots as a running product of exp(-2 pi i/r).
void OddRadixPass(TComplexDouble* y, int32_t sofar, int32_t radix, int32_t remain) {
    std::array<TComplexDouble, cMaxPrimeFactor> trig;
    std::array<TComplexDouble, (cMaxPrimeFactor + 1) / 2> v, w;
    trig[0] = {1.0, 0.0};
    trig[1] = NegativeRoot(FullTurnOver(radix));
    for (int32_t m = 2; m < radix; ++m) trig[m] = Mul(trig[1], trig[m - 1]);
    RadixPass<cMaxPrimeFactor>(y, sofar, radix, remain, OddButterfly{radix, trig.data(), v.data(), w.data()});
}

void RunPass(TComplexDouble* y, int32_t sofar, int32_t radix, int32_t remain) {
    switch (radix) {
    case 1:
        return;
    case 2:
        return RadixPass<2>(y, sofar, 2, remain, FixedButterfly<2>{});
    case 3:
        return RadixPass<3>(y, sofar, 3, remain, FixedButterfly<3>{});
    case 4:
        return RadixPass<4>(y, sofar, 4, remain, FixedButterfly<4>{});
    case 5:
        return RadixPass<5>(y, sofar, 5, remain, FixedButterfly<5>{});
    case 8:
        return RadixPass<8>(y, sofar, 8, remain, FixedButterfly<8>{});
    case 10:
        return RadixPass<10>(y, sofar, 10, remain, FixedButterfly<10>{});
    default:
        return OddRadixPass(y, sofar, radix, remain);
    }
}

// Largest group of values that the first passes transform block by block, each block while it stays in
// the cache (256 KiB).
constexpr int64_t kCacheBlockValues = 16384;

// The passes in order. Pass i combines groups of sofar_i * f_i neighbouring values, each group on its
// own; the first passes, whose groups fit in a cache block, run one block of the largest of their
// group sizes at a time, so that the array streams through memory once for all of them rather than
// once per pass. Every value gets the same operations either way. A set stop (if any) is seen between
// blocks and between passes; the passes then end early and false is returned.
bool RunPasses(const StagePlan& plan, TComplexDouble* y, int32_t N, const std::atomic<bool>* stop) {
    const auto stopped = [stop] { return stop != nullptr && stop->load(std::memory_order_relaxed); };
    int blocked = 0;
    while (blocked < plan.Count &&
           int64_t{plan.Sofar[blocked + 1]} * plan.Factor[blocked + 1] <= kCacheBlockValues)
        ++blocked;
    if (blocked >= 2) {
        const int64_t block = int64_t{plan.Sofar[blocked]} * plan.Factor[blocked];
        for (int64_t start = 0; start < N; start += block) {
            if (stopped()) return false;
            for (int i = 1; i <= blocked; ++i) {
                const int64_t span = int64_t{plan.Sofar[i]} * plan.Factor[i];
                RunPass(y + start, plan.Sofar[i], plan.Factor[i], static_cast<int32_t>(block / span));
            }
        }
    } else {
        blocked = 0;
    }
    for (int i = blocked + 1; i <= plan.Count; ++i) {
        if (stopped()) return false;
        RunPass(y, plan.Sofar[i], plan.Factor[i], plan.Remain[i]);
    }
    return true;
}

// The forward transform once the plan is known: permutation into output, then one pass per factor.
bool ForwardWithPlan(const StagePlan& plan, const TComplexDouble* input, TComplexDouble* output, int32_t N,
                     const std::atomic<bool>* stop = nullptr) {
    if (input == output) {
        auto copy = std::make_unique_for_overwrite<TComplexDouble[]>(static_cast<size_t>(N));
        std::copy_n(input, N, copy.get());
        DigitReversePermute(plan, copy.get(), output, N);
    } else {
        DigitReversePermute(plan, input, output, N);
    }
    return RunPasses(plan, output, N, stop);
}

} // namespace

void FourierForward(const TComplexDouble* input, TComplexDouble* output, int32_t N) {
    if (N <= 0) return;
    ForwardWithPlan(PlanStages(N), input, output, N);
}

bool FourierForward(const TComplexDouble* input, TComplexDouble* output, int32_t N,
                    const std::atomic<bool>& stop) {
    if (N <= 0) return true;
    return ForwardWithPlan(PlanStages(N), input, output, N, &stop);
}

void FourierInverse(const TComplexDouble* input, TComplexDouble* output, int32_t N) {
    if (N <= 0) return;
    const StagePlan plan = PlanStages(N);
    auto conjugated = std::make_unique_for_overwrite<TComplexDouble[]>(static_cast<size_t>(N));
    for (int32_t k = 0; k < N; ++k) conjugated[k] = {input[k].re, -input[k].im};
    ForwardWithPlan(plan, conjugated.get(), output, N);
    const double s = 1.0 / N;
    for (int32_t k = 0; k < N; ++k) output[k] = {s * output[k].re, -s * output[k].im};
}

void MixedRadixFFT(int32_t N, TSimComplexArray& data, bool inverse) {
    if (N <= 0) return;
    if (static_cast<size_t>(N) > data.size()) throw std::out_of_range("FFT length exceeds the array");
    if (inverse) {
        FourierInverse(data.data(), data.data(), N);
    } else {
        FourierForward(data.data(), data.data(), N);
    }
}
