// The PCM format of a playback and the size of the two device buffers that carry it.
#pragma once

#include <cstdint>

// The device's wave format record: 16-bit PCM, interleaved channels.
struct WaveFormat {
    uint16_t FormatTag = 1;      // 1: PCM
    uint16_t Channels = 1;       // interleaved channels per frame
    uint32_t SamplesPerSec = 0;  // frames per second, Hz
    uint32_t AvgBytesPerSec = 0; // BlockAlign * SamplesPerSec
    uint16_t BlockAlign = 2;     // bytes per frame: 2 * Channels
    uint16_t BitsPerSample = 16;
    uint16_t ExtraSize = 0;
};

// Whether the format record can describe `channels` 16-bit channels at `rate` Hz: at least one
// channel and a rate of at least 1, with the block size and the byte rate within the record's fields.
bool FormatExpressible(uint16_t channels, int32_t rate);

// The record for `channels` at `rate`; meaningful only when FormatExpressible holds.
WaveFormat MakeWaveFormat(uint16_t channels, int32_t rate);

// Bytes of one device buffer, about 64 ms of sound: units = channels * rate div 8000, raised to the
// next even number, times 1024, raised to whole frames (2 * channels bytes). One channel at 8000 Hz
// gives 2048, one at 44100 gives 6144, two at 48000 give 12288; three at 44100 give 16386 instead of
// 16384. Rates so low that units would be 0 get the smallest buffer, 2048 bytes (raised to whole
// frames), so that every buffer advances the play position. Requires FormatExpressible(channels, rate).
int32_t PlayBufferBytesFor(uint16_t channels, int32_t rate);
