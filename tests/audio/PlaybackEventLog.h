// Records what playback tells its owner, from whichever thread it comes.
#pragma once

#include "audio/PlaybackEvents.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

class PlaybackEventLog final : public PlaybackEvents {
public:
    void PlaybackStatus(const std::string& text) override { Add("status:" + text); }
    void PlayButtonsUp() override { Add("buttons up"); }
    void PlayCursorShown(bool shown) override { Add(shown ? "cursor shown" : "cursor hidden"); }
    void PlayCursorMoved(int32_t position, int32_t copySize) override {
        std::lock_guard lock(mutex_);
        moves_.emplace_back(position, copySize);
    }

    std::vector<std::string> Entries() const {
        std::lock_guard lock(mutex_);
        return entries_;
    }
    std::vector<std::pair<int32_t, int32_t>> Moves() const {
        std::lock_guard lock(mutex_);
        return moves_;
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        entries_.clear();
        moves_.clear();
    }
    // Waits until `entry` has been recorded `times` times; false on time-out.
    bool WaitFor(const std::string& entry, int times = 1,
                 std::chrono::milliseconds timeout = std::chrono::seconds(10)) const {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] {
            int seen = 0;
            for (const std::string& e : entries_) seen += e == entry;
            return seen >= times;
        });
    }

private:
    void Add(std::string entry) {
        std::lock_guard lock(mutex_);
        entries_.push_back(std::move(entry));
        changed_.notify_all();
    }

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::string> entries_;
    std::vector<std::pair<int32_t, int32_t>> moves_;
};
