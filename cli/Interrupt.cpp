#include "cli/Interrupt.h"

#include <atomic>
#include <csignal>
#include <cstdio>

namespace {

// Only lock-free atomics may be touched from a signal handler.
static_assert(std::atomic<bool>::is_always_lock_free);
static_assert(std::atomic<std::atomic<bool>*>::is_always_lock_free);

std::atomic<bool> gInterrupted{false};
std::atomic<std::atomic<bool>*> gStopFlag{nullptr};
struct sigaction gPreviousAction {};

extern "C" void OnInterrupt(int) {
    gInterrupted.store(true);
    if (std::atomic<bool>* stop = gStopFlag.load()) stop->store(true);
}

} // namespace

InterruptGuard::InterruptGuard(JobControl& job) {
    gStopFlag.store(&job.StopRequested);
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART; // reads and writes in progress go on; the job sees the flag
    sigaction(SIGINT, &action, &gPreviousAction);
}

InterruptGuard::~InterruptGuard() {
    sigaction(SIGINT, &gPreviousAction, nullptr);
    gStopFlag.store(nullptr);
}

bool InterruptGuard::Interrupted() {
    return gInterrupted.load();
}

bool InterruptGuard::NothingWritten(const std::string& output) const {
    if (!Interrupted()) return false;
    std::fprintf(stderr, "orvane-cli: stopped; %s was not written\n", output.c_str());
    return true;
}
