// Memory for the program's big arrays (the recording, the pictures). A block of a few megabytes or
// more comes straight from the system, aligned to 2 MiB and advised for transparent huge pages, so the
// kernel maps it a 2 MiB page at a time: on a large array that is hundreds of times fewer page faults
// than with 4 KiB pages, and those faults are most of the cost of filling a fresh array. Smaller
// blocks stay with the caller's usual allocator, and so does every block in sanitizer builds, whose
// checks need the allocator's own blocks.
//
// A block given back is kept as a spare (the two latest), its pages marked lazily free: the system
// takes them whenever it needs memory, and until then the next large block is made of them. A fresh
// page costs the system a clearing, and on a virtual machine that hands freed memory back to its host,
// the host's supply of the page too; a new picture or store the size of the last one (the next open,
// a recomputed picture, an edit's new state) then costs nothing of the kind.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include <sys/mman.h>

namespace large_memory {

// Whether a block of `bytes` is one to map (Map and Unmap) rather than to take from the usual allocator.
inline bool Maps(std::size_t bytes);

// A mapped block of `bytes`, all zero; nullptr when the memory cannot be had.
inline void* Map(std::size_t bytes);

// As Map, for a caller that writes every byte before it reads one: a spare block comes as it is.
inline void* MapUninitialised(std::size_t bytes);

// Gives back a block from Map or MapUninitialised with the same `bytes`; nullptr is ignored.
inline void Unmap(void* block, std::size_t bytes) noexcept;

// Has the system map in, for writing, the whole pages within [start, start + bytes) of any block the
// program owns, as first writes would, without changing what they hold (a fresh mapping's pages come
// zeroed). Lets several threads fault in a large block in pieces, each of which can be followed by a
// look at a stop flag. False where the system cannot; the pages then come with the first writes.
inline bool Prefault(void* start, std::size_t bytes) noexcept;

// What follows is the implementation, in the header so that every program and fuzz target that
// holds a store has it without another source file.

namespace detail {

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

inline std::size_t RoundUp(std::size_t bytes, std::size_t unit) {
    return (bytes + unit - 1) / unit * unit;
}

// The length of a block's mapping.
inline std::size_t MappedLength(std::size_t bytes) {
    return RoundUp(bytes, bytes < kWholeHugePagesBelow ? kHugePage : kPage);
}

// The blocks given back and kept for the next ones, the latest last.
class Spares {
public:
    // Never destroyed: blocks held by static objects are given back during the program's exit.
    static Spares& Kept() {
        static Spares* const spares = new Spares;
        return *spares;
    }

    // The smallest kept block of at least `length` bytes, cut to `length`; nullptr when none is.
    void* Take(std::size_t length) {
        Block found;
        {
            const std::lock_guard lock(mutex_);
            auto best = blocks_.end();
            for (auto it = blocks_.begin(); it != blocks_.end(); ++it)
                if (it->Length >= length && (best == blocks_.end() || it->Length < best->Length)) best = it;
            if (best == blocks_.end()) return nullptr;
            found = *best;
            blocks_.erase(best);
        }
        if (found.Length > length) ::munmap(static_cast<char*>(found.Start) + length, found.Length - length);
        return found.Start;
    }

    // Keeps a block of `length` bytes, giving the oldest kept one back to the system when there are more
    // than two. A block whose pages cannot be marked lazily free goes back at once: only those pages
    // come back zero once the system has taken them (ClearPresentPages relies on it).
    void Keep(void* start, std::size_t length) noexcept {
        if (::madvise(start, length, MADV_FREE) != 0) {
            ::munmap(start, length);
            return;
        }
        Block dropped;
        {
            const std::lock_guard lock(mutex_);
            if (blocks_.size() == kKept) {
                dropped = blocks_.front();
                blocks_.erase(blocks_.begin());
            }
            blocks_.push_back({start, length});
        }
        if (dropped.Start) ::munmap(dropped.Start, dropped.Length);
    }

private:
    struct Block {
        void* Start = nullptr;
        std::size_t Length = 0;
    };
    static constexpr std::size_t kKept = 2;

