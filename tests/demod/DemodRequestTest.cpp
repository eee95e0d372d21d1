// The check of a request: the defaults it fills in, the stretch of frames it plans, and every refusal
// with its reason (never a crash), on one- and two-channel recordings.
#include "demod/DemodRequest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <map>

namespace {

const DemodSource kIQ{192000, true, 192000 * 10};  // 10 s
const DemodSource kReal{48000, false, 48000 * 10}; // 10 s

DemodRequest Asking(DemodMode mode, double hz) {
    DemodRequest request;
    request.Mode = mode;
    request.Frequency = hz;
    return request;
}

struct Refusal {
    const char* Name;
    DemodRequest Request;
    DemodSource Source;
    const char* Reason; // a part of the reason
};

void PrintTo(const Refusal& c, std::ostream* out) {
    *out << c.Name;
}

class DemodRefusals : public ::testing::TestWithParam<Refusal> {};

DemodRequest With(DemodRequest request, const std::function<void(DemodRequest&)>& change) {
    change(request);
    return request;
}

} // namespace

TEST_P(DemodRefusals, SayWhy) {
    const CheckedInput<DemodPlan> plan = PlanDemodulation(GetParam().Request, GetParam().Source);
    ASSERT_FALSE(plan);
    EXPECT_NE(plan.Refusal().find(GetParam().Reason), std::string::npos) << plan.Refusal();
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    , DemodRefusals,
    ::testing::Values(
        Refusal{"AboveHalfTheRate", Asking(DemodMode::AM, 96001), kIQ,
                "the frequency 96001 Hz is outside the recording's band -96000 ... 96000 Hz"},
        Refusal{"BelowMinusHalfTheRate", Asking(DemodMode::FM, -96001), kIQ, "outside the recording's band"},
        Refusal{"NegativeOnARealChannel", Asking(DemodMode::USB, -1000), kReal,
                "band 0 ... 24000 Hz (one channel: a real signal)"},
        Refusal{"BandwidthAboveTheRate",
                With(Asking(DemodMode::WFM, 0), [](auto& r) { r.Bandwidth = 192001; }), kIQ,
                "the bandwidth 192001 Hz is above the sample rate (192000 Hz)"},
        Refusal{"WfmOnANarrowRecording", Asking(DemodMode::WFM, 0), kReal,
                "above the sample rate (48000 Hz)"},
        Refusal{"NoBandwidth", With(Asking(DemodMode::CW, 0), [](auto& r) { r.Bandwidth = 0; }), kIQ,
                "the bandwidth 0 Hz is not above 0 Hz"},
        Refusal{"FromAtTo", With(Asking(DemodMode::AM, 0), [](auto& r) { r.From = 2, r.To = 2; }), kIQ,
                "the end 2 s is not after the start 2 s"},
        Refusal{"FromAfterTo", With(Asking(DemodMode::AM, 0), [](auto& r) { r.From = 3, r.To = 2.5; }), kIQ,
                "is not after the start"},
        Refusal{"FromAtTheEnd", With(Asking(DemodMode::AM, 0), [](auto& r) { r.From = 10; }), kIQ,
                "the start 10 s is not before the end of the recording (10 s)"},
        Refusal{"FromBeforeTheStart", With(Asking(DemodMode::AM, 0), [](auto& r) { r.From = -1; }), kIQ,
                "the start -1 s is before the recording"},
        Refusal{"RateBelowOne", Asking(DemodMode::AM, 0), DemodSource{0, true, 100}, "below 1 Hz"},
        Refusal{"NoFrames", Asking(DemodMode::AM, 0), DemodSource{48000, true, 0}, "no frames"},
        Refusal{"FrequencyNotANumber", Asking(DemodMode::AM, kNaN), kIQ, "not finite"},
        Refusal{"EndNotANumber", With(Asking(DemodMode::AM, 0), [](auto& r) { r.To = kNaN; }), kIQ,
                "not finite"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(DemodPlan, TakesTheModesBandwidthAndTheFramesOfItsStretch) {
    DemodRequest request = Asking(DemodMode::LSB, -96000);
    request.From = 1.25;
    request.To = 99; // past the end: to the end
    const CheckedInput<DemodPlan> plan = PlanDemodulation(request, kIQ);
    ASSERT_TRUE(plan) << plan.Refusal();
    EXPECT_EQ(plan->Bandwidth, 2800);
    EXPECT_EQ(plan->FirstFrame, 240000);
    EXPECT_EQ(plan->EndFrame, kIQ.Frames);
    EXPECT_EQ(DemodAudioLength(*plan), std::llround(8.75 * kDemodAudioRate));
}

TEST(DemodModes, AreNamedInAnyCaseWithTheirDefaultBands) {
    const std::map<DemodMode, double> bands = {{DemodMode::AM, 10000},   {DemodMode::FM, 12500},
                                               {DemodMode::WFM, 200000}, {DemodMode::USB, 2800},
                                               {DemodMode::LSB, 2800},   {DemodMode::CW, 500}};
    for (const DemodMode mode : kDemodModes) {
        std::string lower(DemodModeName(mode));
        for (char& c : lower) c = static_cast<char>(std::tolower(c));
        EXPECT_EQ(DemodModeNamed(lower), mode) << lower;
        EXPECT_EQ(DemodModeNamed(DemodModeName(mode)), mode);
        EXPECT_EQ(DefaultBandwidth(mode), bands.at(mode));
    }
    EXPECT_EQ(DemodModeNamed("ssb"), std::nullopt);
    EXPECT_EQ(DemodModeNamed(""), std::nullopt);
}
