// The progress of a running job of orvane-cli on standard error: a bar with the percentage done,
// redrawn a few times a second from the job's JobControl::Progress, the value the window's progress
// bar shows. It draws only when standard error is a terminal and --quiet was not given.
#pragma once

#include "signal/JobControl.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// Whether a progress bar belongs on standard error: a terminal, and no --quiet.
bool ProgressWanted(bool quiet);

// One drawing of the bar for `percent` (clamped to 0 ... 100): a carriage return, the bar, the
// percentage, so that each drawing overwrites the previous one.
std::string ProgressLine(int percent);

class ProgressReporter {
public:
    // Starts a thread that polls `job` while the reporter lives, when `shown`; otherwise does nothing.
    ProgressReporter(const JobControl& job, bool shown);
    // Stops the thread; a bar that was drawn is drawn once more with the last value and its line ended.
    ~ProgressReporter();
    ProgressReporter(const ProgressReporter&) = delete;
    ProgressReporter& operator=(const ProgressReporter&) = delete;

private:
    void Poll();
    void Draw(int percent);

    const JobControl& job_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool ending_ = false;
    int drawn_ = -1; // the percentage on the screen; -1: nothing drawn yet
    std::thread thread_;
};
