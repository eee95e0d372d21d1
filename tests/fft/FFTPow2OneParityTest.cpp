#include "spectral/FFTPow2OneParity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "spectral/FFTPow2Kernels.h"

namespace {

// The bits of |re| and |im|, the smaller bit pattern first: equal for two values that differ only in
// the signs of their parts and their order.
std::pair<uint32_t, uint32_t> Magnitudes(TComplexSingle c) {
    const auto bits = [](float v) {
        uint32_t b;
        const float magnitude = std::fabs(v);
        std::memcpy(&b, &magnitude, sizeof b);
        return b;
    };
    const uint32_t re = bits(c.re), im = bits(c.im);
    return {std::min(re, im), std::max(re, im)};
}

// A frame of n points whose elements of the other parity are 0: real windowed 16-bit values (what
// the spectrogram transforms) or complex values over many octaves.
std::vector<TComplexSingle> Frame(int32_t n, int parity, bool real, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> sample(-32768, 32767);
    std::uniform_real_distribution<float> mantissa(-1.0f, 1.0f);
    std::uniform_int_distribution<int> octave(-20, 20);
    std::vector<TComplexSingle> frame(static_cast<size_t>(n), TComplexSingle{0.0f, 0.0f});
    for (int32_t i = parity; i < n; i += 2) {
        const float window =
            0.5f - 0.5f * std::cos(6.2831853f * static_cast<float>(i) / static_cast<float>(n));
        frame[i] = real ? TComplexSingle{static_cast<float>(sample(random)) * window, 0.0f}
                        : TComplexSingle{std::ldexp(mantissa(random), octave(random)),
                                         std::ldexp(mantissa(random), octave(random))};
    }
    return frame;
}

class OneParityTest : public ::testing::TestWithParam<std::tuple<int, int, bool>> {};

// Each packed result has, bit for bit, the |re| and |im| of both kernel-order elements it stands for,
// which are those of the whole N-point AVX2 kernel run on the frame with its zeros.
TEST_P(OneParityTest, GivesTheMagnitudesOfTheWholeKernel) {
    const auto [log, parity, real] = GetParam();
    const int32_t n = int32_t{1} << log;
    if (!FFTPow2OneParitySupports(n)) GTEST_SKIP() << "this processor has no AVX2 and FMA";
    for (unsigned seed = 1; seed <= 3; ++seed) {
        std::vector<TComplexSingle> whole = Frame(n, parity, real, seed);
        std::vector<TComplexSingle> packed(static_cast<size_t>(n / 2));
        for (int32_t m = 0; m < n / 2; ++m) packed[m] = whole[2 * m + parity];
        SelectKernel(GetAvx2FFTPow2Kernels(), log, FFTDirection::Forward)(whole.data(), whole.data(),
                                                                          GetFFTPow2Tables());
        FFTPow2OneParity(packed.data(), n, parity);
        for (int32_t m = 0; m < n / 2; ++m) {
            ASSERT_EQ(Magnitudes(packed[m]), Magnitudes(whole[2 * m])) << "N " << n << " element " << 2 * m;
            ASSERT_EQ(Magnitudes(packed[m]), Magnitudes(whole[2 * m + 1]))
                << "N " << n << " element " << 2 * m + 1;
        }
        const auto scramble = FFTPow2ScrambleTable(n);
        const auto halved = FFTPow2OneParityScrambleTable(n);
        for (int32_t k = 0; k < n; ++k) ASSERT_EQ(halved[k], scramble[k] / 2);
    }
}

INSTANTIATE_TEST_SUITE_P(EverySizeAndParity, OneParityTest,
                         ::testing::Combine(::testing::Range(1, 15), ::testing::Values(0, 1),
                                            ::testing::Bool()),
                         [](const auto& info) {
                             return "N" + std::to_string(1 << std::get<0>(info.param)) + "Parity" +
                                    std::to_string(std::get<1>(info.param)) +
                                    (std::get<2>(info.param) ? "Real" : "Complex");
                         });

} // namespace
