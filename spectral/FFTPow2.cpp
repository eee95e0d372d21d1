#include "spectral/FFTPow2.h"

#include <cstring>
#include <memory>

#include "spectral/FFTPow2Kernels.h"

namespace {

// Every float times 1/N, an exact power of two.
void Scale(TComplexSingle* data, int32_t N) {
    const float factor = 1.0f / static_cast<float>(N);
    for (int32_t k = 0; k < N; ++k) {
        data[k].re *= factor;
        data[k].im *= factor;
    }
}

// One value moved as a single 8-byte word.
inline void Move(TComplexSingle* to, const TComplexSingle* from) {
    std::memcpy(to, from, sizeof(TComplexSingle));
}

// Calls move(k) for k = 0 .. N - 1 in tiles: for N >= 64, k = a * N/8 + m * 8 + b with a, b = 0 .. 7 and
// m fixed within a tile. The kernel-order positions of the eight k that share m and b are eight
// neighbours, so one tile reads eight whole cache lines and writes eight; in plain order every value
// would come from another line, and lines a power of two apart would evict each other.
template <class Visit> void ForEachInTiles(int32_t N, Visit&& move) {
    constexpr int32_t side = 8;
    if (N < side * side) {
        for (int32_t k = 0; k < N; ++k) move(k);
        return;
    }
    const int32_t rowStride = N / side;
    for (int32_t tile = 0; tile < rowStride; tile += side) {
        for (int32_t row = tile; row < N; row += rowStride) {
            for (int32_t k = row; k < row + side; ++k) move(k);
        }
    }
}

// Forward: data[k] = kernelOrder[scramble[k]].
void GatherNatural(TComplexSingle* data, int32_t N, const uint16_t* scramble,
                   const TComplexSingle* kernelOrder) {
    ForEachInTiles(N, [&](int32_t k) { Move(data + k, kernelOrder + scramble[k]); });
}

// Inverse: kernelOrder[scramble[k]] = data[k].
void ScatterKernelOrder(const TComplexSingle* data, int32_t N, const uint16_t* scramble,
                        TComplexSingle* kernelOrder) {
    ForEachInTiles(N, [&](int32_t k) { Move(kernelOrder + scramble[k], data + k); });
}

// Built with the first use of the engine or, at the latest, before main() starts.
[[maybe_unused]] const bool kTablesReady = (GetFFTPow2Tables(), GetFFTPow2Kernels(), true);

} // namespace

bool FFTPow2Supports(int32_t N) {
    return FFTPow2Log(N) > 0;
}

std::span<const uint16_t> FFTPow2ScrambleTable(int32_t N) {
    const int log = FFTPow2Log(N);
    if (log < 0) return {};
    return GetFFTPow2Tables().ScrambleTable[log];
}

void FFTPow2(TComplexSingle* data, int32_t N, FFTDirection direction, FFTScaling scaling, FFTOrder order,
             TComplexSingle* work) {
    const int log = FFTPow2Log(N);
    if (log < 0) return;
    const bool inverse = direction == FFTDirection::Inverse;
    const FFTPow2Tables& tables = GetFFTPow2Tables();
    const FFTPow2Kernel kernel = SelectKernel(GetFFTPow2Kernels(), log, direction);
    if (inverse && scaling == FFTScaling::ByOneOverN) Scale(data, N);
    if (order == FFTOrder::Kernel) {
        kernel(data, data, tables);
        return;
    }
    // The permutation goes through the scratch array: the forward kernel leaves its result there and
    // it is gathered into natural order; the inverse input is scattered there into kernel order and
    // the kernel takes it from there.
    std::unique_ptr<TComplexSingle[]> owned;
    if (work == nullptr) {
        // Not cleared: every value is written (by the kernel or the scatter) before it is read.
        owned = std::make_unique_for_overwrite<TComplexSingle[]>(static_cast<size_t>(N));
        work = owned.get();
    }
    const uint16_t* scramble = tables.ScrambleTable[log].data();
    if (inverse) {
        ScatterKernelOrder(data, N, scramble, work);
        kernel(data, work, tables);
    } else {
        kernel(data, work, tables);
        GatherNatural(data, N, scramble, work);
    }
}
