// Allocation failures of pixels made to order for the window tests. Pixels come from calloc, which the
// switchable operator new of the test program does not reach; a lowered data limit makes them fail.
#pragma once

#include <cstddef>
#include <sys/resource.h>

// Lowers the process's data limit (RLIMIT_DATA) to what it uses now plus `headroomBytes` while the
// object lives, so that any larger mapping, calloc'd pixels included, fails.
class LimitDataMemory {
public:
    explicit LimitDataMemory(std::size_t headroomBytes);
    ~LimitDataMemory();
    LimitDataMemory(const LimitDataMemory&) = delete;
    LimitDataMemory& operator=(const LimitDataMemory&) = delete;

    bool Active() const { return active_; }

private:
    rlimit previous_{};
    bool active_ = false;
};

// The address and thread sanitizers serve allocations themselves and end the program on a failed one,
// so a data limit cannot be used under them.
constexpr bool DataLimitUsable() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return false;
#else
    return true;
#endif
}
