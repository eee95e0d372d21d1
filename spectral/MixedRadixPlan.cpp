#include "spectral/MixedRadixPlan.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <numbers>
#include <stdexcept>

#include "spectral/MixedRadixButterflies.h"

namespace {

using namespace mixedradix;

// (cos a, -sin a) for an angle rounded to double, evaluated in extended precision.
TComplexDouble NegativeRoot(double angle) {
    const auto a = static_cast<long double>(angle);
    return {static_cast<double>(std::cos(a)), static_cast<double>(-std::sin(a))};
}

double FullTurnOver(int64_t n) {
    return static_cast<double>(2 * std::numbers::pi_v<long double> / n);
}

// The running product behind the twiddles of a pass: data number d has the twiddles 1, tw_d, tw_d^2,
// ... (each the product of tw_d and the one before), and tw_{d+1} = step * tw_d, starting from tw_0 = 1.
// The plan's tables and the blocks made while a pass runs both come from here, so they hold the same
// values.
class TwiddleChain {
public:
    TwiddleChain(int32_t sofar, int32_t radix)
        : radix_(radix), step_(NegativeRoot(FullTurnOver(int64_t{sofar} * radix))) {}

    // The twiddles of the next `count` data numbers into out[0 .. count * radix - 1].
    void Next(int32_t count, TComplexDouble* out) {
        for (int32_t b = 0; b < count; ++b, out += radix_) {
            out[0] = {1.0, 0.0};
            out[1] = tw_;
            for (int32_t m = 2; m < radix_; ++m) out[m] = Mul(tw_, out[m - 1]);
            tw_ = Mul(step_, tw_);
        }
    }

private:
    int32_t radix_;
    TComplexDouble step_;
    TComplexDouble tw_{1.0, 0.0};
};

// Twiddles made while a pass runs are made for this many values at a time, so that the groups'
// butterflies walk through memory in contiguous runs. A radix is at most cMaxPrimeFactor < 1024, so a
// block holds at least one data number.
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
    const TComplexDouble* Roots;
    TComplexDouble* V;
    TComplexDouble* W;
    void operator()(TComplexDouble* z) const { OddRadixButterfly(z, Radix, Roots, V, W); }
};

using Stage = MixedRadixPlan::Stage;

// One pass over y: for every data number d < sofar and group g < remain, the radix values at
// d + g * sofar * radix + m * sofar (m < radix) are multiplied by the twiddles of d and combined by the
// butterfly. remain is the stage's own, or fewer when the pass runs on one block of the array.
template <int32_t MaxRadix, class Butterfly>
void RadixPass(TComplexDouble* y, const Stage& stage, int32_t remain, const Butterfly& butterfly) {
    const int32_t sofar = stage.Sofar, radix = stage.Radix;
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
    const bool planned = !stage.Twiddles.empty();
    std::array<TComplexDouble, kTwiddleBlockValues> made;
    TwiddleChain chain(sofar, radix);
    for (int32_t first = 0; first < sofar; first += block) {
        const int32_t count = std::min(block, sofar - first);
        const TComplexDouble* twiddles = made.data();
        if (planned) {
            twiddles = stage.Twiddles.data() + static_cast<ptrdiff_t>(first) * radix;
        } else {
            chain.Next(count, made.data());
        }
        for (int64_t base = first; base < span * remain; base += span) {
            for (int32_t b = 0; b < count; ++b) {
                TComplexDouble* at = y + base + b;
                z[0] = at[0];
                if (first + b == 0) {
                    for (int32_t m = 1; m < radix; ++m) z[m] = at[m * static_cast<int64_t>(sofar)];
                } else {
                    const TComplexDouble* t = twiddles + static_cast<ptrdiff_t>(b) * radix;
                    for (int32_t m = 1; m < radix; ++m) z[m] = Mul(at[m * static_cast<int64_t>(sofar)], t[m]);
                }
                butterfly(z.data());
                for (int32_t m = 0; m < radix; ++m) at[m * static_cast<int64_t>(sofar)] = z[m];
            }
        }
    }
}

void OddRadixPass(TComplexDouble* y, const Stage& stage, int32_t remain) {
    std::array<TComplexDouble, (cMaxPrimeFactor + 1) / 2> v, w;
    RadixPass<cMaxPrimeFactor>(y, stage, remain,
                               OddButterfly{stage.Radix, stage.Roots.data(), v.data(), w.data()});
}

void RunPass(TComplexDouble* y, const Stage& stage, int32_t remain) {
    switch (stage.Radix) {
    case 1:
        return;
    case 2:
        return RadixPass<2>(y, stage, remain, FixedButterfly<2>{});
    case 3:
        return RadixPass<3>(y, stage, remain, FixedButterfly<3>{});
    case 4:
        return RadixPass<4>(y, stage, remain, FixedButterfly<4>{});
    case 5:
        return RadixPass<5>(y, stage, remain, FixedButterfly<5>{});
    case 8:
        return RadixPass<8>(y, stage, remain, FixedButterfly<8>{});
    case 10:
        return RadixPass<10>(y, stage, remain, FixedButterfly<10>{});
    default:
        return OddRadixPass(y, stage, remain);
    }
}

bool HasOwnButterfly(int32_t radix) {
    return radix <= 5 || radix == 8 || radix == 10;
}

// The roots of the general odd butterfly: a running product of exp(-2 pi i / radix).
std::vector<TComplexDouble> OddRadixRoots(int32_t radix) {
    std::vector<TComplexDouble> roots(static_cast<size_t>(radix));
    roots[0] = {1.0, 0.0};
    roots[1] = NegativeRoot(FullTurnOver(radix));
    for (int32_t m = 2; m < radix; ++m) roots[m] = Mul(roots[1], roots[m - 1]);
    return roots;
}

