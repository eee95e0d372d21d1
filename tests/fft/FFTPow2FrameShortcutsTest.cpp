#include "spectral/FFTPow2OneParity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <span>
#include <vector>

#include "spectral/FFTPow2Kernels.h"
#include "spectral/FFTPow2RealFrame.h"

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

// The shortcuts for frames with zeros or real values, each with the table that says where it leaves
// bin k. A real frame goes through them all, a complex one only through the first.
enum class Shortcut { OneParity, RealOneParity, RealFrame };

struct Result {
    std::vector<TComplexSingle> Values;
    std::span<const uint16_t> Bins;
};

Result RunShortcut(Shortcut shortcut, const std::vector<TComplexSingle>& frame, int parity) {
    const auto n = static_cast<int32_t>(frame.size());
    if (shortcut == Shortcut::RealFrame) {
        Result result{frame, FFTPow2RealFrameScrambleTable(n)};
        FFTPow2RealFrame(result.Values.data(), n);
        return result;
    }
    std::vector<TComplexSingle> packed(static_cast<size_t>(n / 2));
    for (int32_t m = 0; m < n / 2; ++m) packed[m] = frame[2 * m + parity];
    if (shortcut == Shortcut::OneParity) {
        FFTPow2OneParity(packed.data(), n, parity);
        return {packed, FFTPow2OneParityScrambleTable(n)};
    }
    FFTPow2RealOneParity(packed.data(), n, parity);
    return {packed, FFTPow2RealOneParityScrambleTable(n)};
}

class FrameShortcutTest : public ::testing::TestWithParam<std::tuple<int, int, bool>> {};

// Where each shortcut says bin k is, it has bit for bit the |re| and |im| that the whole N-point AVX2
// kernel gives bin k of the frame with its zeros.
TEST_P(FrameShortcutTest, GivesEveryBinTheMagnitudesOfTheWholeKernel) {
    const auto [log, parity, real] = GetParam();
    const int32_t n = int32_t{1} << log;
    if (!FFTPow2OneParitySupports(n) || !FFTPow2RealFrameSupports(n))
        GTEST_SKIP() << "this processor has no AVX2 and FMA";
    const auto scramble = FFTPow2ScrambleTable(n);
    for (unsigned seed = 1; seed <= 3; ++seed) {
        const std::vector<TComplexSingle> frame = Frame(n, parity, real, seed);
        std::vector<TComplexSingle> whole = frame;
        SelectKernel(GetAvx2FFTPow2Kernels(), log, FFTDirection::Forward)(whole.data(), whole.data(),
                                                                          GetFFTPow2Tables());
        for (const Shortcut shortcut : {Shortcut::OneParity, Shortcut::RealOneParity, Shortcut::RealFrame}) {
            if (!real && shortcut != Shortcut::OneParity) continue;
            const Result result = RunShortcut(shortcut, frame, parity);
            for (int32_t k = 0; k < n; ++k)
                ASSERT_EQ(Magnitudes(result.Values[result.Bins[k]]), Magnitudes(whole[scramble[k]]))
                    << "N " << n << " shortcut " << static_cast<int>(shortcut) << " bin " << k;
        }
    }
}

// The real shortcuts leave out the work of bins whose mirror image N - k they compute: the last
// quarter of each pass from 64 points down to the 32-point kernel, N/4 + N/8 + ... + 16 bins.
TEST(FrameShortcut, LeavesOutOnlyBinsWhoseMirrorImageItComputes) {
    for (const int32_t n : {16, 32, 64, 1024}) {
        int32_t leftOut = 0;
        for (int32_t k = 0; k < n; ++k)
            if (FFTPow2RealFrameLeavesOut(k, n)) {
                ++leftOut;
                EXPECT_FALSE(FFTPow2RealFrameLeavesOut(n - k, n)) << n << " " << k;
            }
        EXPECT_EQ(leftOut, n <= 32 ? 0 : n / 2 - 16) << n;
    }
}

INSTANTIATE_TEST_SUITE_P(EverySizeAndParity, FrameShortcutTest,
                         ::testing::Combine(::testing::Range(1, 15), ::testing::Values(0, 1),
                                            ::testing::Bool()),
                         [](const auto& info) {
                             return "N" + std::to_string(1 << std::get<0>(info.param)) + "Parity" +
                                    std::to_string(std::get<1>(info.param)) +
                                    (std::get<2>(info.param) ? "Real" : "Complex");
                         });

} // namespace
