// An 8-bit single-channel raster: width × height values, row-major, top row first. The palettes use
// it to hold the intensity of every pixel of a picture between reading and recolouring.
#pragma once

#include "view/Color32.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class TBitmap32;

class TByteMap {
public:
    TByteMap() = default;
    // A map of the given size with every value 0; a negative size becomes 0.
    TByteMap(int32_t width, int32_t height);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }

    // Resizes to width × height with every value 0. Throws std::bad_alloc with the map unchanged.
    void SetSize(int32_t width, int32_t height);

    // Value (x, y), or 0 outside the map.
    uint8_t Value(int32_t x, int32_t y) const;
    void SetValue(int32_t x, int32_t y, uint8_t value); // ignored outside the map
    const uint8_t* Bits() const { return values_.data(); }
    uint8_t* Bits() { return values_.data(); }

    // Takes the size of `source` and the WeightedIntensity of each of its pixels.
    void ReadFrom(const TBitmap32& source);
    // Resizes `target` to this map's size and sets every pixel to palette[value], row-major, then
    // fires the target's change notification. Draw mode, master alpha and resampler stay.
    void WriteTo(TBitmap32& target, const TPalette32& palette) const;

private:
    int32_t width_ = 0;
    int32_t height_ = 0;
    std::vector<uint8_t> values_;
};
