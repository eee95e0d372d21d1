// The threads that share the process's work: edits, the band filter's batches, spectrogram passes,
// window tables, drawn pictures and large reads all take their helpers from here instead of starting
// threads of their own.
//
// Share hands out tasks 0 .. count-1 in order; the calling thread takes tasks too, and free pool
// threads join in, each taking the next task not yet taken until none is left. Share returns when all
// tasks it handed out have finished. It never waits for a helper that took nothing: when every pool
// thread is busy, or when a task of one Share calls Share again, the caller simply does more of the
// work itself, so nested use cannot deadlock. A gate, asked under the pool's lock before each task is
// handed out (it must not use the pool), can end the handing out: the tasks handed out are then
// always the first ones. A task that throws ends the handing out too; Share rethrows the first
// exception once the others have finished.
//
// StartJob runs one long job (the window's open, edit or recompute) on a job thread of the pool.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

class WorkerPool {
public:
    using Task = std::function<void(size_t)>;
    using Gate = std::function<bool(size_t)>; // false: hand out nothing from this task on
    static constexpr unsigned kAnyHelpers = ~0u;

    // A pool of its own with up to `threads` sharing threads. Never throws: threads that cannot be
    // started leave the pool smaller, down to none, where every caller works alone.
    explicit WorkerPool(unsigned threads);
    // Waits for the jobs started and ends the threads.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // The process's pool: created on first use with one thread per core, kept for the process.
    static WorkerPool& Shared();

    // The sharing threads that could be started (the caller of Share comes on top).
    unsigned Threads() const { return static_cast<unsigned>(threads_.size()); }

    // Runs tasks 0 .. count-1 as described above, with at most `helpers` pool threads beside the caller.
    void Share(size_t count, const Task& task, const Gate& gate = nullptr, unsigned helpers = kAnyHelpers);

    // Runs `job` on a job thread and returns at once; the future is ready when the job has ended and
    // carries its exception. A job lasts seconds or minutes and shares its own work through Share, so
    // it never runs on a sharing thread: there it would hold one of the hands its Share calls want, and
    // with every sharing thread in a job, a job waiting for one would wait for the others to end. Job
    // threads are kept and used again; a job never waits for another, as a new thread is started when
    // none is free. When none can be started, the job runs on the calling thread before StartJob
    // returns.
    std::future<void> StartJob(std::function<void()> job);

private:
    struct Round;

    void ShareLoop();
    void JobLoop();
    Round* RoundWantingHelp() const;
    void TakeTasks(Round& round, std::unique_lock<std::mutex>& lock);
    bool HandOut(Round& round, size_t& index);
    void Close(Round& round);
    static void RunAlone(size_t count, const Task& task, const Gate& gate);

    std::mutex mutex_;
    std::condition_variable shareWake_;
    std::condition_variable jobWake_;
    std::vector<Round*> open_; // rounds with tasks not yet handed out, oldest first
    std::deque<std::packaged_task<void()>> jobs_;
    size_t idleJobThreads_ = 0; // job threads not running a job, counting those still starting
    bool quit_ = false;
    std::vector<std::jthread> threads_;
    std::vector<std::jthread> jobThreads_;
};