// The values of digits first .. last of i (digit j has weight sofar_j in i), in the order of their
// weight in i, as offsets in k (sum of digit_j * remain_j).
std::vector<int64_t> DigitGroupOffsets(const std::vector<Stage>& stages, int first, int last) {
    std::vector<int64_t> offsets = {0};
    for (int j = first; j <= last; ++j) {
        const Stage& stage = stages[static_cast<size_t>(j - 1)];
        const size_t lower = offsets.size();
        for (int32_t digit = 1; digit < stage.Radix; ++digit)
            for (size_t e = 0; e < lower; ++e) offsets.push_back(offsets[e] + digit * int64_t{stage.Remain});
    }
    return offsets;
}

// Fewest values a digit group of the tiled permutation should span: runs of at least this many values
// (16 bytes each) are read and written whole cache lines at a time.
constexpr int64_t kTileRun = 16;

// Largest group of values that the first passes transform block by block, each block while it stays in
// the cache (256 KiB).
constexpr int64_t kCacheBlockValues = 16384;

} // namespace

MixedRadixPlan::MixedRadixPlan(int32_t N) : n_(N) {
    if (N < 1) throw std::invalid_argument("FFT length below 1");
    const FFTFactors factors = FactorLength(N);
    if (factors.Factor[0] > cMaxPrimeFactor) throw EMathError(kPrimeFactorTooLargeMessage);
    remain_[0] = N;
    int32_t sofar = 1;
    for (int i = 1; i <= factors.Count; ++i) {
        Stage stage;
        stage.Radix = factors.Factor[i - 1];
        stage.Sofar = sofar;
        stage.Remain = remain_[i - 1] / stage.Radix;
        if (stage.Sofar > 1 && int64_t{stage.Sofar} * stage.Radix <= kPlannedTwiddleValues) {
            stage.Twiddles.resize(static_cast<size_t>(stage.Sofar) * static_cast<size_t>(stage.Radix));
            TwiddleChain(stage.Sofar, stage.Radix).Next(stage.Sofar, stage.Twiddles.data());
        }
        if (!HasOwnButterfly(stage.Radix)) stage.Roots = OddRadixRoots(stage.Radix);
        factor_[i] = stage.Radix;
        remain_[i] = stage.Remain;
        sofar *= stage.Radix;
        stages_.push_back(std::move(stage));
    }
    PlanTiles();
}

void MixedRadixPlan::PlanTiles() {
    const int count = static_cast<int>(stages_.size());
    int low = 0;
    int64_t lowCount = 1;
    while (low < count && lowCount < kTileRun) lowCount *= factor_[++low];
    int high = count + 1;
    int64_t highCount = 1;
    while (high > low + 1 && highCount < kTileRun) highCount *= factor_[--high];
    tiled_ = lowCount >= kTileRun && highCount >= kTileRun;
    if (!tiled_) return;
    low_ = low;
    high_ = high;
    lowCount_ = lowCount;
    highStep_ = stages_[static_cast<size_t>(high - 1)].Sofar;
    lowK_ = DigitGroupOffsets(stages_, 1, low);
    highK_ = DigitGroupOffsets(stages_, high, count);
}

const MixedRadixPlan& MixedRadixPlan::For(int32_t N) {
    static std::mutex mutex;
    static std::map<int32_t, std::unique_ptr<const MixedRadixPlan>> plans;
    const std::lock_guard lock(mutex);
    const auto found = plans.find(N);
    if (found != plans.end()) return *found->second;
    auto plan = std::make_unique<const MixedRadixPlan>(N);
    return *plans.emplace(N, std::move(plan)).first->second;
}

// Pass i combines groups of sofar_i * f_i neighbouring values, each group on its own; the first passes,
// whose groups fit in a cache block, run one block of the largest of their group sizes at a time, so
// that the array streams through memory once for all of them rather than once per pass. Every value
// gets the same operations either way. A set stop is seen between blocks and between passes.
bool MixedRadixPlan::RunPasses(TComplexDouble* data, const std::atomic<bool>* stop) const {
    const auto stopped = [stop] { return stop != nullptr && stop->load(std::memory_order_relaxed); };
    const auto span = [](const Stage& stage) { return int64_t{stage.Sofar} * stage.Radix; };
    size_t blocked = 0;
    while (blocked < stages_.size() && span(stages_[blocked]) <= kCacheBlockValues) ++blocked;
    if (blocked >= 2) {
        const int64_t block = span(stages_[blocked - 1]);
        for (int64_t start = 0; start < n_; start += block) {
            if (stopped()) return false;
            for (size_t i = 0; i < blocked; ++i)
                RunPass(data + start, stages_[i], static_cast<int32_t>(block / span(stages_[i])));
        }
    } else {
        blocked = 0;
    }
    for (size_t i = blocked; i < stages_.size(); ++i) {
        if (stopped()) return false;
        RunPass(data, stages_[i], stages_[i].Remain);
    }
    return true;
}

bool MixedRadixPlan::Forward(const TComplexDouble* input, TComplexDouble* output,
                             const std::atomic<bool>* stop) const {
    std::unique_ptr<TComplexDouble[]> copy;
    if (input == output) {
        copy = std::make_unique_for_overwrite<TComplexDouble[]>(static_cast<size_t>(n_));
        std::copy_n(input, n_, copy.get());
        input = copy.get();
    }
    const auto source = [input](int64_t k) { return input[k]; };
    return Permute(source, output, stop) && RunPasses(output, stop);
}
