#include "spectral/LevelToColor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TRgb Rgb(int r, int g, int b) {
    return {static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
}

} // namespace

// Failure messages show the three bytes.
void PrintTo(const TRgb& c, std::ostream* os) {
    *os << "(" << +c.Red << ", " << +c.Green << ", " << +c.Blue << ")";
}

TEST(LevelToColor, LowerEndOfEveryRamp) {
    EXPECT_EQ(LevelToColor(0.0f), Rgb(0, 0, 0));
    EXPECT_EQ(LevelToColor(10000.0f), Rgb(0, 0, 255));
    EXPECT_EQ(LevelToColor(35000.0f), Rgb(0, 255, 128)); // the third ramp starts at blue 0.5
    EXPECT_EQ(LevelToColor(60000.0f), Rgb(0, 255, 0));
    EXPECT_EQ(LevelToColor(90000.0f), Rgb(255, 255, 0));
    EXPECT_EQ(LevelToColor(450000.0f), Rgb(255, 0, 0));
    EXPECT_EQ(LevelToColor(2500000.0f), Rgb(255, 0, 255));
    EXPECT_EQ(LevelToColor(5000000.0f), Rgb(255, 255, 255));
}

TEST(LevelToColor, JustBelowEachBoundary) {
    EXPECT_EQ(LevelToColor(9999.0f), Rgb(0, 0, 255));
    EXPECT_EQ(LevelToColor(34999.0f), Rgb(0, 255, 255));
    EXPECT_EQ(LevelToColor(59999.0f), Rgb(0, 255, 0));
    EXPECT_EQ(LevelToColor(89999.0f), Rgb(255, 255, 0));
    EXPECT_EQ(LevelToColor(449999.0f), Rgb(255, 0, 0));
    EXPECT_EQ(LevelToColor(2499999.0f), Rgb(255, 0, 255));
    EXPECT_EQ(LevelToColor(4999999.0f), Rgb(255, 255, 255));
}

TEST(LevelToColor, MidRampValuesRoundHalvesToEven) {
    EXPECT_EQ(LevelToColor(0.001f), Rgb(0, 0, 0));
    EXPECT_EQ(LevelToColor(5000.0f), Rgb(0, 0, 128)); // 127.5 rounds to even
    EXPECT_EQ(LevelToColor(270000.0f), Rgb(255, 128, 0));
    EXPECT_EQ(LevelToColor(22500.0f), Rgb(0, 128, 255));
    EXPECT_EQ(LevelToColor(75000.0f), Rgb(128, 255, 0));
    EXPECT_EQ(LevelToColor(3750000.0f), Rgb(255, 128, 255));
    // 1/255 of the first ramp: 39.2157 gives exactly blue 1 after rounding, 19 gives 0.
    EXPECT_EQ(LevelToColor(40.0f), Rgb(0, 0, 1));
    EXPECT_EQ(LevelToColor(19.0f), Rgb(0, 0, 0));
}

TEST(LevelToColor, OutOfRangeLevels) {
    EXPECT_EQ(LevelToColor(9e9f), Rgb(255, 255, 255));
    EXPECT_EQ(LevelToColor(std::numeric_limits<float>::infinity()), Rgb(255, 255, 255));
    EXPECT_EQ(LevelToColor(-1.0f), Rgb(0, 0, 0));
    EXPECT_EQ(LevelToColor(-0.5f), Rgb(0, 0, 0));
    EXPECT_EQ(LevelToColor(-1e30f), Rgb(0, 0, 0));
    EXPECT_EQ(LevelToColor(-std::numeric_limits<float>::infinity()), Rgb(0, 0, 0));
    EXPECT_EQ(LevelToColor(std::numeric_limits<float>::quiet_NaN()), Rgb(0, 0, 0));
}

// Walking the whole range in small steps, the colour moves by at most a couple of byte steps at a
// time except for the one jump at 35000.
TEST(LevelToColor, OnlyDiscontinuityIsAt35000) {
    int jumps = 0;
    TRgb previous = LevelToColor(0.0f);
    for (float level = 25.0f; level <= 5000000.0f; level += 25.0f) {
        const TRgb c = LevelToColor(level);
        const int change = std::abs(c.Red - previous.Red) + std::abs(c.Green - previous.Green) +
                           std::abs(c.Blue - previous.Blue);
        if (change > 2) {
            ++jumps;
            EXPECT_EQ(level, 35000.0f);
        }
        previous = c;
    }
    EXPECT_EQ(jumps, 1); // cyan (0, 255, 255) to (0, 255, 128) at 35000
}

TEST(LevelToColor, ComposedColourIsOpaque) {
    EXPECT_EQ(LevelToColor32(5000.0f), 0xFF000080u);
    EXPECT_EQ(LevelToColor32(-3.0f), 0xFF000000u);
    EXPECT_EQ(LevelToColor32(1e7f), 0xFFFFFFFFu);
}
