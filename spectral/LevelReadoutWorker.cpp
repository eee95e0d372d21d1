#include "spectral/LevelReadoutWorker.h"

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

// The worker yields the processor to the window's own thread: a level is background work, and on a
// machine with few cores a pointer sweeping over long frames must not make the window stutter.
void LowerThisThreadsPriority() {
#if defined(__linux__)
    constexpr int kBackgroundNice = 10;
    const auto thread = static_cast<id_t>(syscall(SYS_gettid));
    setpriority(PRIO_PROCESS, thread, kBackgroundNice); // best effort: on failure the thread runs as is
#endif
}

} // namespace

LevelReadoutWorker::LevelReadoutWorker(Delivery deliver)
    : deliver_(std::move(deliver)), thread_([this] { Run(); }) {}

LevelReadoutWorker::~LevelReadoutWorker() {
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
        cancel_.store(true);
    }
    wake_.notify_all();
    thread_.join();
}

uint64_t LevelReadoutWorker::Post(const Request& request) {
    uint64_t id = 0;
    {
        const std::lock_guard lock(mutex_);
        if (waiting_) abandoned_.fetch_add(1);
        waiting_ = request;
        id = waitingId_ = ++lastId_;
        if (computing_) cancel_.store(true);
    }
    wake_.notify_one();
    return id;
}

void LevelReadoutWorker::CancelAndWait() {
    std::unique_lock lock(mutex_);
    if (waiting_) {
        waiting_.reset();
        abandoned_.fetch_add(1);
    }
    if (computing_) cancel_.store(true);
    idle_.wait(lock, [this] { return !computing_; });
}

void LevelReadoutWorker::Run() {
    LowerThisThreadsPriority();
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return quit_ || waiting_.has_value(); });
        if (quit_) return;
        const Request request = *waiting_;
        const uint64_t id = waitingId_;
        waiting_.reset();
        computing_ = true;
        cancel_.store(false);
        lock.unlock();
        Compute(request, id);
        lock.lock();
        computing_ = false;
        idle_.notify_all();
    }
}

void LevelReadoutWorker::Compute(const Request& request, uint64_t id) {
    const PictureAxes& axes = request.Axes;
    if (window_.WindowIndex != axes.WindowIndex || window_.FFTSize != axes.FFTSize)
        window_ = MakeReadoutWindow(axes.WindowIndex, axes.FFTSize);
    const std::optional<double> level =
        BinLevelDbfs(request.Samples, axes, window_, request.Column, request.Row, &cancel_);
    if (cancel_.load()) {
        abandoned_.fetch_add(1);
        return;
    }
    delivered_.fetch_add(1);
    deliver_(id, level);
}
