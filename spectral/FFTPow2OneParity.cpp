#include "spectral/FFTPow2OneParity.h"

#include <array>
#include <vector>

#include "spectral/FFTPow2Kernels.h"
#include "spectral/FFTPow2OneParityKernels.h"

namespace {

// The AVX2 kernels are the ones this repeats bit for bit; the portable ones round differently.
bool KernelsAreAvx2() {
    static const bool avx2 = &GetFFTPow2Kernels() == &GetAvx2FFTPow2Kernels();
    return avx2;
}

// ScrambleTable[log2 N][k] = the full kernel's position of bin k, halved.
const std::array<std::vector<uint16_t>, kFFTPow2MaxLog + 1>& OneParityScrambleTables() {
    static const auto tables = [] {
        std::array<std::vector<uint16_t>, kFFTPow2MaxLog + 1> built;
        const FFTPow2Tables& full = GetFFTPow2Tables();
        for (int log = kFFTPow2MinLog; log <= kFFTPow2MaxLog; ++log)
            for (const uint16_t position : full.ScrambleTable[log])
                built[log].push_back(static_cast<uint16_t>(position >> 1));
        return built;
    }();
    return tables;
}

} // namespace

bool FFTPow2OneParitySupports(int32_t N) {
    return FFTPow2Supports(N) && KernelsAreAvx2();
}

void FFTPow2OneParity(TComplexSingle* values, int32_t N, int parity) {
    if (!FFTPow2OneParitySupports(N)) return;
    const int log = FFTPow2Log(N);
    if (N == 4) { // the 2-point butterfly of the two values; for N = 2 the one value is the result
        const TComplexSingle a = values[0], b = values[1];
        values[0] = {a.re + b.re, a.im + b.im};
        values[1] = {a.re - b.re, a.im - b.im};
    } else if (N > 4) {
        GetAvx2OneParityKernels(parity & 1)[static_cast<size_t>(log)](values);
    }
}

std::span<const uint16_t> FFTPow2OneParityScrambleTable(int32_t N) {
    const int log = FFTPow2Log(N);
    if (log < 0) return {};
    return OneParityScrambleTables()[static_cast<size_t>(log)];
}
