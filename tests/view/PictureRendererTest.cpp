// The view's picture drawing: exact pixels at scale 1, nearest and bilinear resampling at other
// scales against a direct per-pixel computation, background around the picture, and the clip.
#include "view/PictureRenderer.h"
#include "view/TBitmap32.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr TColor32 kBackground = 0xFF123456u;
constexpr TColor32 kUntouched = 0x01020304u;

TBitmap32 Pattern(int w, int h) {
    TBitmap32 b;
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixelClipped(
                x, y, Color32(uint8_t(x * 37 + y * 11), uint8_t(x * 5 + y * 53), uint8_t(x * y * 7), 255));
    return b;
}

TBitmap32 Target(int w, int h) {
    TBitmap32 t;
    t.SetSize(w, h);
    t.Clear(kUntouched);
    return t;
}

TViewPlacement Place(const TBitmap32& b, int64_t left, int64_t top, int64_t width, int64_t height) {
    TViewPlacement p;
    p.Left = left;
    p.Top = top;
    p.Width = width;
    p.Height = height;
    p.BitmapWidth = b.Width();
    p.BitmapHeight = b.Height();
    return p;
}

void Render(TBitmap32& target, const TBitmap32& bitmap, const TViewPlacement& p, TIntRect clip) {
    RenderPicture(target.WritablePixels(), bitmap, p, clip, kBackground);
}

// Bilinear value of one channel at source point (u, v) in pixel units, edges clamped.
double Bilinear(const TBitmap32& b, double u, double v, int shift) {
    const auto channel = [&](int x, int y) {
        x = std::clamp(x, 0, b.Width() - 1);
        y = std::clamp(y, 0, b.Height() - 1);
        return double((b.Pixel(x, y) >> shift) & 0xFF);
    };
    const double x = u - 0.5, y = v - 0.5;
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    const double top = channel(x0, y0) * (1 - fx) + channel(x0 + 1, y0) * fx;
    const double bottom = channel(x0, y0 + 1) * (1 - fx) + channel(x0 + 1, y0 + 1) * fx;
    return top * (1 - fy) + bottom * fy;
}

} // namespace

TEST(PictureRenderer, ScaleOneCopiesPixelsAndFillsAround) {
    const TBitmap32 bitmap = Pattern(5, 4);
    for (const char* resampler : {"TNearestResampler", "TLinearResampler"}) {
        TBitmap32 source;
        source.Assign(bitmap);
        source.SetResamplerClassName(resampler);
        TBitmap32 target = Target(9, 7);
        Render(target, source, Place(source, 2, 1, 5, 4), {0, 0, 9, 7});
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 9; ++x) {
                const bool inside = x >= 2 && x < 7 && y >= 1 && y < 5;
                const TColor32 expected = inside ? bitmap.Pixel(x - 2, y - 1) : kBackground;
                ASSERT_EQ(target.Pixel(x, y), expected) << resampler << " " << x << "," << y;
            }
    }
}

TEST(PictureRenderer, NearestTakesThePixelUnderEachCentre) {
    const TBitmap32 bitmap = Pattern(8, 6);
    // magnified 3 x 2 with a negative shift (scrolled), and shrunk into a stretched area
    struct Case {
        int64_t left, top, width, height;
    };
    for (const Case c : {Case{-5, -3, 24, 12}, Case{0, 0, 3, 5}, Case{1, 2, 13, 7}}) {
        TBitmap32 target = Target(20, 10);
        Render(target, bitmap, Place(bitmap, c.left, c.top, c.width, c.height), {0, 0, 20, 10});
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 20; ++x) {
                const bool inside = x >= c.left && x < c.left + c.width && y >= c.top && y < c.top + c.height;
                if (!inside) {
                    ASSERT_EQ(target.Pixel(x, y), kBackground);
                    continue;
                }
                const int sx = int(std::floor((x + 0.5 - c.left) * 8.0 / double(c.width)));
                const int sy = int(std::floor((y + 0.5 - c.top) * 6.0 / double(c.height)));
                ASSERT_EQ(target.Pixel(x, y), bitmap.Pixel(sx, sy)) << x << "," << y;
            }
    }
}

