// The inversions: negating every second value (or frame) mirrors a real spectrum about a quarter of
// the sample rate, and moves an I/Q spectrum by half the rate. A -32768 met on the way becomes
// -32767, so that the negation cannot overflow.
#pragma once

#include "signal/SignalStore.h"

#include <cstdint>
#include <string>

// Why the "Invert" button refuses the store: one channel holding fewer values than currentFFTSize.
// Empty when it accepts it.
std::string InvertSpectrumRefusal(const SignalStore& store, int32_t currentFFTSize);

// One channel: negates the values at even positions. Refuses (returns false, nothing changed) when
// the store holds fewer values than currentFFTSize.
bool InvertSpectrumOneChannel(SignalStore& store, int32_t currentFFTSize);

// Two channels: negates both values of every even-numbered frame (frames 0, 2, 4, ...).
void InvertSpectrumTwoChannels(SignalStore& store);

// "Invert Channel 1 (L)" (channel 0) or "Invert Channel 2 (R)" (channel 1): negates that channel's
// value in every even-numbered frame; the other channel is not touched.
void InvertChannel(SignalStore& store, int channel);

// The "Invert" button: nothing without a recording, the two-channel inversion for two channels, the
// one-channel inversion otherwise.
void InvertSpectrum(SignalStore& store, int32_t currentFFTSize);
