#include "spectral/FadeCurve.h"

#include <algorithm>
#include <cmath>
#include <numbers>

void BuildFadeCurve(std::vector<float>& fadeCurve, std::size_t sampleCount) {
    const std::size_t length = std::min<std::size_t>(sampleCount, 1024);
    fadeCurve.resize(length);
    for (std::size_t i = 0; i < length; ++i) {
        // The phase is rounded to a double before the cosine, which runs in extended precision.
        const double t = static_cast<double>(static_cast<long double>(i) / length - 0.5L);
        const long double value = 0.5L * std::cos(2.0L * std::numbers::pi_v<long double> * t) + 0.5L;
        fadeCurve[i] = static_cast<float>(value);
    }
}
