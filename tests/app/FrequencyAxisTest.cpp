// The ruler's labels and the frequency read from a click on the picture.
#include "app/FrequencyAxis.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Texts(const std::vector<RulerLabel>& labels) {
    std::vector<std::string> texts;
    for (const RulerLabel& label : labels) texts.push_back(label.Text);
    return texts;
}

TEST(RulerLabels, FortyEightKilohertzShowsWholeKilohertzWithOneDecimal) {
    const std::vector<RulerLabel> labels = RulerLabels(48000, 240);
    ASSERT_EQ(labels.size(), 23u); // 22 values and "kHz"
    const std::vector<std::string> texts = Texts(labels);
    for (int k = 2; k <= 23; ++k) EXPECT_EQ(texts[size_t(k - 2)], "- " + std::to_string(24 - k) + ".0") << k;
    EXPECT_EQ(labels.back().Text, "kHz");
    EXPECT_EQ(labels.back().X, 5);
    EXPECT_EQ(labels.back().Y, 4);
}

TEST(RulerLabels, DecimalsFollowTheTopFrequency) {
    // Up to 10 kHz two decimals, up to 100 kHz one, above that none.
    EXPECT_EQ(RulerLabels(8000, 240).front().Text, "- 3.67");
    EXPECT_EQ(RulerLabels(8000, 240)[21].Text, "- 0.17");
    EXPECT_EQ(RulerLabels(20000, 240).front().Text, "- 9.17");
    EXPECT_EQ(RulerLabels(20002, 240).front().Text, "- 9.2");
    EXPECT_EQ(RulerLabels(200000, 240).front().Text, "- 91.7");
    EXPECT_EQ(RulerLabels(250000, 240).front().Text, "- 115");
    EXPECT_EQ(RulerLabels(0, 240).front().Text, "- 0.00");
    EXPECT_EQ(RulerLabels(0, 240)[21].Text, "- 0.00");
}

TEST(RulerLabels, LabelsStandSixPixelsAboveTheirRows) {
    const std::vector<RulerLabel> labels = RulerLabels(48000, 217);
    EXPECT_EQ(labels.front().Y, 12); // round(2 * 217 / 24 - 6)
    for (int k = 2; k <= 23; ++k) {
        EXPECT_EQ(labels[size_t(k - 2)].X, 0);
        EXPECT_NEAR(labels[size_t(k - 2)].Y, k * 217.0 / 24 - 6, 0.5) << k;
    }
    // At a height of 240 every row is a whole pixel: rows 20, 30, ... minus 6.
    const std::vector<RulerLabel> even = RulerLabels(48000, 240);
    for (int k = 2; k <= 23; ++k) EXPECT_EQ(even[size_t(k - 2)].Y, k * 10 - 6) << k;
}

TEST(RowFrequency, RowsRunFromHalfTheRateDownToZero) {
    EXPECT_EQ(RowFrequency(0, 512, 48000), 24000);
    EXPECT_EQ(RowFrequency(256, 512, 48000), 12000);
    EXPECT_EQ(RowFrequency(511, 512, 48000), 47); // 46.875 rounds up
    EXPECT_EQ(RowFrequency(512, 512, 48000), 0);
    // 8000 Hz, 3 rows: 4000/3 per row; 1333.33 -> 1333, 2666.67 -> 2667.
    EXPECT_EQ(RowFrequency(2, 3, 8000), 1333);
    EXPECT_EQ(RowFrequency(1, 3, 8000), 2667);
    // A half rounds to the even neighbour: 1 Hz per row of 0.5 -> row 511 of 1024 rows at 1024 Hz.
    EXPECT_EQ(RowFrequency(1023, 1024, 1024), 0); // 0.5 -> 0
    EXPECT_EQ(RowFrequency(1021, 1024, 1024), 2); // 1.5 -> 2
}

} // namespace
