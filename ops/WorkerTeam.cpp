#include "ops/WorkerTeam.h"

#include <algorithm>

// A helper that cannot be started (no memory, no more threads) leaves the team smaller: the work is
// the same with fewer hands, so the team never refuses it.
WorkerTeam::WorkerTeam(unsigned threads, unsigned atMost) {
    const unsigned wanted = threads > 0 ? threads : std::max(1u, std::thread::hardware_concurrency());
    const unsigned size = std::max(1u, std::min(wanted, atMost));
    try {
        helpers_.reserve(size - 1);
        for (unsigned i = 1; i < size; ++i) helpers_.emplace_back([this] { HelperLoop(); });
    } catch (const std::exception&) {
    }
}

WorkerTeam::~WorkerTeam() {
    Quit();
}

void WorkerTeam::Quit() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    helpers_.clear(); // joins
}

void WorkerTeam::Run(size_t count, const Task& task, const Gate& gate) {
    if (helpers_.empty() || count <= 1) {
        for (size_t i = 0; i < count && (!gate || gate(i)); ++i) task(i);
        return;
    }
    {
        std::lock_guard lock(mutex_);
        task_ = &task;
        gate_ = gate ? &gate : nullptr;
        count_ = count;
        next_ = 0;
        failure_ = nullptr;
        ++round_;
    }
    wake_.notify_all();
    TakeTasks(); // returns once every task is handed out (or the handing out ended)
    std::exception_ptr failure;
    {
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [this] { return running_ == 0; });
        task_ = nullptr;
        gate_ = nullptr;
        count_ = 0;
        next_ = 0;
        failure = failure_;
    }
    if (failure) std::rethrow_exception(failure);
}

// Takes tasks until none is left. They are handed out under the lock: they are few and long, so the
// lock costs nothing that shows.
void WorkerTeam::TakeTasks() {
    for (;;) {
        size_t index = 0;
        const Task* task = nullptr;
        {
            std::lock_guard lock(mutex_);
            if (next_ >= count_) return;
            bool open = true;
            try {
                open = gate_ == nullptr || (*gate_)(next_);
            } catch (...) {
                if (!failure_) failure_ = std::current_exception();
                open = false;
            }
            if (!open) {
                next_ = count_;
                return;
            }
            index = next_++;
            task = task_;
            ++running_;
        }
        try {
            (*task)(index);
        } catch (...) {
            std::lock_guard lock(mutex_);
            if (!failure_) failure_ = std::current_exception();
            next_ = count_;
        }
        std::lock_guard lock(mutex_);
        if (--running_ == 0 && next_ >= count_) finished_.notify_all();
    }
}

// A helper that wakes late for a round finds nothing left and waits for the next one.
void WorkerTeam::HelperLoop() {
    uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return quit_ || round_ != seen; });
            if (quit_) return;
            seen = round_;
        }
        TakeTasks();
    }
}
