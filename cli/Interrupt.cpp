#include "cli/Interrupt.h"

#include "signal/ReplacingFile.h"

#include <array>
#include <atomic>
#include <csignal>
#include <cstdio>

namespace {

// Only lock-free atomics may be touched from a signal handler.
static_assert(std::atomic<bool>::is_always_lock_free);
static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<std::atomic<bool>*>::is_always_lock_free);

constexpr std::array kStopSignals = {SIGINT, SIGTERM, SIGHUP};

std::atomic<bool> gInterrupted{false};
std::atomic<int> gSignal{0}; // the first signal that arrived
std::atomic<std::atomic<bool>*> gStopFlag{nullptr};
std::array<struct sigaction, kStopSignals.size()> gPreviousActions{};

extern "C" void OnStopSignal(int signal) {
    int none = 0;
    gSignal.compare_exchange_strong(none, signal);
    gInterrupted.store(true);
    if (std::atomic<bool>* stop = gStopFlag.load()) stop->store(true);
}

const char* SignalName(int signal) {
    switch (signal) {
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
    case SIGHUP:
        return "SIGHUP";
    }
    return "a signal";
}

} // namespace

InterruptGuard::InterruptGuard(JobControl& job) {
    gStopFlag.store(&job.StopRequested);
    ReplacingFile::GiveUpWhen(&gInterrupted);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : kStopSignals) sigaddset(&action.sa_mask, signal);
    action.sa_flags = SA_RESTART; // reads and writes in progress go on; the job sees the flag
    for (size_t i = 0; i < kStopSignals.size(); ++i)
        sigaction(kStopSignals[i], &action, &gPreviousActions[i]);
}

InterruptGuard::~InterruptGuard() {
    for (size_t i = 0; i < kStopSignals.size(); ++i)
        sigaction(kStopSignals[i], &gPreviousActions[i], nullptr);
    ReplacingFile::GiveUpWhen(nullptr);
    gStopFlag.store(nullptr);
}

bool InterruptGuard::Interrupted() {
    return gInterrupted.load();
}

int InterruptGuard::ExitCode() {
    const int signal = gSignal.load();
    return signal == 0 ? 0 : 128 + signal;
}

bool InterruptGuard::NothingWritten(const std::string& output) const {
    if (!Interrupted()) return false;
    std::fprintf(stderr, "orvane-cli: %s: not written: stopped by %s\n", output.c_str(),
                 SignalName(gSignal.load()));
    return true;
}
