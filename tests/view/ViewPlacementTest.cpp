// Where the view puts its picture and which bitmap pixel lies under a view point, in both modes.
#include "view/ViewPlacement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TPlacementInput Stretch(int bw, int bh, int cw, int ch) {
    TPlacementInput in;
    in.BitmapWidth = bw;
    in.BitmapHeight = bh;
    in.ClientWidth = cw;
    in.ClientHeight = ch;
    return in;
}

TPlacementInput Scaled(int bw, int bh, float sx, float sy, double ox = 0, double oy = 0) {
    TPlacementInput in = Stretch(bw, bh, 300, 200);
    in.ScaleMode = TScaleMode::smScale;
    in.ScaleX = sx;
    in.ScaleY = sy;
    in.OffsetX = ox;
    in.OffsetY = oy;
    return in;
}

} // namespace

TEST(ViewPlacement, StretchFillsClientAreaAndMapsBack) {
    const TViewPlacement p = ComputePlacement(Stretch(49, 512, 490, 256));
    EXPECT_EQ(p.Left, 0);
    EXPECT_EQ(p.Top, 0);
    EXPECT_EQ(p.Width, 490);
    EXPECT_EQ(p.Height, 256);
    EXPECT_DOUBLE_EQ(p.FactorX(), 10.0);
    EXPECT_DOUBLE_EQ(p.FactorY(), 0.5);
    const TBitmapPoint b = ControlToBitmap(p, 245, 128);
    EXPECT_EQ(b.X, 24);
    EXPECT_EQ(b.Y, 256);
    const TBitmapPoint corner = ControlToBitmap(p, 489, 255);
    EXPECT_EQ(corner.X, 48);
    EXPECT_EQ(corner.Y, 510);
    // below and right of the picture: outside the bitmap, reported as is
    EXPECT_EQ(ControlToBitmap(p, 490, 256).X, 49);
    EXPECT_EQ(ControlToBitmap(p, 490, 256).Y, 512);
}

TEST(ViewPlacement, StretchIgnoresTheScrollOffset) {
    TPlacementInput in = Stretch(49, 512, 490, 256);
    in.OffsetX = -120;
    in.OffsetY = -33;
    const TViewPlacement p = ComputePlacement(in);
    EXPECT_EQ(p.Left, 0);
    EXPECT_EQ(p.Top, 0);
}

TEST(ViewPlacement, ScaleModeRoundsSizesWithTiesToEven) {
    TViewPlacement p = ComputePlacement(Scaled(49, 511, 2.0f, 0.5f));
    EXPECT_EQ(p.Width, 98);
    EXPECT_EQ(p.Height, 256); // 255.5 -> 256
    p = ComputePlacement(Scaled(5, 509, 0.5f, 0.5f));
    EXPECT_EQ(p.Width, 2);    // 2.5 -> 2
    EXPECT_EQ(p.Height, 254); // 254.5 -> 254
    p = ComputePlacement(Scaled(3, 7, 0.5f, 0.5f));
    EXPECT_EQ(p.Width, 2);  // 1.5 -> 2
    EXPECT_EQ(p.Height, 4); // 3.5 -> 4
}

TEST(ViewPlacement, ScaleFloorAndSubPixelPictures) {
    EXPECT_FLOAT_EQ(ClampViewScale(0.0005f), 0.001f);
    EXPECT_FLOAT_EQ(ClampViewScale(-3.0f), 0.001f);
    EXPECT_FLOAT_EQ(ClampViewScale(std::numeric_limits<float>::quiet_NaN()), 0.001f);
    EXPECT_FLOAT_EQ(ClampViewScale(0.001f), 0.001f);
    EXPECT_FLOAT_EQ(ClampViewScale(3.5f), 3.5f);
    // a scale below the floor draws as the floor
    EXPECT_EQ(ComputePlacement(Scaled(100000, 10, 0.0f, 1.0f)).Width, 100);
    // less than one pixel becomes 0, and the picture is empty
    const TViewPlacement tiny = ComputePlacement(Scaled(400, 10, 0.001f, 1.0f));
    EXPECT_EQ(tiny.Width, 0);
    EXPECT_TRUE(tiny.Empty());
    EXPECT_EQ(ControlToBitmap(tiny, 5, 5).X, -1);
    EXPECT_EQ(ControlToBitmap(tiny, 5, 5).Y, 5);
}

TEST(ViewPlacement, ScaleModeAfterScrollingTruncatesTowardZero) {
    const TViewPlacement p = ComputePlacement(Scaled(200, 100, 2.0f, 2.0f, -30.4, -10.6));
    EXPECT_EQ(p.Left, -30);
    EXPECT_EQ(p.Top, -11);
    EXPECT_EQ(ControlToBitmap(p, 0, 0).X, 15);
    EXPECT_EQ(ControlToBitmap(p, 0, 0).Y, 5);
    EXPECT_EQ(ControlToBitmap(p, 369, 210).X, 199);
    const TViewPlacement shifted = ComputePlacement(Scaled(200, 100, 2.0f, 2.0f, 10, 10));
    EXPECT_EQ(ControlToBitmap(shifted, 9, 7).X, 0);  // -0.5 truncates to 0
    EXPECT_EQ(ControlToBitmap(shifted, 7, 7).X, -1); // -1.5 truncates to -1
}

TEST(ViewPlacement, EmptyBitmapHasEmptyPlacement) {
    for (const TPlacementInput& in :
         {Stretch(0, 512, 490, 256), Stretch(49, 0, 490, 256), Scaled(0, 0, 2, 2)}) {
        const TViewPlacement p = ComputePlacement(in);
        EXPECT_TRUE(p.Empty());
        EXPECT_EQ(ControlToBitmap(p, 10, 10).X, -1);
    }
    EXPECT_TRUE(ComputePlacement(Stretch(49, 512, 0, 0)).Empty());
}

TEST(ViewPlacement, HugeScalesStayFinite) {
    const TViewPlacement p = ComputePlacement(Scaled(16384, 8000, 3.0e38f, 1.0f, -1e30, 0));
    EXPECT_GT(p.Width, 0);
    EXPECT_LT(p.Width, std::numeric_limits<int64_t>::max() / 4);
    const TBitmapPoint b = ControlToBitmap(p, 100, 100);
    EXPECT_EQ(b.Y, 100);
}
