#include "spectral/FFTPow2.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <thread>

#include "DirectDFT.h"
#include "spectral/FFTPow2Kernels.h"
#include "spectral/MixedRadixFFT.h"

namespace {

std::vector<TComplexSingle> ToSingle(const std::vector<LongComplex>& x) {
    std::vector<TComplexSingle> result(x.size());
    for (size_t k = 0; k < x.size(); ++k)
        result[k] = {static_cast<float>(x[k].real()), static_cast<float>(x[k].imag())};
    return result;
}

std::vector<LongComplex> ToLong(const std::vector<TComplexSingle>& x) {
    std::vector<LongComplex> result(x.size());
    for (size_t k = 0; k < x.size(); ++k) result[k] = {x[k].re, x[k].im};
    return result;
}

bool SameBits(const std::vector<TComplexSingle>& a, const std::vector<TComplexSingle>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(TComplexSingle)) == 0;
}

// The single-precision rounding of these sizes stays below 5e-7 of the signal's RMS; a wrong twiddle,
// scramble entry or sign gives errors of order 1.
constexpr long double kTolerance = 1.5e-6L;

// Runs one family's kernel on a signal in natural order, as FFTPow2 does with the natural order.
std::vector<TComplexSingle> ForwardWith(const FFTPow2KernelTable& family,
                                        const std::vector<TComplexSingle>& x) {
    const auto n = static_cast<int32_t>(x.size());
    const int log = __builtin_ctz(static_cast<unsigned>(n));
    std::vector<TComplexSingle> kernelOrder = x;
    SelectKernel(family, log, FFTDirection::Forward)(kernelOrder.data(), kernelOrder.data(),
                                                     GetFFTPow2Tables());
    const auto scramble = FFTPow2ScrambleTable(n);
    std::vector<TComplexSingle> natural(x.size());
    for (int32_t k = 0; k < n; ++k) natural[k] = kernelOrder[scramble[k]];
    return natural;
}

// The same for the inverse kernel: the natural-order input is scattered into kernel order first.
std::vector<TComplexSingle> InverseWith(const FFTPow2KernelTable& family,
                                        const std::vector<TComplexSingle>& x) {
    const auto n = static_cast<int32_t>(x.size());
    const int log = __builtin_ctz(static_cast<unsigned>(n));
    const auto scramble = FFTPow2ScrambleTable(n);
    std::vector<TComplexSingle> data(x.size());
    for (int32_t k = 0; k < n; ++k) data[scramble[k]] = x[k];
    SelectKernel(family, log, FFTDirection::Inverse)(data.data(), data.data(), GetFFTPow2Tables());
    return data;
}

std::vector<const FFTPow2KernelTable*> FamiliesOfThisProcessor() {
    std::vector<const FFTPow2KernelTable*> families = {&GetPortableFFTPow2Kernels()};
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
        families.push_back(&GetAvx2FFTPow2Kernels());
    return families;
}

std::vector<TComplexSingle> Conjugated(std::vector<TComplexSingle> x) {
    for (auto& value : x) value.im = -value.im;
    return x;
}

std::vector<LongComplex> Conjugated(std::vector<LongComplex> x) {
    for (auto& value : x) value = std::conj(value);
    return x;
}

// A random signal of n values and its direct DFT with the positive exponent, computed once per size for
// all tests of this file (the sum takes seconds at 16384). With the signal conjugated, the conjugate of
// that sum is the direct DFT with the negative exponent.
struct Reference {
    std::vector<TComplexSingle> Signal;
    std::vector<LongComplex> Positive;
};

const Reference& ReferenceFor(int32_t n) {
    static std::map<int32_t, Reference> references;
    auto [entry, added] = references.try_emplace(n);
    if (added) {
        entry->second.Signal = ToSingle(RandomSignal(static_cast<size_t>(n), static_cast<uint32_t>(n)));
        entry->second.Positive = DirectDFT(ToLong(entry->second.Signal), +1);
    }
    return entry->second;
}

enum class Family { Portable, Avx2 };

void PrintTo(Family family, std::ostream* out) {
    *out << (family == Family::Portable ? "portable" : "AVX2");
}

