// "FFT_F": the short-time FFT band filter.
#include "OpsTestSupport.h"

#include "ops/FFTBandFilter.h"
#include "signal/NumberText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

using namespace opstest;

namespace {

// The filter written as the plain fill-and-block loop, one block after the other: the reference the
// parallel engine must match bit for bit.
void ReferenceFilterPass(std::vector<int16_t>& s, FilterCutBins cuts) {
    const int64_t n = static_cast<int64_t>(s.size());
    const auto wF = BuildFilterWindow();
    const auto wT = BuildFilterTaper();
    std::vector<TComplexSingle> P(16384), H(16384);
    std::vector<int32_t> tail(8192, 0);
    int64_t p = -16384, q = -16384;
    int f = 0;
    auto in = [&](int64_t i) {
        return i >= 0 && i < n ? static_cast<float>(s[static_cast<size_t>(i)]) : 0.0f;
    };
    while (p < n + 16384) {
        if (f < 16384) {
            P[f] = {in(p)*wF[f], 0};
            H[f] = {in(p + 8192) * wF[f], 0};
            ++p, ++f;
            continue;
        }
        f = 0;
        for (auto* x : {&P, &H}) {
            auto& a = *x;
            FFTPow2(a.data(), 16384, FFTDirection::Forward, FFTScaling::None, FFTOrder::Natural);
            if (cuts.Hi > 0)
                for (int k = cuts.Hi, t = 50; k <= 8192; ++k) {
                    if (k < cuts.Hi + 50)
                        a[k].re *= wT[t], a[k].im *= wT[t], ++t;
                    else
                        a[k] = {0, 0};
                }
            if (cuts.Lo > 0)
                for (int k = 0, t = 0; k <= cuts.Lo; ++k) {
                    if (k <= cuts.Lo - 50)
                        a[k] = {0, 0};
                    else
                        a[k].re *= wT[t], a[k].im *= wT[t], ++t;
                }
            for (int k = 1; k <= 8192; ++k) a[16384 - k] = {a[k].re, -a[k].im};
            FFTPow2(a.data(), 16384, FFTDirection::Inverse, FFTScaling::ByOneOverN, FFTOrder::Natural);
        }
        for (int t = 0; t < 16384; ++t, ++q) {
            if (q >= n) continue;
            const auto r = [](float v) { return static_cast<int32_t>(std::nearbyint(v)); };
            if (t < 8192) {
                if (q >= 0) s[q] = static_cast<int16_t>(static_cast<uint16_t>(r(P[t].re) + tail[t]));
                tail[t] = r(H[8192 + t].re);
            } else if (q >= 0) {
                s[q] = static_cast<int16_t>(static_cast<uint16_t>(r(P[t].re) + r(H[t - 8192].re)));
            }
        }
    }
}

std::vector<int16_t> Filtered(const std::vector<int16_t>& input, int32_t hi, int32_t lo, int32_t passes,
                              int32_t rate = 48000) {
    SignalStore store = MakeStore(input, 1, rate);
    JobControl job;
    FFTBandFilter(store, hi, lo, passes, job);
    return Values(store);
}

} // namespace

TEST(FFTBandFilter, CutBinsOfTheKnownSettings) {
    EXPECT_EQ(FilterCutBinsFor(48000, 3000, 0).Hi, 999);
    EXPECT_EQ(FilterCutBinsFor(48000, 3000, 0).Lo, 0);
    EXPECT_EQ(FilterCutBinsFor(48000, 0, 300).Lo, 127);
    EXPECT_EQ(FilterCutBinsFor(48000, 24000, 0).Hi, 8167);
    EXPECT_EQ(FilterCutBinsFor(48000, 50, 0).Hi, 0); // bin 17 - 25 < 0: nothing cut
    EXPECT_EQ(FilterCutBinsFor(48000, 0, 100).Lo, 59);
    EXPECT_EQ(FilterCutBinsFor(48000, 0, 1).Lo, 0);  // bin 0.34 rounds to 0
    EXPECT_EQ(FilterCutBinsFor(0, 3000, 300).Hi, 0); // no rate: nothing to divide by
}

