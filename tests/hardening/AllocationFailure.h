// Makes the program's own allocations fail on demand: while a FailAllocationsFrom object lives, every
// operator new of at least the given size (on any thread) throws std::bad_alloc, as it would when the
// machine runs out of memory. The test program replaces the global operator new to do this, except in
// a ThreadSanitizer build: there the replacement would hide from TSan which library frees what, and
// Qt's thread pool, which it cannot see synchronise, would be reported; Available() is false there.
#pragma once

#include <cstddef>

class FailAllocationsFrom {
public:
    explicit FailAllocationsFrom(std::size_t bytes);
    ~FailAllocationsFrom();
    FailAllocationsFrom(const FailAllocationsFrom&) = delete;
    FailAllocationsFrom& operator=(const FailAllocationsFrom&) = delete;

    // How many allocations were refused so far.
    static std::size_t Refused();
    // Whether allocations can be made to fail in this build.
    static bool Available();
};
