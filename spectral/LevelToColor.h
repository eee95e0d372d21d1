// The fixed "Spectrum" colour ramp: a linear level (bin magnitude × gain / 100) runs from black
// through blue, cyan-green, green, yellow, red and magenta to white at 5000000 and above.
#pragma once

#include "view/Color32.h"

#include <cmath>
#include <cstdint>

struct TRgb {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;

    friend bool operator==(const TRgb&, const TRgb&) = default;
};

namespace level_to_color_detail {

// One ramp value: (numerator / denominator) rounded to a 32-bit float, then the byte
// round(255 × value) with ties to even.
inline uint8_t RampByte(double numerator, double denominator) {
    const float value = static_cast<float>(numerator / denominator);
    return static_cast<uint8_t>(std::lrint(255.0 * static_cast<double>(value)));
}

} // namespace level_to_color_detail

// The colour of a level. Negative levels (and NaN) give black, levels at or above 5000000 white.
// Pure and branch-only, for use once per spectrogram pixel from any thread.
inline TRgb LevelToColor(float level) {
    using level_to_color_detail::RampByte;
    if (!(level >= 0.0f)) return {}; // negative or NaN
    const double x = level > 5000000.0f ? 5000000.0 : static_cast<double>(level);
    const auto n = static_cast<int32_t>(x);
    if (n < 10000) return {0, 0, RampByte(x, 10000.0)};
    if (n < 35000) return {0, RampByte(x - 10000.0, 25000.0), 255};
    if (n < 60000) return {0, 255, RampByte(60000.0 - x, 50000.0)};
    if (n < 90000) return {RampByte(x - 60000.0, 30000.0), 255, 0};
    if (n < 450000) return {255, RampByte(450000.0 - x, 360000.0), 0};
    if (n < 2500000) return {255, 0, RampByte(x - 450000.0, 2050000.0)};
    return {255, RampByte(x - 2500000.0, 2500000.0), 255};
}

// LevelToColor composed with alpha 255.
inline TColor32 LevelToColor32(float level) {
    const TRgb rgb = LevelToColor(level);
    return Color32(rgb.Red, rgb.Green, rgb.Blue, 255);
}