TEST(FFTBandFilter, WindowAndTaperAreHannHalvesThatSumToOne) {
    const auto w = BuildFilterWindow();
    ASSERT_EQ(w.size(), 16384u);
    EXPECT_EQ(w[0], 0.0f);
    EXPECT_EQ(w[8192], 1.0f);
    for (size_t i = 0; i < 8192; i += 97) EXPECT_NEAR(w[i] + w[i + 8192], 1.0f, 1e-7) << i;
    const auto t = BuildFilterTaper();
    ASSERT_EQ(t.size(), 100u);
    EXPECT_EQ(t[0], 0.0f);
    EXPECT_EQ(t[50], 1.0f);
    EXPECT_GT(t[49], 0.99f);
    EXPECT_LT(t[99], 0.01f);
}

TEST(FFTBandFilter, PanelTextsAreAbsoluteIntegersUpToHalfTheRate) {
    const SignalStore store = MakeStore({1, 2}, 2, 48000);
    const auto accepted = FFTFilterRequestFromTexts(store, "24000", "-300", 8);
    ASSERT_TRUE(accepted);
    EXPECT_EQ(accepted->Hi, 24000);
    EXPECT_EQ(accepted->Lo, 300);
    EXPECT_EQ(accepted->Passes, 9);
    const auto empty = FFTFilterRequestFromTexts(store, "", "", 0);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->Hi, 0);
    EXPECT_EQ(empty->Lo, 0);
    EXPECT_FALSE(FFTFilterRequestFromTexts(store, "24001", "0", 0));
    EXPECT_FALSE(FFTFilterRequestFromTexts(store, "0", "-24001", 0));
    EXPECT_FALSE(FFTFilterRequestFromTexts(store, "-2147483648", "0", 0));
    EXPECT_THROW(FFTFilterRequestFromTexts(store, "3000.5", "0", 0), EConvertError);
    EXPECT_THROW(FFTFilterRequestFromTexts(store, "0", "x", 0), EConvertError);
}

TEST(FFTBandFilter, MatchesTheOneBlockAtATimeLoopBitForBit) {
    const auto input = Sum(Noise(16384 * 5 + 1234, 9000, 21), Tone(16384 * 5 + 1234, 2000, 48000, 9000));
    for (const auto& [hi, lo] :
         {std::pair{3000, 0}, std::pair{0, 300}, std::pair{9000, 1500}, std::pair{0, 0}}) {
        auto expected = input;
        ReferenceFilterPass(expected, FilterCutBinsFor(48000, hi, lo));
        EXPECT_EQ(Filtered(input, hi, lo, 1), expected) << hi << " " << lo;
    }
}

TEST(FFTBandFilter, AnyThreadCountGivesTheSameStoreAcrossManyBatches) {
    // 43 blocks: several batches of parallel blocks whatever the thread count, so the overlap tail is
    // carried from one batch into the next.
    const size_t n = 16384 * 41 + 999;
    const auto input = Sum(Noise(n, 12000, 22), Tone(n, 4500, 48000, 12000));
    auto expected = input;
    ReferenceFilterPass(expected, FilterCutBinsFor(48000, 4000, 700));
    for (const unsigned threads : {1u, 2u, 3u, 5u}) {
        SignalStore store = MakeStore(input);
        JobControl job;
        FFTBandFilter(store, 4000, 700, 1, job, threads);
        EXPECT_EQ(Values(store), expected) << threads << " threads";
    }
}

TEST(FFTBandFilter, KeepsTheBandAndRemovesWhatLiesOutside) {
    const size_t n = 16384 * 6;
    const auto input =
        Sum(Sum(Tone(n, 500, 48000, 8000), Tone(n, 5000, 48000, 8000)), Tone(n, 15000, 48000, 8000));
    const auto output = Filtered(input, 8000, 2000, 1);
    const auto before = Spectrum(input, 40000, 16384);
    const auto after = Spectrum(output, 40000, 16384);
    const double kept = LevelAt(after, 5000, 48000, 16384);
    EXPECT_NEAR(kept / LevelAt(before, 5000, 48000, 16384), 1.0, 0.01);
    EXPECT_LT(LevelAt(after, 500, 48000, 16384), kept / 1000);
    EXPECT_LT(LevelAt(after, 15000, 48000, 16384), kept / 1000);
}

