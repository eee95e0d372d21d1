// Per-pixel colour arithmetic shared by the overlays and the progress bar.
#pragma once

#include "view/Color32.h"

#include <cstdint>

// Ordinary alpha blending of `source` over `destination` with alpha 0 .. 255:
// result = source * alpha + destination * (1 - alpha) per colour channel, rounded to nearest
// ((s * a + d * (255 - a) + 127) / 255). The destination's alpha is kept.
constexpr TColor32 BlendColor(TColor32 source, TColor32 destination, uint32_t alpha) {
    const auto mix = [alpha](uint32_t s, uint32_t d) {
        return (s * alpha + d * (255u - alpha) + 127u) / 255u;
    };
    return (destination & 0xFF000000u) | (mix(RedOf(source), RedOf(destination)) << 16) |
           (mix(GreenOf(source), GreenOf(destination)) << 8) | mix(BlueOf(source), BlueOf(destination));
}

// Adds `delta` to red, green and blue separately, clamping each to 0 .. 255; alpha unchanged.
constexpr TColor32 Lighten(TColor32 colour, int32_t delta) {
    const auto shift = [delta](uint32_t c) -> uint32_t {
        const int64_t v = int64_t(c) + delta;
        return v < 0 ? 0u : v > 255 ? 255u : uint32_t(v);
    };
    return (colour & 0xFF000000u) | (shift(RedOf(colour)) << 16) | (shift(GreenOf(colour)) << 8) |
           shift(BlueOf(colour));
}

// a * (256 - w) + b * w, over 256 and truncated, for all four channels at once (two per 32-bit
// lane); w is 0 .. 256, so w = 0 gives a and w = 256 gives b exactly.
constexpr TColor32 LerpColor(TColor32 a, TColor32 b, uint32_t w) {
    const uint32_t iw = 256 - w;
    const uint32_t rb = (((a & 0x00FF00FFu) * iw + (b & 0x00FF00FFu) * w) >> 8) & 0x00FF00FFu;
    const uint32_t ag = (((a >> 8) & 0x00FF00FFu) * iw + ((b >> 8) & 0x00FF00FFu) * w) & 0xFF00FF00u;
    return rb | ag;
}
