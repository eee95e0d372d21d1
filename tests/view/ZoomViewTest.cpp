// The zoomed view's geometry: a zoom keeps the picture point under the pointer where it is, a scroll
// stays within the picture, a fit shows all of it, a part shown fills the view, and the scale limits
// hold.
#include "view/ZoomView.h"
#include "view/ViewPlacement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

constexpr double kNotch = 1.2589254117941673; // 10^(1/10)

// 4000 picture pixels in a 700-pixel view, zoomed in 3 times, its middle in sight.
ZoomAxis MiddleOfALongPicture() {
    ZoomAxis axis;
    axis.Picture = 4000;
    axis.View = 700;
    axis.Scale = 3.0f;
    axis.Offset = -5500;
    return axis;
}

struct AnchorCase {
    double Pointer; // view position
    double Factor;  // > 1 zooms in
};

class ZoomAboutThePointer : public ::testing::TestWithParam<AnchorCase> {};

} // namespace

TEST_P(ZoomAboutThePointer, KeepsThePicturePointUnderThePointer) {
    const auto [pointer, factor] = GetParam();
    const ZoomAxis before = MiddleOfALongPicture();
    const ZoomAxis after = before.ZoomedAbout(factor, pointer, {});
    EXPECT_NEAR(after.Scale, 3.0 * factor, 1e-5);
    // The offset is held to whole view pixels: the point moves by less than one.
    EXPECT_NEAR(after.ViewAt(before.PictureAt(pointer)), pointer, 0.5 + 1e-9);
    EXPECT_EQ(after.Offset, std::round(after.Offset));
}

INSTANTIATE_TEST_SUITE_P(PointersAndDirections, ZoomAboutThePointer,
                         ::testing::Values(AnchorCase{0, kNotch}, AnchorCase{0, 1 / kNotch},
                                           AnchorCase{123.4, kNotch}, AnchorCase{350, 1 / kNotch},
                                           AnchorCase{350, kNotch* kNotch}, AnchorCase{699, kNotch},
                                           AnchorCase{699, 1 / kNotch},
                                           AnchorCase{512, 1 / (kNotch * kNotch)}));

TEST(ZoomAxis, TheScaleLimitsHoldAndTheEdgesWinOverThePointer) {
    ZoomAxis axis = MiddleOfALongPicture();
    for (int notch = 0; notch < 20; ++notch) axis = axis.ZoomedAbout(kNotch, 200, {});
    EXPECT_FLOAT_EQ(axis.Scale, 10.0f);
    for (int notch = 0; notch < 40; ++notch) axis = axis.ZoomedAbout(1 / kNotch, 200, {0.05f, 10.0f});
    EXPECT_FLOAT_EQ(axis.Scale, 0.05f);
    // 200 pixels drawn in a 700-pixel view: it starts at the view's first pixel.
    EXPECT_EQ(axis.Offset, 0);
    EXPECT_EQ(axis.VisibleFrom(), 0);
    EXPECT_EQ(axis.VisibleTo(), 4000);
}

TEST(ZoomAxis, AScrollMovesByViewPixelsAndStopsAtTheEnds) {
    const ZoomAxis axis = MiddleOfALongPicture(); // 12000 pixels drawn
    EXPECT_EQ(axis.ScrolledBy(70).Offset, -5570);
    EXPECT_EQ(axis.ScrolledBy(-70).Offset, -5430);
    EXPECT_EQ(axis.ScrolledBy(1e9).Offset, 700 - 12000);
    EXPECT_EQ(axis.ScrolledBy(1e9).VisibleTo(), 4000);
    EXPECT_EQ(axis.ScrolledBy(-1e9).Offset, 0);
}

TEST(ZoomAxis, AFitShowsTheWholePictureWithinTheView) {
    for (const int picture : {333, 700, 4000, 99999}) {
        ZoomAxis axis = MiddleOfALongPicture();
        axis.Picture = picture;
        const ZoomAxis fitted = axis.Fitted(WindowZoomLimits(axis));
        EXPECT_EQ(fitted.VisibleFrom(), 0) << picture;
        EXPECT_EQ(fitted.VisibleTo(), picture) << picture;
        EXPECT_LE(ScaledExtent(picture, fitted.Scale), 700) << picture;
        EXPECT_GE(ScaledExtent(picture, fitted.Scale), 699) << picture;
    }
}

TEST(ZoomAxis, APartShownFillsTheViewOrIsCentredAtTheLimit) {
    const ZoomAxis axis = MiddleOfALongPicture();
    const ZoomAxis part = axis.Showing(1200, 1500, {});
    EXPECT_NEAR(part.Scale, 700.0 / 300, 1e-5);
    EXPECT_NEAR(part.VisibleFrom(), 1200, 1.0);
    EXPECT_NEAR(part.VisibleTo(), 1500, 1.0);
    // Reversed ends are the same part.
    EXPECT_EQ(axis.Showing(1500, 1200, {}).Offset, part.Offset);
    // 35 pixels would ask for a scale of 20: at 10 the part stands in the middle of the view.
    const ZoomAxis narrow = axis.Showing(2000, 2035, {});
    EXPECT_FLOAT_EQ(narrow.Scale, 10.0f);
    EXPECT_NEAR(narrow.ViewAt(2017.5), 350, 0.5);
}

TEST(ZoomView, TheVisibleRectangleIsThatOfBothAxes) {
    ZoomView view{MiddleOfALongPicture(), MiddleOfALongPicture()};
    view.Y.Picture = 512;
    view.Y.View = 600;
    view.Y.Scale = 2.0f;
    view.Y.Offset = -100;
    const ZoomVisibleRect r = view.Visible();
    EXPECT_DOUBLE_EQ(r.Left, 5500.0 / 3);
    EXPECT_DOUBLE_EQ(r.Right, 6200.0 / 3);
    EXPECT_DOUBLE_EQ(r.Top, 50);
    EXPECT_DOUBLE_EQ(r.Bottom, 350);
}

TEST(ZoomAxis, TheWindowsLimitsAlwaysAllowTheFitAndTenTimesIt) {
    ZoomAxis axis;
    axis.View = 1000;
    for (const auto& [picture, lowest, highest] :
         {std::tuple{50000, 0.02f, 10.0f}, std::tuple{2000, 0.1f, 10.0f}, std::tuple{250, 0.1f, 40.0f}}) {
        axis.Picture = picture;
        const ZoomScaleLimits limits = WindowZoomLimits(axis);
        EXPECT_FLOAT_EQ(limits.Lowest, lowest) << picture;
        EXPECT_FLOAT_EQ(limits.Highest, highest) << picture;
    }
}
