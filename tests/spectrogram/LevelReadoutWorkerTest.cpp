// The readout's level worker: only the newest request is computed to the end and delivered, the others
// are abandoned; after CancelAndWait no computation reads the samples any more (ThreadSanitizer sees
// the overwrite that follows); a worker destroyed mid-computation ends at once.
#include "SpectrogramTestSupport.h"

#include "spectral/LevelReadoutWorker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr int32_t kN = 1048576;
constexpr int32_t kRate = 48000;

struct Delivered {
    std::mutex Mutex;
    std::vector<std::pair<uint64_t, double>> Levels;

    void Add(uint64_t id, std::optional<double> dbfs) {
        const std::lock_guard lock(Mutex);
        Levels.emplace_back(id, dbfs.value_or(1e9));
    }
    size_t Count() {
        const std::lock_guard lock(Mutex);
        return Levels.size();
    }
};

// A full-scale tone at bin `bin` of frames of kN values, long enough for `columns` columns of hop kN.
class LevelWorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Axes = PictureAxes{kN, kN, kWindowHann, 1, kRate, 3, kN / 2};
        Values = spectest::Tone(2 * int64_t{kN}, kBin * BinHertz(Axes), kRate, 32767);
    }
    LevelReadoutWorker::Request RequestAt(int32_t bin) const {
        return {{Values.data(), int64_t(Values.size())}, Axes, 2, ReadRow(Axes, kN / 2 - 1 - bin)};
    }
    static bool WaitFor(const std::function<bool()>& done) {
        const auto until = std::chrono::steady_clock::now() + 60s;
        while (!done() && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(1ms);
        return done();
    }

    static constexpr int32_t kBin = 100000;
    PictureAxes Axes;
    std::vector<int16_t> Values;
};

TEST_F(LevelWorkerTest, OnlyTheNewestRequestIsDelivered) {
    Delivered delivered;
    LevelReadoutWorker worker([&](uint64_t id, std::optional<double> dbfs) { delivered.Add(id, dbfs); });
    uint64_t last = 0;
    for (int i = 0; i < 40; ++i) last = worker.Post(RequestAt(kBin + 200 - 5 * i));
    last = worker.Post(RequestAt(kBin));
    ASSERT_TRUE(WaitFor([&] { return worker.Delivered() + worker.Abandoned() == last; }));
    ASSERT_TRUE(WaitFor([&] { return delivered.Count() == worker.Delivered(); }));
    EXPECT_LT(worker.Delivered(), last); // requests were dropped, not queued
    const std::lock_guard lock(delivered.Mutex);
    ASSERT_FALSE(delivered.Levels.empty());
    EXPECT_EQ(delivered.Levels.back().first, last);
    EXPECT_NEAR(delivered.Levels.back().second, 0.0, 0.1);
    for (size_t i = 1; i < delivered.Levels.size(); ++i)
        EXPECT_LT(delivered.Levels[i - 1].first, delivered.Levels[i].first);
}

TEST_F(LevelWorkerTest, TheRequestInHandIsAbandonedForANewerOne) {
    const int32_t largest = 8388608;
    const PictureAxes axes{largest, largest, kWindowHann, 1, kRate, 3, largest / 2};
    const std::vector<int16_t> values(2 * size_t{largest}, 1000);
    const LevelReadoutWorker::Request request{
        {values.data(), int64_t(values.size())}, axes, 1, ReadRow(axes, 7)};
    Delivered delivered;
    LevelReadoutWorker worker([&](uint64_t id, std::optional<double> dbfs) { delivered.Add(id, dbfs); });
    worker.Post(request); // its window table alone takes longer than the pause below
    std::this_thread::sleep_for(5ms);
    const uint64_t newer = worker.Post(request);
    ASSERT_TRUE(WaitFor([&] { return worker.Delivered() + worker.Abandoned() == 2; }));
    ASSERT_TRUE(WaitFor([&] { return delivered.Count() == 1; }));
    EXPECT_EQ(worker.Delivered(), 1u);
    const std::lock_guard lock(delivered.Mutex);
    EXPECT_EQ(delivered.Levels.front().first, newer);
}

TEST_F(LevelWorkerTest, AfterCancelAndWaitTheSamplesAreFreeAndNothingIsDelivered) {
    Delivered delivered;
    LevelReadoutWorker worker([&](uint64_t id, std::optional<double> dbfs) { delivered.Add(id, dbfs); });
    for (int round = 0; round < 5; ++round) {
        worker.Post(RequestAt(kBin));
        worker.Post(RequestAt(kBin + 1));
        worker.CancelAndWait();
        const size_t before = delivered.Count();
        std::fill(Values.begin(), Values.end(), int16_t(round)); // what a job would do to the store
        std::this_thread::sleep_for(5ms);
        EXPECT_EQ(delivered.Count(), before);
    }
    EXPECT_EQ(worker.Delivered() + worker.Abandoned(), 10u);
    // It still works afterwards: silence now.
    const uint64_t id = worker.Post(RequestAt(kBin));
    ASSERT_TRUE(WaitFor([&] { return worker.Delivered() + worker.Abandoned() == id; }));
    EXPECT_GE(worker.Delivered(), 1u);
}

TEST_F(LevelWorkerTest, DestroyedWhileComputingItEndsWithoutDelivering) {
    Delivered delivered;
    {
        LevelReadoutWorker worker([&](uint64_t id, std::optional<double> dbfs) { delivered.Add(id, dbfs); });
        worker.Post(RequestAt(kBin));
        std::this_thread::sleep_for(2ms);
    }
    EXPECT_LE(delivered.Count(), 1u);
}

} // namespace
