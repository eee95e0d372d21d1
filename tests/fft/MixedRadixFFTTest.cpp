#include "spectral/MixedRadixFFT.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "DirectDFT.h"
#include "spectral/FactorLength.h"
#include "spectral/MixedRadixPlan.h"

namespace {

TSimComplexArray ToDouble(const std::vector<LongComplex>& x) {
    TSimComplexArray result(x.size());
    for (size_t k = 0; k < x.size(); ++k)
        result[k] = {static_cast<double>(x[k].real()), static_cast<double>(x[k].imag())};
    return result;
}

std::vector<int32_t> Factors(int32_t n) {
    const FFTFactors factors = FactorLength(n);
    return {factors.Factor.begin(), factors.Factor.begin() + factors.Count};
}

bool SameBits(const TSimComplexArray& a, const TSimComplexArray& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](auto x, auto y) {
               return std::memcmp(&x, &y, sizeof x) == 0;
           });
}

// Double rounding over a few passes stays near 1e-15; a wrong twiddle, constant or digit order gives
// errors many orders larger. The butterflies' 14-digit constants bound the error from below (~1e-14).
constexpr long double kTolerance = 1e-12L;

// Lengths that exercise every butterfly: each table radix alone and mixed, the 2*8 -> 4*4 join,
// primes and prime squares through the general odd butterfly, and blocks of many twiddles.
const std::vector<int32_t> kLengths = {1,   2,   3,   4,   5,   6,   7,   8,   9,    10,   11,   12,   13,
                                       15,  16,  20,  25,  30,  32,  40,  49,  60,   64,   80,   100,  121,
                                       128, 143, 210, 240, 256, 360, 512, 729, 1000, 1021, 1024, 2048, 2310};

TEST(FactorLength, PrefersTableRadicesAndJoinsAFinalTwoWithAnEight) {
    EXPECT_EQ(Factors(32768), (std::vector<int32_t>{8, 8, 8, 8, 8}));
    EXPECT_EQ(Factors(65536), (std::vector<int32_t>{4, 4, 8, 8, 8, 8}));
    EXPECT_EQ(Factors(131072), (std::vector<int32_t>{4, 8, 8, 8, 8, 8}));
    EXPECT_EQ(Factors(524288), (std::vector<int32_t>{4, 4, 8, 8, 8, 8, 8}));
    EXPECT_EQ(Factors(8388608), (std::vector<int32_t>{4, 8, 8, 8, 8, 8, 8, 8}));
    EXPECT_EQ(Factors(16), (std::vector<int32_t>{4, 4}));
    EXPECT_EQ(Factors(2), (std::vector<int32_t>{2}));
    EXPECT_EQ(Factors(1), (std::vector<int32_t>{1}));
    EXPECT_EQ(Factors(30), (std::vector<int32_t>{3, 10}));
    EXPECT_EQ(Factors(12), (std::vector<int32_t>{3, 4}));
    EXPECT_EQ(Factors(49), (std::vector<int32_t>{7, 7}));
    EXPECT_EQ(Factors(1000), (std::vector<int32_t>{10, 10, 10}));
    EXPECT_EQ(Factors(2 * 1031), (std::vector<int32_t>{1031, 2}));
    EXPECT_EQ(Factors(11 * 13 * 8), (std::vector<int32_t>{13, 11, 8}));
    EXPECT_EQ(Factors(0), (std::vector<int32_t>{}));
}

TEST(MixedRadixFFT, ForwardMatchesDirectSumWithNegativeExponent) {
    for (const int32_t n : kLengths) {
        const auto x = RandomSignal(static_cast<size_t>(n), static_cast<uint32_t>(n));
        const TSimComplexArray input = ToDouble(x);
        TSimComplexArray output(input.size());
        FourierForward(input.data(), output.data(), n);
        EXPECT_LT(RelativeError(output, DirectDFT(x, -1)), kTolerance) << "N = " << n;
        EXPECT_TRUE(SameBits(input, ToDouble(x))) << "input changed, N = " << n;
    }
}

TEST(MixedRadixFFT, InverseMatchesScaledDirectSumWithPositiveExponent) {
    for (const int32_t n : kLengths) {
        const auto x = RandomSignal(static_cast<size_t>(n), static_cast<uint32_t>(n) + 99);
        const TSimComplexArray input = ToDouble(x);
        TSimComplexArray output(input.size());
        FourierInverse(input.data(), output.data(), n);
        auto want = DirectDFT(x, +1);
        for (auto& value : want) value /= static_cast<long double>(n);
        EXPECT_LT(RelativeError(output, want), kTolerance) << "N = " << n;
        EXPECT_TRUE(SameBits(input, ToDouble(x))) << "input changed, N = " << n;
    }
}

