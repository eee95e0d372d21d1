// What must hold after ReadWavFile read any file of acceptable size, however damaged: the store was
// replaced, holds no more values than the file's samples can fill (one value per sample of the width
// the header gives, 1 to 4 bytes), agrees with its own ValueCount, and the status text starts with the
// number of bytes really read, which are whole samples. Shared by the fuzz target and the
// regression test that replays its findings.
#pragma once

#include "signal/WavReader.h"

#include <cstddef>
#include <string>

// Empty when every rule holds; otherwise which one failed.
inline std::string WavReadViolation(const SignalStore& store, const WavReadResult& result, size_t fileSize) {
    if (!result.StoreReplaced) return "a file of acceptable size did not replace the store: " + result.Status;
    if (result.SampleBytes < 1 || result.SampleBytes > 4)
        return "sample width of " + std::to_string(result.SampleBytes) + " bytes";
    const size_t sampleBytesHeld = store.Samples.capacity() * static_cast<size_t>(result.SampleBytes);
    if (sampleBytesHeld > fileSize)
        return "store of " + std::to_string(store.Samples.capacity()) +
               " values needs more than the file's bytes";
    if (store.ValueCount < 0 || static_cast<size_t>(store.ValueCount) != store.Samples.size())
        return "ValueCount " + std::to_string(store.ValueCount) + " disagrees with the values held";
    if (result.BytesRead < 0 || result.BytesRead > static_cast<int64_t>(fileSize))
        return "more bytes read than the file holds: " + std::to_string(result.BytesRead);
    if (result.BytesRead % result.SampleBytes != 0 ||
        result.BytesRead / result.SampleBytes > int64_t{store.ValueCount})
        return "bytes read are not whole samples of the values held: " + std::to_string(result.BytesRead);
    if (result.Status.rfind(" Bytes : " + std::to_string(result.BytesRead), 0) != 0)
        return "status text does not start with the byte count: " + result.Status;
    if (result.Fallback && (store.ChannelCount != 1 || store.SampleRate != 8000))
        return "raw fallback without one channel at 8000 Hz";
    return {};
}
