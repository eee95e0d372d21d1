// The one recording the program works on: signed 16-bit values, interleaved by channel, and what
// describes them. The reader replaces it whole; the edits rewrite the values in place.
#pragma once

#include "signal/LargeMemory.h"

#include <cstdint>
#include <string>
#include <vector>

using SampleArray = std::vector<int16_t, DefaultInitAllocator<int16_t>>;

// The most values a store holds: as many as a 16-bit WAV file can carry (its RIFF size, 40 + twice the
// value count, must fit in 32 bits), which also keeps ValueCount and every byte count of the values
// within their types.
constexpr int64_t kMaxValueCount = (int64_t{0xFFFFFFFF} - 40) / 2;

struct SignalStore {
    SampleArray Samples;         // the values, in file order
    int32_t ValueCount = 0;      // values in Samples, all channels together
    uint16_t ChannelCount = 1;   // 2: two interleaved channels (L/I even, R/Q odd); anything else: one
    int32_t SampleRate = 48000;  // frames per second, Hz
    uint16_t BitsPerSample = 16; // from the last header read; shown in the status text only
    std::string FileName;        // path of the file last asked for; empty: nothing loaded
    uint64_t Revision = 0;       // names the state of the values and layout: a new number after each
                                 // read and edit (the recording session's), the old one back on undo

    bool Loaded() const { return !FileName.empty(); }
    bool TwoChannels() const { return ChannelCount == 2; }
};
