// The tables of the power-of-two FFT: per size, the kernel order of the bins (ScrambleTable) and the
// twiddle factors of the pass (TwiddleTable). Built once, on first use (thread-safe), read-only after.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "spectral/FFTPow2.h"

// log2 of the supported sizes: 1 (N = 2) ... 14 (N = 16384).
inline constexpr int kFFTPow2MinLog = 1;
inline constexpr int kFFTPow2MaxLog = 14;
// Sizes from which the pass stores only the first eighth of the circle and uses its symmetry.
inline constexpr int32_t kSymmetricTwiddleMinSize = 1024;
// The smallest size whose pass reads a twiddle table; smaller kernels use constants.
inline constexpr int32_t kTwiddleTableMinSize = 32;

struct FFTPow2Tables {
    // ScrambleTable[log2 N]: N entries; entry k is where the forward kernel leaves bin k.
    std::array<std::vector<uint16_t>, kFFTPow2MaxLog + 1> ScrambleTable;
    // TwiddleTable[log2 N] for N >= 32: M - 1 entries, entry k - 1 = (cos 2pi k/N, sin 2pi k/N),
    // k = 1 .. M - 1, with M = N/4 up to 512 and M = N/8 from 1024.
    std::array<std::vector<TComplexSingle>, kFFTPow2MaxLog + 1> TwiddleTable;
};

// Log2 of N when N is a supported size, else -1.
int FFTPow2Log(int32_t N);

// The tables, built on the first call.
const FFTPow2Tables& GetFFTPow2Tables();
