// What a long job shares with the thread that started it: the stop flag it polls and the progress
// it reports. Both are atomics; the window's timer copies Progress into the progress bar.
#pragma once

#include <atomic>
#include <functional>

struct JobControl {
    std::atomic<bool> StopRequested{false};
    std::atomic<int> Progress{0}; // percent, 0 to 100
    // Told of each progress report on the reporting thread, when set: lets a test act at a known point
    // of a running job. Set only while no job runs.
    std::function<void(int)> ProgressObserver;

    bool Stopping() const { return StopRequested.load(std::memory_order_acquire); }
    void RequestStop() { StopRequested.store(true, std::memory_order_release); }
    void ClearStop() { StopRequested.store(false, std::memory_order_release); }
    void SetProgress(int percent) {
        Progress.store(percent, std::memory_order_relaxed);
        if (ProgressObserver) ProgressObserver(percent);
    }
};
