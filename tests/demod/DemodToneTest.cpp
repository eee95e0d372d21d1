// Each mode hears its own signal: a synthetic recording holds the signal a mode is made for at a
// frequency away from 0 Hz, with a second signal beside it (its mirror at -f, the other sideband, a
// neighbouring carrier) that must not be heard. The recovered tone must have its exact frequency (the
// zero crossings of one second, +-1 Hz) and stand 30 dB above everything else in the audio, and the
// neighbour's tone must be 30 dB below it.
#include "ToneMeasure.h"

#include "demod/DemodulateRecording.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <functional>
#include <numbers>

using namespace demodtest;

namespace {

using Baseband = std::function<std::complex<double>(double t)>;

constexpr double kPi = std::numbers::pi;
constexpr double kAmplitude = 0.25; // of each signal, of full scale
constexpr double kSeconds = 2.0;
constexpr double kFloorDb = 30;

std::complex<double> Carrier(double hz, double t) {
    return std::polar(1.0, 2 * kPi * hz * t);
}

// AM with 50 % depth.
Baseband Am(double carrier, double tone) {
    return [=](double t) { return (1 + 0.5 * std::cos(2 * kPi * tone * t)) * Carrier(carrier, t); };
}

// FM: the phase of a tone with peak deviation `deviation`.
Baseband Fm(double carrier, double deviation, double tone) {
    return [=](double t) {
        return std::polar(1.0, 2 * kPi * carrier * t + deviation / tone * std::sin(2 * kPi * tone * t));
    };
}

Baseband Sum(Baseband a, Baseband b) {
    return [=](double t) { return a(t) + b(t); };
}

Baseband Tone(double hz) {
    return [=](double t) { return Carrier(hz, t); };
}

// A recording of `baseband`: I/Q, or its real part on one channel.
SignalStore Recording(int32_t rate, bool iq, const Baseband& baseband) {
    SignalStore store;
    const auto frames = static_cast<size_t>(kSeconds * rate);
    store.Samples.resize(frames * (iq ? 2 : 1));
    for (size_t k = 0; k < frames; ++k) {
        const std::complex<double> x = kAmplitude * 32767 * baseband(static_cast<double>(k) / rate);
        if (iq) {
            store.Samples[2 * k] = static_cast<int16_t>(std::lround(x.real()));
            store.Samples[2 * k + 1] = static_cast<int16_t>(std::lround(x.imag()));
        } else {
            store.Samples[k] = static_cast<int16_t>(std::lround(x.real()));
        }
    }
    store.ValueCount = static_cast<int32_t>(store.Samples.size());
    store.ChannelCount = iq ? 2 : 1;
    store.SampleRate = rate;
    store.FileName = "synthetic.wav";
    return store;
}

struct ToneCase {
    const char* Name;
    DemodMode Mode;
    int32_t Rate;
    bool IQ;
    double Frequency; // asked for
    Baseband Signal;  // the wanted signal and its neighbour
    double Heard;     // the audio tone of the wanted signal
    double Neighbour; // the audio tone the neighbour would give if it got through
};

void PrintTo(const ToneCase& c, std::ostream* out) {
    *out << c.Name;
}

class DemodTones : public ::testing::TestWithParam<ToneCase> {};

} // namespace

TEST_P(DemodTones, HearTheirSignalAloneAtItsFrequency) {
    const ToneCase& c = GetParam();
    const SignalStore store = Recording(c.Rate, c.IQ, c.Signal);
    DemodRequest request;
    request.Mode = c.Mode;
    request.Frequency = c.Frequency;
    JobControl job;
    const CheckedInput<DemodAudio> audio = DemodulateRecording(store, request, job);
    ASSERT_TRUE(audio) << audio.Refusal();
    ASSERT_EQ(audio->Samples.size(), static_cast<size_t>(kSeconds * kDemodAudioRate));
    EXPECT_EQ(job.Progress.load(), 100);

    // The second second: the filters and the level control have settled.
    const std::span<const int16_t> second(audio->Samples.data() + kDemodAudioRate, kDemodAudioRate);
    EXPECT_NEAR(RisingZeroCrossings(second), c.Heard, 1);
    EXPECT_GT(ToneSnrDb(second, c.Heard, kDemodAudioRate), kFloorDb);
    EXPECT_LT(Decibels(TonePower(second, c.Neighbour, kDemodAudioRate) /
                       TonePower(second, c.Heard, kDemodAudioRate)),
              -kFloorDb);
}

INSTANTIATE_TEST_SUITE_P(
    , DemodTones,
    ::testing::Values(ToneCase{"AmBesideItsMirror", DemodMode::AM, 192000, true, 30000,
                               Sum(Am(30000, 1000), Am(-30000, 400)), 1000, 400},
                      ToneCase{"FmBelowZeroBesideItsMirror", DemodMode::FM, 192000, true, -25000,
                               Sum(Fm(-25000, 2500, 1000), Fm(25000, 2500, 400)), 1000, 400},
                      ToneCase{"WfmBesideItsMirror", DemodMode::WFM, 960000, true, 200000,
                               Sum(Fm(200000, 75000, 1000), Fm(-200000, 75000, 400)), 1000, 400},
                      ToneCase{"UsbWithAToneOnTheOtherSide", DemodMode::USB, 192000, true, 40000,
                               Sum(Tone(40000 + 1000), Tone(40000 - 1700)), 1000, 1700},
                      ToneCase{"LsbWithAToneOnTheOtherSide", DemodMode::LSB, 192000, true, -40000,
                               Sum(Tone(-40000 - 1000), Tone(-40000 + 1700)), 1000, 1700},
                      ToneCase{"CwBesideACarrierOutsideItsBand", DemodMode::CW, 192000, true, -12000,
                               Sum(Tone(-12000), Tone(-12000 + 1500)), 700, 2200},
                      ToneCase{"AmOnOneRealChannel", DemodMode::AM, 192000, false, 20000,
                               Sum(Am(20000, 1000), Am(45000, 400)), 1000, 400},
                      ToneCase{"UsbOnOneRealChannel", DemodMode::USB, 48000, false, 10000,
                               Sum(Tone(10000 + 1000), Tone(10000 - 1700)), 1000, 1700}),
    [](const auto& info) { return std::string(info.param.Name); });
