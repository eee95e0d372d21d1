#include "ops/CheckedInput.h"

#include <array>
#include <cmath>
#include <cstdio>

std::string PlainHertzText(double hertz) {
    std::array<char, 64> text{};
    if (std::nearbyint(hertz) == hertz && std::fabs(hertz) < 1e15)
        std::snprintf(text.data(), text.size(), "%.0f", hertz);
    else
        std::snprintf(text.data(), text.size(), "%.10g", hertz);
    return text.data();
}

std::string SampleRateBelowOneText(int32_t rate) {
    return "the sample rate " + std::to_string(rate) + " Hz is below 1 Hz";
}
