// Reading pictures back: tones at chosen bins land in the rows whose reading names that bin, channel
// and frequency (the pictures are the engine's own); the time of the column where a burst appears;
// the level of full-scale and -20 dB sines for every window and N; the marker's extent and its move
// to a picture of other axes.
#include "SpectrogramTestSupport.h"

#include "signal/JobControl.h"
#include "spectral/RecomputeSpectrogram.h"
#include "spectral/SpectrogramReadout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

using namespace spectest;

constexpr int kWindowNoneIndex = 0;

struct Picture {
    SpectrogramState State;
    PictureAxes Axes;
};

// The engine's picture of `store`: window "None" and gain "100", so that a tone exactly at a bin lights
// its row and leaves every other row of a frame inside the signal black.
Picture Compute(const SignalStore& store, int32_t fftSize, int32_t decimation) {
    Picture picture;
    JobControl control;
    const SpectrogramSettings settings = Settings(fftSize, decimation, kWindowNoneIndex, 100);
    SpectrogramRunOptions options;
    options.Threads = 1;
    RecomputeSpectrogram(picture.State, store, settings, control, options);
    picture.Axes = AxesOfPicture(picture.State, store, settings);
    return picture;
}

// A pixel far above the floor: a tone's bin (level 4000 N and more), not the quantisation noise of
// the 16-bit values (levels of a few tens, a dim blue at most).
bool Lit(TColor32 colour) {
    return std::max({(colour >> 16) & 0xFFu, (colour >> 8) & 0xFFu, colour & 0xFFu}) >= 128;
}

// The rows of column x that are lit, marker rows left out.
std::vector<int32_t> LitRows(const Picture& picture, int32_t x) {
    std::vector<int32_t> rows;
    for (int32_t y = 0; y < picture.Axes.Height; ++y)
        if (Lit(PixelAt(picture.State, x, y)) && ReadRow(picture.Axes, y).Bin != 0) rows.push_back(y);
    return rows;
}

struct ToneCase {
    int32_t FFTSize;
    uint16_t Channels;
    int32_t Rate;
    int32_t Decimation;
    int32_t Bin[2]; // the tone's bin in each channel (the second unused with one channel)
};

class ToneRowsTest : public ::testing::TestWithParam<ToneCase> {};

