// Peak-keeping shrink: a picture drawn smaller than its size keeps, in each view pixel, the strongest
// of the picture pixels it covers. A one-pixel tone survives every shrink factor and position, and the
// fast drawing (reduced once, cached, drawn in bands) equals a per-pixel maximum computed directly.
#include "view/PeakShrink.h"
#include "view/LevelRanking.h"
#include "view/PictureRenderer.h"
#include "view/TBitmap32.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <tuple>

namespace {

constexpr TColor32 kBackground = 0xFF123456u;

// A scale of 200 greys, darkest weakest.
std::vector<TColor32> GreyScale() {
    std::vector<TColor32> colours;
    for (int i = 0; i < 200; ++i) colours.push_back(Color32(uint8_t(i), uint8_t(i), uint8_t(i)));
    return colours;
}

const TLevelRanking& Greys() {
    static const TLevelRanking ranking(GreyScale());
    return ranking;
}

TViewPlacement Place(int32_t bitmapWidth, int32_t bitmapHeight, int64_t left, int64_t top, int64_t width,
                     int64_t height) {
    return {left, top, width, height, bitmapWidth, bitmapHeight};
}

TBitmap32 Target(int w, int h) {
    TBitmap32 t;
    t.SetSize(w, h);
    t.Clear(0x01020304u);
    return t;
}

// Along one axis: the view pixel a picture pixel s belongs to, counted from the placement's edge,
// when `source` pixels are drawn over `drawn`: the last j whose span starts at or before s.
int64_t OwnerOf(int64_t s, int64_t source, int64_t drawn) {
    if (drawn == source) return s;
    return (s + 1) * drawn / source - ((s + 1) * drawn % source == 0 ? 1 : 0);
}

// The picture as a per-pixel maximum draws it: every picture pixel offers itself to the view pixel it
// belongs to, which keeps the first of the highest rank in row order. Both axes drawn at or below size.
TBitmap32 DirectPeaks(const TBitmap32& picture, const TLevelRanking& ranking, const TViewPlacement& p, int w,
                      int h) {
    TBitmap32 out = Target(w, h);
    std::vector<int> best(size_t(w) * size_t(h), -1);
    out.FillRect(0, 0, w, h, kBackground);
    for (int32_t y = 0; y < picture.Height(); ++y)
        for (int32_t x = 0; x < picture.Width(); ++x) {
            const int64_t vx = p.Left + OwnerOf(x, p.BitmapWidth, p.Width);
            const int64_t vy = p.Top + OwnerOf(y, p.BitmapHeight, p.Height);
            if (vx < 0 || vy < 0 || vx >= w || vy >= h) continue;
            const TColor32 c = picture.Pixel(x, y);
            int& b = best[size_t(vy) * size_t(w) + size_t(vx)];
            if (ranking.Rank(c) > b) {
                b = ranking.Rank(c);
                out.SetPixelClipped(int32_t(vx), int32_t(vy), c | 0xFF000000u);
            }
        }
    return out;
}

void ExpectSamePixels(const TBitmap32& a, const TBitmap32& b) {
    ASSERT_EQ(a.Width(), b.Width());
    ASSERT_EQ(a.Height(), b.Height());
    int differing = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y) && ++differing <= 3)
                ADD_FAILURE() << "(" << x << ", " << y << "): " << std::hex << a.Pixel(x, y) << " vs "
                              << b.Pixel(x, y);
    EXPECT_EQ(differing, 0);
}

// factor, tone along a row (true) or a column, linear resampler
using ToneCase = std::tuple<int, bool, bool>;

class OnePixelTone : public testing::TestWithParam<ToneCase> {};

