// TLPF and the "LPF" command.
#include "OpsTestSupport.h"

#include "ops/LPFFilter.h"
#include "ops/NormalizePeak.h"
#include "ops/SampleRounding.h"
#include "ops/TLPF.h"
#include "signal/NumberText.h"

#include <gtest/gtest.h>

using namespace opstest;

namespace {

// Steady-state amplitude of a sine of `frequency` through a fresh filter, relative to its gain at 0 Hz,
// measured by correlating the output with the input's frequency over the settled part.
double RelativeResponse(double frequency, double fc, double fs) {
    TLPF filter(12, fc, fs, 0.8, 0.9);
    const double step = 2 * std::numbers::pi * frequency / fs;
    double re = 0, im = 0;
    const int settle = 4000, count = 48000;
    for (int k = 0; k < settle + count; ++k) {
        const double y = filter.Process(std::sin(step * k));
        if (k >= settle) re += y * std::cos(step * k), im += y * std::sin(step * k);
    }
    return 2 * std::hypot(re, im) / count / std::pow(0.9, 12);
}

} // namespace

TEST(TLPF, CoefficientsOfTheTwoKnownDesigns) {
    const TLPF iq(12, 24000, 48000, 0.8, 0.9);
    EXPECT_NEAR(iq.a2(), 0.3516256355, 1e-10);
    EXPECT_NEAR(iq.a1n(), -0.8664266894, 1e-10);
    EXPECT_NEAR(iq.b0(), 0.5545130812, 1e-10);

    const TLPF lpf(12, 8000, 48000, 0.8, 0.9);
    EXPECT_NEAR(lpf.a2(), 0.2994071538, 1e-10);
    EXPECT_NEAR(lpf.a1n(), 0.6572163197, 1e-10);
    EXPECT_NEAR(lpf.b0(), 0.1605477085, 1e-10);
}

TEST(TLPF, FirstOutputAndSettlingOfAConstant) {
    TLPF fresh(12, 8000, 48000, 0.8, 0.9);
    const double b0 = fresh.b0();
    EXPECT_NEAR(fresh.Process(1000), std::pow(0.9 * b0, 12) * 1000, 1e-20);

    TLPF filter(12, 8000, 48000, 0.8, 0.9);
    double y = 0;
    for (int k = 0; k < 3000; ++k) y = filter.Process(1000);
    EXPECT_NEAR(y, 282.4, 0.05);
    EXPECT_NEAR(y, 1000 * std::pow(0.9, 12), 1e-9); // the gain at 0 Hz is exactly gain^sections
}

TEST(TLPF, ResponsePeaksNearHalfTheCutoffAndFallsBelowHalfPowerNear6121Hz) {
    EXPECT_NEAR(RelativeResponse(4000, 8000, 48000), 1.342, 0.01);
    double best = 0;
    double bestFrequency = 0;
    for (double f = 2500; f <= 5500; f += 100) {
        const double r = RelativeResponse(f, 8000, 48000);
        if (r > best) best = r, bestFrequency = f;
    }
    EXPECT_NEAR(bestFrequency, 4000, 300);
    EXPECT_GT(RelativeResponse(6050, 8000, 48000), std::sqrt(0.5));
    EXPECT_LT(RelativeResponse(6200, 8000, 48000), std::sqrt(0.5));
    EXPECT_LT(RelativeResponse(16000, 8000, 48000), 1e-6);
}

TEST(TLPF, NoSectionsPassesSamplesUnchanged) {
    TLPF none(0, 8000, 48000, 0.8, 0.9);
    EXPECT_EQ(none.Process(123.25), 123.25);
    EXPECT_EQ(none.Process(-7), -7);
}

TEST(LPFCommand, CutoffTextIsAnAbsoluteFloatBelowTheRateMinusOne) {
    const SignalStore store = MakeStore({1, 2}, 1, 48000);
    EXPECT_EQ(LPFCutoffFromText(store, "-5000"), 5000.0);
    EXPECT_EQ(LPFCutoffFromText(store, "0"), 0.0);
    EXPECT_EQ(LPFCutoffFromText(store, "47999"), 47999.0);
    EXPECT_EQ(LPFCutoffFromText(store, "47999.5"), std::nullopt);
    EXPECT_EQ(LPFCutoffFromText(store, "48000"), std::nullopt);
    EXPECT_THROW(LPFCutoffFromText(store, "8k"), EConvertError);
    EXPECT_THROW(LPFCutoffFromText(store, ""), EConvertError);
}

TEST(LPFCommand, ZeroCutoffOnlyRoundsTwiceAndKeepsThePeak) {
    const auto input = Noise(5000, 20000, 7);
    SignalStore store = MakeStore(input);
    JobControl job;
    LPFFilterStore(store, 0, job);
    EXPECT_EQ(PeakMagnitude(store.Samples), PeakMagnitude(MakeStore(input).Samples));
    for (size_t i = 0; i < input.size(); ++i) ASSERT_LE(std::abs(store.Samples[i] - input[i]), 1) << i;
    EXPECT_EQ(job.Progress.load(), 100);
}

TEST(LPFCommand, RemovesHighTonesAndKeepsLowOnesAtTheInputPeak) {
    const size_t n = 48000;
    SignalStore store = MakeStore(Sum(Tone(n, 1000, 48000, 8000), Tone(n, 16000, 48000, 8000)));
    JobControl job;
    LPFFilterStore(store, 8000, job);
    const auto after = Spectrum(Values(store), 20000, 16384);
    EXPECT_GT(LevelAt(after, 1000, 48000, 16384), 1000 * LevelAt(after, 16000, 48000, 16384));
    EXPECT_NEAR(PeakMagnitude(store.Samples), 16000, 1000); // one tone left, raised to the old peak
}

TEST(LPFCommand, StopLeavesTheValuesNotReachedAtTheirScaledLevel) {
    const auto input = Noise(200, 10000, 11);
    SignalStore store = MakeStore(input);
    JobControl job;
    job.RequestStop();
    LPFFilterStore(store, 5000, job);

    // Expected: everything scaled by 0.9, only value 0 filtered (the stop is seen at k = 0), then the
    // level restored to the input's peak.
    SignalStore expected = MakeStore(input);
    const int32_t peak = PrepareLevel(expected, true);
    TLPF filter(12, 5000, 48000, 0.8, 0.9);
    expected.Samples[0] = RoundToSample(filter.Process(expected.Samples[0]));
    RestoreLevel(expected, peak);
    EXPECT_EQ(Values(store), Values(expected));
    EXPECT_TRUE(job.Stopping());
}
