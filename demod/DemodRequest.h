// What a listener asks to hear: one signal of a recording, its demodulation, its band and the stretch of
// time; and the check of such a request against the recording, which either gives the plan the
// demodulator runs or says why it refuses.
#pragma once

#include "ops/CheckedInput.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class DemodMode { AM, FM, WFM, USB, LSB, CW };

inline constexpr std::array<DemodMode, 6> kDemodModes = {DemodMode::AM,  DemodMode::FM,  DemodMode::WFM,
                                                         DemodMode::USB, DemodMode::LSB, DemodMode::CW};

// The mode's name as lists and messages write it: "AM", "FM", "WFM", "USB", "LSB", "CW".
std::string_view DemodModeName(DemodMode mode);
// The mode named `name` in any letter case ("usb", "Usb"); none for another word.
std::optional<DemodMode> DemodModeNamed(std::string_view name);
// The band a mode takes when none is given: AM 10 kHz, FM 12.5 kHz, WFM 200 kHz, USB and LSB 2.8 kHz,
// CW 500 Hz.
double DefaultBandwidth(DemodMode mode);

struct DemodRequest {
    DemodMode Mode = DemodMode::AM;
    // Where the signal is, in Hz: for two channels (I/Q) a signed baseband frequency, -R/2 ... +R/2; for
    // one channel (a real signal) 0 ... R/2. For USB and LSB it is the suppressed carrier, the passband
    // being f ... f+BW (USB) or f-BW ... f (LSB); for CW the carrier, heard as a 700 Hz tone.
    double Frequency = 0;
    std::optional<double> Bandwidth; // Hz; none: DefaultBandwidth(Mode)
    double From = 0;                 // seconds from the start of the recording
    std::optional<double> To;        // seconds; none, or past the end: the end of the recording
};

// The recording a request is checked against: its layout, not its values.
struct DemodSource {
    int32_t SampleRate = 0; // frames per second
    bool IQ = false;        // two channels: I + jQ; otherwise one real channel
    int64_t Frames = 0;     // frames in the recording
};

// A checked request: everything the demodulator needs, in frames and Hz.
struct DemodPlan {
    DemodMode Mode = DemodMode::AM;
    double Frequency = 0;
    double Bandwidth = 0;
    int32_t SampleRate = 0;
    bool IQ = false;
    int64_t FirstFrame = 0; // the first frame heard
    int64_t EndFrame = 0;   // one past the last frame heard (> FirstFrame)
};

// The audio the demodulator writes: 16-bit mono at this rate.
inline constexpr int32_t kDemodAudioRate = 48000;

// Checks `request` against `source`: refuses, with the reason, a rate below 1 Hz, a number that is not
// finite, a frequency outside the recording's band, a bandwidth of 0 or less or above the sample rate,
// a start before 0 or at or after the end of the recording, and an end at or before the start.
CheckedInput<DemodPlan> PlanDemodulation(const DemodRequest& request, const DemodSource& source);

// The number of audio samples a plan gives: its frames at kDemodAudioRate, rounded.
int64_t DemodAudioLength(const DemodPlan& plan);
