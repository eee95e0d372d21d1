// The sample rounding, the level helpers, "Amp" and "Fade".
#include "OpsTestSupport.h"

#include "ops/FadeInOut.h"
#include "ops/NormalizePeak.h"
#include "ops/SampleRounding.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace opstest;

TEST(SampleRounding, RoundsHalvesToEvenAndKeepsTheLow16Bits) {
    EXPECT_EQ(RoundToSample(1.5L), 2);
    EXPECT_EQ(RoundToSample(2.5L), 2);
    EXPECT_EQ(RoundToSample(-2.5L), -2);
    EXPECT_EQ(RoundToSample(-3.5), -4);
    EXPECT_EQ(RoundToSample(2.4999), 2);
    EXPECT_EQ(RoundToSample(32768.0L), -32768); // wraps instead of clipping
    EXPECT_EQ(RoundToSample(-32769.0), 32767);
    EXPECT_EQ(RoundToSample(65537.2L), 1);
    EXPECT_EQ(PercentDone(5, 10), 50);
    EXPECT_EQ(PercentDone(0, 0), 0);
    EXPECT_EQ(PercentDone(1, 8), 12); // 12.5 goes to the even neighbour
}

TEST(SampleRounding, FastPathDefersToTheExactValueNearHalves) {
    EXPECT_EQ(RoundToSampleVia(2.5, [] { return 2.5000000001L; }), 3);
    EXPECT_EQ(RoundToSampleVia(2.5, [] { return 2.4999999999L; }), 2);
    EXPECT_EQ(RoundToSampleVia(2.3, []() -> long double { throw std::logic_error("not needed"); }), 2);
    EXPECT_EQ(RoundToSampleVia(1e300, [] { return 65537.0L; }), 1);
}

TEST(SampleRounding, ScalingEveryPossibleValueMatchesExtendedPrecision) {
    std::vector<int16_t> all(65536);
    for (int v = -32768; v <= 32767; ++v) all[static_cast<size_t>(v + 32768)] = static_cast<int16_t>(v);
    for (const int32_t target : {25000, 32767, 7, 1}) {
        SignalStore store = MakeStore(all);
        NormalizePeak(store, static_cast<int16_t>(target));
        const long double f = static_cast<double>(32768.0L / target);
        for (size_t i = 0; i < all.size(); ++i)
            ASSERT_EQ(store.Samples[i], RoundToSample(all[i] / f)) << target << " " << all[i];
    }
    SignalStore scaled = MakeStore(all);
    PrepareLevel(scaled, true); // scales by 0.9 before renormalising for the -32768 present
    SignalStore reference = MakeStore(all);
    for (auto& v : reference.Samples) v = RoundToSample(v * 0.9L);
    NormalizePeak(reference, 32767);
    EXPECT_EQ(Values(scaled), Values(reference));
}

TEST(NormalizePeak, MakesTheLargestMagnitudeTheTarget) {
    SignalStore store = MakeStore({1000, -500, 3, 0});
    NormalizePeak(store, 25000);
    EXPECT_EQ(Values(store), (std::vector<int16_t>{25000, -12500, 75, 0}));

    SignalStore minimum = MakeStore({-32768, 16384, 100});
    NormalizePeak(minimum, 25000);
    EXPECT_EQ(Values(minimum), (std::vector<int16_t>{-25000, 12500, 76})); // 100 / 1.31072 = 76.29

    SignalStore silent = MakeStore({0, 0, 0});
    NormalizePeak(silent, 25000);
    EXPECT_EQ(Values(silent), (std::vector<int16_t>{0, 0, 0}));

    SignalStore empty = MakeStore({});
    NormalizePeak(empty, 25000);
    EXPECT_TRUE(empty.Samples.empty());
}

TEST(NormalizePeak, PeakCountsMinus32768AsItsMagnitudeAndNeverBelowOne) {
    EXPECT_EQ(PeakMagnitude(MakeStore({-32768, 5}).Samples), 32768);
    EXPECT_EQ(PeakMagnitude(MakeStore({0, 0}).Samples), 1);
    EXPECT_EQ(PeakMagnitude(MakeStore({}).Samples), 1);
}

