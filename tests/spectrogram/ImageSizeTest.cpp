#include "spectral/FadeCurve.h"
#include "spectral/SpectrogramImageSize.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

TEST(SpectrogramImageSize, WidthLetsTheFramesSlidePastTheEnd) {
    struct Case {
        int32_t values, n, d;
        int64_t width;
        int32_t height;
    };
    for (const Case c : {Case{48000, 1024, 1, 49, 512}, Case{2048, 1024, 1, 5, 512}, Case{0, 1024, 1, 3, 512},
                         Case{0, 16, 4096, 4098, 8}, Case{2047, 1024, 1, 4, 512},
                         // r = 2.5, d = 2: 5 + 2 + 0.5 = 7.5 rounds to the even 8
                         Case{2560, 1024, 2, 9, 512},
                         // r = 3.5, d = 2: 7 + 2 + 0.5 = 9.5 rounds to the even 10
                         Case{3584, 1024, 2, 11, 512}, Case{5760000, 8388608, 64, 109, 4194304},
                         Case{384000, 1024, 8, 3010, 512}}) {
        const SpectrogramImageSize size = ComputeSpectrogramImageSize(c.values, c.n, c.d);
        EXPECT_EQ(size.Width, c.width) << c.values << " " << c.n << " " << c.d;
        EXPECT_EQ(size.Height, c.height);
        EXPECT_DOUBLE_EQ(size.Megabytes, static_cast<double>(c.width * c.height * 4) / 1048576.0);
    }
}

TEST(SpectrogramImageSize, RefusedFromFiveHundredAndOneMegabytes) {
    // N = 1024, d = 1: W = trunc(a / N) + 3 and MB = W / 512, so W = 256512 is exactly 501.0.
    const SpectrogramImageSize atLimit = ComputeSpectrogramImageSize((256512 - 3) * 1024, 1024, 1);
    EXPECT_EQ(atLimit.Width, 256512);
    EXPECT_DOUBLE_EQ(atLimit.Megabytes, 501.0);
    EXPECT_TRUE(atLimit.Refused());

    const SpectrogramImageSize below = ComputeSpectrogramImageSize((256511 - 3) * 1024, 1024, 1);
    EXPECT_LT(below.Megabytes, 501.0);
    EXPECT_FALSE(below.Refused());

    EXPECT_DOUBLE_EQ(ComputeSpectrogramImageSize(5760000, 8388608, 64).Megabytes, 1744.0);
    EXPECT_TRUE(ComputeSpectrogramImageSize(5760000, 8388608, 64).Refused());
}

// Columns k frames apart ("X * k"): the last column's frame lies past the end of the signal and the one
// before it does not, as at "X = Y" (checked here too); a 2 GB I/Q recording (a thousand million
// values) fits the picture limit from "X * 4" at N = 1024 in two bands, from "X * 8" as one complex band.
TEST(SpectrogramImageSize, WideItemsKeepTheLastFrameJustPastTheEnd) {
    for (const int32_t values : {0, 1, 1023, 1024, 1025, 48000, 1000000000})
        for (const int32_t n : {16, 1024, 8388608})
            for (const int32_t span : {1, 2, 4, 32}) {
                SpectrogramSettings settings;
                settings.FFTSize = n;
                settings.ColumnSpan = span;
                const int64_t width = ComputeSpectrogramImageSize(values, settings, 1).Width;
                const int64_t hop = SpectrogramColumnHop(settings);
                ASSERT_EQ(hop, int64_t{n} * span);
                const auto frameStart = [&](int64_t x) { return x * hop - n; };
                EXPECT_GT(frameStart(width - 1), int64_t{values} - 1) << values << " " << n << " " << span;
                EXPECT_LE(frameStart(width - 2), values) << values << " " << n << " " << span;
            }
    SpectrogramSettings settings;
    settings.ColumnSpan = 2;
    EXPECT_TRUE(ComputeSpectrogramImageSize(1000000000, settings, 2).Refused());
    settings.ColumnSpan = 4;
    EXPECT_FALSE(ComputeSpectrogramImageSize(1000000000, settings, 2).Refused());
    settings.IQSpectrum = true;
    EXPECT_TRUE(ComputeSpectrogramImageSize(1000000000, settings, 2).Refused());
    settings.ColumnSpan = 8;
    EXPECT_FALSE(ComputeSpectrogramImageSize(1000000000, settings, 2).Refused());
}

