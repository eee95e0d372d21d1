// An output device without sound for tests: it keeps every buffer it is given, as far as it holds whole
// frames of the opened format (what a real device plays), and takes them either
// at once, at the rate a real device would play them, or one by one as the test allows. It can also
// act out the failures of a real device: none present, a format it refuses, an open that fails, a
// write that fails.
#pragma once

#include "audio/WaveOutDevice.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class TestWaveOutDevice final : public WaveOutDevice {
public:
    enum class Pace {
        Instant,  // every write returns at once
        RealTime, // a write returns when the buffer before it has been "played" at the format's rate
        Gated,    // a write returns only when the test allows it (AllowWrites)
    };
    struct Options {
        Pace WritePace = Pace::Instant;
        bool Present = true; // false: there is no device
        std::string Name = "Test Output";
        bool SupportsFormat = true;
        bool Opens = true;
        int FailingWrite = -1; // the index of the first write that fails; -1: none does
    };

    TestWaveOutDevice() : TestWaveOutDevice(Options{}) {}
    explicit TestWaveOutDevice(Options options) : options_(std::move(options)) {}

    std::optional<std::string> ProductName() override;
    bool SupportsFormat(const WaveFormat& format) override;
    bool Open(const WaveFormat& format) override;
    bool Write(std::span<const int16_t> values) override;
    void Reset() override;
    void Close() override;

    // --- For the test, from any thread ---
    std::vector<std::vector<int16_t>> Buffers() const;
    size_t WriteCount() const;
    int OpenCount() const;
    int ResetCount() const;
    int CloseCount() const;
    WaveFormat LastFormat() const;
    // Waits until at least `count` buffers were written; false on time-out.
    bool WaitForWrites(size_t count, std::chrono::milliseconds timeout) const;
    // Gated: lets `count` more writes return. A gated write never waits longer than a few seconds,
    // so a test that forgets to open the gate fails instead of hanging.
    void AllowWrites(size_t count);

private:
    using Clock = std::chrono::steady_clock;

    Options options_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::vector<int16_t>> buffers_;
    size_t writesAllowed_ = 0;
    int opens_ = 0;
    int resets_ = 0;
    int closes_ = 0;
    WaveFormat format_;
    Clock::time_point playedUntil_{};
};
