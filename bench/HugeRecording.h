// The recording of the window benchmarks: a two-channel, 16-bit, 48000 Hz WAV file of exactly
// kHugeFileBytes bytes.
#pragma once

#include "signal/WavWriter.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace bench {

inline constexpr uint64_t kHugeFileBytes = 500000000;

// Writes a two-channel 48000 Hz recording of exactly `bytes` bytes (at most 4 GiB): a 1500 Hz tone
// sweeping up by 10 kHz over the file in channel 1, a 7000 Hz tone in channel 2, both with a little noise.
inline bool WriteHugeRecording(const std::string& path, uint64_t bytes = kHugeFileBytes) {
    const uint64_t dataBytes = bytes - 48;
    const uint64_t frames = dataBytes / 4;
    WavFormatRecord record;
    record.ChannelCount = 2;
    record.SampleRate = 48000;
    uint8_t header[48];
    BuildWavHeader(record, uint32_t(dataBytes), header);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(header), sizeof header);

    std::vector<int16_t> block(2 * 65536);
    uint32_t noise = 12345;
    double phase1 = 0;
    double phase2 = 0;
    const double step2 = 2 * std::numbers::pi * 7000.0 / 48000.0;
    for (uint64_t frame = 0; frame < frames;) {
        size_t n = 0;
        for (; n < block.size() && frame < frames; n += 2, ++frame) {
            const double sweep = 1500.0 + 10000.0 * double(frame) / double(frames);
            phase1 += 2 * std::numbers::pi * sweep / 48000.0;
            phase2 += step2;
            noise = noise * 1664525u + 1013904223u;
            const double hiss = double(int32_t(noise >> 16) - 32768) / 32768.0 * 300.0;
            block[n] = int16_t(std::lround(9000.0 * std::sin(phase1) + hiss));
            block[n + 1] = int16_t(std::lround(6000.0 * std::sin(phase2) - hiss));
        }
        out.write(reinterpret_cast<const char*>(block.data()), std::streamsize(n * 2));
    }
    return bool(out);
}

} // namespace bench
