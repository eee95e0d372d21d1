// The one recording the program works on: signed 16-bit values, interleaved by channel, and what
// describes them. The reader replaces it whole; the edits rewrite the values in place.
#pragma once

#include "signal/LargeMemory.h"

#include <cstdint>
#include <string>
#include <vector>

using SampleArray = std::vector<int16_t, DefaultInitAllocator<int16_t>>;

struct SignalStore {
    SampleArray Samples;         // the values, in file order
    int32_t ValueCount = 0;      // values in Samples, all channels together
    uint16_t ChannelCount = 1;   // 2: two interleaved channels (L/I even, R/Q odd); anything else: one
    int32_t SampleRate = 48000;  // frames per second, Hz
    uint16_t BitsPerSample = 16; // from the last header read; shown in the status text only
    std::string FileName;        // path of the file last asked for; empty: nothing loaded

    bool Loaded() const { return !FileName.empty(); }
    bool TwoChannels() const { return ChannelCount == 2; }
};
