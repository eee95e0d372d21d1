#include "view/ViewPlacement.h"

#include <cmath>
#include <limits>

namespace {

// Drawn sizes and origins are kept far inside int64 so that later sums cannot overflow.
constexpr double kExtentLimit = 1e15;

int64_t ClampedRound(double v) {
    if (!(v > -kExtentLimit)) return static_cast<int64_t>(-kExtentLimit);
    if (v > kExtentLimit) return static_cast<int64_t>(kExtentLimit);
    return static_cast<int64_t>(std::nearbyint(v));
}

int32_t MapAxis(int32_t p, int64_t shift, int32_t bitmapSize, int64_t drawnSize) {
    if (drawnSize <= 0) return -1;
    const double v = (double(p) - double(shift)) * double(bitmapSize) / double(drawnSize);
    const double t = std::trunc(v);
    if (t >= double(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    if (t <= double(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(t);
}

} // namespace

float ClampViewScale(float scale) {
    return scale >= kMinViewScale ? scale : kMinViewScale;
}

int64_t ScaledExtent(int32_t size, float scale) {
    const int64_t extent = ClampedRound(double(size) * double(scale));
    return extent < 1 ? 0 : extent;
}

TViewPlacement ComputePlacement(const TPlacementInput& in) {
    TViewPlacement p;
    if (in.BitmapWidth <= 0 || in.BitmapHeight <= 0) return p;
    p.BitmapWidth = in.BitmapWidth;
    p.BitmapHeight = in.BitmapHeight;
    if (in.ScaleMode == TScaleMode::smStretch) {
        // The stretched picture fills the client area from its corner; the offset is kept for the
        // scale mode but not applied here, so that an earlier scroll cannot push it out of view.
        p.Width = in.ClientWidth > 0 ? in.ClientWidth : 0;
        p.Height = in.ClientHeight > 0 ? in.ClientHeight : 0;
        return p;
    }
    p.Width = ScaledExtent(in.BitmapWidth, ClampViewScale(in.ScaleX));
    p.Height = ScaledExtent(in.BitmapHeight, ClampViewScale(in.ScaleY));
    p.Left = ClampedRound(in.OffsetX);
    p.Top = ClampedRound(in.OffsetY);
    return p;
}

TBitmapPoint ControlToBitmap(const TViewPlacement& placement, int32_t px, int32_t py) {
    return {MapAxis(px, placement.Left, placement.BitmapWidth, placement.Width),
            MapAxis(py, placement.Top, placement.BitmapHeight, placement.Height)};
}
