// The forward power-of-two transform, in kernel order, of a frame whose elements of one parity are all
// 0: the frame of one channel of an interleaved two-channel recording. Every butterfly of the N-point
// kernel combines four elements of the same parity until its last two stages, so the elements of the
// other parity stay 0 and only the N/2 others are worth computing: this runs the N-point kernel's own
// butterflies, with its own twiddles, on those N/2 elements alone, and does the last two stages (where
// the zeros only copy or negate a value, or swap its parts) as one.
#pragma once

#include <cstdint>
#include <span>

#include "spectral/FFTPow2.h"

// Whether FFTPow2OneParity takes frames of N points on this processor (the AVX2 kernels are the ones it
// repeats: without them the frame goes through FFTPow2 whole).
bool FFTPow2OneParitySupports(int32_t N);

// values[m] = frame[2m + parity], m = 0 .. N/2 - 1, of an N-point frame whose elements of the other
// parity are 0. Afterwards values[m] holds, up to the signs of its parts and their order, the element
// 2m and the element 2m + 1 of FFTPow2(frame, N, Forward, None, Kernel), which are equal in that sense:
// |re| and |im| of both, bit for bit, are |re| and |im| of values[m] (swapped for some).
void FFTPow2OneParity(TComplexSingle* values, int32_t N, int parity);

// Entry k: where FFTPow2OneParity leaves bin k (0 .. N - 1) of the N-point transform.
std::span<const uint16_t> FFTPow2OneParityScrambleTable(int32_t N);

// The same for a real frame, with the work that FFTPow2RealFrame leaves out left out: bin k is then
// at FFTPow2RealOneParityScrambleTable(N)[k] (where the bin that stands for it is, k or N - k).
void FFTPow2RealOneParity(TComplexSingle* values, int32_t N, int parity);
std::span<const uint16_t> FFTPow2RealOneParityScrambleTable(int32_t N);