TEST(MixedRadixFFT, InPlaceEqualsOutOfPlaceAndRoundTripsThroughTheEntryPoint) {
    for (const int32_t n : {1, 30, 49, 1021, 4096, 32768}) {
        const TSimComplexArray input = ToDouble(RandomSignal(static_cast<size_t>(n), 5));
        TSimComplexArray outOfPlace(input.size());
        FourierForward(input.data(), outOfPlace.data(), n);
        TSimComplexArray inPlace = input;
        MixedRadixFFT(n, inPlace, FFTDirection::Forward);
        EXPECT_TRUE(SameBits(inPlace, outOfPlace)) << "N = " << n;
        MixedRadixFFT(n, inPlace, FFTDirection::Inverse);
        long double worst = 0;
        for (size_t k = 0; k < input.size(); ++k)
            worst = std::max({worst, std::abs(static_cast<long double>(inPlace[k].re) - input[k].re),
                              std::abs(static_cast<long double>(inPlace[k].im) - input[k].im)});
        // The 14-digit constants cost about 1e-14; the twiddles are running products, whose rounding
        // grows with the number of steps.
        EXPECT_LT(worst, 1e-13L + 2e-16L * n) << "N = " << n;
    }
}

// A plan's stoppable forward transform: unstopped it gives the plain transform bit for bit; with stop
// already set it gives up before it is done, whether the passes run block by block (32768) or not (30).
TEST(MixedRadixPlan, StoppableForwardIsThePlainOneUnlessStopped) {
    for (const int32_t n : {30, 4096, 32768, 262144}) {
        const TSimComplexArray input = ToDouble(RandomSignal(static_cast<size_t>(n), 9));
        TSimComplexArray plain(input.size());
        FourierForward(input.data(), plain.data(), n);
        std::atomic<bool> stop{false};
        TSimComplexArray stoppable(input.size());
        const MixedRadixPlan& plan = MixedRadixPlan::For(n);
        EXPECT_TRUE(plan.Forward(input.data(), stoppable.data(), &stop)) << "N = " << n;
        EXPECT_TRUE(SameBits(stoppable, plain)) << "N = " << n;
        stop = true;
        EXPECT_FALSE(plan.Forward(input.data(), stoppable.data(), &stop)) << "N = " << n;
        EXPECT_FALSE(plan.RunPasses(stoppable.data(), &stop)) << "N = " << n;
    }
}

// The spectrogram's way through a plan: the input order written straight from a source of values, then
// the passes in place. It gives the bits of the plain transform, also where the last passes are too
// large to keep their twiddles in the plan (131072, 1048576) and where the permutation is not tiled (30).
TEST(MixedRadixPlan, PermutingFromASourceThenRunningThePassesIsTheForwardTransform) {
    for (const int32_t n : {30, 1021, 32768, 131072, 1048576}) {
        const TSimComplexArray input = ToDouble(RandomSignal(static_cast<size_t>(n), 13));
        TSimComplexArray plain(input.size());
        FourierForward(input.data(), plain.data(), n);
        const MixedRadixPlan& plan = MixedRadixPlan::For(n);
        TSimComplexArray data(input.size(), TComplexDouble{7.0, 7.0});
        const auto source = [&input](int64_t k) { return input[static_cast<size_t>(k)]; };
        EXPECT_TRUE(plan.Permute(source, data.data()));
        EXPECT_TRUE(plan.RunPasses(data.data()));
        EXPECT_TRUE(SameBits(data, plain)) << "N = " << n;
    }
}

// One plan per length, made on first use: every thread gets the same one, and transforms running on
// several threads at once through it give the one-thread bits.
TEST(MixedRadixPlan, OnePlanPerLengthSharedByConcurrentTransforms) {
    const std::vector<int32_t> sizes = {60, 4096, 65536};
    std::vector<TSimComplexArray> inputs, want;
    for (const int32_t n : sizes) {
        inputs.push_back(ToDouble(RandomSignal(static_cast<size_t>(n), 21)));
        want.emplace_back(static_cast<size_t>(n));
        FourierForward(inputs.back().data(), want.back().data(), n);
    }
    std::vector<std::vector<const MixedRadixPlan*>> plans(4);
    std::vector<std::vector<TSimComplexArray>> got(4);
    {
        std::vector<std::jthread> threads;
        for (size_t t = 0; t < plans.size(); ++t) {
            threads.emplace_back([&, t] {
                for (size_t i = 0; i < sizes.size(); ++i) {
                    plans[t].push_back(&MixedRadixPlan::For(sizes[i]));
                    got[t].emplace_back(inputs[i].size());
                    plans[t].back()->Forward(inputs[i].data(), got[t].back().data());
                }
            });
        }
    }
    for (size_t t = 0; t < plans.size(); ++t) {
        for (size_t i = 0; i < sizes.size(); ++i) {
            EXPECT_EQ(plans[t][i], &MixedRadixPlan::For(sizes[i])) << "N = " << sizes[i];
            EXPECT_EQ(plans[t][i]->Size(), sizes[i]);
            EXPECT_TRUE(SameBits(got[t][i], want[i])) << "thread " << t << " N = " << sizes[i];
        }
    }
}

