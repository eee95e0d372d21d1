// What must hold after ReadWavFile read any file of acceptable size, however damaged: the store was
// replaced, holds no more values than the file's samples can fill (one value per sample of the width
// the header gives, 1, 2, 3, 4 or 8 bytes), agrees with its own ValueCount, and the status text starts
// with the number of bytes really read, which are whole samples, and ends in one of its forms. A coding
// that was not decoded is named only by the raw fallback, which then says why. Shared by the fuzz
// target and the regression test that replays its findings.
#pragma once

#include "signal/WavReader.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// Whether `status` is one of the final texts of a read that replaced the store: " Bytes : N" followed
// by " B Bit Data" and one size note or none, or by " (Binary Data)".
inline bool IsFinalStatus(std::string_view status) {
    constexpr std::string_view start = " Bytes : ";
    if (status.substr(0, start.size()) != start) return false;
    status.remove_prefix(start.size());
    const auto digits = [&] {
        std::size_t n = 0;
        while (n < status.size() && status[n] >= '0' && status[n] <= '9') ++n;
        status.remove_prefix(n);
        return n > 0;
    };
    if (!digits()) return false;
    if (status == " (Binary Data)") return true;
    if (status.substr(0, 1) != " " || (status.remove_prefix(1), !digits())) return false;
    constexpr std::string_view bits = " Bit Data";
    if (status.substr(0, bits.size()) != bits) return false;
    status.remove_prefix(bits.size());
    constexpr std::array<std::string_view, 4> notes = {"", " (Incorrect Header)", " (Incorrect Size)",
                                                       " (Probably Damaged)"};
    for (std::string_view note : notes)
        if (status == note) return true;
    return false;
}

// Empty when every rule holds; otherwise which one failed.
inline std::string WavReadViolation(const SignalStore& store, const WavReadResult& result, size_t fileSize) {
    if (!result.StoreReplaced) return "a file of acceptable size did not replace the store: " + result.Status;
    const int width = result.SampleBytes;
    if (width != 1 && width != 2 && width != 3 && width != 4 && width != 8)
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
    if (int64_t{store.ValueCount} > kMaxValueCount) return "more values than a store holds";
    if (!IsFinalStatus(result.Status)) return "status text of no known form: " + result.Status;
    if (result.Fallback != (result.Status.find(" (Binary Data)") != std::string::npos))
        return "status text and fallback disagree: " + result.Status;
    if (!result.UndecodedFormat.empty() && (!result.Fallback || result.FailureReason.empty()))
        return "undecoded coding " + result.UndecodedFormat + " without a raw fallback that says so";
    if (result.UndecodedFormat.empty() && !result.FailureReason.empty())
        return "a reason after a read that replaced the store: " + result.FailureReason;
    return {};
}
