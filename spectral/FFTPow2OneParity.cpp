#include "spectral/FFTPow2OneParity.h"

#include <array>
#include <vector>

#include "spectral/FFTPow2Kernels.h"
#include "spectral/FFTPow2OneParityKernels.h"
#include "spectral/FFTPow2RealFrame.h"

namespace {

using ScrambleTables = std::array<std::vector<uint16_t>, kFFTPow2MaxLog + 1>;

// Tables[log2 N][k] = the whole frame's position of bin k, halved.
ScrambleTables Halved(std::span<const uint16_t> (*wholeFrame)(int32_t)) {
    ScrambleTables halved;
    for (int log = kFFTPow2MinLog; log <= kFFTPow2MaxLog; ++log)
        for (const uint16_t position : wholeFrame(int32_t{1} << log))
            halved[log].push_back(static_cast<uint16_t>(position >> 1));
    return halved;
}

void Transform(TComplexSingle* values, int32_t N, int parity, bool realFrame) {
    if (!FFTPow2OneParitySupports(N)) return;
    if (N == 4) { // the 2-point butterfly of the two values; for N = 2 the one value is the result
        const TComplexSingle a = values[0], b = values[1];
        values[0] = {a.re + b.re, a.im + b.im};
        values[1] = {a.re - b.re, a.im - b.im};
    } else if (N > 4) {
        GetAvx2OneParityKernels(parity & 1, realFrame)[static_cast<size_t>(FFTPow2Log(N))](values);
    }
}

} // namespace

bool FFTPow2OneParitySupports(int32_t N) {
    return FFTPow2Supports(N) && FFTPow2KernelsAreAvx2();
}

void FFTPow2OneParity(TComplexSingle* values, int32_t N, int parity) {
    Transform(values, N, parity, false);
}

void FFTPow2RealOneParity(TComplexSingle* values, int32_t N, int parity) {
    Transform(values, N, parity, true);
}

std::span<const uint16_t> FFTPow2OneParityScrambleTable(int32_t N) {
    static const ScrambleTables tables = Halved(&FFTPow2ScrambleTable);
    const int log = FFTPow2Log(N);
    if (log < 0) return {};
    return tables[static_cast<size_t>(log)];
}

std::span<const uint16_t> FFTPow2RealOneParityScrambleTable(int32_t N) {
    static const ScrambleTables tables = Halved(&FFTPow2RealFrameScrambleTable);
    const int log = FFTPow2Log(N);
    if (log < 0) return {};
    return tables[static_cast<size_t>(log)];
}
