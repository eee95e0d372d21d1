// Tune on I/Q: a complex tone at +f tuned by g lands at f - g at its own level, with no mirror image;
// the command refuses what it cannot do, and a stop leaves the frames not reached as they were.
#include "OpsTestSupport.h"

#include "ops/Tune.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

using namespace opstest;

namespace {

constexpr int32_t kRate = 192000;
constexpr int32_t kN = 16384;

std::vector<int16_t> ComplexTone(size_t frames, double frequency, double amplitude) {
    return opstest::ComplexTone(frames, frequency, kRate, amplitude);
}

double LevelAt(const SignalStore& store, size_t first, double frequency) {
    return ComplexLevelAt(store, first, frequency, kN);
}

// The tones and where they land lie on bins (multiples of 192000 / 16384 Hz), or next to one, so their
// levels compare without the window's scalloping.
struct TuneCase {
    double Tone; // Hz, signed
    double By;   // Hz, signed
};

class TuneShifts : public testing::TestWithParam<TuneCase> {};

} // namespace

TEST_P(TuneShifts, TheToneMovesByMinusTheFrequencyAtItsLevelWithoutAMirror) {
    const auto [tone, by] = GetParam();
    const size_t frames = 5 * kN + 123; // several polls and stretches, an odd end
    SignalStore store = MakeStore(ComplexTone(frames, tone, 16384), 2, kRate);
    const double before = LevelAt(store, 3 * kN, tone);
    JobControl job;
    TuneStore(store, by, job);
    const double moved = tone - by;
    for (const size_t first : {size_t{0}, size_t{4} * kN}) {
        EXPECT_NEAR(LevelAt(store, first, moved), before, 0.05) << first;
        if (moved != 0) {
            EXPECT_LT(LevelAt(store, first, -moved), -90.0) << "mirror at " << -moved;
        }
        EXPECT_LT(LevelAt(store, first, tone), -90.0) << "left at " << tone;
    }
}

INSTANTIATE_TEST_SUITE_P(Tones, TuneShifts,
                         testing::Values(TuneCase{10125, 3996.09375}, TuneCase{10125, 10125},
                                         TuneCase{-25125, -60000.5}, TuneCase{30000, -45000}));

TEST(Tune, RefusesOneChannelAndFrequenciesBeyondHalfTheRate) {
    const SignalStore iq = MakeStore(std::vector<int16_t>(100, 1), 2, kRate);
    const SignalStore mono = MakeStore(std::vector<int16_t>(100, 1), 1, kRate);
    EXPECT_FALSE(TuneFrequencyFromText(mono, "1000"));
    EXPECT_EQ(*TuneFrequencyFromText(iq, "-96000"), -96000);
    EXPECT_FALSE(TuneFrequencyFromText(iq, "96000.5"));
    EXPECT_FALSE(TuneFrequencyFromText(iq, "-96001"));
}

TEST(Tune, FullScaleFramesAreScaledToFitAndAStopLeavesTheRestAsItWas) {
    // Frames of |I + jQ| = 32767 sqrt 2 turned by 45 degrees at frame 0 would not fit 16 bits.
    std::vector<int16_t> values(2 * 400000, 32767);
    SignalStore full = MakeStore(values, 2, kRate);
    JobControl job;
    TuneStore(full, 0, job);
    for (int16_t v : full.Samples) ASSERT_EQ(v, 23170); // scaled by 32767 / 46339.0, not clipped

    SignalStore stopped = MakeStore(ComplexTone(400000, 1000, 10000), 2, kRate);
    const auto input = Values(stopped);
    job.RequestStop();
    TuneStore(stopped, 5000, job); // the stop is seen at the first poll, after frame 0
    EXPECT_EQ(std::vector<int16_t>(stopped.Samples.begin() + 2, stopped.Samples.end()),
              std::vector<int16_t>(input.begin() + 2, input.end()));
}
