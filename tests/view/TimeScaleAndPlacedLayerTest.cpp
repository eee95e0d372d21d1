// The time scale's round steps, labels and tick positions, and a positioned layer kept in picture
// coordinates: it follows the view's scale and shift, and view rectangles set on it come back.
#include "view/TLayerCollection.h"
#include "view/TRubberbandLayer.h"
#include "view/TimeScaleTicks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct StepCase {
    double PixelsPerSecond;
    double MinSpacing;
    double Step;
    const char* Label; // the label of 3 steps
};

class TimeScaleStepTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(TimeScaleStepTest, TheSmallestRoundStepThatKeepsLabelsApart) {
    const StepCase c = GetParam();
    const double step = TimeScaleStep(c.PixelsPerSecond, c.MinSpacing);
    EXPECT_DOUBLE_EQ(step, c.Step);
    EXPECT_GE(step * c.PixelsPerSecond, c.MinSpacing * (1 - 1e-9));
    EXPECT_EQ(TimeTickText(3 * step, step), c.Label);
}

INSTANTIATE_TEST_SUITE_P(Steps, TimeScaleStepTest,
                         ::testing::Values(StepCase{100, 60, 1, "3 s"}, StepCase{100, 100, 1, "3 s"},
                                           StepCase{100, 101, 2, "6 s"}, StepCase{1000, 60, 0.1, "0.3 s"},
                                           StepCase{1000, 300, 0.5, "1.5 s"}, StepCase{3, 60, 20, "60 s"},
                                           StepCase{3, 61, 50, "150 s"},
                                           StepCase{1e6, 70, 0.0001, "0.0003 s"},
                                           StepCase{0.01, 80, 10000, "30000 s"}));

TEST(TimeScaleTicks, MultiplesOfTheStepInsideTheRangeFromTheFirstTimeOn) {
    const TimeAxisPlacement axis{-37.5, 80}; // time 0 at x = -37.5, 80 pixels a second
    const std::vector<TimeTick> ticks = TimeScaleTicks(axis, 0.5, 0, 400, 0);
    ASSERT_EQ(ticks.size(), 10u); // 0.5 s (x = 2.5) .. 5.0 s (x = 362.5)
    for (size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_DOUBLE_EQ(ticks[i].Seconds, 0.5 * double(i + 1));
        EXPECT_DOUBLE_EQ(ticks[i].X, -37.5 + 80 * ticks[i].Seconds);
    }
    EXPECT_EQ(ticks.front().Text, "0.5 s");
    EXPECT_EQ(ticks.back().Text, "5.0 s");
    // Times before the first one are left out; a range or step of nothing gives nothing.
    EXPECT_DOUBLE_EQ(TimeScaleTicks({100, 80}, 0.5, 0, 400, 0).front().Seconds, 0.0);
    EXPECT_EQ(TimeScaleTicks({100, 80}, 0.5, 0, 400, 0).front().Text, "0.0 s");
    EXPECT_TRUE(TimeScaleTicks(axis, 0, 0, 400, 0).empty());
    EXPECT_TRUE(TimeScaleTicks(axis, 0.5, 400, 400, 0).empty());
    EXPECT_EQ(TimeScaleStep(0, 60), 0.0);
    EXPECT_EQ(TimeScaleStep(std::nan(""), 60), 0.0);
    // A tiny step over a huge range stops at a bound instead of filling the memory.
    EXPECT_LE(TimeScaleTicks({0, 1e-3}, 1e-9, 0, 1e9, 0).size(), 10000u);
}

TEST(TPositionedLayer, ScaledItStaysOnThePictureWhateverTheViewDoes) {
    TLayerCollection layers;
    double scaleX = 2, scaleY = 0.5, shiftX = 10, shiftY = -4;
    layers.SetViewportScaleQuery([&] { return std::pair{scaleX, scaleY}; });
    layers.SetViewportShiftQuery([&] { return std::pair{shiftX, shiftY}; });
    TRubberbandLayer* band = layers.Add<TRubberbandLayer>();
    band->SetScaled(true);
    band->SetAdjustedLocation({30, 16, 70, 46}); // view pixels
    EXPECT_FLOAT_EQ(band->Location().Left, 10);  // (30 - 10) / 2
    EXPECT_FLOAT_EQ(band->Location().Top, 40);   // (16 + 4) / 0.5
    EXPECT_FLOAT_EQ(band->Location().Right, 30);
    EXPECT_FLOAT_EQ(band->Location().Bottom, 100);

    // The view is resized or zoomed: the picture rectangle stays, the drawn one moves with it.
    scaleX = 4;
    scaleY = 1;
    shiftX = -20;
    const TFloatRect drawn = band->AdjustedLocation();
    EXPECT_FLOAT_EQ(drawn.Left, 20);
    EXPECT_FLOAT_EQ(drawn.Top, 36);
    EXPECT_FLOAT_EQ(drawn.Right, 100);
    EXPECT_FLOAT_EQ(drawn.Bottom, 96);
    TBitmap32 buffer;
    buffer.SetSize(200, 200);
    buffer.Clear(0xFF404040u);
    layers.Paint(buffer);
    EXPECT_NE(buffer.Pixel(20, 36), 0xFF404040u);
    EXPECT_NE(buffer.Pixel(100, 96), 0xFF404040u);
    EXPECT_EQ(buffer.Pixel(30, 10), 0xFF404040u); // where it was drawn before

    // A view without a picture cannot place a rectangle on one: nothing changes.
    scaleX = 0;
    band->SetAdjustedLocation({0, 0, 5, 5});
    EXPECT_FLOAT_EQ(band->Location().Left, 10);
    // Unscaled, the location is in view pixels as before.
    band->SetScaled(false);
    EXPECT_FLOAT_EQ(band->AdjustedLocation().Right, 30);
}

} // namespace
