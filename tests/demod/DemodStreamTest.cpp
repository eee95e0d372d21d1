// The demodulator as a stream: blocks of any size give the audio of one block, Reset and Fresh start it
// afresh, and a whole run keeps time with the recording, reports progress and stops when asked.
#include "ToneMeasure.h"

#include "demod/DemodulateRecording.h"
#include "demod/Demodulator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace demodtest;

namespace {

constexpr int32_t kRate = 96000;

// `seconds` of I/Q: silence, then from 1 s an AM carrier at 10 kHz with a 1 kHz tone.
SignalStore CarrierFromOneSecond(size_t seconds = 2) {
    SignalStore store;
    store.Samples.assign(size_t{2} * seconds * kRate, 0);
    for (size_t k = kRate; k < seconds * kRate; ++k) {
        const double t = static_cast<double>(k) / kRate;
        const double envelope = 8000 * (1 + 0.5 * std::cos(2 * std::numbers::pi * 1000 * t));
        store.Samples[2 * k] =
            static_cast<int16_t>(std::lround(envelope * std::cos(2 * std::numbers::pi * 10000 * t)));
        store.Samples[2 * k + 1] =
            static_cast<int16_t>(std::lround(envelope * std::sin(2 * std::numbers::pi * 10000 * t)));
    }
    store.ValueCount = static_cast<int32_t>(store.Samples.size());
    store.ChannelCount = 2;
    store.SampleRate = kRate;
    store.FileName = "carrier.wav";
    return store;
}

DemodPlan AmAt10k(const SignalStore& store) {
    DemodRequest request;
    request.Frequency = 10000;
    return *PlanDemodulation(request, DemodSourceOf(store));
}

int PeakLevel(std::span<const int16_t> audio) {
    int peak = 0;
    for (const int16_t x : audio) peak = std::max(peak, std::abs(int{x}));
    return peak;
}

} // namespace

TEST(DemodStream, BlocksOfAnySizeGiveTheAudioOfOneBlock) {
    const SignalStore store = CarrierFromOneSecond();
    const std::span<const int16_t> values(store.Samples.data(), store.Samples.size());
    Demodulator whole(AmAt10k(store));
    std::vector<int16_t> once;
    whole.Process(values, once);

    Demodulator pieces(AmAt10k(store));
    std::vector<int16_t> inPieces;
    for (size_t first = 0, size = 2; first < values.size(); first += size, size = size * 3 + 2)
        pieces.Process(values.subspan(first, std::min(size, values.size() - first)), inPieces);
    EXPECT_EQ(inPieces, once);

    // A fresh copy of a demodulator that has run starts as a new one, and so does a reset one.
    Demodulator fresh = whole.Fresh();
    std::vector<int16_t> fromCopy;
    fresh.Process(values, fromCopy);
    EXPECT_EQ(fromCopy, once);
    std::vector<int16_t> again;
    whole.Reset();
    whole.Process(values, again);
    EXPECT_EQ(again, once);
}

// The carrier starts at 1 s: the audio of a run from 0.5 s is quiet for its first half second and loud
// right after it, within 2 ms (the filters' lag, 5.6 ms here, is taken off; their symmetric responses
// ring up to 2 ms before the carrier, which the level control makes heard), and the tone is there from
// the start of a run from 1 s.
TEST(DemodRun, KeepsTimeWithTheRecording) {
    const SignalStore store = CarrierFromOneSecond();
    JobControl job;
    DemodRequest request;
    request.Frequency = 10000;
    request.From = 0.5;
    const CheckedInput<DemodAudio> fromHalf = DemodulateRecording(store, request, job);
    ASSERT_TRUE(fromHalf) << fromHalf.Refusal();
    ASSERT_EQ(fromHalf->Samples.size(), size_t{72000});
    const std::span<const int16_t> audio(fromHalf->Samples);
    const size_t start = kDemodAudioRate / 2; // the carrier's start in this audio
    const size_t early = kDemodAudioRate / 500;
    EXPECT_LT(PeakLevel(audio.subspan(0, start - early)), 3000);
    EXPECT_GT(PeakLevel(audio.subspan(start + early, early)), 12000);

    request.From = 1.0;
    request.To = 1.5;
    const CheckedInput<DemodAudio> fromOne = DemodulateRecording(store, request, job);
    ASSERT_TRUE(fromOne) << fromOne.Refusal();
    ASSERT_EQ(fromOne->Samples.size(), size_t{24000});
    EXPECT_GT(PeakLevel(std::span<const int16_t>(fromOne->Samples).subspan(96, 96)), 12000);
}

TEST(DemodRun, StopsWhenAsked) {
    const SignalStore store = CarrierFromOneSecond();
    JobControl job;
    job.RequestStop();
    DemodRequest request;
    const CheckedInput<DemodAudio> stopped = DemodulateRecording(store, request, job);
    ASSERT_TRUE(stopped);
    EXPECT_TRUE(stopped->Stopped);
    EXPECT_TRUE(stopped->Samples.empty());
    EXPECT_EQ(job.Progress.load(), 0);
}

// A run of more than 5 s is demodulated in parts side by side, each from 0.5 s before its start: the
// parts join sample for sample into the audio of one demodulator, and the tone goes on across each
// joint.
TEST(DemodRun, InPartsSoundsAsOneDemodulator) {
    const SignalStore store = CarrierFromOneSecond(12);
    JobControl job;
    DemodRequest request;
    request.Frequency = 10000;
    request.From = 0.25;
    const CheckedInput<DemodAudio> parts = DemodulateRecording(store, request, job);
    ASSERT_TRUE(parts) << parts.Refusal();
    ASSERT_EQ(parts->Samples.size(), size_t{564000});

    Demodulator one(*PlanDemodulation(request, DemodSourceOf(store)));
    std::vector<int16_t> whole;
    const std::span<const int16_t> values(store.Samples);
    one.Process(values.subspan(2 * kRate / 4), whole);
    one.Process(std::vector<int16_t>(2 * kRate / 10, 0), whole);
    const auto lag = static_cast<size_t>(std::llround(one.DelaySeconds() * kDemodAudioRate));
    // From 1.25 s, when the carrier has been on for half a second, through the joints at 5.25 s and 10.25 s.
    for (size_t k = 60000; k < parts->Samples.size(); ++k)
        ASSERT_NEAR(parts->Samples[k], whole[k + lag], 100) << "at " << k;
    for (const size_t joint : {240000, 480000}) {
        const std::span<const int16_t> around(parts->Samples.data() + joint - kDemodAudioRate / 2,
                                              kDemodAudioRate);
        EXPECT_NEAR(RisingZeroCrossings(around), 1000, 1);
        EXPECT_GT(ToneSnrDb(around, 1000, kDemodAudioRate), 30);
    }
}