// A dim picture with a single bright line (a row: a steady tone; a column: a click), drawn `factor`
// times smaller along the line's cross axis at every offset of the line: the line's colour shows in
// every view pixel along it, at the view pixel that covers it.
TEST_P(OnePixelTone, KeepsItsPeakColourAtEveryOffset) {
    const auto [factor, row, linear] = GetParam();
    const int32_t across = 24 * factor; // picture pixels across the line
    const int32_t along = 40;
    const TColor32 dim = GreyScale()[30];
    const TColor32 tone = GreyScale()[199];
    for (int32_t at = 0; at < across; ++at) {
        TBitmap32 picture;
        picture.SetSize(row ? along : across, row ? across : along);
        picture.Clear(dim);
        if (row)
            picture.FillRect(0, at, along, at + 1, tone);
        else
            picture.FillRect(at, 0, at + 1, along, tone);
        picture.SetResamplerClassName(linear ? kLinearResamplerName : kNearestResamplerName);
        const int64_t shrunk = across / factor;
        const TViewPlacement p =
            row ? Place(along, across, 0, 0, along, shrunk) : Place(across, along, 0, 0, shrunk, along);
        TBitmap32 view = Target(int(p.Width), int(p.Height));
        RenderPicture(view.WritablePixels(), picture, p, {0, 0, view.Width(), view.Height()}, kBackground,
                      &Greys());
        const int32_t owner = at / factor;
        for (int32_t i = 0; i < along; ++i) {
            const int32_t x = row ? i : owner;
            const int32_t y = row ? owner : i;
            ASSERT_EQ(view.Pixel(x, y), tone) << "line at " << at << ", view pixel " << x << ", " << y;
            // the neighbours across the line stay dim: the peak does not spread
            const int32_t nx = row ? x : (owner + 1) % int32_t(shrunk);
            const int32_t ny = row ? (owner + 1) % int32_t(shrunk) : y;
            ASSERT_EQ(view.Pixel(nx, ny), dim) << "line at " << at;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Factors, OnePixelTone,
                         testing::Combine(testing::Values(2, 3, 4, 7, 16), testing::Bool(), testing::Bool()));

// Random pictures of scale colours, drawn shrunk along one or both axes at random sizes and shifts,
// part of them off the view: the drawing equals the direct per-pixel maximum, also when parts of the
// view are drawn one after another from the kept reduction.
TEST(PeakShrink, EqualsTheDirectMaximum) {
    std::mt19937 random(20261209);
    const std::vector<TColor32> scale = GreyScale();
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int round = 0; round < 60; ++round) {
        TBitmap32 picture;
        picture.SetSize(pick(8, 300), pick(8, 300));
        const TPixelAccess px = picture.WritablePixels();
        // Some rounds mostly off the scale: those colours all rank 0, and only the first in row order
        // may show, which a wrong order among equally strong pixels would break.
        const int offScale = round % 4 == 0 ? 90 : 10;
        for (int32_t i = 0; i < px.Width * px.Height; ++i)
            px.Bits[i] = pick(1, 100) <= offScale ? Color32(uint8_t(pick(0, 255)), 7, uint8_t(pick(0, 255)))
                                                  : scale[size_t(pick(0, 199))];
        picture.Changed();
        picture.SetResamplerClassName(round % 2 ? kLinearResamplerName : kNearestResamplerName);
        const bool shrinkX = round % 3 != 1;
        const bool shrinkY = round % 3 != 2;
        const int64_t width = shrinkX ? pick(1, picture.Width() - 1) : picture.Width();
        const int64_t height = shrinkY ? pick(1, picture.Height() - 1) : picture.Height();
        const TViewPlacement p =
            Place(picture.Width(), picture.Height(), pick(-20, 20), pick(-20, 20), width, height);
        const int w = pick(10, 320);
        const int h = pick(10, 320);
        const TBitmap32 expected = DirectPeaks(picture, Greys(), p, w, h);
        TBitmap32 whole = Target(w, h);
        RenderPicture(whole.WritablePixels(), picture, p, {0, 0, w, h}, kBackground, &Greys());
        SCOPED_TRACE("round " + std::to_string(round));
        ExpectSamePixels(whole, expected);
        TPeakShrinkCache cache;
        TBitmap32 parts = Target(w, h);
        RenderPicture(parts.WritablePixels(), picture, p, {0, 0, w / 2, h}, kBackground, &Greys(), &cache);
        RenderPicture(parts.WritablePixels(), picture, p, {w / 2, 0, w, h}, kBackground, &Greys(), &cache);
        ExpectSamePixels(parts, expected);
    }
}

// The pixel a readout reads is the one the drawing shows: the strongest of those a view pixel covers.
TEST(PeakShrink, StrongestCoveredPixelIsTheOneShown) {
    TBitmap32 picture;
    picture.SetSize(12, 40);
    picture.Clear(GreyScale()[10]);
    picture.SetPixelClipped(7, 13, GreyScale()[150]);
    picture.SetPixelClipped(2, 14, GreyScale()[180]);
    const TViewPlacement p = Place(12, 40, 0, 0, 3, 8); // 4 columns and 5 rows per view pixel
    const TIntRect cells = CoveredPixels(p, 0, 2);
    EXPECT_EQ(cells, (TIntRect{0, 10, 4, 15}));
    const TBitmapPoint at = StrongestPixel(picture, Greys(), cells);
    EXPECT_EQ(at.X, 2);
    EXPECT_EQ(at.Y, 14);
    const TBitmapPoint next = StrongestPixel(picture, Greys(), CoveredPixels(p, 1, 2));
    EXPECT_EQ(next.X, 7);
    EXPECT_EQ(next.Y, 13);
    EXPECT_TRUE(CoveredPixels(p, 3, 2).Empty()); // beside the picture
}

} // namespace
