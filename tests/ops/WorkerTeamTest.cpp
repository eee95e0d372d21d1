// The pieces under the fast edits: the worker team, the side-by-side filter sections, the rounding.
#include "ops/WorkerTeam.h"
#include "ops/SampleRounding.h"
#include "ops/TLPF.h"
#include "ops/TLPFPipeline.h"
#include "support/ReferenceOps.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

class WorkerTeamSizes : public testing::TestWithParam<unsigned> {};

TEST_P(WorkerTeamSizes, RunsEveryTaskOnceInEveryRound) {
    WorkerTeam team(GetParam());
    for (const size_t count : {0u, 1u, 2u, 7u, 64u}) {
        std::vector<std::atomic<int>> runs(count);
        team.Run(count, [&](size_t i) { ++runs[i]; });
        for (size_t i = 0; i < count; ++i) ASSERT_EQ(runs[i].load(), 1) << count << " " << i;
    }
}

TEST_P(WorkerTeamSizes, CarriesTheFirstExceptionBackAndStaysUsable) {
    WorkerTeam team(GetParam());
    std::atomic<int> runs{0};
    EXPECT_THROW(team.Run(50,
                          [&](size_t i) {
                              ++runs;
                              if (i == 3) throw std::runtime_error("task 3");
                          }),
                 std::runtime_error);
    EXPECT_LE(runs.load(), 50);
    std::atomic<int> later{0};
    team.Run(10, [&](size_t) { ++later; });
    EXPECT_EQ(later.load(), 10);
}

INSTANTIATE_TEST_SUITE_P(Threads, WorkerTeamSizes, testing::Values(0u, 1u, 2u, 4u));

TEST(WorkerTeam, HelpersReallyWorkAlongside) {
    WorkerTeam team(2, 2);
    EXPECT_EQ(team.Size(), 2u);
    std::atomic<int> waiting{0};
    // Each of the two tasks waits until the other has started: only two threads get both done.
    team.Run(2, [&](size_t) {
        ++waiting;
        while (waiting.load() < 2) std::this_thread::yield();
    });
    EXPECT_EQ(waiting.load(), 2);
    EXPECT_EQ(WorkerTeam(8, 3).Size(), 3u);
}

// Blocks of these lengths, one after the other, through the pipeline and through Process.
class PipelineBlocks : public testing::TestWithParam<std::vector<size_t>> {};

TEST_P(PipelineBlocks, GivesProcesssOutputsAndStateWhateverTheBlocks) {
    TLPF viaPipeline(12, 9000, 48000, 0.8, 0.9);
    TLPF viaProcess(12, 9000, 48000, 0.8, 0.9);
    TLPFPipeline pipeline(viaPipeline);
    std::mt19937 random(3);
    std::uniform_int_distribution<int> value(-32768, 32767);
    for (const size_t length : GetParam()) {
        std::vector<double> block(length);
        for (double& x : block) x = value(random);
        std::vector<double> expected = block;
        for (double& x : expected) x = viaProcess.Process(x);
        pipeline.Run(block.data(), block.size());
        for (size_t i = 0; i < length; ++i) ASSERT_EQ(block[i], expected[i]) << length << " " << i;
        const auto a = viaPipeline.State();
        const auto b = viaProcess.State();
        ASSERT_TRUE(std::equal(a.begin(), a.end(), b.begin(), b.end()));
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, PipelineBlocks,
                         testing::Values(std::vector<size_t>{1}, std::vector<size_t>{22, 23, 24, 25},
                                         std::vector<size_t>{3, 1000, 1, 4097},
                                         std::vector<size_t>{0, 20000}));

TEST(PipelineBlocks, OtherSectionCountsRunValueByValue) {
    TLPF viaPipeline(5, 3000, 48000, 0.8, 0.9);
    TLPF viaProcess(5, 3000, 48000, 0.8, 0.9);
    std::vector<double> block = {1000, -2000, 3000, 0, 5};
    std::vector<double> expected = block;
    for (double& x : expected) x = viaProcess.Process(x);
    TLPFPipeline(viaPipeline).Run(block.data(), block.size());
    EXPECT_EQ(block, expected);
}

TEST(PipelineBlocks, TheSectionArithmeticIsThatOfThePlainLoop) {
    TLPF design(12, 15000, 44100, 0.8, 0.9);
    reference::Cascade plain(design);
    std::vector<double> block(3000);
    for (size_t i = 0; i < block.size(); ++i) block[i] = (i * 7919 % 65536) - 32768.0;
    std::vector<double> expected = block;
    for (double& x : expected) x = plain.Process(x);
    TLPFPipeline(design).Run(block.data(), block.size());
    EXPECT_EQ(block, expected);
}

TEST(SampleRounding, NearestIntegerIsTheLibrarysLlrint) {
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> wide(-1e12, 1e12);
    std::vector<double> values = {0.5,     1.5,      2.5,        -0.5,   -1.5,   -2.5,
                                  32767.5, -32768.5, 1e15 + 0.5, 0x1p62, -0x1p62};
    for (int i = 0; i < 20000; ++i) values.push_back(wide(random));
    for (int i = -4000; i <= 4000; ++i) values.push_back(i / 8.0);
    for (const double x : values) ASSERT_EQ(NearestInteger(x), std::llrint(x)) << x;
}

} // namespace
