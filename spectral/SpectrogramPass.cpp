#include "spectral/SpectrogramPass.h"

#include "signal/LargeMemory.h"
#include "signal/WorkerPool.h"
#include "spectral/ColumnKernels.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <mutex>

namespace {

// The image's memory is mapped in by pieces of this many bytes (two huge pages).
constexpr std::size_t kMapInPiece = std::size_t{4} << 20;

// Columns go out in blocks, so that neighbouring columns, which share the cache lines of every row,
// are drawn by the same thread, up to a worker's run. Small images get smaller blocks to keep every
// thread busy, whole tiles where there are several.
int64_t ColumnBlock(int64_t width, std::size_t workerCount, int32_t runColumns) {
    const int64_t perWorker = width / (4 * static_cast<int64_t>(workerCount));
    const int64_t block = std::clamp<int64_t>(perWorker, 1, runColumns);
    return block > kTileBlockColumns ? block / kTileBlockColumns * kTileBlockColumns : block;
}

// Gives columns [from, to) of the band back what they held before the pass (see RunSpectrogramPass).
void RestoreColumns(const SpectrogramPassLayout& layout, int64_t from, int64_t to) {
    const int64_t rows = BandRowCount(layout);
    for (int64_t r = 0; r < rows; ++r) {
        const int64_t y = layout.BandTop + r;
        TColor32* row = layout.Pixels + y * layout.Width;
        const bool markerOfBandAbove = r == 0 && layout.BandTop > 0;
        for (int64_t x = from; x < to; ++x)
            row[x] = markerOfBandAbove ? MarkerPixel(layout.MarkerColour, x, y) : 0;
    }
}

class PassRun {
public:
    PassRun(const SpectrogramPassLayout& layout, JobControl& control, const PassProgress& progress,
            std::size_t workerCount, int32_t runColumns)
        : layout_(layout), control_(control), progress_(progress),
          block_(ColumnBlock(layout.Width, workerCount, runColumns)) {}

    // One worker's share: pieces of the image's memory to map in, then blocks of columns, until none
    // is left or the pass is stopped.
    void Work(SpectrogramColumnWorker& worker) {
        MapInImage();
        while (!StopPending()) {
            const int64_t first = nextBlock_.fetch_add(1, std::memory_order_relaxed) * block_;
            if (first >= layout_.Width) return;
            const int64_t end = std::min<int64_t>(layout_.Width, first + block_);
            try {
                const int64_t finished = worker.ComputeColumns(layout_, first, end, control_.StopRequested);
                CountColumns(finished);
                if (finished < end - first) return StoppedAt(first + finished);
            } catch (...) {
                Fail(std::current_exception());
                return StoppedAt(first);
            }
        }
    }

    bool Complete() const { return finished_.load() == layout_.Width; }

    // After all workers have ended: the columns right of the lowest one a worker left unfinished go
    // back to what they were. Only the blocks handed out can have been drawn.
    void KeepOneBlockFromTheLeft() {
        const int64_t handedOut = std::min<int64_t>(layout_.Width, nextBlock_.load() * block_);
        if (stoppedAt_ < handedOut) RestoreColumns(layout_, stoppedAt_, handedOut);
    }

    void RethrowFailure() {
        if (failure_) std::rethrow_exception(failure_);
    }

private:
    // A fresh image's memory is mapped in by its first writes, and the first columns write to every
    // row: on a large image that would be hundreds of megabytes mapped in at once, within writes that
    // a stop cannot end. The workers map it in first, a few megabytes at a time each, looking at the
    // stop flag between pieces. Mapping in changes no pixel, so it needs no order with the columns;
    // pages already there cost almost nothing (the second band of two channels).
    void MapInImage() {
        const auto bytes = static_cast<std::size_t>(layout_.Width) *
                           static_cast<std::size_t>(layout_.Height) * sizeof(TColor32);
        auto* image = reinterpret_cast<unsigned char*>(layout_.Pixels);
        while (!StopPending()) {
            const std::size_t first = nextPiece_.fetch_add(1, std::memory_order_relaxed) * kMapInPiece;
            if (first >= bytes) return;
            if (!large_memory::Prefault(image + first, std::min(kMapInPiece, bytes - first))) return;
        }
    }

    // Counts the finished columns of a block, once per block: the counter is shared by the workers, and
    // an update of it per column cost more than a tenth of a column. The progress is set where the count
    // passes a multiple of the interval.
    void CountColumns(int64_t columns) {
        if (columns <= 0) return;
        const int64_t before = finished_.fetch_add(columns, std::memory_order_relaxed);
        const int64_t mark = (before + columns - 1) / progress_.Interval * progress_.Interval;
        if (mark < before) return;
        const double fraction = static_cast<double>(progress_.ColumnsBefore + mark) / progress_.TotalColumns;
        control_.SetProgress(static_cast<int>(std::nearbyint(fraction * 100.0)));
    }

    // The job was stopped, or another worker stopped or failed.
    bool StopPending() const { return control_.Stopping() || stop_.load(std::memory_order_relaxed); }

    // A worker left column x unfinished (and every column before it in its block finished).
    void StoppedAt(int64_t x) {
        const std::lock_guard lock(mutex_);
        stoppedAt_ = std::min(stoppedAt_, x);
        stop_.store(true, std::memory_order_relaxed);
    }

    void Fail(std::exception_ptr failure) {
        const std::lock_guard lock(mutex_);
        if (!failure_) failure_ = failure;
    }

    const SpectrogramPassLayout& layout_;
    JobControl& control_;
    const PassProgress progress_;
    const int64_t block_;
    std::atomic<std::size_t> nextPiece_{0};
    std::atomic<int64_t> nextBlock_{0};
    std::atomic<int64_t> finished_{0};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    int64_t stoppedAt_ = std::numeric_limits<int64_t>::max();
    std::exception_ptr failure_;
};

} // namespace

bool RunSpectrogramPass(const SpectrogramPassLayout& layout,
                        std::vector<std::unique_ptr<SpectrogramColumnWorker>>& workers, JobControl& control,
                        const PassProgress& progress) {
    PassRun run(layout, control, progress, workers.size(), workers.front()->RunColumns());
    // One task per worker, each taking blocks of columns until none is left: a worker that no free
    // thread takes up in time finds the columns all drawn.
    WorkerPool::Shared().Share(workers.size(), [&](std::size_t i) { run.Work(*workers[i]); });
    run.RethrowFailure();
    run.KeepOneBlockFromTheLeft();
    return run.Complete();
}
