// The worker pool through its public calls, on pools of several sizes (0: every thread failed to
// start). No test waits for a time: where threads must meet, they meet at a latch.
#include "signal/WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

class WorkerPoolSizes : public testing::TestWithParam<unsigned> {
protected:
    WorkerPool pool{GetParam()};
    // The caller and every sharing thread: a round of this many tasks that meet at a latch keeps each
    // of them in one task.
    size_t Runners() const { return size_t{pool.Threads()} + 1; }
};

TEST_P(WorkerPoolSizes, StartsTheThreadsAskedFor) {
    EXPECT_EQ(pool.Threads(), GetParam());
}

TEST_P(WorkerPoolSizes, RunsEveryTaskOnceOnNoMoreThreadsThanAllowed) {
    for (const unsigned helpers : {0u, 1u, WorkerPool::kAnyHelpers}) {
        for (const size_t count : {0u, 1u, 2u, 7u, 300u}) {
            std::vector<std::atomic<int>> runs(count);
            std::mutex mutex;
            std::set<std::thread::id> threads;
            pool.Share(
                count,
                [&](size_t i) {
                    ++runs[i];
                    const std::lock_guard lock(mutex);
                    threads.insert(std::this_thread::get_id());
                },
                nullptr, helpers);
            for (size_t i = 0; i < count; ++i) ASSERT_EQ(runs[i].load(), 1) << count << " " << i;
            EXPECT_LE(threads.size(), std::min<size_t>(helpers, Runners() - 1) + 1) << helpers;
        }
    }
}

TEST_P(WorkerPoolSizes, TheGateHandsOutAPrefix) {
    for (const size_t open : {0u, 1u, 5u, 63u, 64u}) {
        std::vector<std::atomic<int>> runs(64);
        pool.Share(
            64, [&](size_t i) { ++runs[i]; }, [&](size_t i) { return i < open; });
        for (size_t i = 0; i < runs.size(); ++i)
            ASSERT_EQ(runs[i].load(), i < open ? 1 : 0) << open << " " << i;
    }
}

// Every runner sits in a task of the outer round when the inner rounds start: the sharing threads
// among them find no free helper and must do their inner rounds alone.
TEST_P(WorkerPoolSizes, NestedSharesFromPoolThreadsFinish) {
    const size_t outer = Runners();
    std::latch allBusy(static_cast<std::ptrdiff_t>(outer));
    std::vector<std::atomic<int>> runs(outer * 16);
    std::atomic<int> fromPoolThreads{0};
    const auto caller = std::this_thread::get_id();
    pool.Share(outer, [&](size_t o) {
        allBusy.arrive_and_wait();
        if (std::this_thread::get_id() != caller) ++fromPoolThreads;
        pool.Share(16, [&](size_t i) { ++runs[o * 16 + i]; });
    });
    for (size_t i = 0; i < runs.size(); ++i) ASSERT_EQ(runs[i].load(), 1) << i;
    EXPECT_EQ(fromPoolThreads.load(), static_cast<int>(outer) - 1);
}

// The caller's own task throws while every other runner is in a task that finishes only after the
// throw: Share must wait for them before it rethrows.
TEST_P(WorkerPoolSizes, RethrowsTheExceptionOnceTheOthersHaveFinished) {
    const size_t count = Runners();
    const auto caller = std::this_thread::get_id();
    std::latch allBusy(static_cast<std::ptrdiff_t>(count));
    std::atomic<bool> thrown{false};
    std::atomic<size_t> finished{0};
    std::atomic<int> sum{0};
    const auto task = [&](size_t i) {
        allBusy.arrive_and_wait();
        if (std::this_thread::get_id() == caller) {
            thrown = true;
            throw std::runtime_error("task " + std::to_string(i));
        }
        while (!thrown.load()) std::this_thread::yield();
        for (int k = 0; k < 100000; ++k) sum.fetch_add(1, std::memory_order_relaxed);
        ++finished;
    };
    EXPECT_THROW(pool.Share(count, task), std::runtime_error);
    EXPECT_EQ(finished.load(), count - 1);
    std::atomic<int> later{0};
    pool.Share(10, [&](size_t) { ++later; });
    EXPECT_EQ(later.load(), 10);
}

// A second thread's round holds every sharing thread in a task until the test lets it go: the test's
// own round must be done by the test's thread alone.
TEST_P(WorkerPoolSizes, TheCallerFinishesAloneWhenNoHelperIsFree) {
    std::latch allBusy(static_cast<std::ptrdiff_t>(Runners()));
    std::latch release(1);
    std::jthread occupier([&] {
        pool.Share(Runners(), [&](size_t) {
            allBusy.count_down();
            release.wait();
        });
    });
    allBusy.wait();
    std::mutex mutex;
    std::set<std::thread::id> threads;
    std::atomic<size_t> runs{0};
    pool.Share(50, [&](size_t) {
        ++runs;
        const std::lock_guard lock(mutex);
        threads.insert(std::this_thread::get_id());
    });
    release.count_down();
    EXPECT_EQ(runs.load(), 50u);
    EXPECT_EQ(threads, std::set<std::thread::id>{std::this_thread::get_id()});
}

// A job's Share gets every sharing thread: the job runs on a thread of its own, and all the runners
// of its round meet at the latch.
TEST_P(WorkerPoolSizes, AJobRunsApartFromTheSharingThreads) {
    const auto caller = std::this_thread::get_id();
    std::thread::id jobThread;
    std::latch allBusy(static_cast<std::ptrdiff_t>(Runners()));
    std::atomic<size_t> runs{0};
    pool.StartJob([&] {
            jobThread = std::this_thread::get_id();
            pool.Share(Runners(), [&](size_t) {
                allBusy.arrive_and_wait();
                ++runs;
            });
        })
        .get();
    EXPECT_NE(jobThread, caller);
    EXPECT_EQ(runs.load(), Runners());
}

// A job that waits for a job it started, and a job's exception carried back through its future.
TEST_P(WorkerPoolSizes, JobsNeverWaitForOneAnotherAndCarryTheirExceptions) {
    int inner = 0;
    pool.StartJob([&] { pool.StartJob([&] { inner = 7; }).get(); }).get();
    EXPECT_EQ(inner, 7);
    auto failed = pool.StartJob([] { throw std::runtime_error("job"); });
    EXPECT_THROW(failed.get(), std::runtime_error);
}

INSTANTIATE_TEST_SUITE_P(Threads, WorkerPoolSizes, testing::Values(0u, 1u, 2u, 4u));

TEST(WorkerPool, TheSharedPoolHasOneThreadPerCore) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    EXPECT_EQ(WorkerPool::Shared().Threads(), cores);
    EXPECT_EQ(&WorkerPool::Shared(), &WorkerPool::Shared());
}

} // namespace