    Spares() { blocks_.reserve(kKept); }

    std::mutex mutex_;
    std::vector<Block> blocks_;
};

// Sets the first `bytes` of a spare block to zero, writing only its pages still present. A page the
// system has taken back, or one never written, reads zero and comes back zero with its next write, as a
// fresh block's pages do: clearing it here would have the system supply it now, up to hundreds of
// megabytes at once and where no stop can end it, instead of at the picture's first writes (which a
// stop can end, see Prefault).
inline void ClearPresentPages(void* block, std::size_t bytes) {
    auto* const start = static_cast<unsigned char*>(block); // page-aligned, as every mapped block
    constexpr std::size_t kPagesPerLook = 4096;             // 16 MiB
    unsigned char present[kPagesPerLook];
    for (std::size_t offset = 0; offset < bytes; offset += kPagesPerLook * kPage) {
        const std::size_t length = std::min(bytes - offset, kPagesPerLook * kPage);
        const std::size_t pages = RoundUp(length, kPage) / kPage;
        if (::mincore(start + offset, length, present) != 0) {
            std::memset(start + offset, 0, length);
            continue;
        }
        for (std::size_t p = 0; p < pages;) {
            std::size_t q = p;
            while (q < pages && (present[q] & 1) != 0) ++q;
            if (q > p) std::memset(start + offset + p * kPage, 0, std::min(length, q * kPage) - p * kPage);
            p = q + 1;
        }
    }
}

// A fresh block of `length` bytes (zero) starting at a 2 MiB boundary: a mapping one huge page larger
// is trimmed at both ends.
inline void* MapFresh(std::size_t length) {
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

} // namespace detail

using namespace detail;

inline bool Maps(std::size_t bytes) {
    return !kSanitized && bytes >= kMappedFrom;
}

inline void* MapUninitialised(std::size_t bytes) {
    if (bytes > (std::size_t{1} << 62)) return nullptr;
    const std::size_t length = MappedLength(bytes);
    if (void* spare = Spares::Kept().Take(length)) return spare;
    return MapFresh(length);
}

inline void* Map(std::size_t bytes) {
    if (bytes > (std::size_t{1} << 62)) return nullptr;
    const std::size_t length = MappedLength(bytes);
    if (void* spare = Spares::Kept().Take(length)) {
        ClearPresentPages(spare, bytes);
        return spare;
    }
    return MapFresh(length);
}

inline void Unmap(void* block, std::size_t bytes) noexcept {
    if (block) Spares::Kept().Keep(block, MappedLength(bytes));
}

inline bool Prefault(void* start, std::size_t bytes) noexcept {
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

} // namespace large_memory

// Allocator that leaves new elements uninitialised, so that a store of several hundred megabytes is
// not zero-filled just before the file's bytes overwrite it. Whoever grows an array of this kind must
// write every new element (the reader zeroes what the file does not fill). Large arrays are mapped
// (Map above), the others come from operator new.
template <class T> struct DefaultInitAllocator : std::allocator<T> {
    template <class U> struct rebind { using other = DefaultInitAllocator<U>; };
    using std::allocator<T>::allocator;
    T* allocate(std::size_t n) {
        if (n > std::size_t(-1) / sizeof(T) || !large_memory::Maps(n * sizeof(T)))
            return std::allocator<T>::allocate(n);
        void* block = large_memory::MapUninitialised(n * sizeof(T));
        if (!block) throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* p, std::size_t n) noexcept {
        if (large_memory::Maps(n * sizeof(T)))
            large_memory::Unmap(p, n * sizeof(T));
        else
            std::allocator<T>::deallocate(p, n);
    }
    template <class U> void construct(U* p) noexcept { ::new (static_cast<void*>(p)) U; }
    template <class U, class... Args> void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};