// Every kernel of both families, forward and inverse, at every size. The portable kernels are checked
// on every processor, also where the vector ones are the ones chosen at run time.
class KernelFamilyTest : public ::testing::TestWithParam<std::tuple<Family, int32_t>> {
protected:
    void SetUp() override {
        if (std::get<0>(GetParam()) == Family::Portable) {
            family_ = &GetPortableFFTPow2Kernels();
        } else if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) {
            family_ = &GetAvx2FFTPow2Kernels();
        } else {
            GTEST_SKIP() << "this processor has no AVX2 and FMA";
        }
    }

    int32_t Size() const { return std::get<1>(GetParam()); }
    const FFTPow2KernelTable* family_ = nullptr;
};

TEST_P(KernelFamilyTest, ForwardAndInverseMatchTheDirectSum) {
    const Reference& reference = ReferenceFor(Size());
    EXPECT_LT(RelativeError(ForwardWith(*family_, reference.Signal), reference.Positive), kTolerance)
        << "forward, positive exponent";
    const auto inverse = InverseWith(*family_, Conjugated(reference.Signal));
    EXPECT_LT(RelativeError(inverse, Conjugated(reference.Positive)), kTolerance)
        << "inverse, negative exponent";
}

INSTANTIATE_TEST_SUITE_P(EverySize, KernelFamilyTest,
                         ::testing::Combine(::testing::Values(Family::Portable, Family::Avx2),
                                            ::testing::Values(2, 4, 8, 16, 32, 64, 128, 256, 512, 1024, 2048,
                                                              4096, 8192, 16384)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) == Family::Portable ? "Portable"
                                                                                            : "Avx2") +
                                    std::to_string(std::get<1>(info.param));
                         });

TEST(FFTPow2, InverseMatchesTheDirectSumWithNegativeExponentScaledOrNot) {
    for (int32_t n = 2; n <= 1024; n *= 2) {
        const Reference& reference = ReferenceFor(n);
        auto unscaled = Conjugated(reference.Signal), scaled = unscaled;
        FFTPow2(unscaled.data(), n, FFTDirection::Inverse, FFTScaling::None, FFTOrder::Natural);
        FFTPow2(scaled.data(), n, FFTDirection::Inverse, FFTScaling::ByOneOverN, FFTOrder::Natural);
        auto want = Conjugated(reference.Positive);
        EXPECT_LT(RelativeError(unscaled, want), kTolerance) << "N = " << n;
        for (auto& value : want) value /= static_cast<long double>(n);
        EXPECT_LT(RelativeError(scaled, want), kTolerance) << "N = " << n;
    }
}

// The largest sizes against the double-precision engine: with real and imaginary parts of the input
// conjugated, its negative exponent gives the conjugate of this engine's result.
TEST(FFTPow2, LargestSizesAgreeWithTheMixedRadixTransform) {
    for (const int32_t n : {4096, 8192, 16384}) {
        const auto x = ToSingle(RandomSignal(static_cast<size_t>(n), 21));
        auto data = x;
        FFTPow2(data.data(), n, FFTDirection::Forward, FFTScaling::None, FFTOrder::Natural);
        TSimComplexArray reference(x.size());
        for (size_t k = 0; k < x.size(); ++k) reference[k] = {x[k].re, -x[k].im};
        MixedRadixFFT(n, reference, FFTDirection::Forward);
        std::vector<LongComplex> want(x.size());
        for (size_t k = 0; k < x.size(); ++k) want[k] = {reference[k].re, -reference[k].im};
        EXPECT_LT(RelativeError(data, want), kTolerance) << "N = " << n;
    }
}

