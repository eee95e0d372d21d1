// "Invert" (one and two channels) and "Invert Channel 1 (L)" / "Invert Channel 2 (R)".
#include "OpsTestSupport.h"

#include "ops/InvertSpectrum.h"

#include <gtest/gtest.h>

using namespace opstest;

TEST(InvertSpectrum, OneChannelNegatesEvenPositions) {
    SignalStore store = MakeStore(std::vector<int16_t>(16, 100));
    EXPECT_TRUE(InvertSpectrumOneChannel(store, 16));
    for (size_t i = 0; i < 16; ++i) EXPECT_EQ(store.Samples[i], i % 2 == 0 ? -100 : 100) << i;
}

TEST(InvertSpectrum, OneChannelReplacesMinus32768EverywhereEvenWhereNotNegated) {
    SignalStore store = MakeStore({-32768, -32768, 5, -32768});
    EXPECT_TRUE(InvertSpectrumOneChannel(store, 4));
    EXPECT_EQ(Values(store), (std::vector<int16_t>{32767, -32767, -5, -32767}));
}

TEST(InvertSpectrum, OneChannelRefusesAStoreShorterThanTheFFTSize) {
    SignalStore store = MakeStore({1, -32768, 3});
    EXPECT_FALSE(InvertSpectrumOneChannel(store, 16));
    EXPECT_EQ(Values(store), (std::vector<int16_t>{1, -32768, 3}));
    InvertSpectrum(store, 1024); // the button takes the same path for one channel
    EXPECT_EQ(Values(store), (std::vector<int16_t>{1, -32768, 3}));
}

TEST(InvertSpectrum, TwoChannelsNegateEveryEvenFrame) {
    SignalStore store = MakeStore({1, 2, 3, 4, 5, 6}, 2);
    InvertSpectrum(store, 1024); // two channels: no FFT-size condition
    EXPECT_EQ(Values(store), (std::vector<int16_t>{-1, -2, 3, 4, -5, -6}));

    SignalStore minimum = MakeStore({-32768, 7, -32768, 8}, 2);
    InvertSpectrumTwoChannels(minimum);
    EXPECT_EQ(Values(minimum), (std::vector<int16_t>{32767, -7, -32767, 8}));
}

TEST(InvertSpectrum, NothingHappensWithoutARecording) {
    SignalStore store = MakeStore({1, 2, 3, 4}, 2);
    store.FileName.clear();
    InvertSpectrum(store, 2);
    EXPECT_EQ(Values(store), (std::vector<int16_t>{1, 2, 3, 4}));
}

TEST(InvertChannel, EachItemTouchesOnlyItsChannel) {
    SignalStore right = MakeStore({1, 2, 3, 4, 5, 6}, 2);
    InvertChannel(right, 1);
    EXPECT_EQ(Values(right), (std::vector<int16_t>{1, -2, 3, 4, 5, -6}));

    SignalStore left = MakeStore({1, 2, 3, 4, 5, 6, -32768, -32768}, 2);
    InvertChannel(left, 0);
    EXPECT_EQ(Values(left), (std::vector<int16_t>{-1, 2, 3, 4, -5, 6, -32767, -32768}));
}

TEST(InvertSpectrum, TwiceRestoresTheStoreExceptMinus32768) {
    const std::vector<int16_t> input = {-32768, 10, -20, 30, -32768, 50, 60, 70};
    SignalStore one = MakeStore(input);
    InvertSpectrumOneChannel(one, 8);
    InvertSpectrumOneChannel(one, 8);
    SignalStore two = MakeStore(input, 2);
    InvertSpectrumTwoChannels(two);
    InvertSpectrumTwoChannels(two);
    SignalStore channel = MakeStore(input, 2);
    InvertChannel(channel, 0);
    InvertChannel(channel, 0);
    std::vector<int16_t> expected = input;
    expected[0] = expected[4] = -32767;
    EXPECT_EQ(Values(one), expected);
    EXPECT_EQ(Values(two), expected);
    EXPECT_EQ(Values(channel), expected);
}
