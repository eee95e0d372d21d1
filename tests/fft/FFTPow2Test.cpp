#include "spectral/FFTPow2.h"

#include <gtest/gtest.h>

#include "DirectDFT.h"
#include "spectral/FFTPow2Kernels.h"

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

// Single-precision rounding grows like log2 N; a wrong twiddle or sign gives errors of order 1.
constexpr long double kForwardTolerance = 2e-6L;

TEST(FFTPow2, ForwardMatchesDirectSumWithPositiveExponentForEverySize) {
    for (int32_t n = 2; n <= 4096; n *= 2) {
        const auto x = RandomSignal(static_cast<size_t>(n), static_cast<uint32_t>(n));
        auto data = ToSingle(x);
        FFTPow2(data.data(), n, false, false, true);
        EXPECT_LT(RelativeError(data, DirectDFT(ToLong(ToSingle(x)), +1)), kForwardTolerance) << "N = " << n;
    }
}

TEST(FFTPow2, InverseMatchesDirectSumWithNegativeExponent) {
    for (int32_t n = 2; n <= 4096; n *= 2) {
        const auto x = RandomSignal(static_cast<size_t>(n), static_cast<uint32_t>(n) + 7);
        auto unscaled = ToSingle(x), scaled = ToSingle(x);
        FFTPow2(unscaled.data(), n, true, false, true);
        FFTPow2(scaled.data(), n, true, true, true);
        const auto want = DirectDFT(ToLong(ToSingle(x)), -1);
        EXPECT_LT(RelativeError(unscaled, want), kForwardTolerance) << "N = " << n;
        std::vector<LongComplex> wantScaled(want);
        for (auto& value : wantScaled) value /= static_cast<long double>(n);
        EXPECT_LT(RelativeError(scaled, wantScaled), kForwardTolerance) << "N = " << n;
    }
}

} // namespace
