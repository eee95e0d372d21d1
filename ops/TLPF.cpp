#include "ops/TLPF.h"

#include <cmath>
#include <numbers>

TLPF::TLPF(uint8_t sections, double fc, double fs, double Q, double gain)
    : gain_(gain), sections_(sections), state_(2 * static_cast<size_t>(sections), 0.0) {
    const double omega = static_cast<double>(std::numbers::pi_v<long double> * fc / fs / 2);
    const long double t =
        std::sin(static_cast<long double>(omega)) / std::cos(static_cast<long double>(omega));
    const double k = static_cast<double>(t / std::sqrt(static_cast<long double>(Q) * Q - 0.5L));
    const double g = static_cast<double>(static_cast<long double>(Q) * Q * k * k);
    const long double d = 1.0L + k + g;
    a2_ = static_cast<double>((1.0L - k + g) / d);
    a1n_ = static_cast<double>(2.0L * (1.0L - g) / d);
    b0_ = static_cast<double>(g / d);
}
