// The proof that the fast colour mapping gives the picture's bytes: LevelsToColours (the form the
// spectrogram uses on this processor) against LevelToColor32, the straightforward mapping, for every
// one of the 2^32 float bit patterns (negative, NaN, infinities and subnormals included), on all
// cores. Prints the mismatches (the first few in full), the time taken, and the speed of both forms
// over the same levels. Exit status 1 when any level differs.
#include "spectral/LevelColours.h"
#include "spectral/LevelToColor.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr uint64_t kPatterns = uint64_t{1} << 32;
constexpr uint32_t kBlock = 1u << 16;

struct Totals {
    std::atomic<uint64_t> Mismatches{0};
    std::atomic<uint64_t> NextBlock{0};
    std::atomic<int64_t> FastNs{0};
    std::atomic<int64_t> ReferenceNs{0};
    std::mutex Print;
};

int64_t Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start)
        .count();
}

void CheckBlocks(Totals& totals) {
    std::vector<float> levels(kBlock);
    std::vector<TColor32> fast(kBlock), reference(kBlock);
    for (;;) {
        const uint64_t block = totals.NextBlock.fetch_add(1);
        if (block * kBlock >= kPatterns) return;
        const auto first = static_cast<uint32_t>(block * kBlock);
        for (uint32_t i = 0; i < kBlock; ++i) levels[i] = std::bit_cast<float>(first + i);
        auto start = std::chrono::steady_clock::now();
        LevelsToColours(levels.data(), fast.data(), kBlock);
        totals.FastNs += Since(start);
        start = std::chrono::steady_clock::now();
        for (uint32_t i = 0; i < kBlock; ++i) reference[i] = LevelToColor32(levels[i]);
        totals.ReferenceNs += Since(start);
        for (uint32_t i = 0; i < kBlock; ++i) {
            if (fast[i] == reference[i]) continue;
            if (totals.Mismatches.fetch_add(1) < 10) {
                const std::lock_guard lock(totals.Print);
                std::printf("  level %.9g (bits 0x%08x): fast 0x%08x, reference 0x%08x\n", double(levels[i]),
                            first + i, fast[i], reference[i]);
            }
        }
    }
}

} // namespace

int main() {
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    std::printf("every float bit pattern through LevelsToColours (%s) and LevelToColor32, %u threads\n",
                LevelColoursUseAvx2() ? "AVX2" : "portable", threads);
    std::fflush(stdout);
    Totals totals;
    const auto start = std::chrono::steady_clock::now();
    {
        std::vector<std::jthread> workers;
        for (unsigned t = 0; t < threads; ++t) workers.emplace_back([&totals] { CheckBlocks(totals); });
    }
    const double seconds = static_cast<double>(Since(start)) / 1e9;
    const double patterns = static_cast<double>(kPatterns);
    std::printf("%llu of %llu levels differ; %.1f s in all\n",
                static_cast<unsigned long long>(totals.Mismatches.load()),
                static_cast<unsigned long long>(kPatterns), seconds);
    std::printf("per level (thread time): fast %.2f ns, reference %.2f ns\n",
                static_cast<double>(totals.FastNs.load()) / patterns,
                static_cast<double>(totals.ReferenceNs.load()) / patterns);
    return totals.Mismatches.load() == 0 ? 0 : 1;
}
