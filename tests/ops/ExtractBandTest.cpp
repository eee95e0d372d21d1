// Extract: the band's signal comes out at 0 Hz + its offset from the band's centre, at its level, at the
// smallest whole rate R / k with room for the band; what lies outside the band is gone; the length is
// the range's; a one-channel source gives the same; requests it cannot do are refused.
#include "OpsTestSupport.h"

#include "ops/ExtractBand.h"

#include <gtest/gtest.h>

using namespace opstest;

namespace {

struct ExtractCase {
    const char* Name;
    uint16_t Channels;
    int32_t Rate;
    double Tone, Level;   // the wanted tone (Hz; a real cosine with one channel) and its dBFS
    double Other;         // a tone outside the band (Hz), 14 dB stronger
    double Low, High;     // the band
    int32_t ExpectedRate; // R / k
};

std::ostream& operator<<(std::ostream& out, const ExtractCase& c) {
    return out << c.Name;
}

std::vector<int16_t> Source(const ExtractCase& c, size_t frames) {
    const double wanted = 32767 * std::pow(10, c.Level / 20);
    const double other = wanted * 5; // +14 dB
    if (c.Channels == 2)
        return Sum(ComplexTone(frames, c.Tone, c.Rate, wanted), ComplexTone(frames, c.Other, c.Rate, other));
    return Sum(Tone(frames, c.Tone, c.Rate, wanted), Tone(frames, c.Other, c.Rate, other));
}

// The wanted tones land on bins of the 1024-point spectrum at the new rate (6000 / 1024 and 3000 / 1024
// Hz apart), so their levels read without the window's scalloping.
class ExtractBands : public testing::TestWithParam<ExtractCase> {};

} // namespace

TEST_P(ExtractBands, TheBandComesOutAtItsLevelAndNothingElse) {
    const ExtractCase& c = GetParam();
    const SignalStore source = MakeStore(Source(c, static_cast<size_t>(2 * c.Rate)), c.Channels, c.Rate);
    const CheckedInput<ExtractPlan> plan = PlanExtract(source, {0.5, 1.5, c.Low, c.High});
    ASSERT_TRUE(plan) << plan.Refusal();
    EXPECT_EQ(plan->Rate, c.ExpectedRate);
    EXPECT_EQ(c.Rate % plan->Rate, 0);
    EXPECT_GE(plan->Rate, 1.25 * (c.High - c.Low));
    EXPECT_DOUBLE_EQ(plan->CentreHz, (c.Low + c.High) / 2);
    JobControl job;
    const std::optional<SignalStore> band = ExtractBand(source, *plan, job);
    ASSERT_TRUE(band.has_value());
    EXPECT_EQ(band->ChannelCount, 2);
    EXPECT_EQ(band->SampleRate, plan->Rate);
    EXPECT_EQ(band->Samples.size(), size_t{2} * static_cast<size_t>(plan->Rate)); // one second
    const int32_t n = 1024;
    const double offset = c.Tone - plan->CentreHz;
    for (const size_t first : {size_t{0}, band->Samples.size() / 2 - n}) {
        EXPECT_NEAR(ComplexLevelAt(*band, first, offset, n), c.Level, 0.5) << first;
        EXPECT_LT(ComplexLevelAt(*band, first, -offset, n), -70) << "mirror, " << first;
    }
    // Nothing of the other tone, wherever it folds to.
    double strongest = -300;
    for (int bin = -n / 2; bin < n / 2; ++bin) {
        const double f = bin * static_cast<double>(plan->Rate) / n;
        if (std::fabs(f - offset) > 6.0 * plan->Rate / n)
            strongest = std::max(strongest, ComplexLevelAt(*band, n, f, n));
    }
    EXPECT_LT(strongest, -70);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, ExtractBands,
    testing::Values(ExtractCase{"IQ", 2, 192000, 10123.046875, -20, -25125, 8000, 12000, 6000},
                    ExtractCase{"IQNegative", 2, 192000, -30250, -26, 40000, -33000, -29000, 6000},
                    ExtractCase{"OneChannel", 1, 48000, 2999.0234375, -20, 9000, 2500, 4500, 3000}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ExtractBand, RefusesWhatItCannotDoAndAStopGivesNothing) {
    const SignalStore iq = MakeStore(ComplexTone(48000, 1000, 48000, 1000), 2, 48000);
    const SignalStore mono = MakeStore(Tone(48000, 1000, 48000, 1000), 1, 48000);
    EXPECT_FALSE(PlanExtract(iq, {0.5, 0.5, 0, 1000}));     // empty range
    EXPECT_FALSE(PlanExtract(iq, {0, 1, 2000, 1000}));      // inverted band
    EXPECT_FALSE(PlanExtract(iq, {0, 1, 20000, 25000}));    // beyond +R/2
    EXPECT_FALSE(PlanExtract(mono, {0, 1, -1000, 1000}));   // below 0 Hz with one channel
    EXPECT_FALSE(PlanExtract(iq, {2, 3, 0, 1000}));         // past the end
    EXPECT_FALSE(PlanExtract(iq, {0, 1, 1000, 1000.0001})); // a filter longer than any kept
    ASSERT_TRUE(PlanExtract(iq, {0, 1, -24000, 24000}));    // the whole band: k = 1
    EXPECT_EQ(PlanExtract(iq, {0, 1, -24000, 24000})->Rate, 48000);
    JobControl job;
    job.RequestStop();
    EXPECT_FALSE(ExtractBand(iq, *PlanExtract(iq, {0, 1, 0, 1000}), job).has_value());
}
