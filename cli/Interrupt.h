// Signals that stop a job of orvane-cli: SIGINT (Ctrl+C), SIGTERM (kill, timeout, service managers) and
// SIGHUP (the terminal closed). Each sets the job's stop flag, as "Stop Calculate" does in the window,
// so that the job ends at its next poll. The first one is remembered: the command then writes no
// output and exits with 128 + its number. A save already under way gives up (ReplacingFile::GiveUpWhen):
// its temporary file is removed and the target stays as it was; only a file written in place, whose
// old contents are being overwritten, is written to its end.
#pragma once

#include "signal/JobControl.h"

#include <string>

class InterruptGuard {
public:
    // Catches the three signals for `job` until the guard ends; the previous handling then comes back.
    explicit InterruptGuard(JobControl& job);
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // Whether one of the signals arrived while a guard was active.
    static bool Interrupted();
    // 128 + the number of the first signal that arrived; 0 when none did.
    static int ExitCode();
    // True, after telling on standard error that `output` was not written and why, when a signal
    // arrived.
    bool NothingWritten(const std::string& output) const;
};
