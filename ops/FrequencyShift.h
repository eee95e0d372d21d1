// The "Sin" and "Cos" commands: multiply every value by a sine or cosine oscillator of frequency f,
// moving each spectral component up and down by f (both products remain), then restore the input's
// peak level. Time runs in steps of 1/SampleRate per frame: with two channels, both values of a frame
// are multiplied by the same oscillator entry, so each channel is shifted by f, as one channel is.
#pragma once

#include "ops/CheckedInput.h"

#include "ops/StorePoll.h"
#include "signal/JobControl.h"
#include "signal/SignalStore.h"

#include <array>
#include <optional>
#include <string_view>

// Status panel 3 while a shift runs (its progress bar background is white, 0x00FFFFFF).
inline constexpr const char* kSinShiftStatusText = " Sin Shift...";
inline constexpr const char* kCosShiftStatusText = " Cos Shift...";

// One generator: its angular frequency, its time offset and its table of 1025 entries. Only entries
// 0 .. 1023 are used; entry 1024 is the first entry of the next block, so blocks join without a
// phase jump.
struct ShiftOscillator {
    double Omega = 0;      // 2 pi f, rad/s
    double TimeOffset = 0; // seconds: time of entry 0 of the next block
    std::array<double, 1025> Block{};
};

// Fills the block with A sin(Omega t_i) (or A cos), t_i = i / rate + TimeOffset, and advances the
// offset to t_1024. rate must be at least 1.
void GenerateSinBlock(ShiftOscillator& oscillator, int32_t rate, double amplitude);
void GenerateCosBlock(ShiftOscillator& oscillator, int32_t rate, double amplitude);

// The generator frequency typed into the shift field: the absolute value of the text as a
// floating-point number. Throws EConvertError for a text that is not a number. Refuses it (with
// the reason) when it is above the sample rate, and any frequency while the store's rate is below 1.
CheckedInput<double> ShiftFrequencyFromText(const SignalStore& store, std::string_view text);

// The shifts. The sine shift first scales the store by 0.9; the cosine shift does not. A stop (polled
// at least every 163840 values, at multiples of 10) leaves the values after the poll position as they
// were before the oscillator; the level restore still runs. Nothing happens on a store whose rate is
// below 1. The oscillator of every block of 1024 values is computed from that block's time offset, so
// stretches of the store are shared among the cores; the arrays it needs are taken before it changes
// a value.
void SinShift(SignalStore& store, double frequency, JobControl& job);
void CosShift(SignalStore& store, double frequency, JobControl& job);

// Either shift with its poll and walk given (options.PollEvery: a multiple of 10).
enum class ShiftWave { Sine, Cosine };
void ShiftStore(SignalStore& store, double frequency, ShiftWave wave, StorePoll& poll, WalkOptions options);