TEST(SpectrogramImageSize, HopIsAnIntegerDivisionAndZeroWhenDecimationExceedsN) {
    EXPECT_EQ(SpectrogramHop(1024, 1), 1024);
    EXPECT_EQ(SpectrogramHop(1024, 8), 128);
    EXPECT_EQ(SpectrogramHop(16, 16), 1);
    EXPECT_EQ(SpectrogramHop(16, 32), 0);
}

TEST(SpectrogramImageSize, PanelTextsUseThreeDecimalsAndAPoint) {
    EXPECT_EQ(ImageSizeText(49, 512, 0.095703125), " 49x512 - 0.096 Mb bmp");
    EXPECT_EQ(ImageSizeText(3, 8, 0.0000915), " 3x8 - 0.000 Mb bmp");
    EXPECT_EQ(RefusedImageText(49, 512, 1744.0), " ERRR!49x512 - 1744.000 Mb bmp");
    EXPECT_EQ(RefusedImageText(0, 0, 501.0), " ERRR!0x0 - 501.000 Mb bmp");
}

TEST(FadeCurve, PeriodicRaisedCosineOfAtMost1024Entries) {
    std::vector<float> curve;
    BuildFadeCurve(curve, 100000);
    ASSERT_EQ(curve.size(), 1024u);
    EXPECT_EQ(curve[0], 0.0f);
    EXPECT_EQ(curve[512], 1.0f);
    EXPECT_NEAR(curve[256], 0.5f, 1e-7);
    for (size_t i = 1; i < 1024; ++i) EXPECT_NEAR(curve[i], curve[1024 - i], 1e-6) << i;
    EXPECT_NEAR(curve[1], 0.5 - 0.5 * std::cos(2 * 3.14159265358979 / 1024), 1e-7);

    BuildFadeCurve(curve, 10);
    ASSERT_EQ(curve.size(), 10u);
    EXPECT_EQ(curve[5], 1.0f);
    BuildFadeCurve(curve, 0);
    EXPECT_TRUE(curve.empty());
}

// The image width of the widest picture that is small enough: of the list's own items the one with
// the most columns (the settings' own width does not matter), else the first wide item, and nothing
// without wide items.
struct FittingCase {
    const char* Name;
    int32_t Values;
    int32_t FFTSize;
    uint16_t Channels;
    bool IQ;
    bool Wide;
    std::optional<int> Item;
};

void PrintTo(const FittingCase& c, std::ostream* out) {
    *out << c.Name;
}

class FittingImageWidth : public ::testing::TestWithParam<FittingCase> {};

TEST_P(FittingImageWidth, IsTheWidestPictureThatIsNotRefused) {
    const FittingCase& c = GetParam();
    SpectrogramSettings settings;
    settings.FFTSize = c.FFTSize;
    settings.IQSpectrum = c.IQ;
    SelectXResolutionItem(6, settings); // "X / 64": the width asked for plays no part
    const std::optional<int> item = FittingXResolutionItem(c.Values, settings, c.Channels, c.Wide);
    EXPECT_EQ(item, c.Item);
    if (!item) return;
    SelectXResolutionItem(*item, settings);
    EXPECT_FALSE(ComputeSpectrogramImageSize(c.Values, settings, c.Channels).Refused());
    EXPECT_EQ(settings.FFTSize, c.FFTSize);
    EXPECT_EQ(settings.IQSpectrum, c.IQ);
}

INSTANTIATE_TEST_SUITE_P(
    , FittingImageWidth,
    ::testing::Values(
        FittingCase{"ShortRecording", 48000, 1024, 1, false, true, 12}, // "X / 4096": 196097 columns
        FittingCase{"JustBelowTheLimit", (256511 - 3) * 1024, 1024, 1, false, false, 0},
        FittingCase{"AtTheLimitTheFirstWideItem", (256512 - 3) * 1024, 1024, 1, false, true, 13},
        FittingCase{"AtTheLimitWithoutWideItems", (256512 - 3) * 1024, 1024, 1, false, false, {}},
        FittingCase{"TwoBandsOfAThousandMillion", 1000000000, 1024, 2, false, true, 14},
        FittingCase{"ComplexPictureHasTwiceTheRows", 1000000000, 1024, 2, true, true, 15},
        FittingCase{"ComplexViewOfOneChannelIsOneBand", 1000000000, 1024, 1, true, true, 14}),
    [](const auto& info) { return std::string(info.param.Name); });
