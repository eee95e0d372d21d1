#include "DataLimit.h"

#include <fstream>
#include <string>

namespace {

// The process's data size (VmData) in bytes, or 0 when it cannot be read.
std::size_t DataBytesInUse() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmData:", 0) == 0) return std::stoull(line.substr(7)) * 1024;
    return 0;
}

} // namespace

LimitDataMemory::LimitDataMemory(std::size_t headroomBytes) {
    const std::size_t inUse = DataBytesInUse();
    if (!DataLimitUsable() || inUse == 0 || getrlimit(RLIMIT_DATA, &previous_) != 0) return;
    rlimit lowered = previous_;
    lowered.rlim_cur = inUse + headroomBytes;
    if (previous_.rlim_cur != RLIM_INFINITY && lowered.rlim_cur > previous_.rlim_cur) return;
    active_ = setrlimit(RLIMIT_DATA, &lowered) == 0;
}

LimitDataMemory::~LimitDataMemory() {
    if (active_) setrlimit(RLIMIT_DATA, &previous_);
}
