// The playback module on the recording test device, with the log of what it reports: stores to play
// and the steps the playback tests take.
#pragma once

#include "PlaybackEventLog.h"

#include "audio/Playback.h"
#include "support/TestWaveOutDevice.h"

#include <chrono>
#include <memory>
#include <thread>

namespace playbacktest {

using Pace = TestWaveOutDevice::Pace;
using namespace std::chrono_literals;

// A store of `count` values v(i).
template <class Value> SignalStore MakeStore(int32_t count, uint16_t channels, int32_t rate, Value v) {
    SignalStore store;
    store.Samples.resize(size_t(count));
    for (int32_t i = 0; i < count; ++i) store.Samples[size_t(i)] = int16_t(v(i));
    store.ValueCount = count;
    store.ChannelCount = channels;
    store.SampleRate = rate;
    store.FileName = "memory.wav";
    return store;
}

inline SignalStore Ramp(int32_t count, uint16_t channels = 1, int32_t rate = 8000) {
    return MakeStore(count, channels, rate, [](int32_t i) { return (i % 20000) + 1000; });
}

// The player, its test device and the log of what it reported. The log outlives the player.
struct Rig {
    explicit Rig(TestWaveOutDevice::Options options = {}) {
        auto owned = std::make_unique<TestWaveOutDevice>(options);
        device = owned.get();
        player = std::make_unique<Playback>(std::move(owned));
        player->SetEvents(&log);
    }
    ~Rig() {
        if (!player) return;
        device->AllowWrites(1000000);
        player.reset();
    }

    void Play(const SignalStore& store, bool loop) {
        player->RefreshCopy(store);
        player->SetLoop(loop);
        player->StartPlayback(store.ChannelCount, store.SampleRate);
    }
    bool WaitIdle(std::chrono::milliseconds timeout = 10s) const {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (!player->PlaybackIdle()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }
    // On a gated device: lets `buffers` buffers through after the first, stops without fade-out and
    // waits for the thread to end. False when the device or the thread did not get that far.
    bool PlayBuffersThenStop(size_t buffers) {
        if (!device->WaitForWrites(1, 5s)) return false;
        device->AllowWrites(buffers);
        if (!device->WaitForWrites(buffers + 1, 5s)) return false;
        player->StopPlayback(false);
        device->AllowWrites(1000);
        return WaitIdle();
    }
    // Every value the device was given, in order.
    std::vector<int16_t> Heard() const {
        std::vector<int16_t> all;
        for (const auto& b : device->Buffers()) all.insert(all.end(), b.begin(), b.end());
        return all;
    }

    PlaybackEventLog log;
    TestWaveOutDevice* device = nullptr;
    std::unique_ptr<Playback> player;
};

inline TestWaveOutDevice::Options Gated() {
    TestWaveOutDevice::Options o;
    o.WritePace = Pace::Gated;
    return o;
}

} // namespace playbacktest
