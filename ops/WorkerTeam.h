// A few threads that stay for one edit and share its work: Run hands out tasks 0 .. count-1 in order,
// every thread of the team (the caller among them) takes the next task not yet taken until none is
// left, and Run returns when all it handed out have finished. It never waits for a helper that took
// nothing: on a busy machine, where a helper may not get a core for a while, the caller just does
// more of the work itself. A gate, asked under the team's lock
// before each task is handed out, can end the handing out: the tasks handed out are then always the
// first ones. A task that throws ends the handing out too; Run rethrows the first exception once the
// others have finished.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class WorkerTeam {
public:
    // threads: the team's size with the caller, 0 for one per core; never more than atMost. Never
    // throws: helpers that cannot be started are left out.
    explicit WorkerTeam(unsigned threads, unsigned atMost = 64);
    ~WorkerTeam();
    WorkerTeam(const WorkerTeam&) = delete;
    WorkerTeam& operator=(const WorkerTeam&) = delete;

    using Task = std::function<void(size_t)>;
    using Gate = std::function<bool(size_t)>; // false: hand out nothing from this task on

    unsigned Size() const { return static_cast<unsigned>(helpers_.size()) + 1; }
    void Run(size_t count, const Task& task, const Gate& gate = nullptr);

private:
    void HelperLoop();
    void TakeTasks();
    void Quit();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    const Task* task_ = nullptr;
    const Gate* gate_ = nullptr;
    size_t count_ = 0;
    size_t next_ = 0;
    size_t running_ = 0; // tasks handed out and not finished
    uint64_t round_ = 0;
    bool quit_ = false;
    std::exception_ptr failure_;
    std::vector<std::jthread> helpers_;
};
