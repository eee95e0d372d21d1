// The "Sin" and "Cos" shifts and their oscillators.
#include "OpsTestSupport.h"

#include "ops/FrequencyShift.h"
#include "ops/NormalizePeak.h"
#include "signal/NumberText.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace opstest;

TEST(ShiftOscillator, BlocksJoinWithoutAPhaseJump) {
    ShiftOscillator oscillator;
    oscillator.Omega = 2 * std::numbers::pi * 1234.5;
    GenerateCosBlock(oscillator, 48000, 1000);
    const double last = oscillator.Block[1024];
    EXPECT_DOUBLE_EQ(oscillator.TimeOffset, 1024.0 / 48000);
    GenerateCosBlock(oscillator, 48000, 1000);
    EXPECT_EQ(oscillator.Block[0], last);
    EXPECT_DOUBLE_EQ(oscillator.TimeOffset, 2048.0 / 48000);
    for (int i = 0; i < 1025; ++i)
        ASSERT_NEAR(oscillator.Block[i], 1000 * std::cos(oscillator.Omega * (1024.0 + i) / 48000), 1e-6) << i;

    ShiftOscillator sine;
    sine.Omega = 2 * std::numbers::pi * 12000;
    GenerateSinBlock(sine, 48000, 2);
    EXPECT_NEAR(sine.Block[1], 2, 1e-12);
    EXPECT_NEAR(sine.Block[3], -2, 1e-12);
}

TEST(FrequencyShift, CosShiftOf1000HzBy3000GivesTheSumAndDifference) {
    const size_t n = 40000;
    SignalStore store = MakeStore(Tone(n, 1000, 48000, 20000));
    JobControl job;
    CosShift(store, 3000, job);
    const auto spectrum = Spectrum(Values(store), 10000, 16384);
    const double at2000 = LevelAt(spectrum, 2000, 48000, 16384);
    const double at4000 = LevelAt(spectrum, 4000, 48000, 16384);
    EXPECT_NEAR(at2000 / at4000, 1.0, 0.02);
    EXPECT_LT(LevelAt(spectrum, 1000, 48000, 16384), at2000 / 1000);
    EXPECT_LT(LevelAt(spectrum, 3000, 48000, 16384), at2000 / 1000);
    EXPECT_EQ(PeakMagnitude(store.Samples), 20000); // the input's peak is restored
    EXPECT_EQ(job.Progress.load(), 100);
}

TEST(FrequencyShift, EveryValueFollowsTheOscillatorAcrossBlockBoundaries) {
    const size_t n = 5000;
    const auto input = Tone(n, 700, 48000, 15000, 0.3);
    SignalStore store = MakeStore(input);
    JobControl job;
    CosShift(store, 2500, job);
    double referencePeak = 0;
    std::vector<double> reference(n);
    for (size_t k = 0; k < n; ++k) {
        reference[k] = input[k] * std::cos(2 * std::numbers::pi * 2500 * k / 48000);
        referencePeak = std::max(referencePeak, std::abs(reference[k]));
    }
    const double restore = PeakMagnitude(MakeStore(input).Samples) / referencePeak;
    for (size_t k = 0; k < n; ++k) ASSERT_NEAR(store.Samples[k], reference[k] * restore, 2.0) << k;
}

TEST(FrequencyShift, ZeroAndFullRateFrequencies) {
    const auto input = Noise(2500, 30000, 5);
    SignalStore sinZero = MakeStore(input);
    SignalStore sinRate = MakeStore(input);
    SignalStore cosZero = MakeStore(input);
    JobControl job;
    SinShift(sinZero, 0, job);
    SinShift(sinRate, 48000, job);
    CosShift(cosZero, 0, job);
    EXPECT_EQ(Values(sinZero), std::vector<int16_t>(2500, 0));
    EXPECT_EQ(Values(sinRate), std::vector<int16_t>(2500, 0));
    EXPECT_EQ(Values(cosZero), input);
}

TEST(FrequencyShift, AStoreWithMinus32768IsFirstNormalisedTo32767) {
    std::vector<int16_t> input(100, 1000);
    input[50] = -32768;
    SignalStore store = MakeStore(input);
    JobControl job;
    CosShift(store, 0, job);
    EXPECT_EQ(store.Samples[50], -32767);
    EXPECT_EQ(PeakMagnitude(store.Samples), 32767);
    EXPECT_EQ(store.Samples[0], 1000); // 1000 / (32768 / 32767) rounds back to 1000
}

TEST(FrequencyShift, FrequencyTextIsAnAbsoluteFloatUpToTheRate) {
    const SignalStore store = MakeStore({1, 2}, 1, 48000);
    EXPECT_EQ(ShiftFrequencyFromText(store, "-3000"), 3000.0);
    EXPECT_EQ(ShiftFrequencyFromText(store, "48000"), 48000.0);
    EXPECT_EQ(ShiftFrequencyFromText(store, "48000.01"), std::nullopt);
    EXPECT_EQ(ShiftFrequencyFromText(store, "1.5e3"), 1500.0);
    EXPECT_THROW(ShiftFrequencyFromText(store, "3 kHz"), EConvertError);
    EXPECT_THROW(ShiftFrequencyFromText(store, "3,5"), EConvertError);
}

TEST(FrequencyShift, StopKeepsTheScaledValuesNotReached) {
    const std::vector<int16_t> input = {1000, 2000, -3000, 4000, 500, 600, 700, 800, 900, 1000, 1100, 1200};
    SignalStore store = MakeStore(input);
    JobControl job;
    job.RequestStop();
    SinShift(store, 1000, job);
    // Value 0 met sin(0) = 0; the rest kept their 0.9-scaled values, then the peak was restored:
    // 4000 * 0.9 = 3600 becomes 4000 again, so each value is R(R(0.9 s) / 0.9).
    EXPECT_EQ(store.Samples[0], 0);
    EXPECT_EQ(store.Samples[3], 4000);
    EXPECT_EQ(store.Samples[2], -3000);
    EXPECT_EQ(store.Samples[11], 1200);
    EXPECT_EQ(store.Samples[4], 500);
}

// At a quarter of the rate the oscillator is 0, 1, 0, -1 (sine) or 1, 0, -1, 0 (cosine), so every
// value the oscillator keeps shows its own rounding: the sine shift's 0.9 first takes 5 to R(4.5) = 4
// and 15 to R(13.5) = 14, which the level restore (peak 900 back to 1000) makes -4 and 16; the cosine
// shift keeps them.
struct QuarterRateCase {
    const char* Name;
    void (*Shift)(SignalStore&, double, JobControl&);
    std::vector<int16_t> Input;
    std::vector<int16_t> Expected;
};

std::ostream& operator<<(std::ostream& out, const QuarterRateCase& c) {
    return out << c.Name;
}

class QuarterRateShift : public testing::TestWithParam<QuarterRateCase> {};

TEST_P(QuarterRateShift, OnlyTheSineShiftScalesByNineTenthsFirst) {
    SignalStore store = MakeStore(GetParam().Input, 1, 48000);
    JobControl job;
    GetParam().Shift(store, 12000, job);
    EXPECT_EQ(Values(store), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Waves, QuarterRateShift,
    testing::Values(QuarterRateCase{"Sin", SinShift, {0, 1000, 0, 5, 0, 15}, {0, 1000, 0, -4, 0, 16}},
                    QuarterRateCase{"Cos", CosShift, {1000, 0, 5, 0, 15, 0}, {1000, 0, -5, 0, 15, 0}}),
    [](const testing::TestParamInfo<QuarterRateCase>& info) { return std::string(info.param.Name); });