// What a plan keeps: the stages of the factors in pass order, the twiddles of the passes up to
// kPlannedTwiddleValues and the roots of the general odd radix.
TEST(MixedRadixPlan, StagesFollowTheFactorsAndKeepSmallTwiddleTables) {
    const MixedRadixPlan& plan = MixedRadixPlan::For(8388608);
    ASSERT_EQ(plan.Stages().size(), 8u); // 4, 8, 8, 8, 8, 8, 8, 8
    int64_t sofar = 1;
    for (const auto& stage : plan.Stages()) {
        EXPECT_EQ(stage.Sofar, sofar);
        sofar *= stage.Radix;
        EXPECT_EQ(int64_t{stage.Remain} * sofar, 8388608);
        const bool kept = stage.Sofar > 1 && sofar <= MixedRadixPlan::kPlannedTwiddleValues;
        EXPECT_EQ(stage.Twiddles.size(), kept ? static_cast<size_t>(sofar) : 0u) << "sofar " << stage.Sofar;
        EXPECT_TRUE(stage.Roots.empty());
    }
    const MixedRadixPlan& odd = MixedRadixPlan::For(7 * 7 * 8);
    ASSERT_EQ(odd.Stages().size(), 3u); // 7, 7, 8
    EXPECT_EQ(odd.Stages()[0].Roots.size(), 7u);
    EXPECT_TRUE(odd.Stages()[2].Roots.empty());
    EXPECT_THROW(MixedRadixPlan::For(1031), EMathError);
    EXPECT_THROW(MixedRadixPlan(0), std::invalid_argument);
}

// A tone at bin m with the positive exponent collects all of its energy in bin m, at the large
// lengths the spectrogram uses (radix 8 alone, and 4s before 8s).
TEST(MixedRadixFFT, ToneWithPositiveExponentLandsInItsBinAtLargeLengths) {
    for (const int32_t n : {32768, 65536, 131072}) {
        const int32_t m = n / 3 + 17;
        TSimComplexArray data(static_cast<size_t>(n));
        for (int32_t j = 0; j < n; ++j) {
            const long double angle =
                2 * std::numbers::pi_v<long double> * static_cast<long double>((int64_t{j} * m) % n) / n;
            data[j] = {static_cast<double>(std::cos(angle)), static_cast<double>(std::sin(angle))};
        }
        MixedRadixFFT(n, data, FFTDirection::Forward);
        double worstOther = 0;
        for (int32_t k = 0; k < n; ++k)
            if (k != m) worstOther = std::max(worstOther, std::hypot(data[k].re, data[k].im));
        EXPECT_NEAR(data[m].re, n, 1e-7 * n) << "N = " << n;
        EXPECT_NEAR(data[m].im, 0.0, 1e-7 * n) << "N = " << n;
        EXPECT_LT(worstOther, 1e-8 * n) << "N = " << n;
    }
}

TEST(MixedRadixFFT, FactorAboveTheLimitRaisesBeforeTouchingTheData) {
    for (const int32_t n : {1031, 2 * 1031, 1031 * 1031, 4 * 65537}) {
        const TSimComplexArray original = ToDouble(RandomSignal(static_cast<size_t>(n), 3));
        for (const FFTDirection direction : {FFTDirection::Forward, FFTDirection::Inverse}) {
            TSimComplexArray data = original;
            try {
                MixedRadixFFT(n, data, direction);
                ADD_FAILURE() << "no error for N = " << n;
            } catch (const EMathError& error) {
                EXPECT_STREQ(
                    error.what(),
                    "Prime factor for FFT length too large. Change value for cMaxPrimeFactor in FFTs unit");
            }
            EXPECT_TRUE(SameBits(data, original)) << "N = " << n;
        }
        TSimComplexArray output(original.size(), TComplexDouble{7.0, 7.0});
        const TSimComplexArray untouched = output;
        EXPECT_THROW(FourierForward(original.data(), output.data(), n), EMathError);
        EXPECT_THROW(FourierInverse(original.data(), output.data(), n), EMathError);
        EXPECT_TRUE(SameBits(output, untouched)) << "N = " << n;
    }
}

TEST(MixedRadixFFT, LengthsWithoutDataAreRefusedOrIgnored) {
    const TSimComplexArray original = ToDouble(RandomSignal(8, 11));
    TSimComplexArray data = original;
    EXPECT_THROW(MixedRadixFFT(9, data, FFTDirection::Forward), std::out_of_range);
    EXPECT_THROW(MixedRadixFFT(16, data, FFTDirection::Inverse), std::out_of_range);
    MixedRadixFFT(0, data, FFTDirection::Forward);
    MixedRadixFFT(-8, data, FFTDirection::Inverse);
    FourierForward(original.data(), data.data(), 0);
    EXPECT_TRUE(SameBits(data, original));
}

} // namespace
