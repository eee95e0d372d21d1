// The filters and the shifts on two channels: each channel is edited as a sequence of its own at the
// channel rate, so a channel that holds a signal comes out exactly as the same values edited as one
// channel, and a silent channel stays silent (nothing of one channel reaches the other).
#include "OpsTestSupport.h"

#include "ops/FFTBandFilter.h"
#include "ops/FrequencyShift.h"
#include "ops/LPFFilter.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

using namespace opstest;

namespace {

struct TwoChannelCase {
    const char* Name;
    std::function<void(SignalStore&, JobControl&)> Edit;
};

std::ostream& operator<<(std::ostream& out, const TwoChannelCase& c) {
    return out << c.Name;
}

const TwoChannelCase kEdits[] = {
    {"LPF", [](SignalStore& s, JobControl& job) { LPFFilterStore(s, 8000, job); }},
    {"FFTFilter", [](SignalStore& s, JobControl& job) { FFTBandFilter(s, 20000, 500, 5, job); }},
    {"Sin", [](SignalStore& s, JobControl& job) { SinShift(s, 7000, job); }},
    {"Cos", [](SignalStore& s, JobControl& job) { CosShift(s, 1000.5, job); }},
};

class TwoChannelEdits : public testing::TestWithParam<std::tuple<TwoChannelCase, int>> {};

} // namespace

TEST_P(TwoChannelEdits, EachChannelIsEditedAsOneChannelAndASilentOneStaysSilent) {
    const auto& [edit, loud] = GetParam();
    constexpr size_t kFrames = 40000; // more than two blocks of the band filter and of the shifts' stretches
    const auto signal = Sum(Tone(kFrames, 1000, 48000, 12000), Noise(kFrames, 3000, 21));
    std::vector<int16_t> interleaved(2 * kFrames, 0);
    for (size_t f = 0; f < kFrames; ++f) interleaved[2 * f + static_cast<size_t>(loud)] = signal[f];

    SignalStore two = MakeStore(interleaved, 2, 48000);
    SignalStore one = MakeStore(signal, 1, 48000);
    JobControl job;
    edit.Edit(two, job);
    edit.Edit(one, job);

    for (size_t f = 0; f < kFrames; ++f) {
        ASSERT_EQ(two.Samples[2 * f + static_cast<size_t>(loud)], one.Samples[f]) << "frame " << f;
        ASSERT_EQ(two.Samples[2 * f + static_cast<size_t>(1 - loud)], 0) << "frame " << f;
    }
}

INSTANTIATE_TEST_SUITE_P(LeftOrRight, TwoChannelEdits,
                         testing::Combine(testing::ValuesIn(kEdits), testing::Values(0, 1)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).Name) +
                                    (std::get<1>(info.param) == 0 ? "Left" : "Right");
                         });
