// "I/Q2R": an I/Q pair at R becomes one real channel at 2R.
#include "OpsTestSupport.h"

#include "ops/IQToReal.h"
#include "ops/NormalizePeak.h"

#include <gtest/gtest.h>

using namespace opstest;

namespace {

// Interleaved I = A cos(2 pi f k / R), Q = A sin(2 pi f k / R); a negative f is a tone below the centre.
std::vector<int16_t> IQTone(size_t frames, double frequency, double rate, double amplitude) {
    const auto i = Tone(frames, frequency, rate, amplitude);
    const auto q = Tone(frames, frequency, rate, amplitude, -std::numbers::pi / 2);
    std::vector<int16_t> v(2 * frames);
    for (size_t k = 0; k < frames; ++k) v[2 * k] = i[k], v[2 * k + 1] = q[k];
    return v;
}

} // namespace

TEST(IQToReal, TonesAboveAndBelowTheCentreLandBelowAndAboveAQuarterOfTheNewRate) {
    for (const double tone : {1000.0, -1000.0}) {
        SignalStore store = MakeStore(IQTone(24000, tone, 48000, 12000), 2, 48000);
        JobControl job;
        EXPECT_TRUE(ConvertIQToReal(store, job));
        EXPECT_EQ(store.ChannelCount, 1);
        EXPECT_EQ(store.SampleRate, 96000);
        EXPECT_EQ(store.Samples.size(), 48000u); // the same duration at twice the rate
        const auto spectrum = Spectrum(Values(store), 16000, 16384);
        const double wanted = 24000 - tone;
        const double mirror = 24000 + tone;
        EXPECT_NEAR(PeakFrequency(spectrum, 96000, 16384), wanted, 10) << tone;
        EXPECT_GT(LevelAt(spectrum, wanted, 96000, 16384), 100 * LevelAt(spectrum, mirror, 96000, 16384))
            << tone;
        EXPECT_EQ(PeakMagnitude(store.Samples), 12000) << tone;
    }
}

TEST(IQToReal, OneFrameIsOnlyRescaledAndItsLastValueCleared) {
    SignalStore store = MakeStore({-700, 300}, 2, 8000);
    JobControl job;
    EXPECT_TRUE(ConvertIQToReal(store, job));
    EXPECT_EQ(Values(store), (std::vector<int16_t>{-700, 0}));
    EXPECT_EQ(store.ChannelCount, 1);
    EXPECT_EQ(store.SampleRate, 16000);
}

TEST(IQToReal, LastFrameIsNotConvertedAndTheLastValueBecomesZero) {
    std::vector<int16_t> input(40, 0);
    input[38] = 5000; // only the unconverted last frame holds the peak
    input[39] = 1234;
    SignalStore store = MakeStore(input, 2);
    JobControl job;
    ConvertIQToReal(store, job);
    EXPECT_EQ(store.Samples[38], 5000);
    EXPECT_EQ(store.Samples[39], 0);
    for (size_t i = 0; i < 38; ++i) EXPECT_EQ(store.Samples[i], 0) << i;
}

TEST(IQToReal, OneChannelStoreIsProcessedPairwiseButKeepsItsLabels) {
    const auto input = IQTone(3000, 2000, 48000, 9000);
    SignalStore one = MakeStore(input, 1, 44100);
    SignalStore two = MakeStore(input, 2, 44100);
    JobControl job;
    ConvertIQToReal(one, job);
    ConvertIQToReal(two, job);
    EXPECT_EQ(Values(one), Values(two));
    EXPECT_EQ(one.ChannelCount, 1);
    EXPECT_EQ(one.SampleRate, 44100);
    EXPECT_EQ(two.SampleRate, 88200);
}

TEST(IQToReal, Minus32768IsNormalisedFirstAndEmptyStoresStayEmpty) {
    auto input = IQTone(2000, 3000, 48000, 20000);
    input[100] = -32768;
    SignalStore store = MakeStore(input, 2);
    JobControl job;
    ConvertIQToReal(store, job);
    EXPECT_EQ(PeakMagnitude(store.Samples), 32767);

    SignalStore empty = MakeStore({}, 2);
    EXPECT_TRUE(ConvertIQToReal(empty, job));
    EXPECT_TRUE(empty.Samples.empty());
}

TEST(IQToReal, StopLeavesLaterFramesAsTheyWereButStillRelabelsAndKeepsTheFlag) {
    const auto input = IQTone(500, 1500, 48000, 10000);
    SignalStore store = MakeStore(input, 2);
    JobControl job;
    job.RequestStop();
    EXPECT_TRUE(ConvertIQToReal(store, job));
    EXPECT_TRUE(job.Stopping()); // cleared by the job frame before the next job, not here
    EXPECT_EQ(store.ChannelCount, 1);
    EXPECT_EQ(store.SampleRate, 96000);
    // Frame 0 was converted (from the zero "previous" frame and filters at rest: its first output is
    // -b = 0); the others keep their I/Q values, rescaled to the input's peak, which they still hold.
    EXPECT_EQ(store.Samples[0], 0);
    for (size_t i = 2; i < 998; ++i) ASSERT_EQ(store.Samples[i], input[i]) << i;
    EXPECT_EQ(store.Samples[999], 0);
}

TEST(IQToReal, RefusesRatesItCannotFilterOrDouble) {
    JobControl job;
    for (const int32_t rate : {0, -48000, 1073741824}) {
        SignalStore store = MakeStore({100, 200, 300, 400}, 2, rate);
        EXPECT_FALSE(ConvertIQToReal(store, job)) << rate;
        EXPECT_EQ(Values(store), (std::vector<int16_t>{100, 200, 300, 400}));
        EXPECT_EQ(store.ChannelCount, 2);
        EXPECT_EQ(store.SampleRate, rate);
    }
    SignalStore mono = MakeStore({100, 200, 300, 400}, 1, 1073741824); // not doubled: allowed
    EXPECT_TRUE(ConvertIQToReal(mono, job));
}
