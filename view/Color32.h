// The 32-bit colour value shared by every raster surface: alpha in bits 24 to 31, then red, green
// and blue. In memory on a little-endian machine the bytes run blue, green, red, alpha.
#pragma once

#include <array>
#include <cstdint>

using TColor32 = uint32_t;

// A 256-entry lookup from an 8-bit intensity to a colour.
using TPalette32 = std::array<TColor32, 256>;

inline constexpr TColor32 kOpaqueBlack = 0xFF000000u;
inline constexpr TColor32 kOpaqueWhite = 0xFFFFFFFFu;

// The colour value of (red, green, blue, alpha).
constexpr TColor32 Color32(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 255) {
    return (TColor32{alpha} << 24) | (TColor32{red} << 16) | (TColor32{green} << 8) | TColor32{blue};
}

constexpr uint8_t RedOf(TColor32 c) {
    return static_cast<uint8_t>(c >> 16);
}
constexpr uint8_t GreenOf(TColor32 c) {
    return static_cast<uint8_t>(c >> 8);
}
constexpr uint8_t BlueOf(TColor32 c) {
    return static_cast<uint8_t>(c);
}
constexpr uint8_t AlphaOf(TColor32 c) {
    return static_cast<uint8_t>(c >> 24);
}

// The 8-bit intensity of a colour: (61 red + 174 green + 21 blue) / 256. The weights sum to 256, so
// white gives 255. Alpha is ignored.
constexpr uint8_t WeightedIntensity(TColor32 c) {
    return static_cast<uint8_t>((61u * RedOf(c) + 174u * GreenOf(c) + 21u * BlueOf(c)) >> 8);
}
