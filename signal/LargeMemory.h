// Memory for the program's big arrays (the recording, the pictures). A block of a few megabytes or
// more comes straight from the system, aligned to 2 MiB and advised for transparent huge pages, so the
// kernel maps it a 2 MiB page at a time: on a large array that is hundreds of times fewer page faults
// than with 4 KiB pages, and those faults are most of the cost of filling a fresh array. Smaller
// blocks stay with the caller's usual allocator, and so does every block in sanitizer builds, whose
// checks need the allocator's own blocks.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <utility>

namespace large_memory {

// Whether a block of `bytes` is one to map (Map and Unmap) rather than to take from the usual allocator.
bool Maps(std::size_t bytes);

// A mapped block of `bytes`, all zero; nullptr when the memory cannot be had.
void* Map(std::size_t bytes);

// Gives back a block from Map with the same `bytes`; nullptr is ignored.
void Unmap(void* block, std::size_t bytes) noexcept;

// Has the system map in, for writing, the whole pages within [start, start + bytes) of any block the
// program owns, as first writes would, without changing what they hold (a fresh mapping's pages come
// zeroed). Lets several threads fault in a large block in pieces, each of which can be followed by a
// look at a stop flag. False where the system cannot; the pages then come with the first writes.
bool Prefault(void* start, std::size_t bytes) noexcept;

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
        void* block = large_memory::Map(n * sizeof(T));
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