TEST(FFTPow2, AnalyticSignals) {
    for (const int32_t n : {2, 16, 512, 16384}) {
        std::vector<TComplexSingle> impulse(static_cast<size_t>(n), {0.0f, 0.0f});
        impulse[0] = {1.0f, 0.0f};
        FFTPow2(impulse.data(), n, FFTDirection::Forward, FFTScaling::None, FFTOrder::Natural);
        for (const auto& value : impulse) {
            EXPECT_EQ(value.re, 1.0f);
            EXPECT_EQ(value.im, 0.0f);
        }
        std::vector<TComplexSingle> constant(static_cast<size_t>(n), {1.0f, 0.0f});
        FFTPow2(constant.data(), n, FFTDirection::Forward, FFTScaling::None, FFTOrder::Natural);
        EXPECT_NEAR(constant[0].re, static_cast<float>(n), 1e-6 * n);
        for (int32_t k = 1; k < n; ++k)
            EXPECT_NEAR(std::hypot(constant[k].re, constant[k].im), 0.0, 1e-6 * n);
        // exp(-2 pi i j m/N) collects in bin m, because the forward exponent is positive.
        const int32_t m = n / 2 - 1;
        std::vector<TComplexSingle> tone(static_cast<size_t>(n));
        for (int32_t j = 0; j < n; ++j) {
            const long double angle = -2 * std::numbers::pi_v<long double> * ((int64_t{j} * m) % n) / n;
            tone[j] = {static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle))};
        }
        FFTPow2(tone.data(), n, FFTDirection::Forward, FFTScaling::None, FFTOrder::Natural);
        for (int32_t k = 0; k < n; ++k) {
            const double magnitude = std::hypot(tone[k].re, tone[k].im);
            EXPECT_NEAR(magnitude, k == m ? n : 0.0, 2e-6 * n) << "N = " << n << ", bin " << k;
        }
    }
    std::vector<TComplexSingle> pair = {{1.5f, -2.0f}, {0.25f, 4.0f}};
    FFTPow2(pair.data(), 2, FFTDirection::Forward, FFTScaling::None, FFTOrder::Natural);
    EXPECT_EQ(pair[0].re, 1.75f);
    EXPECT_EQ(pair[0].im, 2.0f);
    EXPECT_EQ(pair[1].re, 1.25f);
    EXPECT_EQ(pair[1].im, -6.0f);
}

TEST(FFTPow2, WithoutReorderTheResultIsInKernelOrderAndRoundTripsWithoutPermutation) {
    for (int32_t n = 2; n <= kFFTPow2MaxSize; n *= 2) {
        const auto x = ToSingle(RandomSignal(static_cast<size_t>(n), 3));
        auto natural = x, kernelOrder = x;
        std::vector<TComplexSingle> work(x.size());
        FFTPow2(natural.data(), n, FFTDirection::Forward, FFTScaling::None, FFTOrder::Natural, work.data());
        FFTPow2(kernelOrder.data(), n, FFTDirection::Forward, FFTScaling::None, FFTOrder::Kernel);
        const auto scramble = FFTPow2ScrambleTable(n);
        std::vector<TComplexSingle> permuted(x.size());
        for (int32_t k = 0; k < n; ++k) permuted[k] = kernelOrder[scramble[k]];
        EXPECT_TRUE(SameBits(permuted, natural)) << "N = " << n;

        FFTPow2(kernelOrder.data(), n, FFTDirection::Inverse, FFTScaling::ByOneOverN, FFTOrder::Kernel);
        FFTPow2(natural.data(), n, FFTDirection::Inverse, FFTScaling::ByOneOverN, FFTOrder::Natural);
        EXPECT_LT(RelativeError(kernelOrder, ToLong(x)), kTolerance) << "N = " << n;
        EXPECT_LT(RelativeError(natural, ToLong(x)), kTolerance) << "N = " << n;

        // The inverse's reordering is exactly the permutation into kernel order before the kernel.
        auto reordered = x;
        FFTPow2(reordered.data(), n, FFTDirection::Inverse, FFTScaling::None, FFTOrder::Natural);
        std::vector<TComplexSingle> scattered(x.size());
        for (int32_t k = 0; k < n; ++k) scattered[scramble[k]] = x[k];
        FFTPow2(scattered.data(), n, FFTDirection::Inverse, FFTScaling::None, FFTOrder::Kernel);
        EXPECT_TRUE(SameBits(scattered, reordered)) << "N = " << n;
    }
}

