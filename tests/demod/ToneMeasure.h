// Measurements of a recovered audio tone: its frequency by counting zero crossings over a stretch, and
// the power of a tone of a given frequency by projecting the audio on it, against everything else.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <span>

namespace demodtest {

// Upward zero crossings: over one second of audio, the tone's frequency to +-1 Hz.
inline int RisingZeroCrossings(std::span<const int16_t> audio) {
    int crossings = 0;
    for (size_t k = 1; k < audio.size(); ++k) crossings += audio[k - 1] < 0 && audio[k] >= 0;
    return crossings;
}

// The mean power of the part of `audio` at `hz` (sampled at `rate`), by projection on its cosine and
// sine; exact for a whole number of its periods.
inline double TonePower(std::span<const int16_t> audio, double hz, double rate) {
    double c = 0, s = 0;
    for (size_t k = 0; k < audio.size(); ++k) {
        const double phase = 2 * std::numbers::pi * hz * static_cast<double>(k) / rate;
        c += audio[k] * std::cos(phase);
        s += audio[k] * std::sin(phase);
    }
    const double n = static_cast<double>(audio.size());
    return 2 * (c * c + s * s) / (n * n);
}

// The mean power of `audio` without its mean.
inline double AcPower(std::span<const int16_t> audio) {
    double sum = 0, squares = 0;
    for (const int16_t x : audio) {
        sum += x;
        squares += double(x) * x;
    }
    const double n = static_cast<double>(audio.size());
    return squares / n - (sum / n) * (sum / n);
}

inline double Decibels(double ratio) {
    return 10 * std::log10(ratio);
}

// The tone at `hz` against the rest of the audio (noise, distortion, other tones), in dB.
inline double ToneSnrDb(std::span<const int16_t> audio, double hz, double rate) {
    const double tone = TonePower(audio, hz, rate);
    return Decibels(tone / std::max(AcPower(audio) - tone, 1e-9));
}

} // namespace demodtest
