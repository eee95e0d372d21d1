// The ruler's label layout as a function of height, range and font: no two labels meet and none
// covers the unit, for every FFT size, both views and radio frequencies; the specified 24 steps stay
// whenever they have room; a thinned scale takes a 1-2-5 step with its decimals, at the right rows.
#include "app/RulerLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

namespace {

// A font of the ruler's size: 13-pixel lines and 6 pixels a character.
RulerFontMetrics TestFont() {
    return {13, [](const std::string& text) { return int(text.size()) * 6; }};
}

enum class View { OneSignal, TwoBands, Complex, ComplexRadio };

struct LayoutCase {
    View Shown;
    int FFTSize;
    double Height; // pixels of the picture beside the ruler
};

RulerScales ScalesOf(const LayoutCase& c) {
    RulerScales scales;
    scales.Span = {2, c.Height};
    switch (c.Shown) {
    case View::OneSignal:
        scales.Rate = 48000;
        scales.Rows = c.FFTSize / 2;
        break;
    case View::TwoBands:
        scales.Rate = 44100;
        scales.Bands = 2;
        scales.Rows = c.FFTSize / 4;
        break;
    case View::Complex:
        scales.Rate = 48000;
        scales.Complex = true;
        scales.Rows = c.FFTSize;
        break;
    case View::ComplexRadio:
        scales.Rate = 2400000;
        scales.Complex = true;
        scales.Rows = c.FFTSize;
        scales.CentreHertz = 145800000;
        break;
    }
    return scales;
}

class RulerLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(RulerLayoutTest, NoTwoLabelsMeetAndEachDashStandsAtItsValue) {
    const LayoutCase c = GetParam();
    const RulerScales scales = ScalesOf(c);
    const RulerLayout layout = LayOutRuler(scales, TestFont());
    const int scaleCount = scales.Complex ? 1 : scales.Bands;
    int units = 0;
    for (size_t i = 0; i < layout.Labels.size(); ++i) {
        const PlacedRulerLabel& label = layout.Labels[i];
        EXPECT_EQ(label.Width, int(label.Label.Text.size()) * 6);
        EXPECT_LE(label.Label.X + label.Width, layout.Width);
        for (size_t j = i + 1; j < layout.Labels.size(); ++j)
            EXPECT_FALSE(LabelsMeet(label, layout.Labels[j]))
                << label.Label.Text << " @" << label.Label.Y << " and " << layout.Labels[j].Label.Text << " @"
                << layout.Labels[j].Label.Y;
        if (label.Label.Text == "kHz" || label.Label.Text == "MHz") {
            ++units;
            continue;
        }
        // The dash (6 pixels below the text's top) stands at the row of the label's value.
        const double value = std::stod(label.Label.Text.substr(2));
        const double bandHeight = c.Height / scaleCount;
        const double halfRow = bandHeight / scales.Rows / 2;
        double y = 0;
        if (scales.Complex) {
            const double unit = scales.CentreHertz > 0 ? 1e6 : 1e3;
            const double hertz = value * unit - double(scales.CentreHertz);
            y = 2 + c.Height * (0.5 - hertz / scales.Rate) - halfRow;
            EXPECT_NEAR(hertz, std::clamp(hertz, -scales.Rate / 2.0, scales.Rate / 2.0), 1e-6);
        } else {
            const int band = int((label.Label.Y + 6 - 2) / bandHeight);
            y = 2 + band * bandHeight + bandHeight * (1 - value * 1000 / (scales.Rate / 2)) - halfRow;
        }
        // Within a pixel's rounding and half the last printed digit.
        const std::string::size_type point = label.Label.Text.find('.');
        const int decimals = point == std::string::npos ? 0 : int(label.Label.Text.size() - point - 1);
        const double valuesPerBand =
            scales.Complex ? scales.Rate / (scales.CentreHertz > 0 ? 1e6 : 1e3) : scales.Rate / 2000.0;
        const double digit = 0.5 * std::pow(10.0, -decimals) * bandHeight / valuesPerBand;
        EXPECT_NEAR(label.Label.Y + 6, y, 0.5 + digit + 1e-9) << label.Label.Text;
    }
    EXPECT_EQ(units, scaleCount);
    // Every scale keeps at least two values to read the others from.
    EXPECT_GE(int(layout.Labels.size()) - units, 2 * scaleCount);
}

std::vector<LayoutCase> AllCases() {
    std::vector<LayoutCase> cases;
    // 150 pixels: the picture at the first-start size of 800 x 400; then taller windows.
    for (const View view : {View::OneSignal, View::TwoBands, View::Complex, View::ComplexRadio})
        for (int fftSize = 16; fftSize <= 8388608; fftSize *= 2)
            for (const double height : {150.0, 217.0, 480.0, 901.0}) cases.push_back({view, fftSize, height});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryFFTSizeAndView, RulerLayoutTest, ::testing::ValuesIn(AllCases()));

TEST(RulerLayout, TheTwentyFourStepsStayWhereTheyHaveRoomAndAreThinnedToOneTwoFiveSteps) {
    // 480 pixels for one band: 20 pixels a step, room for every specified label.
    const RulerLayout tall = LayOutRuler(ScalesOf({View::OneSignal, 1024, 480}), TestFont());
    const std::vector<RulerLabel> given = BandRulerLabels(48000, {2, 480}, 1, 512);
    ASSERT_EQ(tall.Labels.size(), given.size());
    for (size_t i = 0; i < given.size(); ++i) EXPECT_EQ(tall.Labels[i].Label.Text, given[i].Text);

    // 150 pixels for 24 kHz: 14 pixels a label need 2.24 kHz, so every 5 kHz, no decimals.
    std::vector<std::string> texts;
    for (const PlacedRulerLabel& label :
         LayOutRuler(ScalesOf({View::OneSignal, 1024, 150}), TestFont()).Labels)
        texts.push_back(label.Label.Text);
    EXPECT_EQ(texts, (std::vector<std::string>{"- 20", "- 15", "- 10", "- 5", "kHz"}));

    // Radio frequencies over 2.4 MHz in 150 pixels: every 0.5 MHz, and the ruler as wide as they are.
    const RulerLayout radio = LayOutRuler(ScalesOf({View::ComplexRadio, 1024, 150}), TestFont());
    texts.clear();
    for (const PlacedRulerLabel& label : radio.Labels) texts.push_back(label.Label.Text);
    EXPECT_EQ(texts, (std::vector<std::string>{"- 146.5", "- 146.0", "- 145.5", "- 145.0", "MHz"}));
    EXPECT_EQ(radio.Width, 7 * 6);
}

} // namespace
