#include "spectral/LevelReadoutWorker.h"

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
