#include "spectral/SpectrogramPass.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <mutex>
#include <thread>

namespace {

// Columns go out in blocks, so that neighbouring columns, which share the cache lines of every row,
// are drawn by the same thread, up to a worker's tile. Small images get smaller blocks to keep every
// thread busy.
int64_t ColumnBlock(int64_t width, std::size_t workerCount, int32_t tileColumns) {
    const int64_t perWorker = width / (4 * static_cast<int64_t>(workerCount));
    return std::clamp<int64_t>(perWorker, 1, tileColumns);
}

class PassRun {
public:
    PassRun(const SpectrogramPassLayout& layout, JobControl& control, const PassProgress& progress,
            std::size_t workerCount, int32_t tileColumns)
        : layout_(layout), control_(control), progress_(progress),
          block_(ColumnBlock(layout.Width, workerCount, tileColumns)) {}

    // One worker's share: blocks of columns until none is left or the pass is stopped.
    void Work(SpectrogramColumnWorker& worker) {
        const ColumnDone columnDone = [this] { CountColumn(); };
        try {
            while (!StopPending()) {
                const int64_t first = nextBlock_.fetch_add(1, std::memory_order_relaxed) * block_;
                if (first >= layout_.Width) return;
                const int64_t end = std::min<int64_t>(layout_.Width, first + block_);
                if (!worker.ComputeColumns(layout_, first, end, control_.StopRequested, columnDone)) {
                    stop_.store(true, std::memory_order_relaxed);
                    return;
                }
            }
        } catch (...) {
            Fail(std::current_exception());
        }
    }

    bool Complete() const { return finished_.load() == layout_.Width; }

    void RethrowFailure() {
        if (failure_) std::rethrow_exception(failure_);
    }

private:
    void CountColumn() {
        const int64_t finishedBefore = finished_.fetch_add(1, std::memory_order_relaxed);
        if (finishedBefore % progress_.Interval == 0) {
            const double fraction =
                static_cast<double>(progress_.ColumnsBefore + finishedBefore) / progress_.TotalColumns;
            control_.SetProgress(static_cast<int>(std::nearbyint(fraction * 100.0)));
        }
    }

    // The job was stopped, or another worker stopped or failed.
    bool StopPending() const { return control_.Stopping() || stop_.load(std::memory_order_relaxed); }

    void Fail(std::exception_ptr failure) {
        const std::lock_guard lock(failureMutex_);
        if (!failure_) failure_ = failure;
        stop_.store(true, std::memory_order_relaxed);
    }

    const SpectrogramPassLayout& layout_;
    JobControl& control_;
    const PassProgress progress_;
    const int64_t block_;
    std::atomic<int64_t> nextBlock_{0};
    std::atomic<int64_t> finished_{0};
    std::atomic<bool> stop_{false};
    std::mutex failureMutex_;
    std::exception_ptr failure_;
};

} // namespace

bool RunSpectrogramPass(const SpectrogramPassLayout& layout,
                        std::vector<std::unique_ptr<SpectrogramColumnWorker>>& workers, JobControl& control,
                        const PassProgress& progress) {
    PassRun run(layout, control, progress, workers.size(), workers.front()->TileColumns());
    if (workers.size() == 1) {
        run.Work(*workers.front());
    } else {
        std::vector<std::jthread> threads;
        threads.reserve(workers.size());
        for (auto& worker : workers) threads.emplace_back([&run, &worker] { run.Work(*worker); });
    }
    run.RethrowFailure();
    return run.Complete();
}
