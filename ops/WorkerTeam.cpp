#include "ops/WorkerTeam.h"

#include <algorithm>

// One per core is the pool's size; threads it could not start leave the team smaller.
WorkerTeam::WorkerTeam(unsigned threads, unsigned atMost) : pool_(WorkerPool::Shared()) {
    const unsigned available = pool_.Threads() + 1;
    const unsigned wanted = threads > 0 ? threads : std::max(1u, pool_.Threads());
    size_ = std::max(1u, std::min({wanted, atMost, available}));
}

void WorkerTeam::Run(size_t count, const Task& task, const Gate& gate) {
    pool_.Share(count, task, gate, size_ - 1);
}
