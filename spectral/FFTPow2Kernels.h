// The 28 kernels of the power-of-two FFT: one forward and one inverse per size 2 ... 16384. A kernel
// transforms a contiguous block, from natural order into kernel order (forward) or back (inverse),
// without scaling.
#pragma once

#include <array>

#include "spectral/FFTPow2Tables.h"

// A kernel of size N transforms a[0 .. N-1] in place. `other` (N values, or a itself) is where the
// forward kernel leaves its result, and where the inverse kernel takes its input from; a keeps
// intermediate values only.
using FFTPow2Kernel = void (*)(TComplexSingle* a, TComplexSingle* other, const FFTPow2Tables& tables);

// Entry 2 * (log2 N - 1) is the forward kernel of size N, the next entry its inverse.
using FFTPow2KernelTable = std::array<FFTPow2Kernel, 2 * kFFTPow2MaxLog>;

// The kernels, chosen once for this processor (wide vector kernels where it has them).
const FFTPow2KernelTable& GetFFTPow2Kernels();

// Whether those are the AVX2 kernels: the transforms that leave out part of their work repeat these bit
// for bit (the portable kernels round differently) and run only then.
bool FFTPow2KernelsAreAvx2();

// The portable kernels, usable on every x86-64; tests compare both families.
const FFTPow2KernelTable& GetPortableFFTPow2Kernels();

// The kernels for AVX2 and FMA; only for processors that have both.
const FFTPow2KernelTable& GetAvx2FFTPow2Kernels();

inline FFTPow2Kernel SelectKernel(const FFTPow2KernelTable& table, int log, FFTDirection direction) {
    return table[static_cast<size_t>(2 * (log - 1) + (direction == FFTDirection::Inverse ? 1 : 0))];
}