TEST_P(ToneRowsTest, TheLitRowReadsTheBinChannelAndFrequencyOfTheTone) {
    const ToneCase c = GetParam();
    const int64_t frames = 8 * int64_t{c.FFTSize};
    SignalStore store;
    double binHertz = 0;
    if (c.Channels == 1) {
        binHertz = double(c.Rate) / c.FFTSize;
        store = MakeStore(Tone(frames, c.Bin[0] * binHertz, c.Rate, 8000), 1, c.Rate);
    } else {
        binHertz = 2.0 * c.Rate / c.FFTSize;
        store = MakeStore(Interleave(Tone(frames, c.Bin[0] * binHertz, c.Rate, 8000),
                                     Tone(frames, c.Bin[1] * binHertz, c.Rate, 8000)),
                          2, c.Rate);
    }
    const Picture picture = Compute(store, c.FFTSize, c.Decimation);
    ASSERT_TRUE(picture.Axes.Valid());
    EXPECT_DOUBLE_EQ(BinHertz(picture.Axes), binHertz);
    const int32_t middle = picture.Axes.Width / 2;
    const std::vector<int32_t> lit = LitRows(picture, middle);
    ASSERT_EQ(lit.size(), size_t{c.Channels});
    for (int band = 0; band < c.Channels; ++band) {
        const RowReading row = ReadRow(picture.Axes, lit[size_t(band)]);
        EXPECT_TRUE(row.Inside);
        EXPECT_EQ(row.Band, band);
        EXPECT_EQ(row.Channel, c.Channels == 2 ? band : -1);
        EXPECT_EQ(row.Bin, c.Bin[band]);
        EXPECT_DOUBLE_EQ(row.Hertz, c.Bin[band] * binHertz);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, ToneRowsTest,
    ::testing::Values(ToneCase{16, 1, 48000, 1, {3, 0}}, ToneCase{16, 2, 48000, 1, {1, 2}},
                      ToneCase{32, 1, 8000, 1, {4, 0}}, // 1000 Hz at 8000 Hz
                      ToneCase{32, 2, 8000, 4, {6, 2}}, ToneCase{1024, 1, 48000, 2, {100, 0}},
                      ToneCase{1024, 2, 48000, 1, {160, 40}}, // 15000 Hz and 3750 Hz per channel
                      ToneCase{1024, 2, 44100, 16, {255, 1}}));

TEST(ReadRow, RowsOutsideThePictureAndTheMarkerRows) {
    PictureAxes axes{1024, 1024, kWindowNuttall, 1, 48000, 100, 512};
    EXPECT_FALSE(ReadRow(axes, -1).Inside);
    EXPECT_FALSE(ReadRow(axes, 512).Inside);
    EXPECT_DOUBLE_EQ(ReadRow(axes, 0).Hertz, 511 * 46.875);
    EXPECT_DOUBLE_EQ(ReadRow(axes, 256).Hertz, 255 * 46.875);
    EXPECT_EQ(ReadRow(axes, 511).Bin, 0); // the marker row
    axes.ChannelCount = 2;
    EXPECT_EQ(ReadRow(axes, 255).Bin, 0);
    EXPECT_EQ(ReadRow(axes, 256).Channel, 1);
    EXPECT_DOUBLE_EQ(ReadRow(axes, 256).Hertz, 255 * 93.75);
    axes.Height = 511; // axes that do not describe an image of N/2 rows read nothing
    EXPECT_FALSE(ReadRow(axes, 0).Inside);
}

// A tone burst that starts at a known sample lights its row first in the column whose frame first
// reaches the burst: that column's time (its frame's centre) lies between N/2 - 1 positions before the
// burst and hop - N/2 positions after it.
struct BurstCase {
    int32_t FFTSize;
    int32_t Decimation;
    uint16_t Channels;
    int64_t StartFrame;
};

class BurstTimeTest : public ::testing::TestWithParam<BurstCase> {};

TEST_P(BurstTimeTest, TheFirstLitColumnReadsTheBurstsStart) {
    const BurstCase c = GetParam();
    const int32_t rate = 8000;
    const int64_t frames = c.StartFrame + 6 * int64_t{c.FFTSize};
    const int32_t bin = c.FFTSize / 8;
    const double hertz = bin * double(rate) * c.Channels / c.FFTSize;
    std::vector<int16_t> burst = Tone(frames, hertz, rate, 8000, 0.0);
    std::fill(burst.begin(), burst.begin() + c.StartFrame, int16_t{0});
    burst[size_t(c.StartFrame)] = 8000; // cos(0): the burst's first value is not 0
    const SignalStore store =
        c.Channels == 1 ? MakeStore(burst, 1, rate)
                        : MakeStore(Interleave(std::vector<int16_t>(burst.size(), 0), burst), 2, rate);
    const Picture picture = Compute(store, c.FFTSize, c.Decimation);
    const int32_t bandRows = c.FFTSize / (2 * c.Channels);
    const int32_t row = (c.Channels - 1) * bandRows + bandRows - 1 - bin; // channel 2's band with two
    int32_t first = -1;
    for (int32_t x = 0; x < picture.Axes.Width && first < 0; ++x)
        if (Lit(PixelAt(picture.State, x, row))) first = x;
    ASSERT_GE(first, 0);
    const int64_t burstPosition = c.Channels == 1 ? c.StartFrame : 2 * c.StartFrame + 1;
    const double positions = ColumnSeconds(picture.Axes, first) * PositionRate(picture.Axes) - burstPosition;
    EXPECT_GE(positions, 1 - c.FFTSize / 2 - 1e-6);
    EXPECT_LE(positions, picture.Axes.Hop - c.FFTSize / 2 + 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Bursts, BurstTimeTest,
                         ::testing::Values(BurstCase{32, 1, 1, 1000}, BurstCase{32, 4, 1, 1001},
                                           BurstCase{1024, 8, 1, 12345}, BurstCase{32, 2, 2, 777},
                                           BurstCase{1024, 4, 2, 5000}));

// Levels: amplitude 32767 reads 0 dBFS at its bin, 3277 reads -20 dBFS, for every window and N. The
// tones sit at exact bins far enough from their mirror images that no window's main lobe reaches them.
struct LevelCase {
    int WindowIndex;
    int32_t FFTSize;
};

class LevelTest : public ::testing::TestWithParam<LevelCase> {};

TEST_P(LevelTest, FullScaleAndTwentyDecibelsDownReadTheirLevelsInEitherChannel) {
    const LevelCase c = GetParam();
    const int32_t n = c.FFTSize;
    const int32_t rate = 48000;
    const PictureAxes one{n, n / 2, c.WindowIndex, 1, rate, 10, n / 2};
    const ReadoutWindow window = MakeReadoutWindow(c.WindowIndex, n);
    const int32_t bin = n / 8 + 1;
    const auto tone = [&](double binHertz, double amplitude) {
        return Tone(4 * n, bin * binHertz, rate, amplitude);
    };
    const std::vector<int16_t> full = tone(BinHertz(one), 32767);
    const std::vector<int16_t> down = tone(BinHertz(one), 3277);
    const RowReading row = ReadRow(one, one.Height - 1 - bin);
    ASSERT_EQ(row.Bin, bin);
    EXPECT_NEAR(*BinLevelDbfs({full.data(), int64_t(full.size())}, one, window, 4, row), 0.0, 0.1);
    EXPECT_NEAR(*BinLevelDbfs({down.data(), int64_t(down.size())}, one, window, 4, row), -20.0, 0.5);

    // Two channels, hop 1: columns whose frames start at even and at odd positions.
    const PictureAxes two{n, 1, c.WindowIndex, 2, rate, 10 * n, n / 2};
    const std::vector<int16_t> pair = Interleave(tone(BinHertz(two), 32767), tone(BinHertz(two), 3277));
    const SampleSpan samples{pair.data(), int64_t(pair.size())};
    const int32_t bandRows = n / 4;
    for (const int64_t column : {int64_t{2} * n, int64_t{2} * n + 1}) {
        EXPECT_NEAR(*BinLevelDbfs(samples, two, window, column, ReadRow(two, bandRows - 1 - bin)), 0.0, 0.1)
            << column;
        EXPECT_NEAR(*BinLevelDbfs(samples, two, window, column, ReadRow(two, 2 * bandRows - 1 - bin)), -20.0,
                    0.5)
            << column;
    }
}

INSTANTIATE_TEST_SUITE_P(WindowsAndSizes, LevelTest,
                         ::testing::Values(LevelCase{kWindowNone, 16}, LevelCase{kWindowTriangular, 32},
                                           LevelCase{kWindowHamming, 1024}, LevelCase{kWindowHann, 32},
                                           LevelCase{kWindowBlackman, 1024}, LevelCase{kWindowNuttall, 1024},
                                           LevelCase{kWindowExperimental, 65536},
                                           LevelCase{kWindowNuttall, 32}));

TEST(BinLevel, SilenceDirectCurrentFramesBeyondTheSignalAndTheLargestSize) {
    const int32_t n = 1024;
    const PictureAxes axes{n, n, kWindowHann, 1, 48000, 20, n / 2};
    const ReadoutWindow window = MakeReadoutWindow(kWindowHann, n);
    const std::vector<int16_t> silence(4 * n, 0);
    EXPECT_EQ(*BinLevelDbfs({silence.data(), 4 * n}, axes, window, 2, ReadRow(axes, 100)),
              -std::numeric_limits<double>::infinity());
    const std::vector<int16_t> dc(4 * n, 32767);
    EXPECT_NEAR(*BinLevelDbfs({dc.data(), 4 * n}, axes, window, 2, ReadRow(axes, n / 2 - 1)), 0.0, 1e-3);
    // Column 0 is the frame before the signal; column 1 holds the signal's first N values.
    EXPECT_EQ(*BinLevelDbfs({dc.data(), 4 * n}, axes, window, 0, ReadRow(axes, n / 2 - 1)),
              -std::numeric_limits<double>::infinity());
    EXPECT_FALSE(BinLevelDbfs({dc.data(), 4 * n}, axes, window, 2, ReadRow(axes, n / 2)).has_value());
    const std::atomic<bool> cancelled{true};
    EXPECT_FALSE(BinLevelDbfs({dc.data(), 4 * n}, axes, window, 2, ReadRow(axes, 3), &cancelled).has_value());

    const int32_t largest = 8388608;
    const PictureAxes big{largest, largest, kWindowBlackman, 1, 48000, 4, largest / 2};
    const int32_t bin = 1234567;
    const std::vector<int16_t> tone = Tone(2 * int64_t{largest}, bin * BinHertz(big), 48000, 32767);
    EXPECT_NEAR(*BinLevelDbfs({tone.data(), int64_t(tone.size())}, big,
                              MakeReadoutWindow(kWindowBlackman, largest), 2,
                              ReadRow(big, largest / 2 - 1 - bin)),
                0.0, 0.1);
}

TEST(ReadMarker, ExtentWithinABandAndAcrossBoth) {
    const PictureAxes axes{1024, 256, kWindowNuttall, 2, 48000, 400, 512};
    const MarkerReading marker = ReadMarker(axes, {10.5, 100.2, 20.9, 150.7});
    EXPECT_DOUBLE_EQ(marker.StartSeconds, ColumnSeconds(axes, 10));
    EXPECT_DOUBLE_EQ(marker.DeltaSeconds, 10 * 256 / 96000.0);
    EXPECT_EQ(marker.High.Bin, 155);
    EXPECT_EQ(marker.Low.Bin, 105);
    EXPECT_TRUE(marker.OneBand);
    EXPECT_DOUBLE_EQ(marker.DeltaHertz, 50 * 93.75);
    const MarkerReading across =
        ReadMarker(axes, {-5, 600, 1000, 200}); // corners swapped, beyond the picture
    EXPECT_DOUBLE_EQ(across.StartSeconds, ColumnSeconds(axes, 0));
    EXPECT_DOUBLE_EQ(across.DeltaSeconds, ColumnSeconds(axes, 399) - ColumnSeconds(axes, 0));
    EXPECT_FALSE(across.OneBand);
    EXPECT_EQ(across.High.Channel, 0);
    EXPECT_EQ(across.Low.Channel, 1);
}

// A marker moved to a picture of other N, hop or bands covers the same times and frequencies there.
TEST(RemapPictureRect, TheSameTimesAndFrequenciesOnAnotherPicture) {
    const PictureAxes from{1024, 256, kWindowNuttall, 2, 48000, 4000, 512};
    const PictureRect rect{100.5, 300.5, 180.5, 400.5}; // channel 2's band
    const MarkerReading before = ReadMarker(from, rect);
    for (const PictureAxes& to : {PictureAxes{4096, 1024, kWindowHann, 2, 48000, 1000, 2048},
                                  PictureAxes{256, 256, kWindowHann, 2, 48000, 4000, 128}, from}) {
        const MarkerReading after = ReadMarker(to, RemapPictureRect(rect, from, to));
        EXPECT_NEAR(after.StartSeconds, before.StartSeconds, SecondsPerColumn(to) + SecondsPerColumn(from));
        EXPECT_NEAR(after.DeltaSeconds, before.DeltaSeconds,
                    2 * (SecondsPerColumn(to) + SecondsPerColumn(from)));
        EXPECT_NEAR(after.Low.Hertz, before.Low.Hertz, BinHertz(to) + BinHertz(from));
        EXPECT_NEAR(after.High.Hertz, before.High.Hertz, BinHertz(to) + BinHertz(from));
        EXPECT_EQ(after.Low.Channel, 1);
    }
    // From two channels to one signal: the frequencies go to the one band.
    const PictureAxes one{1024, 512, kWindowNuttall, 1, 96000, 4000, 512};
    const MarkerReading single = ReadMarker(one, RemapPictureRect(rect, from, one));
    EXPECT_EQ(single.Low.Channel, -1);
    EXPECT_NEAR(single.Low.Hertz, before.Low.Hertz, BinHertz(one) + BinHertz(from));
}

} // namespace
