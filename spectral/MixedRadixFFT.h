// The double-precision complex FFT for any length N >= 1 whose largest prime factor is at most
// cMaxPrimeFactor: decimation in time, a digit-reversal input permutation, then one radix pass per
// factor (butterflies for 2, 3, 4, 5, 8, 10 and a general one for other odd factors). Each length is
// planned once, on its first transform (MixedRadixPlan); concurrent calls on different arrays are safe.
#pragma once

#include <cstdint>
#include <vector>

#include "spectral/EMathError.h"
#include "spectral/FFTDirection.h"

// One complex value: real part, then imaginary part (16 bytes).
struct TComplexDouble {
    double re;
    double im;
};
static_assert(sizeof(TComplexDouble) == 16);

using TSimComplexArray = std::vector<TComplexDouble>;

// The largest factor a butterfly accepts.
inline constexpr int32_t cMaxPrimeFactor = 1021;

// The text of the EMathError raised for a length whose largest prime factor exceeds cMaxPrimeFactor.
inline constexpr const char* kPrimeFactorTooLargeMessage =
    "Prime factor for FFT length too large. Change value for cMaxPrimeFactor in FFTs unit";

// Transforms data[0 .. N-1] in place: FourierForward or FourierInverse.
// Raises EMathError (data untouched) when N cannot be factored, and std::out_of_range (data untouched)
// when N exceeds data.size(). N <= 0 does nothing.
void MixedRadixFFT(int32_t N, TSimComplexArray& data, FFTDirection direction);

// X[k] = sum_j x[j] * exp(-2*pi*i*j*k/N), natural order in and out, no scaling. input and output
// may be the same array (otherwise they must not overlap); input is left unchanged unless it is output.
// N <= 0 does nothing.
void FourierForward(const TComplexDouble* input, TComplexDouble* output, int32_t N);

// x[j] = (1/N) * sum_k X[k] * exp(+2*pi*i*j*k/N); always scaled by 1/N. Same array rules as above.
void FourierInverse(const TComplexDouble* input, TComplexDouble* output, int32_t N);
