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

// I and Q of amplitude * e^(j 2 pi f n / rate), interleaved.
std::vector<int16_t> ComplexTone(size_t frames, double frequency, double amplitude) {
    std::vector<int16_t> v(2 * frames);
    for (size_t n = 0; n < frames; ++n) {
        const double angle = 2 * std::numbers::pi * frequency * static_cast<double>(n) / kRate;
        v[2 * n] = static_cast<int16_t>(std::lround(amplitude * std::cos(angle)));
        v[2 * n + 1] = static_cast<int16_t>(std::lround(amplitude * std::sin(angle)));
    }
    return v;
}

// dBFS of the complex spectrum (Hann window) of kN frames from `first`, at the bin nearest `frequency`
// (signed), against a full-scale complex tone.
double LevelAt(const SignalStore& store, size_t first, double frequency) {
    std::vector<TComplexSingle> frame(kN);
    for (int32_t i = 0; i < kN; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / kN);
        const size_t at = 2 * (first + static_cast<size_t>(i));
        // The conjugate: the forward transform's kernel is exp(+2 pi i j k / N), so that bin k of
        // I - jQ holds frequency +k.
        frame[static_cast<size_t>(i)] = {static_cast<float>(store.Samples[at] * w),
                                         static_cast<float>(-store.Samples[at + 1] * w)};
    }
    FFTPow2(frame.data(), kN, FFTDirection::Forward, FFTScaling::None, FFTOrder::Natural);
    const long bin = ((std::lround(frequency * kN / kRate) % kN) + kN) % kN;
    double peak = 0;
    for (long k = bin - 2; k <= bin + 2; ++k) {
        const TComplexSingle x = frame[static_cast<size_t>((k + kN) % kN)];
        peak = std::max(peak, std::hypot(double(x.re), double(x.im)));
    }
    return 20 * std::log10(peak / (32767.0 * kN / 2));
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
