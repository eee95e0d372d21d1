// The one-parity kernels: entry log2 N (3 .. 14) transforms the N/2 packed values of an N-point frame
// in place (see FFTPow2OneParity.h); the smaller entries are empty.
#pragma once

#include <array>

#include "spectral/FFTPow2Tables.h"

using OneParityKernel = void (*)(TComplexSingle* values);
using OneParityKernelTable = std::array<OneParityKernel, kFFTPow2MaxLog + 1>;

// The kernels for AVX2 and FMA of parity 0 or 1, for any frame or for real frames (which leave out
// what FFTPow2RealFrame leaves out); only for processors that have both.
const OneParityKernelTable& GetAvx2OneParityKernels(int parity, bool realFrame);
