#include "cli/ProgressReporter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(200);
constexpr int kBarWidth = 40;

void WriteToStandardError(const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(STDERR_FILENO, text.data() + done, text.size() - done);
        if (n <= 0) return; // a closed terminal: nothing more to show
        done += static_cast<size_t>(n);
    }
}

} // namespace

bool ProgressWanted(bool quiet) {
    return !quiet && ::isatty(STDERR_FILENO) == 1;
}

std::string ProgressLine(int percent) {
    percent = std::clamp(percent, 0, 100);
    const int filled = percent * kBarWidth / 100;
    char number[8];
    std::snprintf(number, sizeof number, "%3d%%", percent);
    return "\r[" + std::string(size_t(filled), '#') + std::string(size_t(kBarWidth - filled), '.') + "] " +
           number;
}

ProgressReporter::ProgressReporter(const JobControl& job, bool shown) : job_(job) {
    if (shown) thread_ = std::thread([this] { Poll(); });
}

ProgressReporter::~ProgressReporter() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    wake_.notify_all();
    thread_.join();
    if (drawn_ < 0) return;
    Draw(job_.Progress.load(std::memory_order_relaxed));
    WriteToStandardError("\n");
}

void ProgressReporter::Poll() {
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, kPollInterval, [this] { return ending_; }))
        Draw(job_.Progress.load(std::memory_order_relaxed));
}

void ProgressReporter::Draw(int percent) {
    if (percent == drawn_) return;
    drawn_ = percent;
    WriteToStandardError(ProgressLine(percent));
}
