#include "view/TransformedDraw.h"

#include "view/PixelBlend.h"
#include "view/TAffineTransformation.h"

#include <algorithm>
#include <cmath>

namespace {

// The source colour at source point (u, v), u and v inside the surface.
TColor32 Sample(const TBitmap32& src, double u, double v) {
    const int32_t w = src.Width();
    const int32_t h = src.Height();
    const auto clampIndex = [](double c, int32_t size) {
        return int32_t(std::clamp(c, 0.0, double(size - 1)));
    };
    if (src.Resampler() == TResamplerKind::Nearest)
        return src.Pixel(clampIndex(std::floor(u), w), clampIndex(std::floor(v), h));
    const double x = u - 0.5;
    const double y = v - 0.5;
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int32_t x0 = clampIndex(fx, w), x1 = clampIndex(fx + 1, w);
    const int32_t y0 = clampIndex(fy, h), y1 = clampIndex(fy + 1, h);
    const auto wx = uint32_t(std::lround((x - fx) * 256.0));
    const auto wy = uint32_t(std::lround((y - fy) * 256.0));
    return LerpColor(LerpColor(src.Pixel(x0, y0), src.Pixel(x1, y0), wx),
                     LerpColor(src.Pixel(x0, y1), src.Pixel(x1, y1), wx), wy);
}

bool Inside(const TFloatRect& r, const TFloatPoint& p) {
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

// Destination pixels that may be touched: the transformed source rectangle's bounds, widened to
// whole pixels and clipped to the destination.
void DestinationRange(const TAffineTransformation& t, const TBitmap32& dst, int32_t& x1, int32_t& y1,
                      int32_t& x2, int32_t& y2) {
    const TFloatRect b = t.TransformedBounds();
    const auto lo = [](float v, int32_t size) {
        return int32_t(std::clamp(std::floor(double(v)) - 1, 0.0, double(size)));
    };
    const auto hi = [](float v, int32_t size) {
        return int32_t(std::clamp(std::ceil(double(v)) + 1, 0.0, double(size)));
    };
    x1 = lo(b.Left, dst.Width());
    y1 = lo(b.Top, dst.Height());
    x2 = hi(b.Right, dst.Width());
    y2 = hi(b.Bottom, dst.Height());
}

} // namespace

void DrawTransformed(TBitmap32& destination, const TBitmap32& source,
                     const TAffineTransformation& transformation) {
    if (destination.Empty() || source.Empty()) return;
    const TFloatRect bounds = source.BoundsRect();
    TFloatRect area = transformation.SrcRect; // never sample outside the source surface
    area.Left = std::max(area.Left, bounds.Left);
    area.Top = std::max(area.Top, bounds.Top);
    area.Right = std::min(area.Right, bounds.Right);
    area.Bottom = std::min(area.Bottom, bounds.Bottom);
    int32_t x1, y1, x2, y2;
    DestinationRange(transformation, destination, x1, y1, x2, y2);
    const bool blend = source.DrawMode() == TDrawMode::dmBlend;
    const uint32_t master = source.MasterAlpha();
    const TPixelAccess out = destination.WritablePixels();
    for (int32_t y = y1; y < y2; ++y) {
        TColor32* row = out.Row(y);
        for (int32_t x = x1; x < x2; ++x) {
            const auto s = transformation.ReverseTransform({x + 0.5, y + 0.5});
            if (!s || !Inside(area, *s)) continue;
            const TColor32 c = Sample(source, s->X, s->Y);
            row[x] = blend ? BlendColor(c, row[x], AlphaOf(c) * master / 255) : c;
        }
    }
    destination.Changed();
}
