// The readings' texts: as many decimals as the picture resolves, no "-0", silence and pending levels,
// and the marker's extent within one band or across both.
#include "app/ReadoutText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct NumberCase {
    double Value;
    double Resolution;
    const char* Seconds;
    const char* Hertz;
};

class NumberTextTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberTextTest, OneDecimalBeyondTheResolution) {
    const NumberCase c = GetParam();
    EXPECT_EQ(SecondsText(c.Value, c.Resolution), c.Seconds);
    EXPECT_EQ(HertzText(c.Value, c.Resolution), c.Hertz);
}

INSTANTIATE_TEST_SUITE_P(Resolutions, NumberTextTest,
                         ::testing::Values(NumberCase{15000, 93.75, "15000 s", "15000 Hz"},
                                           NumberCase{14953.125, 46.875, "14953 s", "14953 Hz"},
                                           NumberCase{1.23456, 0.0213, "1.235 s", "1.235 Hz"},
                                           NumberCase{15000.0012, 0.00572, "15000.0012 s", "15000.0012 Hz"},
                                           NumberCase{-0.0001, 0.01, "0.000 s", "0.000 Hz"},
                                           NumberCase{-0.005, 0.0213, "-0.005 s", "-0.005 Hz"},
                                           NumberCase{2.5, 0, "2.500 s", "2.500 Hz"},
                                           NumberCase{1e-12, 1e-12, "0.000000000 s", "0.000000 Hz"}));

TEST(LevelText, ValuesSilenceAndWaiting) {
    EXPECT_EQ(LevelText(LevelState::Ready, -3.249), "-3.2 dBFS");
    EXPECT_EQ(LevelText(LevelState::Ready, 0.04), "0.0 dBFS");
    EXPECT_EQ(LevelText(LevelState::Ready, -0.04), "0.0 dBFS");
    EXPECT_EQ(LevelText(LevelState::Ready, -std::numeric_limits<double>::infinity()), "-inf dBFS");
    EXPECT_EQ(LevelText(LevelState::Ready, std::nullopt), "");
    EXPECT_EQ(LevelText(LevelState::Computing, std::nullopt), "... dBFS");
    EXPECT_EQ(LevelText(LevelState::AfterJob, std::nullopt), "dBFS after the job");
    EXPECT_EQ(LevelText(LevelState::Unknown, -3.0), "");
}

TEST(ReadoutTexts, PointerAndMarker) {
    const PictureAxes two{1024, 1024, 5, 2, 48000, 400, 512};
    EXPECT_EQ(PointerReadoutText(two, 10, ReadRow(two, 95), LevelState::Ready, -12.25),
              " 0.101 s  15000 Hz ch 1  -12.2 dBFS"); // (10 * 1024 - 512) / 96000; bin 160
    const PictureAxes one{32, 32, 5, 1, 8000, 40, 16};
    EXPECT_EQ(PointerReadoutText(one, 3, ReadRow(one, 11), LevelState::Unknown, std::nullopt),
              " 0.0100 s  1000 Hz"); // (3 * 32 - 16) / 8000, a step of 0.004 s; bin 4 of 250 Hz
    EXPECT_EQ(MarkerReadoutText(two, ReadMarker(two, {10, 60, 20, 140})),
              " \u25AD 0.101 s  \u0394t 0.107 s  10781\u202618281 Hz ch 1  \u0394f 7500 Hz");
    EXPECT_EQ(MarkerReadoutText(two, ReadMarker(two, {10, 60, 20, 300})),
              " \u25AD 0.101 s  \u0394t 0.107 s  18281 Hz ch 1 \u2026 19781 Hz ch 2");
}

} // namespace
