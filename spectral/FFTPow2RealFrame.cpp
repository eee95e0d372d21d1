#include "spectral/FFTPow2RealFrame.h"

#include <array>
#include <vector>

#include "spectral/FFTPow2Kernels.h"
#include "spectral/FFTPow2RealFrameKernels.h"

namespace {

const std::array<std::vector<uint16_t>, kFFTPow2MaxLog + 1>& RealFrameScrambleTables() {
    static const auto tables = [] {
        std::array<std::vector<uint16_t>, kFFTPow2MaxLog + 1> built;
        const FFTPow2Tables& full = GetFFTPow2Tables();
        for (int log = kFFTPow2MinLog; log <= kFFTPow2MaxLog; ++log) {
            const std::vector<uint16_t>& scramble = full.ScrambleTable[log];
            const auto n = static_cast<int32_t>(scramble.size());
            for (int32_t k = 0; k < n; ++k)
                built[log].push_back(scramble[FFTPow2RealFrameLeavesOut(k, n) ? n - k : k]);
        }
        return built;
    }();
    return tables;
}

} // namespace

bool FFTPow2RealFrameLeavesOut(int32_t k, int32_t N) {
    // A pass of N points leaves bin k = 4m + 1 in its third quarter and bin 4m + 3 in its last; the
    // even bins are those of its first half, a transform of N/2 points. The straight-line kernels up to
    // kRealFrameWholeUpTo points compute everything.
    for (; N > kRealFrameWholeUpTo; N /= 2, k /= 2)
        if (k % 2 == 1) return k % 4 == 3;
    return false;
}

bool FFTPow2RealFrameSupports(int32_t N) {
    return FFTPow2Supports(N) && FFTPow2KernelsAreAvx2();
}

void FFTPow2RealFrame(TComplexSingle* data, int32_t N) {
    if (!FFTPow2RealFrameSupports(N)) return;
    GetAvx2RealFrameKernels()[static_cast<size_t>(FFTPow2Log(N))](data);
}

std::span<const uint16_t> FFTPow2RealFrameScrambleTable(int32_t N) {
    const int log = FFTPow2Log(N);
    if (log < 0) return {};
    return RealFrameScrambleTables()[static_cast<size_t>(log)];
}
