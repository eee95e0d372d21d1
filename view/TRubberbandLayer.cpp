#include "view/TRubberbandLayer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int64_t kDashLength = 4;

int64_t Whole(float v) {
    return std::llround(std::clamp(double(v), -1e9, 1e9));
}

} // namespace

TColor32 TRubberbandLayer::DashColor(int64_t i) {
    return ((i < 0 ? -i : i) / kDashLength) % 2 == 0 ? kOpaqueWhite : kOpaqueBlack;
}

void TRubberbandLayer::Paint(TBitmap32& buffer) {
    if (buffer.Empty()) return;
    const TFloatRect r = AdjustedLocation();
    const int64_t left = Whole(std::min(r.Left, r.Right)), right = Whole(std::max(r.Left, r.Right));
    const int64_t top = Whole(std::min(r.Top, r.Bottom)), bottom = Whole(std::max(r.Top, r.Bottom));
    const TPixelAccess px = buffer.WritablePixels();
    const auto put = [&px](int64_t x, int64_t y, TColor32 c) {
        if (x >= 0 && y >= 0 && x < px.Width && y < px.Height) px.Row(int32_t(y))[x] = c;
    };
    const int64_t x1 = std::max<int64_t>(left, -1), x2 = std::min<int64_t>(right, px.Width);
    const int64_t y1 = std::max<int64_t>(top, -1), y2 = std::min<int64_t>(bottom, px.Height);
    for (int64_t x = x1; x <= x2; ++x) {
        put(x, top, DashColor(x - left));
        put(x, bottom, DashColor(x - left));
    }
    for (int64_t y = y1; y <= y2; ++y) {
        put(left, y, DashColor(y - top));
        put(right, y, DashColor(y - top));
    }
    buffer.Changed();
}
