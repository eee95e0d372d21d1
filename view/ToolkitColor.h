// Colours in the encoding the window's controls use for their colour properties: 0x00BBGGRR for a
// plain colour, or 0xFF0000nn for the system colour number nn (looked up at drawing time).
#pragma once

#include "view/Color32.h"

#include <cstdint>
#include <functional>

using TColor = uint32_t;

inline constexpr TColor clBlack = 0x00000000u;
inline constexpr TColor clRed = 0x000000FFu;
inline constexpr TColor clLime = 0x0000FF00u;
inline constexpr TColor clWhite = 0x00FFFFFFu;
inline constexpr TColor clWindowFrame = 0xFF000006u; // system colour 6
inline constexpr TColor clBtnShadow = 0xFF000010u;   // system colour 16

// Resolves a system colour number to its plain 0x00BBGGRR value.
using SystemColorLookup = std::function<TColor(uint32_t index)>;

constexpr bool IsSystemColor(TColor colour) {
    return (colour & 0xFF000000u) == 0xFF000000u;
}

// The opaque pixel (alpha 255, red and blue swapped into place) of a plain or system colour.
TColor32 ColorToPixel(TColor colour, const SystemColorLookup& systemColors);

// The plain colour of an opaque pixel; the inverse of ColorToPixel for plain colours.
constexpr TColor PixelToColor(TColor32 pixel) {
    return TColor(RedOf(pixel)) | (TColor(GreenOf(pixel)) << 8) | (TColor(BlueOf(pixel)) << 16);
}
