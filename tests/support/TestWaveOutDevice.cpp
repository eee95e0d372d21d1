#include "support/TestWaveOutDevice.h"

#include <algorithm>
#include <thread>

namespace {
constexpr auto kLongestGatedWait = std::chrono::seconds(5);
}

std::optional<std::string> TestWaveOutDevice::ProductName() {
    if (!options_.Present) return std::nullopt;
    return options_.Name;
}

bool TestWaveOutDevice::SupportsFormat(const WaveFormat& format) {
    std::lock_guard lock(mutex_);
    format_ = format;
    return options_.SupportsFormat;
}

bool TestWaveOutDevice::Open(const WaveFormat& format) {
    std::lock_guard lock(mutex_);
    format_ = format;
    if (!options_.Opens) return false;
    ++opens_;
    playedUntil_ = Clock::now();
    return true;
}

bool TestWaveOutDevice::Write(std::span<const int16_t> values) {
    std::unique_lock lock(mutex_);
    if (options_.FailingWrite >= 0 && buffers_.size() >= size_t(options_.FailingWrite)) return false;
    // Like a real device it takes whole frames: values past the last whole frame are never heard.
    const size_t channels = std::max<size_t>(format_.Channels, 1);
    values = values.first(values.size() - values.size() % channels);
    buffers_.emplace_back(values.begin(), values.end());
    changed_.notify_all();

    switch (options_.WritePace) {
    case Pace::Instant:
        return true;
    case Pace::Gated:
        changed_.wait_for(lock, kLongestGatedWait, [&] { return writesAllowed_ > 0; });
        if (writesAllowed_ > 0) --writesAllowed_;
        return true;
    case Pace::RealTime: {
        const double frames = double(values.size()) / std::max<int>(format_.Channels, 1);
        const auto duration = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(frames / std::max<double>(format_.SamplesPerSec, 1.0)));
        const Clock::time_point previousEnd = std::max(playedUntil_, Clock::now());
        playedUntil_ = previousEnd + duration;
        lock.unlock();
        std::this_thread::sleep_until(previousEnd);
        return true;
    }
    }
    return true;
}

void TestWaveOutDevice::Reset() {
    std::unique_lock lock(mutex_);
    ++resets_;
    if (options_.WritePace != Pace::RealTime) return;
    const Clock::time_point end = playedUntil_;
    lock.unlock();
    std::this_thread::sleep_until(end);
}

void TestWaveOutDevice::Close() {
    std::lock_guard lock(mutex_);
    ++closes_;
}

std::vector<std::vector<int16_t>> TestWaveOutDevice::Buffers() const {
    std::lock_guard lock(mutex_);
    return buffers_;
}

size_t TestWaveOutDevice::WriteCount() const {
    std::lock_guard lock(mutex_);
    return buffers_.size();
}

int TestWaveOutDevice::OpenCount() const {
    std::lock_guard lock(mutex_);
    return opens_;
}

int TestWaveOutDevice::ResetCount() const {
    std::lock_guard lock(mutex_);
    return resets_;
}

int TestWaveOutDevice::CloseCount() const {
    std::lock_guard lock(mutex_);
    return closes_;
}

WaveFormat TestWaveOutDevice::LastFormat() const {
    std::lock_guard lock(mutex_);
    return format_;
}

bool TestWaveOutDevice::WaitForWrites(size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return buffers_.size() >= count; });
}

void TestWaveOutDevice::AllowWrites(size_t count) {
    std::lock_guard lock(mutex_);
    writesAllowed_ += count;
    changed_.notify_all();
}
