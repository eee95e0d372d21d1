// The single-precision complex FFT for the power-of-two sizes 2 ... 16384: a conjugate-pair split-radix
// transform with one forward and one inverse kernel per size. Its tables are built once, before the
// first transform, and are read-only afterwards, so calls on different arrays may run on several
// threads at once.
#pragma once

#include <cstdint>
#include <span>

#include "spectral/FFTDirection.h"

// One complex value: real part, then imaginary part (8 bytes). A signal is a contiguous array of them.
struct TComplexSingle {
    float re;
    float im;
};
static_assert(sizeof(TComplexSingle) == 8);

inline constexpr int32_t kFFTPow2MinSize = 2;
inline constexpr int32_t kFFTPow2MaxSize = 16384;

// Whether FFTPow2 transforms arrays of N values (N = 2, 4, 8, ..., 16384).
bool FFTPow2Supports(int32_t N);

// Whether the inverse transform scales its result by 1/N. The forward transform never scales.
enum class FFTScaling : uint8_t { None, ByOneOverN };

// The order of the bins on the spectrum side: Natural (bin k at index k) or Kernel (bin k at index
// FFTPow2ScrambleTable(N)[k], as the kernels leave them, which saves the permutation).
enum class FFTOrder : uint8_t { Natural, Kernel };

// Transforms data[0 .. N-1] in place.
//   Forward: X[k] = sum_j x[j] * exp(+2*pi*i*j*k/N)  (positive exponent)
//   Inverse: x[j] = s * sum_k X[k] * exp(-2*pi*i*j*k/N), s = 1/N with ByOneOverN, else 1
// scaling: inverse only; every float is multiplied by the exact power of two 1/N before the kernel.
// order: Natural: forward, the result is permuted from kernel order into natural order; inverse, the
//   input is permuted from natural order into kernel order first. Kernel: the caller sees (or supplies)
//   the kernel order, and no permutation runs.
// work: optional scratch of at least N values for the permutation; nothing is allocated when given.
// An unsupported N leaves the data untouched. data must hold at least N values.
void FFTPow2(TComplexSingle* data, int32_t N, FFTDirection direction, FFTScaling scaling, FFTOrder order,
             TComplexSingle* work = nullptr);

// The kernel order of size N: entry k is the position at which the forward kernel leaves bin k.
// Empty for an unsupported N.
std::span<const uint16_t> FFTPow2ScrambleTable(int32_t N);
