// Recordings on disk for the failure tests, written by the program's own WAV writer.
#pragma once

#include "signal/WavWriter.h"

#include <cstdint>
#include <string>
#include <vector>

inline std::string WriteRecording(const std::string& path, const std::vector<int16_t>& values,
                                  uint16_t channels = 2, int32_t rate = 48000) {
    WavFormatRecord record;
    record.ChannelCount = channels;
    record.SampleRate = rate;
    record.Data = values;
    WriteWavFile(path, record);
    return path;
}
