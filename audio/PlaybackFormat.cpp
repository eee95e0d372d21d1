#include "audio/PlaybackFormat.h"

#include <limits>

bool FormatExpressible(uint16_t channels, int32_t rate) {
    if (channels < 1 || rate < 1) return false;
    const uint64_t blockAlign = 2ull * channels;
    return blockAlign <= std::numeric_limits<uint16_t>::max() &&
           blockAlign * uint64_t(rate) <= std::numeric_limits<uint32_t>::max();
}

WaveFormat MakeWaveFormat(uint16_t channels, int32_t rate) {
    WaveFormat format;
    format.Channels = channels;
    format.SamplesPerSec = uint32_t(rate);
    format.BlockAlign = uint16_t(2 * channels);
    format.AvgBytesPerSec = uint32_t(format.BlockAlign) * format.SamplesPerSec;
    return format;
}

int32_t PlayBufferBytesFor(uint16_t channels, int32_t rate) {
    int64_t units = int64_t(channels) * rate / 8000;
    if (units < 1) units = 1;
    if (units % 2 != 0) ++units;
    // A device takes whole frames: a buffer that ended inside a frame would lose its last values and
    // shift every channel by them. Multiples of 1024 bytes already hold whole frames of 1, 2, 4 ...
    // channels; other counts get the next whole frame.
    const int64_t frameBytes = 2 * int64_t(channels);
    const int64_t frames = (units * 1024 + frameBytes - 1) / frameBytes;
    return int32_t(frames * frameBytes);
}
