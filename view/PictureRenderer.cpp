#include "view/PictureRenderer.h"

#include "view/PixelBlend.h"
#include "view/TBitmap32.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr TColor32 kOpaque = 0xFF000000u;

// For each drawn pixel of one axis: the source pixel under its centre (nearest), or the two source
// pixels around it and the weight of the second in 1/256 (linear).
struct AxisSamples {
    std::vector<int32_t> First;
    std::vector<int32_t> Second;
    std::vector<uint32_t> Weight;
};

// Source coordinate of the centre of drawn pixel d, in source pixels.
double SourceCentre(int32_t d, int64_t shift, double inverseFactor) {
    return (double(d) + 0.5 - double(shift)) * inverseFactor;
}

int32_t ClampIndex(double v, int32_t size) {
    if (!(v >= 0)) return 0;
    if (v >= double(size - 1)) return size - 1;
    return int32_t(v);
}

AxisSamples NearestAxis(int32_t from, int32_t to, int64_t shift, int32_t sourceSize, int64_t drawnSize) {
    AxisSamples s;
    s.First.reserve(size_t(to - from));
    const double inv = double(sourceSize) / double(drawnSize);
    for (int32_t d = from; d < to; ++d)
        s.First.push_back(ClampIndex(std::floor(SourceCentre(d, shift, inv)), sourceSize));
    return s;
}

AxisSamples LinearAxis(int32_t from, int32_t to, int64_t shift, int32_t sourceSize, int64_t drawnSize) {
    AxisSamples s;
    const size_t n = size_t(to - from);
    s.First.reserve(n);
    s.Second.reserve(n);
    s.Weight.reserve(n);
    const double inv = double(sourceSize) / double(drawnSize);
    for (int32_t d = from; d < to; ++d) {
        const double u = SourceCentre(d, shift, inv) - 0.5;
        const double base = std::floor(u);
        int32_t first = ClampIndex(base, sourceSize);
        int32_t second = ClampIndex(base + 1, sourceSize);
        uint32_t weight = uint32_t(std::lround((u - base) * 256.0));
        if (base < 0) second = first; // left of the first pixel's centre: no neighbour to blend with
        if (first == second) weight = 0;
        s.First.push_back(first);
        s.Second.push_back(second);
        s.Weight.push_back(weight);
    }
    return s;
}

void FillSpan(TColor32* row, int32_t from, int32_t to, TColor32 colour) {
    for (int32_t x = from; x < to; ++x) row[x] = colour;
}

void FillBackground(const TPixelAccess& t, const TIntRect& clip, const TIntRect& picture, TColor32 bg) {
    for (int32_t y = clip.Top; y < clip.Bottom; ++y) {
        TColor32* row = t.Row(y);
        if (y < picture.Top || y >= picture.Bottom || picture.Empty()) {
            FillSpan(row, clip.Left, clip.Right, bg);
            continue;
        }
        FillSpan(row, clip.Left, picture.Left, bg);
        FillSpan(row, picture.Right, clip.Right, bg);
    }
}

void DrawNearest(const TPixelAccess& t, const TColor32* src, int32_t srcWidth, const TIntRect& d,
                 const AxisSamples& xs, const AxisSamples& ys) {
    const int32_t* xi = xs.First.data();
    const int32_t w = d.Width();
    for (int32_t y = d.Top; y < d.Bottom; ++y) {
        const TColor32* s = src + size_t(ys.First[size_t(y - d.Top)]) * size_t(srcWidth);
        TColor32* out = t.Row(y) + d.Left;
        if (y > d.Top && ys.First[size_t(y - d.Top)] == ys.First[size_t(y - d.Top - 1)]) {
            std::memcpy(out, out - t.Width, size_t(w) * sizeof(TColor32)); // same source row as above
            continue;
        }
        for (int32_t x = 0; x < w; ++x) out[x] = s[xi[x]] | kOpaque;
    }
}

void DrawLinear(const TPixelAccess& t, const TColor32* src, int32_t srcWidth, const TIntRect& d,
                const AxisSamples& xs, const AxisSamples& ys) {
    const int32_t w = d.Width();
    const int32_t* x0 = xs.First.data();
    const int32_t* x1 = xs.Second.data();
    const uint32_t* wx = xs.Weight.data();
    for (int32_t y = d.Top; y < d.Bottom; ++y) {
        const size_t k = size_t(y - d.Top);
        const TColor32* a = src + size_t(ys.First[k]) * size_t(srcWidth);
        const TColor32* b = src + size_t(ys.Second[k]) * size_t(srcWidth);
        const uint32_t wy = ys.Weight[k];
        TColor32* out = t.Row(y) + d.Left;
        if (wy == 0) {
            for (int32_t x = 0; x < w; ++x) out[x] = LerpColor(a[x0[x]], a[x1[x]], wx[x]) | kOpaque;
        } else {
            for (int32_t x = 0; x < w; ++x)
                out[x] = LerpColor(LerpColor(a[x0[x]], a[x1[x]], wx[x]), LerpColor(b[x0[x]], b[x1[x]], wx[x]),
                                   wy) |
                         kOpaque;
        }
    }
}

// The picture's rectangle, clipped to what is to be drawn.
TIntRect VisiblePicture(const TViewPlacement& p, const TIntRect& clip) {
    if (p.Empty()) return {};
    const auto clamp = [](int64_t v, int32_t lo, int32_t hi) {
        return int32_t(std::clamp<int64_t>(v, lo, hi));
    };
    TIntRect r{clamp(p.Left, clip.Left, clip.Right), clamp(p.Top, clip.Top, clip.Bottom),
               clamp(p.Left + p.Width, clip.Left, clip.Right),
               clamp(p.Top + p.Height, clip.Top, clip.Bottom)};
    return r.Empty() ? TIntRect{} : r;
}

} // namespace

void RenderPicture(const TPixelAccess& target, const TBitmap32& bitmap, const TViewPlacement& placement,
                   const TIntRect& clipRect, TColor32 background) {
    const TIntRect clip = Intersect(clipRect, {0, 0, target.Width, target.Height});
    if (clip.Empty() || target.Bits == nullptr) return;
    const bool drawable = !bitmap.Empty() && bitmap.Width() == placement.BitmapWidth &&
                          bitmap.Height() == placement.BitmapHeight;
    const TIntRect d = drawable ? VisiblePicture(placement, clip) : TIntRect{};
    FillBackground(target, clip, d, background | kOpaque);
    if (d.Empty()) return;
    const TColor32* src = bitmap.Bits();
    if (bitmap.Resampler() == TResamplerKind::Linear) {
        DrawLinear(target, src, bitmap.Width(), d,
                   LinearAxis(d.Left, d.Right, placement.Left, bitmap.Width(), placement.Width),
                   LinearAxis(d.Top, d.Bottom, placement.Top, bitmap.Height(), placement.Height));
    } else {
        DrawNearest(target, src, bitmap.Width(), d,
                    NearestAxis(d.Left, d.Right, placement.Left, bitmap.Width(), placement.Width),
                    NearestAxis(d.Top, d.Bottom, placement.Top, bitmap.Height(), placement.Height));
    }
}
