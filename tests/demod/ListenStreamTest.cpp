// Listen's stream as the playback thread pulls it: buffer by buffer the audio of the marked stretch, in
// time with the recording (the cursor follows it), to its end, and again from its start after a rewind;
// and what a marked band or a click asks to hear.
#include "ToneMeasure.h"

#include "demod/DemodulateRecording.h"
#include "demod/ListenStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace demodtest;

namespace {

constexpr int32_t kRate = 96000;

// Three seconds of I/Q: an AM carrier at -20 kHz with a 1 kHz tone, only from 1 s on.
SignalStore CarrierFromOneSecond() {
    SignalStore store;
    store.Samples.assign(size_t{2} * 3 * kRate, 0);
    for (size_t k = kRate; k < 3 * kRate; ++k) {
        const double t = static_cast<double>(k) / kRate;
        const double envelope = 8000 * (1 + 0.5 * std::cos(2 * std::numbers::pi * 1000 * t));
        store.Samples[2 * k] =
            static_cast<int16_t>(std::lround(envelope * std::cos(-2 * std::numbers::pi * 20000 * t)));
        store.Samples[2 * k + 1] =
            static_cast<int16_t>(std::lround(envelope * std::sin(-2 * std::numbers::pi * 20000 * t)));
    }
    store.ValueCount = static_cast<int32_t>(store.Samples.size());
    store.ChannelCount = 2;
    store.SampleRate = kRate;
    store.FileName = "carrier.wav";
    return store;
}

// Everything the stream gives in device buffers of 3072 samples, with the cursor after each.
struct Heard {
    std::vector<int16_t> Audio;
    std::vector<PlayCursorPlace> Cursor;
};

Heard PullAll(PlaySource& source) {
    Heard heard;
    std::vector<int16_t> buffer(3072);
    for (size_t got = buffer.size(); got == buffer.size();) {
        got = source.Fill(buffer);
        heard.Audio.insert(heard.Audio.end(), buffer.begin(), buffer.begin() + std::ptrdiff_t(got));
        heard.Cursor.push_back(source.Cursor());
    }
    return heard;
}

} // namespace

// The marker from 1.5 s to 2.5 s over the carrier: half a second of the tone, heard from the first
// buffer on (the stream settles before the marker), the cursor going from 1.5 s to 2.5 s of the 3 s, and
// a rewind giving the same audio again.
TEST(ListenStream, PlaysTheMarkedStretchInTimeAndAgainAfterARewind) {
    const SignalStore store = CarrierFromOneSecond();
    auto made = MakeListenStream(store, ListenRequestFor(DemodMode::AM, -25000, -15000, 0, 1.5, 2.0));
    ASSERT_TRUE(made) << made.Refusal();
    ListenStream& stream = **made;

    const Heard first = PullAll(stream);
    ASSERT_EQ(first.Audio.size(), size_t{kDemodAudioRate / 2});
    const std::span<const int16_t> audio(first.Audio);
    EXPECT_NEAR(RisingZeroCrossings(audio), 500, 1);
    EXPECT_GT(ToneSnrDb(audio.first(4800), 1000, kDemodAudioRate), 30);
    EXPECT_NEAR(first.Cursor.front().Position, 1.5 * kRate + 3072 * 2, 1);
    EXPECT_EQ(first.Cursor.back().Position, 2 * kRate);
    EXPECT_EQ(first.Cursor.back().Length, 3 * kRate);

    stream.Rewind();
    EXPECT_EQ(PullAll(stream).Audio, first.Audio);
}

TEST(ListenStream, RefusesWhatTheDemodulatorRefuses) {
    const SignalStore store = CarrierFromOneSecond();
    auto late =
        MakeListenStream(store, ListenRequestFor(DemodMode::FM, 1000, 1000, 12500, 3.5, std::nullopt));
    ASSERT_FALSE(late);
    EXPECT_NE(late.Refusal().find("not before the end"), std::string::npos) << late.Refusal();
}

struct MarkedCase {
    DemodMode Mode;
    double Low, High; // as marked
    double Frequency, Bandwidth;
};

class ListenRequests : public testing::TestWithParam<MarkedCase> {};

// A band: its centre, or the carrier at the edge the sideband starts from, and its width; a click: the
// frequency and the panel's bandwidth.
TEST_P(ListenRequests, TakeTheMarkedBand) {
    const MarkedCase c = GetParam();
    const DemodRequest request = ListenRequestFor(c.Mode, c.Low, c.High, 2400, 0.5, 1.5);
    EXPECT_EQ(request.Mode, c.Mode);
    EXPECT_EQ(request.Frequency, c.Frequency);
    EXPECT_EQ(request.Bandwidth, c.Bandwidth);
    EXPECT_EQ(request.From, 0.5);
    EXPECT_EQ(request.To, 1.5);
}

INSTANTIATE_TEST_SUITE_P(Marks, ListenRequests,
                         testing::Values(MarkedCase{DemodMode::AM, -12000, -8000, -10000, 4000},
                                         MarkedCase{DemodMode::WFM, 100000, -100000, 0, 200000},
                                         MarkedCase{DemodMode::USB, 7000, 9800, 7000, 2800},
                                         MarkedCase{DemodMode::LSB, 7000, 9800, 9800, 2800},
                                         MarkedCase{DemodMode::CW, 7000, 7000, 7000, 2400}),
                         [](const testing::TestParamInfo<MarkedCase>& info) {
                             return std::string(DemodModeName(info.param.Mode));
                         });