TEST(LevelPreparation, ScalesByNineTenthsAndRenormalisesAfterMinus32768) {
    SignalStore store = MakeStore({1000, -5, 15});
    EXPECT_EQ(PrepareLevel(store, true), 1000);
    EXPECT_EQ(Values(store), (std::vector<int16_t>{900, -4, 14})); // -4.5 and 13.5 go to even

    SignalStore unscaled = MakeStore({1000, -5});
    EXPECT_EQ(PrepareLevel(unscaled, false), 1000);
    EXPECT_EQ(Values(unscaled), (std::vector<int16_t>{1000, -5}));

    SignalStore minimum = MakeStore({-32768, 100});
    EXPECT_EQ(PrepareLevel(minimum, false), 32767);
    EXPECT_EQ(Values(minimum), (std::vector<int16_t>{-32767, 100}));

    SignalStore restored = MakeStore({500, -250, 1});
    RestoreLevel(restored, 1000);
    EXPECT_EQ(Values(restored), (std::vector<int16_t>{1000, -500, 2}));
}

TEST(Fade, At1024ValuesTheFadeInAndOutMeetInTheMiddle) {
    SignalStore store = MakeStore(std::vector<int16_t>(1024, 10000));
    FadeInOut(store, FadeCurveFor(1024));
    const auto v = Values(store);
    EXPECT_EQ(v[0], 0);
    EXPECT_EQ(v[256], 5000);
    EXPECT_EQ(v[512], 10000); // w[512] = 1 starts the fade-out
    EXPECT_EQ(v[768], 5000);
    EXPECT_EQ(v[1023], 0);
    EXPECT_EQ(v[511], 10000); // 10000 * 0.99996 rounds to 10000
    for (size_t i = 1; i < 512; ++i) {
        EXPECT_EQ(v[i], v[1024 - i]) << i; // the curve is symmetric about L/2
        EXPECT_LE(v[i - 1], v[i]) << i;
    }
}

TEST(Fade, TouchesOnlyHalfACurveAtEachEnd) {
    SignalStore store = MakeStore(std::vector<int16_t>(3000, -7000));
    FadeInOut(store, FadeCurveFor(1024));
    const auto v = Values(store);
    for (size_t i = 512; i < 3000 - 512; ++i) ASSERT_EQ(v[i], -7000) << i;
    EXPECT_EQ(v[0], 0);
    EXPECT_EQ(v[3000 - 512], -7000);
    EXPECT_EQ(v[2999], 0);
    EXPECT_EQ(v[511], v[2489]);
}

TEST(Fade, OddCurveLeavesItsLastEntryUnusedAndRoundsHalvesToEven) {
    SignalStore store = MakeStore({1000, 1000, 1000, 1000, 1000});
    FadeInOut(store, std::vector<float>{0.5f, 0.25f, 1.0f, 0.75f, 0.0f});
    EXPECT_EQ(Values(store), (std::vector<int16_t>{500, 250, 1000, 1000, 750}));

    SignalStore halves = MakeStore({3, 5, -3, -5});
    FadeInOut(halves, std::vector<float>(4, 0.5f));
    EXPECT_EQ(Values(halves), (std::vector<int16_t>{2, 2, -2, -2}));
}

TEST(Fade, ShortStoresAndMismatchedCurvesChangeNothing) {
    SignalStore one = MakeStore({1234});
    FadeInOut(one, FadeCurveFor(1));
    EXPECT_EQ(Values(one), std::vector<int16_t>{1234});

    SignalStore empty = MakeStore({});
    FadeInOut(empty, FadeCurveFor(0));
    EXPECT_TRUE(empty.Samples.empty());

    // A curve left from a longer recording must not reach outside the store.
    SignalStore shorter = MakeStore({100, 200, 300});
    FadeInOut(shorter, FadeCurveFor(1024));
    EXPECT_EQ(Values(shorter), (std::vector<int16_t>{100, 200, 300}));
}
