// The forward power-of-two transform, in kernel order, of a real frame (every imaginary part +0). Its
// bins k and N - k are conjugates, and the kernel computes them so, bit for bit: each pass's last
// quarter is the conjugate of its third, and the first half of a real frame's pass is a real frame
// again. This transform leaves out every last quarter (and so a third of the work at N = 1024); bin k
// is then read at the position where the kernel leaves bin k or bin N - k, both of the same magnitudes.
#pragma once

#include <cstdint>
#include <span>

#include "spectral/FFTPow2.h"

// Whether FFTPow2RealFrame runs for N on this processor (it leaves out the work of the AVX2 kernels;
// without them the frame goes through FFTPow2 whole).
bool FFTPow2RealFrameSupports(int32_t N);

// Transforms the real frame data[0 .. N - 1] in place: afterwards data[FFTPow2RealFrameScrambleTable(N)[k]]
// is, up to the sign of its imaginary part, the element FFTPow2(data, N, Forward, None, Kernel) gives
// for bin k at FFTPow2ScrambleTable(N)[k]. The positions no entry names hold nothing of use.
void FFTPow2RealFrame(TComplexSingle* data, int32_t N);

// Entry k: where FFTPow2RealFrame leaves bin k (or bin N - k) of the N-point transform.
std::span<const uint16_t> FFTPow2RealFrameScrambleTable(int32_t N);

// Whether FFTPow2RealFrame leaves out bin k of N, which is then read as bin N - k.
bool FFTPow2RealFrameLeavesOut(int32_t k, int32_t N);