TEST(PictureRenderer, LinearInterpolatesBetweenFourNeighbours) {
    TBitmap32 bitmap = Pattern(6, 5);
    bitmap.SetResamplerClassName("TLinearResampler");
    TBitmap32 target = Target(17, 13);
    const TViewPlacement p = Place(bitmap, 1, 0, 15, 13); // 2.5 x 2.6
    Render(target, bitmap, p, {0, 0, 17, 13});
    int differing = 0;
    for (int y = 0; y < 13; ++y)
        for (int x = 1; x < 16; ++x) {
            const double u = (x + 0.5 - 1) * 6.0 / 15.0;
            const double v = (y + 0.5) * 5.0 / 13.0;
            const TColor32 got = target.Pixel(x, y);
            for (int shift : {0, 8, 16}) {
                const double want = Bilinear(bitmap, u, v, shift);
                ASSERT_NEAR(double((got >> shift) & 0xFF), want, 2.0) << x << "," << y << " shift " << shift;
            }
            const int sx = std::clamp(int(u), 0, 5), sy = std::clamp(int(v), 0, 4);
            if ((got & 0xFFFFFF) != (bitmap.Pixel(sx, sy) & 0xFFFFFF)) ++differing;
            ASSERT_EQ(got >> 24, 0xFFu);
        }
    EXPECT_GT(differing, 50); // it really blends rather than picking pixels
    EXPECT_EQ(target.Pixel(0, 5), kBackground);
    EXPECT_EQ(target.Pixel(16, 5), kBackground);
}

TEST(PictureRenderer, LinearShrinksByBlendingTheFourNeighbours) {
    // Narrower and taller, narrower and lower; small pictures and ones wide enough for the prefetching.
    struct Case {
        int sourceWidth, sourceHeight, width, height;
    };
    for (const Case c :
         {Case{60, 10, 17, 23}, Case{60, 50, 17, 13}, Case{9000, 6, 40, 20}, Case{9000, 40, 30, 10}}) {
        TBitmap32 bitmap = Pattern(c.sourceWidth, c.sourceHeight);
        bitmap.SetResamplerClassName("TLinearResampler");
        TBitmap32 target = Target(c.width, c.height);
        Render(target, bitmap, Place(bitmap, 0, 0, c.width, c.height), {0, 0, c.width, c.height});
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const double u = (x + 0.5) * c.sourceWidth / double(c.width);
                const double v = (y + 0.5) * c.sourceHeight / double(c.height);
                const TColor32 got = target.Pixel(x, y);
                ASSERT_EQ(got >> 24, 0xFFu);
                for (int shift : {0, 8, 16})
                    ASSERT_NEAR(double((got >> shift) & 0xFF), Bilinear(bitmap, u, v, shift), 3.0)
                        << c.sourceWidth << "x" << c.sourceHeight << " at " << x << "," << y << " shift "
                        << shift;
            }
    }
}

TEST(PictureRenderer, WritesOnlyInsideTheClip) {
    const TBitmap32 bitmap = Pattern(10, 10);
    TBitmap32 target = Target(10, 10);
    Render(target, bitmap, Place(bitmap, 0, 0, 10, 10), {3, 2, 7, 5});
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 3 && x < 7 && y >= 2 && y < 5;
            ASSERT_EQ(target.Pixel(x, y), inside ? bitmap.Pixel(x, y) : kUntouched) << x << "," << y;
        }
    // a clip reaching beyond the target is cut to it
    Render(target, bitmap, Place(bitmap, 0, 0, 10, 10), {-50, -50, 500, 500});
    EXPECT_EQ(target.Pixel(9, 9), bitmap.Pixel(9, 9));
}

TEST(PictureRenderer, TransparentAndEmptyPicturesDrawOpaque) {
    TBitmap32 fresh; // freshly sized: every pixel 0, alpha included
    fresh.SetSize(4, 4);
    TBitmap32 target = Target(6, 6);
    Render(target, fresh, Place(fresh, 0, 0, 4, 4), {0, 0, 6, 6});
    EXPECT_EQ(target.Pixel(1, 1), 0xFF000000u);
    EXPECT_EQ(target.Pixel(5, 5), kBackground);

    const TBitmap32 empty;
    Render(target, empty, TViewPlacement{}, {0, 0, 6, 6});
    EXPECT_EQ(target.Pixel(1, 1), kBackground);

    // a placement that no longer matches the bitmap (resized since) draws background only
    const TBitmap32 other = Pattern(3, 3);
    Render(target, other, Place(fresh, 0, 0, 4, 4), {0, 0, 6, 6});
    EXPECT_EQ(target.Pixel(1, 1), kBackground);
}
