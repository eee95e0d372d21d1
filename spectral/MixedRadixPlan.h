// What the mixed-radix FFT works out once per length: the factors and the stage bookkeeping, the
// digit-reversal permutation's tiles, the roots of every odd radix and the twiddles of the passes up to
// a size. Executing a plan is const and touches only the arrays it is given, so one plan serves
// several threads at once. MixedRadixPlan::For keeps one plan per length for the rest of the run.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "spectral/FactorLength.h"
#include "spectral/MixedRadixFFT.h"

class MixedRadixPlan {
public:
    // One pass: radix f_i, the product of the factors before it (sofar_i) and N / (f_1 ... f_i) (remain_i).
    struct Stage {
        int32_t Radix = 1;
        int32_t Sofar = 1;
        int32_t Remain = 1;
        // Sofar x Radix values, entry d * Radix + m = twiddle m of data number d, when the pass is small
        // enough to keep them (see kPlannedTwiddleValues); empty otherwise, and for sofar = 1.
        std::vector<TComplexDouble> Twiddles;
        // The Radix roots exp(-2 pi i m / Radix), for the general odd butterfly only.
        std::vector<TComplexDouble> Roots;
    };

    // Passes whose twiddles number at most this many (1 MiB) keep them in the plan; larger ones make
    // them block by block while they run, which keeps a plan small at every length.
    static constexpr int64_t kPlannedTwiddleValues = 65536;

    // Plans length N >= 1; raises EMathError when its largest factor exceeds cMaxPrimeFactor, and
    // std::invalid_argument for N < 1.
    explicit MixedRadixPlan(int32_t N);

    // The plan of N, made on first use and kept; safe to call from several threads. Raises as above.
    static const MixedRadixPlan& For(int32_t N);

    int32_t Size() const { return n_; }
    const std::vector<Stage>& Stages() const { return stages_; }

    // output[i] = source(k) for i = 0 .. N-1, where k (int64_t) is i with its mixed-radix digits
    // reversed: the input order the passes need. source(k) gives the input value at natural index k.
    // Returns false, with output unfinished, once stop (when given) is seen.
    template <class Source>
    bool Permute(const Source& source, TComplexDouble* output, const std::atomic<bool>* stop = nullptr) const;

    // The passes, in place on data in the order Permute leaves it; afterwards data[k] = X[k] with the
    // negative exponent, unscaled. Returns false, with data unfinished, once stop (when given) is seen.
    bool RunPasses(TComplexDouble* data, const std::atomic<bool>* stop = nullptr) const;

    // The forward transform of input[0 .. N-1] into output; the two may be the same array (the input
    // is then copied first), otherwise they must not overlap. False, as above, when stopped.
    bool Forward(const TComplexDouble* input, TComplexDouble* output,
                 const std::atomic<bool>* stop = nullptr) const;

private:
    using DigitArray = std::array<int32_t, FFTFactors::kMaxCount + 2>;

    template <class Source> void PermuteInOrder(const Source& source, TComplexDouble* output) const;
    void PlanTiles();

    int32_t n_;
    std::vector<Stage> stages_;
    // Index i = 0 .. Count + 1 of factor f_i (Factor[0] = Factor[Count + 1] = 0 stop the digit carry)
    // and of remain_i (Remain[0] = N, Remain[Count + 1] = 0), as the permutation walks them.
    DigitArray factor_{};
    DigitArray remain_{};
    // The tiled permutation (see Permute): digits 1 .. low_ of i form the low group, high_ .. Count the
    // high group; their offsets in k, and the weight in i of the high group. Unused when not tiled_.
    bool tiled_ = false;
    int low_ = 0;
    int high_ = 0;
    int64_t lowCount_ = 1;
    int64_t highStep_ = 1;
    std::vector<int64_t> lowK_;
    std::vector<int64_t> highK_;
};

// The permutation walks i in plain order with a counter per digit, k following as digit j steps by
// remain_j.
template <class Source>
void MixedRadixPlan::PermuteInOrder(const Source& source, TComplexDouble* output) const {
    DigitArray count{};
    int64_t k = 0;
    for (int32_t i = 0; i < n_ - 1; ++i) {
        output[i] = source(k);
        int j = 1;
        k += remain_[1];
        ++count[1];
        while (count[j] >= factor_[j]) {
            count[j] = 0;
            k = k - remain_[j - 1] + remain_[j + 1];
            ++j;
            ++count[j];
        }
    }
    output[n_ - 1] = source(int64_t{n_} - 1);
}

// In tiles: the lowest digits of i (the low group) are the highest of k, and the highest of i (the high
// group) the lowest of k. For a fixed value of the digits in between, a tile's values of i form runs
// of |low| neighbours, one per value of the high group, and its values of k runs of |high| neighbours,
// one per value of the low group; going through i in plain order would take every value from another
// part of the source.
template <class Source>
bool MixedRadixPlan::Permute(const Source& source, TComplexDouble* output,
                             const std::atomic<bool>* stop) const {
    if (!tiled_) {
        PermuteInOrder(source, output);
        return true;
    }
    // The middle digits low_ + 1 .. high_ - 1 as a counter, their offset in k kept up to date.
    DigitArray count{};
    int64_t middleK = 0;
    for (int64_t middleI = 0; middleI < highStep_; middleI += lowCount_) {
        if (stop != nullptr && stop->load(std::memory_order_relaxed)) return false;
        for (size_t h = 0; h < highK_.size(); ++h) {
            TComplexDouble* run = output + middleI + static_cast<int64_t>(h) * highStep_;
            const int64_t from = middleK + highK_[h];
            for (size_t l = 0; l < lowK_.size(); ++l) run[l] = source(from + lowK_[l]);
        }
        for (int j = low_ + 1; j < high_; ++j) {
            middleK += remain_[j];
            if (++count[j] < factor_[j]) break;
            middleK -= int64_t{factor_[j]} * remain_[j];
            count[j] = 0;
        }
    }
    return true;
}
