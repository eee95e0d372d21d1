// Buffer sizes, the wave format record and the formats the record cannot describe; the fade table,
// the fade-out ramp and the fades of a copy's ends, against values worked out by hand.
#include "audio/PlaybackFormat.h"
#include "audio/PlaybackFades.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

TEST(PlayBufferBytes, AboutSixtyFourMillisecondsInEvenUnitsOf1024Bytes) {
    EXPECT_EQ(PlayBufferBytesFor(1, 8000), 2048);   // units 1, odd: 2
    EXPECT_EQ(PlayBufferBytesFor(1, 44100), 6144);  // units 5, odd: 6
    EXPECT_EQ(PlayBufferBytesFor(2, 48000), 12288); // units 12
    EXPECT_EQ(PlayBufferBytesFor(1, 48000), 6144);  // units 6
    EXPECT_EQ(PlayBufferBytesFor(2, 44100), 12288); // units 11, odd: 12
}

TEST(PlayBufferBytes, VeryLowRatesStillGetABufferThatAdvances) {
    EXPECT_EQ(PlayBufferBytesFor(1, 1), 2048);
    EXPECT_EQ(PlayBufferBytesFor(1, 7999), 2048);
    // Many channels at a high rate: computed without overflowing 32 bits.
    EXPECT_EQ(PlayBufferBytesFor(1000, 2000000), 250000 * 1024);
}

TEST(WaveFormat, RecordFieldsFollowChannelsAndRate) {
    const WaveFormat f = MakeWaveFormat(2, 44100);
    EXPECT_EQ(f.FormatTag, 1);
    EXPECT_EQ(f.Channels, 2);
    EXPECT_EQ(f.SamplesPerSec, 44100u);
    EXPECT_EQ(f.BitsPerSample, 16);
    EXPECT_EQ(f.BlockAlign, 4);
    EXPECT_EQ(f.AvgBytesPerSec, 176400u);
    EXPECT_EQ(f.ExtraSize, 0);
}

TEST(WaveFormat, RefusesWhatTheRecordCannotDescribe) {
    EXPECT_TRUE(FormatExpressible(1, 1));
    EXPECT_TRUE(FormatExpressible(2, 48000));
    EXPECT_FALSE(FormatExpressible(1, 0));
    EXPECT_FALSE(FormatExpressible(1, -8000));
    EXPECT_FALSE(FormatExpressible(0, 48000));
    EXPECT_FALSE(FormatExpressible(40000, 8000));   // block of 80000 bytes
    EXPECT_FALSE(FormatExpressible(2, 2000000000)); // 8e9 bytes per second
    EXPECT_TRUE(FormatExpressible(32767, 8000));
}

TEST(PlayFadeTable, RaisedCosineRisingOverTheFirstHalfAndFallingOverTheSecond) {
    const auto& t = PlayFadeTable();
    EXPECT_FLOAT_EQ(t[0], 0.0f);
    EXPECT_FLOAT_EQ(t[250], 1.0f);
    EXPECT_NEAR(t[125], 0.5f, 1e-6f);
    EXPECT_NEAR(t[375], 0.5f, 1e-6f);
    for (int i = 1; i < 250; ++i) {
        EXPECT_GT(t[size_t(i)], t[size_t(i - 1)]) << i;
        EXPECT_FLOAT_EQ(t[size_t(i)], t[size_t(500 - i)]) << i;
        EXPECT_NEAR(t[size_t(i)], 0.5 - 0.5 * std::cos(2.0 * M_PI * i / 500.0), 1e-6) << i;
    }
}

TEST(FadeOutRamp, TriangleFromZeroToOneAndBackToTwoOverLength) {
    std::vector<float> ramp;
    BuildFadeOutRamp(ramp, 2048);
    ASSERT_EQ(ramp.size(), 2048u);
    EXPECT_FLOAT_EQ(ramp[0], 0.0f);
    EXPECT_FLOAT_EQ(ramp[1024], 1.0f);
    EXPECT_FLOAT_EQ(ramp[1536], 0.5f);
    EXPECT_FLOAT_EQ(ramp[2047], 2.0f / 2048.0f);
    for (size_t j = 1025; j < 2048; ++j) EXPECT_LT(ramp[j], ramp[j - 1]) << j;

    // Rebuilt only for another length.
    ramp[5] = 42.0f;
    BuildFadeOutRamp(ramp, 2048);
    EXPECT_EQ(ramp[5], 42.0f);
    BuildFadeOutRamp(ramp, 6144);
    ASSERT_EQ(ramp.size(), 6144u);
    EXPECT_FLOAT_EQ(ramp[5], 1.0f - 2.0f * std::fabs(5.0f / 6144.0f - 0.5f));
    EXPECT_NEAR(ramp[6143], 2.0f / 6144.0f, 1e-7f); // the difference was rounded to a float first
}

TEST(FadePlaybackCopyEnds, FadesTheFirstAndLast250ValuesOnly) {
    std::vector<int16_t> copy(1200, int16_t(-20000));
    copy[600] = 12345;
    FadePlaybackCopyEnds(copy);
    const auto& t = PlayFadeTable();
    EXPECT_EQ(copy[0], 0);
    EXPECT_EQ(copy[1199], std::lrint(-20000.0 * double(t[499])));
    for (size_t i = 0; i < 250; ++i) {
        EXPECT_EQ(copy[i], std::lrint(-20000.0 * double(t[i]))) << i;
        EXPECT_EQ(copy[950 + i], std::lrint(-20000.0 * double(t[250 + i]))) << i;
    }
    for (size_t i = 250; i < 950; ++i) EXPECT_EQ(copy[i], i == 600 ? 12345 : -20000) << i;
    // Halfway up, -20000 * 0.5 exactly: no rounding question; the largest fade keeps the value.
    EXPECT_EQ(copy[950], -20000);
}

TEST(FadePlaybackCopyEnds, RoundsHalvesToEven) {
    // Entries 125 and 375 are exactly one half, so odd values meet the tie rule.
    const auto& t = PlayFadeTable();
    ASSERT_EQ(t[125], 0.5f);
    ASSERT_EQ(t[375], 0.5f);
    std::vector<int16_t> copy(1000, 0);
    copy[125] = 3;  // 1.5 -> 2
    copy[875] = 5;  // 2.5 -> 2
    copy[124] = -3; // about -1.5, not a tie: t[124] < 0.5, so -1
    FadePlaybackCopyEnds(copy);
    EXPECT_EQ(copy[125], 2);
    EXPECT_EQ(copy[875], 2);
    EXPECT_EQ(copy[124], -1);
}
