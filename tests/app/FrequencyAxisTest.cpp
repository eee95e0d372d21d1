// The ruler's labels and the frequency read from a click on the picture.
#include "view/FrequencyAxis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>

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

// Each label's dash stands at its label's row: Y + 6 is that row, within rounding.
struct BandCase {
    float Rate;
    int Bands;
    int RowsPerBand;
    double Top;
    double Height;
};

class BandRulerLabelsTest : public ::testing::TestWithParam<BandCase> {};

TEST_P(BandRulerLabelsTest, EveryBandHasItsOwnScaleAndEachDashPointsAtItsBinsRow) {
    const BandCase c = GetParam();
    const std::vector<RulerLabel> labels = BandRulerLabels(c.Rate, {c.Top, c.Height}, c.Bands, c.RowsPerBand);
    ASSERT_EQ(labels.size(), size_t(23 * c.Bands));
    const double bandHeight = c.Height / c.Bands;
    const double rowHeight = bandHeight / c.RowsPerBand;
    const double topKHz = c.Rate / 2000.0;
    for (int band = 0; band < c.Bands; ++band) {
        const std::vector<RulerLabel> scale(labels.begin() + 23 * band, labels.begin() + 23 * (band + 1));
        const double bandTop = c.Top + band * bandHeight;
        EXPECT_EQ(scale.back().Text, "kHz");
        EXPECT_EQ(scale.back().Y, std::lround(bandTop) + 4);
        // The same texts in every band, as a one-band ruler of the band's height gives them.
        EXPECT_EQ(Texts(scale), Texts(RulerLabels(c.Rate, int(std::lround(bandHeight)))));
        for (int k = 2; k <= 23; ++k) {
            // The label of k * bandHeight / 24 names the frequency of the bin whose row's middle is there.
            const double kHz = topKHz * (24 - k) / 24;
            const double bin = kHz * 1000 / (c.Rate / 2) * c.RowsPerBand;
            const double rowMiddle = bandTop + (c.RowsPerBand - 1 - bin + 0.5) * rowHeight;
            EXPECT_NEAR(scale[size_t(k - 2)].Y + 6, rowMiddle, 0.5 + 1e-9) << "band " << band << " k " << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Rulers, BandRulerLabelsTest,
                         ::testing::Values(BandCase{8000, 1, 16, 0, 240},    // N = 32, one signal
                                           BandCase{48000, 1, 512, 1, 217},  // N = 1024 beside a frame
                                           BandCase{48000, 2, 256, 0, 480},  // N = 1024, two channels
                                           BandCase{48000, 2, 4, -1, 482},   // N = 16, two channels
                                           BandCase{250000, 2, 8, 3, 300})); // N = 32, no decimals

TEST(BandRulerLabels, WithoutRowsOneBandIsTheSpecifiedRuler) {
    const std::vector<RulerLabel> plain = RulerLabels(48000, 217);
    const std::vector<RulerLabel> band = BandRulerLabels(48000, {0, 217}, 1, 0);
    ASSERT_EQ(band.size(), plain.size());
    for (size_t i = 0; i < plain.size(); ++i) {
        EXPECT_EQ(band[i].Text, plain[i].Text);
        EXPECT_EQ(band[i].X, plain[i].X);
        EXPECT_EQ(band[i].Y, plain[i].Y);
    }
    EXPECT_TRUE(BandRulerLabels(48000, {0, 217}, 0, 0).empty());
}

} // namespace

// The complex picture's ruler: one scale from +R/2 to -R/2 whose dashes point at the middle of the row
// of their frequency (row r shows bin N/2 - 1 - r); without a centre frequency signed kHz, with one the
// radio frequency in MHz to a bin.
TEST(ComplexRulerLabels, OneSignedScaleWhoseDashesPointAtTheirRows) {
    for (const auto& [rate, rows, height, centre] :
         {std::tuple<float, int, double, int64_t>{48000, 1024, 480, 0},
          {48000, 64, 301, 0},
          {2400000, 16, 217, 0},
          {48000, 1024, 480, 14074000}}) {
        const std::vector<RulerLabel> labels = ComplexRulerLabels(rate, {2, height}, rows, centre);
        ASSERT_EQ(labels.size(), 23u);
        EXPECT_EQ(labels.back().Text, centre > 0 ? "MHz" : "kHz");
        const double rowHeight = height / rows;
        for (int k = 2; k <= 23; ++k) {
            const double hertz = rate / 2 - k * rate / 24;
            const double row = rows / 2.0 - 1 - hertz / (rate / rows);
            EXPECT_NEAR(labels[size_t(k - 2)].Y + 6, 2 + (row + 0.5) * rowHeight, 0.5 + 1e-9) << k;
            const double shown = std::stod(labels[size_t(k - 2)].Text.substr(2));
            EXPECT_NEAR(shown, centre > 0 ? (centre + hertz) / 1e6 : hertz / 1e3, centre > 0 ? 5e-6 : 0.05)
                << k;
        }
    }
    EXPECT_EQ(ComplexRulerLabels(48000, {0, 480}, 1024, 0)[10].Text, "- 0.0");
}
