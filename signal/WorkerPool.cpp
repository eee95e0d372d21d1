#include "signal/WorkerPool.h"

#include <algorithm>
#include <exception>

// One call of Share, on the caller's stack. Every member is guarded by the pool's lock. The round
// lives until its caller has seen `running` come back to 0 after the handing out ended, so a thread
// touches it only while it runs one of its tasks, or under the lock in which it took one.
struct WorkerPool::Round {
    const Task* task = nullptr;
    const Gate* gate = nullptr;
    size_t count = 0;
    size_t next = 0;    // the next task to hand out; count once the handing out has ended
    size_t running = 0; // tasks handed out and not finished
    unsigned helpers = 0;
    unsigned maxHelpers = 0;
    std::exception_ptr failure;
    std::condition_variable finished;
};

WorkerPool::WorkerPool(unsigned threads) {
    try {
        threads_.reserve(threads);
        for (unsigned i = 0; i < threads; ++i) threads_.emplace_back([this] { ShareLoop(); });
    } catch (const std::exception&) {
        // no more threads or memory to be had: the ones started so far are the pool
    }
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    shareWake_.notify_all();
    jobWake_.notify_all();
    jobThreads_.clear(); // joins; a job's Share finds no helper now and works alone
    threads_.clear();
}

// Never destroyed: its threads wait on at the end of the process, where a pool that joined them in a
// static destructor could wait for a job still running when main returned.
WorkerPool& WorkerPool::Shared() {
    static WorkerPool* const pool = new WorkerPool(std::max(1u, std::thread::hardware_concurrency()));
    return *pool;
}

void WorkerPool::Share(size_t count, const Task& task, const Gate& gate, unsigned helpers) {
    if (count <= 1) return RunAlone(count, task, gate);
    const auto wanted = static_cast<unsigned>(std::min<size_t>({helpers, count - 1, threads_.size()}));
    if (wanted == 0) return RunAlone(count, task, gate);
    Round round;
    round.task = &task;
    round.gate = gate ? &gate : nullptr;
    round.count = count;
    round.maxHelpers = wanted;
    std::unique_lock lock(mutex_);
    open_.push_back(&round);
    lock.unlock();
    for (unsigned i = 0; i < wanted; ++i) shareWake_.notify_one();
    lock.lock();
    TakeTasks(round, lock); // returns once the handing out has ended
    round.finished.wait(lock, [&] { return round.running == 0; });
    const std::exception_ptr failure = round.failure;
    lock.unlock();
    if (failure) std::rethrow_exception(failure);
}

// With no helper to wait for, the tasks run straight in order and an exception leaves at once.
void WorkerPool::RunAlone(size_t count, const Task& task, const Gate& gate) {
    for (size_t i = 0; i < count && (!gate || gate(i)); ++i) task(i);
}

// Takes the round's tasks one after the other until none is left; called and returning with the lock
// held. Finishing a task and taking the next happen under one hold of the lock, so that once the last
// task has finished this thread no longer touches the round, which its caller may then leave.
void WorkerPool::TakeTasks(Round& round, std::unique_lock<std::mutex>& lock) {
    size_t index = 0;
    while (HandOut(round, index)) {
        lock.unlock();
        std::exception_ptr failure;
        try {
            (*round.task)(index);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        if (failure) {
            if (!round.failure) round.failure = failure;
            Close(round);
        }
        if (--round.running == 0 && round.next >= round.count) round.finished.notify_all();
    }
}

// Hands out the round's next task, asking the gate first; false once the handing out has ended.
bool WorkerPool::HandOut(Round& round, size_t& index) {
    if (round.next >= round.count) return false;
    bool open = true;
    try {
        open = round.gate == nullptr || (*round.gate)(round.next);
    } catch (...) {
        if (!round.failure) round.failure = std::current_exception();
        open = false;
    }
    if (!open) {
        Close(round);
        return false;
    }
    index = round.next++;
    ++round.running;
    if (round.next >= round.count) Close(round);
    return true;
}

// Ends the handing out: no thread joins the round any more.
void WorkerPool::Close(Round& round) {
    round.next = round.count;
    const auto at = std::find(open_.begin(), open_.end(), &round);
    if (at != open_.end()) open_.erase(at);
}

WorkerPool::Round* WorkerPool::RoundWantingHelp() const {
    for (Round* round : open_)
        if (round->helpers < round->maxHelpers) return round;
    return nullptr;
}

// A sharing thread joins the oldest round that still wants a helper and takes its tasks until none is
// left. One that wakes late for a round finds it closed and waits for the next.
void WorkerPool::ShareLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        Round* round = nullptr;
        shareWake_.wait(lock, [&] { return quit_ || (round = RoundWantingHelp()) != nullptr; });
        if (quit_) return;
        ++round->helpers;
        TakeTasks(*round, lock);
    }
}

std::future<void> WorkerPool::StartJob(std::function<void()> job) {
    std::packaged_task<void()> task(std::move(job));
    std::future<void> done = task.get_future();
    std::unique_lock lock(mutex_);
    jobs_.push_back(std::move(task));
    if (idleJobThreads_ < jobs_.size()) {
        try {
            jobThreads_.emplace_back([this] { JobLoop(); });
            ++idleJobThreads_;
        } catch (const std::exception&) {
            // No thread to be had: the job is still the last one waiting, and the caller runs it.
            task = std::move(jobs_.back());
            jobs_.pop_back();
            lock.unlock();
            task();
            return done;
        }
    }
    lock.unlock();
    jobWake_.notify_one();
    return done;
}

// Runs jobs as they come; at the end of the pool, the jobs still waiting first.
void WorkerPool::JobLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        jobWake_.wait(lock, [&] { return quit_ || !jobs_.empty(); });
        if (jobs_.empty()) return;
        std::packaged_task<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        --idleJobThreads_;
        lock.unlock();
        job();
        lock.lock();
        ++idleJobThreads_;
    }
}
