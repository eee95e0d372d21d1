// The share of the process's worker pool one edit uses: Run hands out tasks 0 .. count-1 in order,
// the caller and up to Size() - 1 free pool threads take the next task not yet taken until none is
// left, and Run returns when all it handed out have finished. It never waits for a helper that took
// nothing: on a busy machine, or when the pool's threads are all at other work, the caller just does
// more of the work itself. A gate, asked under the pool's lock before each task is handed out, can
// end the handing out: the tasks handed out are then always the first ones. A task that throws ends
// the handing out too; Run rethrows the first exception once the others have finished.
#pragma once

#include "signal/WorkerPool.h"

#include <cstddef>

class WorkerTeam {
public:
    // threads: the team's size with the caller, 0 for one per core; never more than atMost, nor more
    // than the pool's threads and the caller. Never throws.
    explicit WorkerTeam(unsigned threads, unsigned atMost = 64);

    using Task = WorkerPool::Task;
    using Gate = WorkerPool::Gate; // false: hand out nothing from this task on

    unsigned Size() const { return size_; }
    void Run(size_t count, const Task& task, const Gate& gate = nullptr);

private:
    WorkerPool& pool_;
    unsigned size_;
};
