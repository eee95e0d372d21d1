// The recordings the spectrogram benchmarks render: 60 seconds (or as many as asked) at 48000 Hz of tones, a
// slow chirp and noise, so that every colour of the ramp is used; one channel, or two interleaved channels
// (the second a lower tone with its own chirp).
#pragma once

#include "signal/SignalStore.h"
#include "signal/WavWriter.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <span>
#include <string>

namespace bench {

inline constexpr int32_t kRecordingRate = 48000;
inline constexpr int32_t kRecordingSeconds = 60;

// Frame n of channel c (0 or 1).
inline int16_t RecordingValue(int32_t n, int channel, uint32_t& seed) {
    const double t = static_cast<double>(n) / kRecordingRate;
    const double tone = channel == 0 ? 1000 : 600;
    const double chirp = channel == 0 ? 2000 + 150 * t : 5000 - 50 * t;
    seed = seed * 1664525u + 1013904223u;
    const double noise = static_cast<double>(seed >> 20) - 2048.0;
    const double value = 6000 * std::sin(2 * std::numbers::pi * tone * t) +
                         4000 * std::sin(2 * std::numbers::pi * chirp * t) + noise;
    return static_cast<int16_t>(std::lround(value));
}

// The recording with `channels` (1 or 2) interleaved channels, loaded as the reader would leave it.
inline SignalStore MakeRecording(int channels, int32_t seconds = kRecordingSeconds) {
    SignalStore s;
    const int32_t frames = kRecordingRate * seconds;
    s.ValueCount = frames * channels;
    s.Samples.resize(static_cast<size_t>(s.ValueCount));
    uint32_t seed = 1;
    for (int32_t n = 0; n < frames; ++n)
        for (int c = 0; c < channels; ++c)
            s.Samples[static_cast<size_t>(n * channels + c)] = RecordingValue(n, c, seed);
    s.ChannelCount = static_cast<uint16_t>(channels);
    s.SampleRate = kRecordingRate;
    s.FileName = "bench.wav";
    return s;
}

// Writes the store as a 16-bit WAV file; true on success.
inline bool WriteRecording(const SignalStore& store, const std::string& file) {
    WavFormatRecord record;
    record.ChannelCount = store.ChannelCount;
    record.SampleRate = store.SampleRate;
    record.Data = std::span<const int16_t>(store.Samples.data(), store.Samples.size());
    return WriteWavFile(file, record) == kWavWriteOk;
}

} // namespace bench
