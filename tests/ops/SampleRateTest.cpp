// "ASR", and what the rate-dependent edits do with a rate below 1 (from a file header, say).
#include "OpsTestSupport.h"

#include "ops/FFTBandFilter.h"
#include "ops/FrequencyShift.h"
#include "ops/IQToReal.h"
#include "ops/LPFFilter.h"
#include "ops/SampleRateAdjust.h"
#include "signal/NumberText.h"

#include <gtest/gtest.h>

using namespace opstest;

TEST(AdjustSampleRate, RelabelsWithoutTouchingTheValues) {
    const std::vector<int16_t> values = {5, -6, 7, -8};
    SignalStore store = MakeStore(values, 1, 48000);
    EXPECT_TRUE(AdjustSampleRate(store, "96000"));
    EXPECT_EQ(store.SampleRate, 96000);
    EXPECT_EQ(Values(store), values);
    EXPECT_EQ(ChannelRateText(store), "  Channels: 1  SmpleRate: 96000");
    EXPECT_TRUE(AdjustSampleRate(store, " 48000 "));
    EXPECT_EQ(store.SampleRate, 48000);
    store.ChannelCount = 2;
    EXPECT_EQ(ChannelRateText(store), "  Channels: 2  SmpleRate: 48000");
}

TEST(AdjustSampleRate, RefusesRatesBelowOneAndTextsThatAreNotIntegers) {
    SignalStore store = MakeStore({1, 2}, 2, 44100);
    EXPECT_FALSE(AdjustSampleRate(store, "0"));
    EXPECT_FALSE(AdjustSampleRate(store, "-48000"));
    EXPECT_EQ(store.SampleRate, 44100);
    EXPECT_TRUE(AdjustSampleRate(store, "1"));
    EXPECT_EQ(store.SampleRate, 1);
    for (const char* text : {"48000.0", "abc", "", "4 8000", "99999999999"}) {
        EXPECT_THROW(AdjustSampleRate(store, text), EConvertError) << text;
        EXPECT_EQ(store.SampleRate, 1) << text;
    }
}

TEST(RateBelowOne, RateDependentEditsAreRefusedAndChangeNothing) {
    const std::vector<int16_t> values = Noise(20000, 20000, 12);
    for (const int32_t rate : {0, -1, -48000, INT32_MIN}) {
        SignalStore store = MakeStore(values, 2, rate);
        JobControl job;
        EXPECT_FALSE(LPFCutoffFromText(store, "0")) << rate;
        EXPECT_FALSE(ShiftFrequencyFromText(store, "0")) << rate;
        EXPECT_FALSE(FFTFilterRequestFromTexts(store, "0", "0", 0)) << rate;
        // Called directly, the edits leave the store alone as well.
        LPFFilterStore(store, 0, job);
        SinShift(store, 0, job);
        CosShift(store, 0, job);
        FFTBandFilter(store, 0, 0, 1, job);
        EXPECT_FALSE(ConvertIQToReal(store, job));
        EXPECT_EQ(Values(store), values) << rate;
        EXPECT_EQ(store.SampleRate, rate);
        EXPECT_EQ(store.ChannelCount, 2);
    }
}

TEST(RateBelowOne, ARateOfOneStillWorks) {
    SignalStore store = MakeStore({1000, -1000, 500, 0}, 1, 1);
    JobControl job;
    ASSERT_EQ(LPFCutoffFromText(store, "0"), 0.0); // fc <= R - 1 = 0
    LPFFilterStore(store, 0, job);
    EXPECT_EQ(Values(store), (std::vector<int16_t>{1000, -1000, 500, 0}));
    ASSERT_EQ(ShiftFrequencyFromText(store, "1"), 1.0);
    CosShift(store, 1, job); // cos(2 pi k) = 1 at every value
    EXPECT_EQ(Values(store), (std::vector<int16_t>{1000, -1000, 500, 0}));
}
