// The real-frame kernels: entry log2 N (1 .. 14) transforms a real frame of N points in place, leaving
// out the bins FFTPow2RealFrameLeavesOut names (see FFTPow2RealFrame.h).
#pragma once

#include <array>

#include "spectral/FFTPow2Tables.h"

// The sizes up to which the kernels compute every bin (their straight-line kernels).
inline constexpr int32_t kRealFrameWholeUpTo = 32;

using RealFrameKernel = void (*)(TComplexSingle* data);
using RealFrameKernelTable = std::array<RealFrameKernel, kFFTPow2MaxLog + 1>;

// The kernels for AVX2 and FMA; only for processors that have both.
const RealFrameKernelTable& GetAvx2RealFrameKernels();
