// Memory for the program's big arrays (the recording, the pictures). A block of a few megabytes or
// more comes straight from the system, aligned to 2 MiB and advised for transparent huge pages, so the
// kernel maps it a 2 MiB page at a time: on a large array that is hundreds of times fewer page faults
// than with 4 KiB pages, and those faults are most of the cost of filling a fresh array. Smaller
// blocks stay with the caller's usual allocator, and so does every block in sanitizer builds, whose
// checks need the allocator's own blocks.
#pragma once

#include <cstddef>

namespace large_memory {

// Whether a block of `bytes` is one to map (Map and Unmap) rather than to take from the usual allocator.
bool Maps(std::size_t bytes);

// A mapped block of `bytes`, all zero; nullptr when the memory cannot be had.
void* Map(std::size_t bytes);

// Gives back a block from Map with the same `bytes`; nullptr is ignored.
void Unmap(void* block, std::size_t bytes) noexcept;

} // namespace large_memory
