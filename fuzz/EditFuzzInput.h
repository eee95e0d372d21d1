// What the differential fuzz targets of the edits make of their bytes: the first eight choose the
// store's rate and channel count, a frequency, the poll spacing, where a stop falls and the threads;
// the rest are the values (16-bit, little-endian). The edit then runs on two copies of the store, the
// program's way and the straightforward way (tests/support/ReferenceOps.h), and every value must agree.
#pragma once

#include "ops/StorePoll.h"
#include "signal/SignalStore.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

struct FuzzedEdit {
    SignalStore Store;
    double Fraction = 0;   // of the rate, 0 ... 1: a cut-off or generator frequency
    int64_t PollEvery = 0; // 1 ... 64 (frames) or 10 ... 640 (values, multiples of 10)
    int StopPoll = -1;     // the index of the poll that stops the walk, -1: none
    unsigned Threads = 1;
};

inline FuzzedEdit DecodeEdit(const uint8_t* data, size_t size) {
    FuzzedEdit edit;
    std::array<uint8_t, 8> head{};
    const size_t used = size < head.size() ? size : head.size();
    for (size_t i = 0; i < used; ++i) head[i] = data[i];
    static constexpr int32_t kRates[] = {0, 1, 3, 8000, 11025, 44100, 48000, 192000};
    const int32_t low = head[1] | head[2] << 8;
    const int32_t anyRate = (head[3] & 0x80) != 0 ? std::numeric_limits<int32_t>::max() - low
                                                  : 1 + (low | (head[3] & 0x7f) << 16);
    edit.Store.SampleRate = (head[0] & 8) != 0 ? anyRate : kRates[head[0] & 7];
    edit.Store.ChannelCount = (head[0] & 16) != 0 ? 2 : 1;
    edit.Fraction = (head[4] | head[5] << 8) / 65535.0;
    edit.PollEvery = 1 + head[6] % 64;
    edit.StopPoll = head[7] < 128 ? -1 : head[7] - 128;
    edit.Threads = 1 + (head[0] >> 5) % 3;
    for (size_t i = used; i + 1 < size; i += 2)
        edit.Store.Samples.push_back(static_cast<int16_t>(static_cast<uint16_t>(data[i] | data[i + 1] << 8)));
    edit.Store.ValueCount = static_cast<int32_t>(edit.Store.Samples.size());
    edit.Store.FileName = "fuzz.wav";
    return edit;
}

// The position of the value walk's poll number `index` (0, every, 2 every, ..., the last multiple of
// 10): where a stop falls; none past the last poll.
inline int64_t ValueStopPosition(const FuzzedEdit& edit, int64_t every) {
    const auto count = static_cast<int64_t>(edit.Store.Samples.size());
    if (edit.StopPoll < 0 || count == 0) return std::numeric_limits<int64_t>::max();
    int64_t position = 0;
    for (int i = 0; i < edit.StopPoll && position < count; ++i)
        position = NextValuePoll(position + 1, count, every);
    return position < count ? position : std::numeric_limits<int64_t>::max();
}

[[noreturn]] inline void ReportDifference(const char* edit, const SignalStore& fast,
                                          const SignalStore& slow) {
    size_t at = 0;
    while (at < fast.Samples.size() && at < slow.Samples.size() && fast.Samples[at] == slow.Samples[at]) ++at;
    std::fprintf(
        stderr,
        "%s: the program's edit and the reference differ at value %zu of %zu (rate %d, %d channels)\n", edit,
        at, slow.Samples.size(), static_cast<int>(slow.SampleRate), static_cast<int>(slow.ChannelCount));
    std::abort();
}

inline void RequireSame(const char* edit, const SignalStore& fast, const SignalStore& slow) {
    if (fast.Samples != slow.Samples || fast.SampleRate != slow.SampleRate ||
        fast.ChannelCount != slow.ChannelCount)
        ReportDifference(edit, fast, slow);
}
