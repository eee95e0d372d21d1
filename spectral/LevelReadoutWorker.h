// Computes bin levels (BinLevelDbfs) on a thread of its own, for pictures whose frames are too long to
// read between two pointer moves. Only the newest request counts: a new one replaces the one waiting
// and abandons the one in hand, so that a pointer sweeping over a picture at N = 8388608 never queues
// work. The window table is built here too (once per window and N), never on the caller's thread.
#pragma once

#include "spectral/SpectrogramReadout.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

class LevelReadoutWorker {
public:
    struct Request {
        SampleSpan Samples; // must stay valid and unchanged until CancelAndWait returns or it is delivered
        PictureAxes Axes;
        int64_t Column = 0;
        RowReading Row;
    };
    // Called on the worker thread with the request's number and its level (see BinLevelDbfs); never
    // for a request that was abandoned.
    using Delivery = std::function<void(uint64_t id, std::optional<double> dbfs)>;

    explicit LevelReadoutWorker(Delivery deliver);
    ~LevelReadoutWorker();
    LevelReadoutWorker(const LevelReadoutWorker&) = delete;
    LevelReadoutWorker& operator=(const LevelReadoutWorker&) = delete;

    // Queues `request` in place of any waiting one, abandons the one in hand, and returns its number
    // (numbers increase from 1). Returns at once.
    uint64_t Post(const Request& request);
    // Drops the waiting request, abandons the one in hand and returns once no computation reads any
    // samples: after it, the samples of every request posted before may change.
    void CancelAndWait();

    // Requests computed to the end and delivered, and requests abandoned or dropped, so far.
    uint64_t Delivered() const { return delivered_.load(); }
    uint64_t Abandoned() const { return abandoned_.load(); }

private:
    void Run();
    void Compute(const Request& request, uint64_t id);

    const Delivery deliver_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::optional<Request> waiting_;
    uint64_t waitingId_ = 0;
    uint64_t lastId_ = 0;
    bool computing_ = false;
    bool quit_ = false;
    std::atomic<bool> cancel_{false};
    std::atomic<uint64_t> delivered_{0};
    std::atomic<uint64_t> abandoned_{0};
    ReadoutWindow window_; // the worker thread's own
    std::thread thread_;
};
