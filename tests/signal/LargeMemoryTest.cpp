// Large arrays come from their own mappings: every byte zero, aligned to a huge page, writable over
// the whole length asked for, and the containers that use them behave as with any other allocator.
#include "signal/LargeMemory.h"
#include "signal/SignalStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

class LargeMemoryBlock : public ::testing::TestWithParam<std::size_t> {};

TEST_P(LargeMemoryBlock, IsZeroAlignedAndWritableToItsEnd) {
    const std::size_t bytes = GetParam();
    auto* block = static_cast<unsigned char*>(large_memory::Map(bytes));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % (2 * kMiB), 0u);
    EXPECT_TRUE(std::all_of(block, block + bytes, [](unsigned char b) { return b == 0; }));
    std::memset(block, 0xA5, bytes);
    EXPECT_EQ(block[bytes - 1], 0xA5);
    large_memory::Unmap(block, bytes);
}

// Sizes on and off the huge-page grid, on both sides of the size where a block's tail stops being
// rounded up to a whole huge page.
INSTANTIATE_TEST_SUITE_P(Sizes, LargeMemoryBlock,
                         ::testing::Values(4 * kMiB, 4 * kMiB + 1, 7 * kMiB + 4095, 64 * kMiB - 1, 64 * kMiB,
                                           65 * kMiB + 12345));

TEST(LargeMemory, OnlyBlocksOfSomeMegabytesAreMapped) {
    EXPECT_FALSE(large_memory::Maps(0));
    EXPECT_FALSE(large_memory::Maps(kMiB));
    // Sanitizer builds keep every block with their own allocator.
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    EXPECT_TRUE(large_memory::Maps(4 * kMiB));
    EXPECT_TRUE(large_memory::Maps(std::size_t{500} * kMiB));
#endif
}

TEST(LargeMemory, UnmappingNothingIsHarmless) {
    large_memory::Unmap(nullptr, 8 * kMiB);
}

// A store's values grow from a small array into a mapped one and back, keeping what they held.
TEST(LargeMemory, StoreValuesKeepTheirContentsAcrossBothKindsOfBlock) {
    SignalStore store;
    store.Samples.assign(1000, int16_t{7});
    store.Samples.resize(3 * kMiB, int16_t{-3});
    EXPECT_EQ(store.Samples[999], 7);
    EXPECT_EQ(store.Samples[1000], -3);
    EXPECT_EQ(store.Samples.back(), -3);
    SignalStore copy = store;
    EXPECT_EQ(copy.Samples, store.Samples);
    copy.Samples.resize(10);
    copy.Samples.shrink_to_fit();
    EXPECT_EQ(copy.Samples.front(), 7);
    EXPECT_EQ(copy.Samples.size(), 10u);
}

} // namespace

namespace {

// Mapping pages in, whole or in pieces with ragged ends, changes no byte: of a mapped block, of a
// block from the usual allocator, and of pages not yet touched (which stay zero).
TEST(LargeMemory, PrefaultKeepsEveryByte) {
    const std::size_t bytes = 9 * kMiB + 100;
    auto* mapped = static_cast<unsigned char*>(large_memory::Map(bytes));
    ASSERT_NE(mapped, nullptr);
    std::vector<unsigned char> usual(bytes);
    for (unsigned char* block : {mapped, usual.data()}) {
        for (std::size_t i = 0; i < 3 * kMiB; ++i) block[i] = static_cast<unsigned char>(i * 7 + 1);
        EXPECT_TRUE(large_memory::Prefault(block + 5, 4 * kMiB));
        EXPECT_TRUE(large_memory::Prefault(block + 4 * kMiB + 3, bytes - 4 * kMiB - 3));
        EXPECT_TRUE(large_memory::Prefault(block + 1, 10)); // no whole page: nothing to do
        for (std::size_t i = 0; i < bytes; ++i)
            ASSERT_EQ(block[i], i < 3 * kMiB ? static_cast<unsigned char>(i * 7 + 1) : 0) << i;
    }
    large_memory::Unmap(mapped, bytes);
}

} // namespace

namespace {

// A block given back is kept and made into the next block that fits in it: cleared where the caller
// asks for zeros, cut to the length asked for (the rest goes back to the system). The sizes are ones
// no other test gives back, so the block found is the one given back here.
TEST(LargeMemory, GivenBackBlockIsTheNextOneClearedOrCutAsAsked) {
    const std::size_t bytes = 13 * kMiB + 4096;
    auto* first = static_cast<unsigned char*>(large_memory::Map(bytes));
    ASSERT_NE(first, nullptr);
    std::memset(first, 0x5A, bytes);
    large_memory::Unmap(first, bytes);
    auto* zeroed = static_cast<unsigned char*>(large_memory::Map(bytes));
    EXPECT_EQ(zeroed, first);
    EXPECT_TRUE(std::all_of(zeroed, zeroed + bytes, [](unsigned char b) { return b == 0; }));
    large_memory::Unmap(zeroed, bytes);

    const std::size_t smaller = 11 * kMiB;
    auto* cut = static_cast<unsigned char*>(large_memory::MapUninitialised(smaller));
    EXPECT_EQ(cut, first);
    std::memset(cut, 1, smaller);
    // The part beyond the new length is no longer mapped.
    unsigned char resident = 0;
    EXPECT_EQ(::mincore(cut + 12 * kMiB, 4096, &resident), -1);
    EXPECT_EQ(errno, ENOMEM);
    large_memory::Unmap(cut, smaller);
}

// A spare whose pages the system took back (or never had) reads zero without being written: Map clears
// only the pages still there, leaving the others to come with the block's first writes, as a fresh
// block's do (all at once they are seconds of work that no stop can end).
TEST(LargeMemory, SpareIsClearedWithoutFetchingThePagesTheSystemTookBack) {
    const std::size_t bytes = 24 * kMiB;
    const std::size_t pages = bytes / 4096;
    auto* first = static_cast<unsigned char*>(large_memory::Map(bytes));
    ASSERT_NE(first, nullptr);
    // In small pages only: the system's background merging into huge pages would fill the holes below.
    ASSERT_EQ(::madvise(first, bytes, MADV_NOHUGEPAGE), 0);
    std::memset(first, 0x5A, bytes);
    // Every third page taken back, as the system takes lazily free pages (runs of both kinds).
    for (std::size_t page = 1; page < pages; page += 3)
        ASSERT_EQ(::madvise(first + page * 4096, 4096, MADV_DONTNEED), 0);
    large_memory::Unmap(first, bytes);
    auto* again = static_cast<unsigned char*>(large_memory::Map(bytes));
    ASSERT_EQ(again, first);
    std::vector<unsigned char> present(pages);
    ASSERT_EQ(::mincore(again, bytes, present.data()), 0);
    for (std::size_t page = 1; page < pages; page += 3) ASSERT_EQ(present[page] & 1, 0) << page;
    EXPECT_TRUE(std::all_of(again, again + bytes, [](unsigned char b) { return b == 0; }));
    large_memory::Unmap(again, bytes);
}

} // namespace
