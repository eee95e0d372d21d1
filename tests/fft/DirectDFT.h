// Reference transforms for the FFT tests: the textbook O(N^2) sum in extended precision, with the
// exponent's sign as a parameter, and the error measures the tests compare with.
#pragma once

#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

using LongComplex = std::complex<long double>;

// X[k] = sum_j x[j] * exp(sign * 2*pi*i*j*k/N); the angle is reduced exactly (j*k mod N).
inline std::vector<LongComplex> DirectDFT(const std::vector<LongComplex>& x, int sign) {
    const size_t n = x.size();
    std::vector<LongComplex> roots(n);
    for (size_t m = 0; m < n; ++m) {
        const long double angle =
            sign * 2 * std::numbers::pi_v<long double> * static_cast<long double>(m) / n;
        roots[m] = {std::cos(angle), std::sin(angle)};
    }
    // The products are written out: std::complex's operator* checks for infinities on every call.
    std::vector<LongComplex> result(n);
    for (size_t k = 0; k < n; ++k) {
        long double re = 0, im = 0;
        for (size_t j = 0, m = 0; j < n; ++j, m = m + k < n ? m + k : m + k - n) {
            re += x[j].real() * roots[m].real() - x[j].imag() * roots[m].imag();
            im += x[j].real() * roots[m].imag() + x[j].imag() * roots[m].real();
        }
        result[k] = {re, im};
    }
    return result;
}

// Uniform values in [-1, 1) on both parts, the same for every run of a test.
inline std::vector<LongComplex> RandomSignal(size_t n, uint32_t seed) {
    std::mt19937 generator(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::vector<LongComplex> x(n);
    for (auto& value : x) value = {uniform(generator), uniform(generator)};
    return x;
}

// Largest |got - want| over all bins, relative to the root-mean-square of want.
template <class Got> long double RelativeError(const Got& got, const std::vector<LongComplex>& want) {
    long double worst = 0, power = 0;
    for (size_t k = 0; k < want.size(); ++k) {
        const LongComplex value(got[k].re, got[k].im);
        worst = std::max(worst, std::abs(value - want[k]));
        power += std::norm(want[k]);
    }
    const long double rms = std::sqrt(power / static_cast<long double>(want.size()));
    return rms > 0 ? worst / rms : worst;
}