// With reorder the forward kernels leave their last stage in the scratch array and the inverse ones
// take their first stage from it; the values must be those of the kernel run in place.
TEST(FFTPow2, KernelsWithASeparateLastStageArrayGiveTheInPlaceBits) {
    for (const FFTPow2KernelTable* family : FamiliesOfThisProcessor()) {
        for (int32_t n = 2; n <= kFFTPow2MaxSize; n *= 2) {
            const int log = __builtin_ctz(static_cast<unsigned>(n));
            const auto x = ToSingle(RandomSignal(static_cast<size_t>(n), 5));
            for (const bool inverse : {false, true}) {
                const FFTPow2Kernel kernel =
                    SelectKernel(*family, log, inverse ? FFTDirection::Inverse : FFTDirection::Forward);
                auto inPlace = x;
                kernel(inPlace.data(), inPlace.data(), GetFFTPow2Tables());
                auto a = x;
                std::vector<TComplexSingle> other(x.size(), {7.0f, 7.0f});
                if (inverse) std::swap(a, other);
                kernel(a.data(), other.data(), GetFFTPow2Tables());
                EXPECT_TRUE(SameBits(inverse ? a : other, inPlace)) << "N = " << n << " inverse " << inverse;
            }
        }
    }
}

TEST(FFTPow2, UnscaledRoundTripGivesNTimesAndScalingIsAnExactPowerOfTwo) {
    for (const int32_t n : {8, 1024, 16384}) {
        const auto x = ToSingle(RandomSignal(static_cast<size_t>(n), 9));
        auto spectrum = x;
        FFTPow2(spectrum.data(), n, FFTDirection::Forward, FFTScaling::None, FFTOrder::Natural);
        auto unscaled = spectrum, scaled = spectrum;
        FFTPow2(unscaled.data(), n, FFTDirection::Inverse, FFTScaling::None, FFTOrder::Natural);
        FFTPow2(scaled.data(), n, FFTDirection::Inverse, FFTScaling::ByOneOverN, FFTOrder::Natural);
        auto want = ToLong(x);
        for (auto& value : want) value *= static_cast<long double>(n);
        EXPECT_LT(RelativeError(unscaled, want), kTolerance) << "N = " << n;
        // Multiplying by a power of two commutes exactly with every float operation of the kernel.
        for (auto& value : unscaled)
            value = {std::ldexp(value.re, -__builtin_ctz(n)), std::ldexp(value.im, -__builtin_ctz(n))};
        EXPECT_TRUE(SameBits(unscaled, scaled)) << "N = " << n;
    }
}

TEST(FFTPow2, UnsupportedSizesLeaveTheDataUntouched) {
    const auto original = ToSingle(RandomSignal(64, 1));
    for (const int32_t n : {-4, 0, 1, 3, 6, 12, 48, 32768, 65536}) {
        for (const FFTDirection direction : {FFTDirection::Forward, FFTDirection::Inverse}) {
            auto data = original;
            FFTPow2(data.data(), n, direction, FFTScaling::ByOneOverN, FFTOrder::Natural);
            EXPECT_TRUE(SameBits(data, original)) << "N = " << n;
        }
        EXPECT_FALSE(FFTPow2Supports(n)) << "N = " << n;
    }
    for (int32_t n = 2; n <= kFFTPow2MaxSize; n *= 2) EXPECT_TRUE(FFTPow2Supports(n));
}

// Worker threads each transform their own arrays at once; every result equals the one-thread result.
TEST(FFTPow2, ConcurrentCallsOnDifferentArraysGiveTheOneThreadResults) {
    const std::vector<int32_t> sizes = {64, 1024, 4096, 16384};
    std::vector<std::vector<TComplexSingle>> want;
    for (const int32_t n : sizes) {
        auto data = ToSingle(RandomSignal(static_cast<size_t>(n), 77));
        FFTPow2(data.data(), n, FFTDirection::Forward, FFTScaling::None, FFTOrder::Natural);
        want.push_back(data);
    }
    std::vector<std::vector<std::vector<TComplexSingle>>> got(4);
    std::vector<std::thread> workers;
    for (auto& results : got) {
        workers.emplace_back([&sizes, &results] {
            for (int round = 0; round < 5; ++round) {
                results.clear();
                for (const int32_t n : sizes) {
                    auto data = ToSingle(RandomSignal(static_cast<size_t>(n), 77));
                    FFTPow2(data.data(), n, FFTDirection::Forward, FFTScaling::None, FFTOrder::Natural);
                    results.push_back(data);
                }
            }
        });
    }
    for (auto& worker : workers) worker.join();
    for (const auto& results : got) {
        ASSERT_EQ(results.size(), want.size());
        for (size_t i = 0; i < want.size(); ++i)
            EXPECT_TRUE(SameBits(results[i], want[i])) << "N = " << sizes[i];
    }
}

} // namespace
