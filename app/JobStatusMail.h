// Status texts that a job's worker thread hands to the window: kept, in order, under a lock until the
// window's thread takes them at the job's next progress tick (and once more when the job ends). A lock
// of our own rather than a queued Qt call, so that the hand-over is visible to ThreadSanitizer too.
#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

class JobStatusMail {
public:
    struct Text {
        int Panel = 0;
        std::string Value;
    };

    // From any thread.
    void Post(int panel, std::string text) {
        const std::lock_guard lock(mutex_);
        texts_.push_back({panel, std::move(text)});
    }

    // The texts posted since the last call, oldest first.
    std::vector<Text> Take() {
        const std::lock_guard lock(mutex_);
        return std::exchange(texts_, {});
    }

private:
    std::mutex mutex_;
    std::vector<Text> texts_;
};
