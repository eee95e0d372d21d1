// std::vector whose elements start at a cache-line boundary. The column buffers are read and written
// 32 bytes at a time; from a 16-byte boundary (what the usual allocator promises) every other access
// straddles two cache lines, which costs the transforms about a tenth of their time.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

inline constexpr std::size_t kCacheLineBytes = 64;

template <class T> struct CacheLineAllocator {
    using value_type = T;
    CacheLineAllocator() = default;
    template <class U> CacheLineAllocator(const CacheLineAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) {
        if (n > std::size_t(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(::operator new (n * sizeof(T), std::align_val_t{kCacheLineBytes}));
    }
    void deallocate(T* p, std::size_t) noexcept { ::operator delete (p, std::align_val_t{kCacheLineBytes}); }
    template <class U> bool operator==(const CacheLineAllocator<U>&) const noexcept { return true; }
};

template <class T> using CacheLineVector = std::vector<T, CacheLineAllocator<T>>;
