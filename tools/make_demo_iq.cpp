// Writes the bundled demo recording: 4 seconds of 16-bit I/Q at 48000 Hz holding three tones (two
// above and one below the centre), a chirp sweeping from -20 kHz to +20 kHz, and a little noise.
// Usage: make_demo_iq OUT.wav
#include "signal/WavWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_demo_iq OUT.wav\n", stderr);
        return 2;
    }
    constexpr int kRate = 48000;
    constexpr int kFrames = 4 * kRate;
    constexpr double kTwoPi = 2 * std::numbers::pi;
    const double tones[][2] = {{3000, 0.20}, {-7500, 0.12}, {15000, 0.08}}; // Hz, amplitude

    std::mt19937 random(20261208);
    std::normal_distribution<double> noise(0.0, 0.01);
    std::vector<int16_t> samples(2 * kFrames);
    double chirpPhase = 0;
    for (int n = 0; n < kFrames; ++n) {
        const double t = static_cast<double>(n) / kRate;
        double i = noise(random), q = noise(random);
        for (const auto& [frequency, amplitude] : tones) {
            i += amplitude * std::cos(kTwoPi * frequency * t);
            q += amplitude * std::sin(kTwoPi * frequency * t);
        }
        const double chirpFrequency = -20000 + 40000 * t / 4.0;
        chirpPhase += kTwoPi * chirpFrequency / kRate;
        i += 0.15 * std::cos(chirpPhase);
        q += 0.15 * std::sin(chirpPhase);
        samples[2 * n] = static_cast<int16_t>(std::lround(32767 * std::clamp(i, -1.0, 1.0)));
        samples[2 * n + 1] = static_cast<int16_t>(std::lround(32767 * std::clamp(q, -1.0, 1.0)));
    }
    WavFormatRecord record;
    record.ChannelCount = 2;
    record.SampleRate = kRate;
    record.Data = samples;
    return WriteWavFile(argv[1], record) == kWavWriteOk ? 0 : 1;
}
