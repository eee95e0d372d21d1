#include "view/TByteMap.h"

#include "view/TBitmap32.h"

#include <algorithm>

namespace {

int32_t NonNegative(int32_t size) {
    return std::max(size, int32_t{0});
}

} // namespace

TByteMap::TByteMap(int32_t width, int32_t height) {
    SetSize(width, height);
}

void TByteMap::SetSize(int32_t width, int32_t height) {
    width = NonNegative(width);
    height = NonNegative(height);
    std::vector<uint8_t> values(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    values_ = std::move(values);
    width_ = width;
    height_ = height;
}

uint8_t TByteMap::Value(int32_t x, int32_t y) const {
    if (static_cast<uint32_t>(x) >= static_cast<uint32_t>(width_) ||
        static_cast<uint32_t>(y) >= static_cast<uint32_t>(height_))
        return 0;
    return values_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

void TByteMap::SetValue(int32_t x, int32_t y, uint8_t value) {
    if (static_cast<uint32_t>(x) >= static_cast<uint32_t>(width_) ||
        static_cast<uint32_t>(y) >= static_cast<uint32_t>(height_))
        return;
    values_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] = value;
}

void TByteMap::ReadFrom(const TBitmap32& source) {
    std::vector<uint8_t> values(source.PixelCount());
    const TColor32* pixels = source.Bits();
    std::transform(pixels, pixels + values.size(), values.begin(), WeightedIntensity);
    values_ = std::move(values);
    width_ = source.Width();
    height_ = source.Height();
}

void TByteMap::WriteTo(TBitmap32& target, const TPalette32& palette) const {
    const TPixelAccess pixels = target.ResizeForOverwrite(width_, height_);
    std::transform(values_.begin(), values_.end(), pixels.Bits, [&palette](uint8_t v) { return palette[v]; });
    target.Changed();
}
