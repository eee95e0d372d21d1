#include "view/ProgressBarDrawing.h"

#include "view/PixelBlend.h"
#include "view/TBitmap32.h"

#include <algorithm>

namespace {

constexpr int32_t kEdgeStrength = 32;
constexpr uint32_t kRaisedLightAlpha = kEdgeStrength * 512 / 100; // 163
constexpr uint32_t kRaisedDarkAlpha = kEdgeStrength * 255 / 100;  // 81

// Line drawing on the buffer's pixels; both ends inclusive, clipped to the buffer.
class Canvas {
public:
    explicit Canvas(TBitmap32& buffer) : px_(buffer.WritablePixels()) {}

    void HorzLine(int32_t x1, int32_t x2, int32_t y, TColor32 c) const {
        if (y < 0 || y >= px_.Height) return;
        for (int32_t x = std::max(x1, 0); x <= std::min(x2, px_.Width - 1); ++x) px_.Row(y)[x] = c;
    }
    void VertLine(int32_t x, int32_t y1, int32_t y2, TColor32 c) const {
        if (x < 0 || x >= px_.Width) return;
        for (int32_t y = std::max(y1, 0); y <= std::min(y2, px_.Height - 1); ++y) px_.Row(y)[x] = c;
    }
    void HorzLineBlend(int32_t x1, int32_t x2, int32_t y, TColor32 c, uint32_t alpha) const {
        if (y < 0 || y >= px_.Height) return;
        TColor32* row = px_.Row(y);
        for (int32_t x = std::max(x1, 0); x <= std::min(x2, px_.Width - 1); ++x)
            row[x] = BlendColor(c, row[x], alpha);
    }
    void VertLineBlend(int32_t x, int32_t y1, int32_t y2, TColor32 c, uint32_t alpha) const {
        if (x < 0 || x >= px_.Width) return;
        for (int32_t y = std::max(y1, 0); y <= std::min(y2, px_.Height - 1); ++y)
            px_.Row(y)[x] = BlendColor(c, px_.Row(y)[x], alpha);
    }
    void Fill(const TIntRect& r, TColor32 c) const {
        for (int32_t y = r.Top; y < r.Bottom; ++y) HorzLine(r.Left, r.Right - 1, y, c);
    }

private:
    TPixelAccess px_;
};

TIntRect Shrink(TIntRect r) {
    return {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
}

void DrawTrough(const Canvas& canvas, TIntRect r, const TProgressBarLook& look) {
    if (look.Framed) {
        canvas.HorzLine(r.Left, r.Right - 1, r.Top, look.FramePixel);
        canvas.HorzLine(r.Left, r.Right - 1, r.Bottom - 1, look.FramePixel);
        canvas.VertLine(r.Left, r.Top, r.Bottom - 1, look.FramePixel);
        canvas.VertLine(r.Right - 1, r.Top, r.Bottom - 1, look.FramePixel);
        r = Shrink(r);
    }
    const TColor32 bg = look.BackPixel;
    canvas.Fill(r, bg);
    const int32_t right = r.Right - 1;
    const int32_t bottom = r.Bottom - 1;
    const TColor32 dark = Lighten(bg, -32);
    canvas.HorzLine(r.Left, right, r.Top, dark);
    canvas.VertLine(r.Left, r.Top + 1, bottom, dark);
    if (!look.Framed) {
        const TColor32 light = Lighten(dark, 64);
        canvas.HorzLine(r.Left, right, bottom, light);
        canvas.VertLine(right, r.Top + 1, bottom, light);
    }
}

void DrawBar(const Canvas& canvas, const TIntRect& b, const TProgressBarLook& look) {
    if (b.Empty()) return;
    const TColor32 col = look.BarPixel;
    if (look.Contrast != 0) {
        const int64_t n = int64_t(b.Bottom) - b.Top;
        const int64_t mid = (int64_t(b.Top) + b.Bottom) / 2;
        for (int32_t y = b.Top; y < b.Bottom; ++y) {
            const int64_t delta = (mid - y) * look.Contrast / n;
            canvas.HorzLine(b.Left, b.Right - 1, y,
                            Lighten(col, int32_t(std::clamp<int64_t>(delta, -255, 255))));
        }
    } else {
        canvas.Fill(b, col);
    }
    canvas.HorzLineBlend(b.Left, b.Right - 1, b.Top, kOpaqueWhite, kRaisedLightAlpha);
    canvas.VertLineBlend(b.Left, b.Top + 1, b.Bottom - 2, kOpaqueWhite, kRaisedLightAlpha);
    canvas.HorzLineBlend(b.Left, b.Right - 1, b.Bottom - 1, kOpaqueBlack, kRaisedDarkAlpha);
    canvas.VertLineBlend(b.Right - 1, b.Top + 1, b.Bottom - 2, kOpaqueBlack, kRaisedDarkAlpha);
    if (look.Framed) canvas.VertLine(b.Right, b.Top, b.Bottom, look.FramePixel);
}

} // namespace

TIntRect ProgressBarRect(const TProgressBarLook& look, int32_t width, int32_t height) {
    TIntRect r{0, 0, width, height};
    if (look.Framed) r = Shrink(r);
    if (look.Min < look.Position && look.Min < look.Max) {
        // 64-bit so that extreme Min/Max/Position values cannot overflow into a wrong bar.
        const int64_t x = int64_t(r.Left) + (int64_t(look.Position) - look.Min) *
                                                (int64_t(r.Right) - r.Left) / (int64_t(look.Max) - look.Min);
        if (x < r.Right) r.Right = int32_t(x);
    } else {
        r.Right = r.Left;
    }
    return r;
}

void DrawProgressBar(TBitmap32& buffer, const TProgressBarLook& look) {
    if (buffer.Empty()) return;
    const Canvas canvas(buffer);
    DrawTrough(canvas, {0, 0, buffer.Width(), buffer.Height()}, look);
    DrawBar(canvas, ProgressBarRect(look, buffer.Width(), buffer.Height()), look);
    buffer.Changed();
}