TEST(FFTBandFilter, ConstantStoreWithLowAndHighCuts) {
    const size_t n = 16384 * 6;
    const std::vector<int16_t> dc(n, 1000);
    const auto lowCut = Filtered(dc, 0, 100, 1);
    const auto highCut = Filtered(dc, 3000, 0, 1);
    const auto lowestBin = Filtered(dc, 0, 1, 1);
    for (size_t i = 16384; i < n - 16384; ++i) {
        ASSERT_LE(std::abs(lowCut[i]), 1) << i;
        ASSERT_LE(std::abs(highCut[i] - 1000), 1) << i;
        ASSERT_LE(std::abs(lowestBin[i] - 1000), 1) << i;
    }
}

TEST(FFTBandFilter, NoCutReproducesTheStoreUpToRoundingAlsoForShortStores) {
    for (const size_t n : {size_t{0}, size_t{1}, size_t{5000}, size_t{8192}, size_t{16384 * 2 + 3}}) {
        const auto input = Noise(n, 30000, static_cast<unsigned>(n));
        const auto output = Filtered(input, 0, 0, 1);
        ASSERT_EQ(output.size(), n);
        for (size_t i = 0; i < n; ++i) ASSERT_LE(std::abs(output[i] - input[i]), 1) << n << " " << i;
    }
}

TEST(FFTBandFilter, QualityRepeatsWholePasses) {
    const auto input = Noise(16384 * 2 + 77, 20000, 4);
    auto once = Filtered(input, 6000, 500, 1);
    auto twice = Filtered(once, 6000, 500, 1);
    EXPECT_EQ(Filtered(input, 6000, 500, 2), twice);
    EXPECT_EQ(Filtered(input, 6000, 500, 3), Filtered(twice, 6000, 500, 1));
    EXPECT_EQ(Filtered(input, 6000, 500, 0), input);
}

TEST(FFTBandFilter, StopBeforeTheFirstWritingBlockLeavesTheStoreAsItWas) {
    const auto input = Noise(40000, 10000, 9);
    SignalStore store = MakeStore(input);
    JobControl job;
    job.RequestStop();
    FFTBandFilter(store, 3000, 0, 3, job);
    EXPECT_EQ(Values(store), input);
}

TEST(FFTBandFilter, StopDuringTheSecondPassLeavesTwoPassesBeforeABlockEdgeAndOneAfter) {
    // A tone in the middle of the high cut's taper (3000 Hz: bin 1024, weight 0.5) is halved by every
    // pass, so once and twice filtered values differ almost everywhere. The store is long enough that
    // the second pass lasts well over 100 ms, so that the stopping thread, which may wait for a core
    // on a busy machine, still asks for the stop within it.
    const size_t n = 16384 * 400;
    const auto input = Sum(Noise(n, 2000, 10), Tone(n, 3000, 48000, 20000));
    const auto one = Filtered(input, 3000, 0, 1);
    const auto two = Filtered(input, 3000, 0, 2);
    SignalStore store = MakeStore(input);
    JobControl job;
    // Pass 2 of 3 runs while the progress is between 34 and 68 percent.
    std::jthread stopper([&job] {
        while (job.Progress.load() < 40) std::this_thread::yield();
        job.RequestStop();
    });
    FFTBandFilter(store, 3000, 0, 3, job);
    stopper.join();
    const auto result = Values(store);
    const auto same = [&](const std::vector<int16_t>& ref, size_t from, size_t to) {
        return std::equal(result.begin() + from, result.begin() + to, ref.begin() + from);
    };
    size_t edge = 0;
    for (size_t e = 16384; e < n && edge == 0; e += 16384)
        if (same(two, 0, e) && same(one, e, n)) edge = e;
    EXPECT_NE(edge, 0u) << "no block edge splits twice-filtered from once-filtered values";
    EXPECT_NE(result, one);
    EXPECT_NE(result, two);
}

TEST(FFTBandFilter, ResultsWrapInsteadOfClipping) {
    // A full-scale square wave: its band-limited version overshoots beyond 32767 (Gibbs), and those
    // values wrap to the other end of the range.
    std::vector<int16_t> square(16384 * 4);
    for (size_t i = 0; i < square.size(); ++i) square[i] = (i / 200) % 2 ? -32767 : 32767;
    const auto output = Filtered(square, 6000, 0, 1);
    size_t wrapped = 0;
    for (size_t i = 16384; i < square.size() - 16384; ++i)
        if ((square[i] > 0 && output[i] < -20000) || (square[i] < 0 && output[i] > 20000)) ++wrapped;
    EXPECT_GT(wrapped, 0u);
}
