// Ctrl+C during a job of orvane-cli. SIGINT sets the job's stop flag, as "Stop Calculate" does in the
// window, so the job ends at its next poll; it is also remembered, so that the command writes no output
// and exits with kInterruptedExitCode.
#pragma once

#include "signal/JobControl.h"

#include <string>

inline constexpr int kInterruptedExitCode = 130; // 128 + SIGINT, as shells report it

class InterruptGuard {
public:
    // Catches SIGINT for `job` until the guard ends; the previous handling then comes back.
    explicit InterruptGuard(JobControl& job);
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // Whether SIGINT arrived while a guard was active.
    static bool Interrupted();
    // True, after telling on standard error that `output` was not written, when SIGINT arrived.
    bool NothingWritten(const std::string& output) const;
};
