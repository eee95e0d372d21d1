#include "signal/LargeMemory.h"

#include <cstdint>
#include <sys/mman.h>

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kPage = 4096;

// Blocks of at least this many bytes are mapped.
constexpr std::size_t kMappedFrom = std::size_t{4} << 20;

// Below this a block's last part of a huge page is mapped as a whole huge page too: otherwise that part,
// up to 2 MiB, takes 4 KiB page faults that cost as much as all the rest. Above it the part is left in
// small pages, so that a big array's memory stays what it asks for.
constexpr std::size_t kWholeHugePagesBelow = std::size_t{64} << 20;

std::size_t RoundUp(std::size_t bytes, std::size_t unit) {
    return (bytes + unit - 1) / unit * unit;
}

// The length of a block's mapping.
std::size_t MappedLength(std::size_t bytes) {
    return RoundUp(bytes, bytes < kWholeHugePagesBelow ? kHugePage : kPage);
}

} // namespace

bool large_memory::Maps(std::size_t bytes) {
    return !kSanitized && bytes >= kMappedFrom;
}

// The block starts at a 2 MiB boundary: a mapping one huge page larger is trimmed at both ends. Fresh
// mappings read as zero.
void* large_memory::Map(std::size_t bytes) {
    if (bytes > (std::size_t{1} << 62)) return nullptr;
    const std::size_t length = MappedLength(bytes);
    void* reserved =
        ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (reserved == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(reserved);
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > start) ::munmap(reserved, aligned - start);
    const std::uintptr_t end = start + length + kHugePage;
    if (end > aligned + length) ::munmap(reinterpret_cast<void*>(aligned + length), end - aligned - length);
    void* block = reinterpret_cast<void*>(aligned);
    // Only advice: without huge pages the block works the same with small ones.
    ::madvise(block, length, MADV_HUGEPAGE);
    return block;
}

void large_memory::Unmap(void* block, std::size_t bytes) noexcept {
    if (block) ::munmap(block, MappedLength(bytes));
}

bool large_memory::Prefault(void* start, std::size_t bytes) noexcept {
    const auto first = reinterpret_cast<std::uintptr_t>(start);
    const std::uintptr_t begin = RoundUp(first, kPage);
    const std::uintptr_t end = (first + bytes) / kPage * kPage;
    if (end <= begin) return true;
#ifdef MADV_POPULATE_WRITE
    return ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE) == 0;
#else
    return false;
#endif
}
