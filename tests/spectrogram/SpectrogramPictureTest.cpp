// What the picture shows: rows of bins, marker rows, bands, colours computed independently.
#include "SpectrogramTestSupport.h"

#include "spectral/RecomputeSpectrogram.h"

#include <gtest/gtest.h>

using namespace spectest;

namespace {

constexpr TColor32 kBlack = 0xFF000000u;
constexpr TColor32 kDarkBlue = 0xFF000080u;
constexpr TColor32 kWhite = 0xFFFFFFFFu;

SpectrogramState Compute(const SignalStore& store, const SpectrogramSettings& settings,
                         unsigned threads = 1) {
    SpectrogramState state;
    JobControl control;
    SpectrogramRunOptions options;
    options.Threads = threads;
    const SpectrogramResult result = RecomputeSpectrogram(state, store, settings, control, options);
    EXPECT_FALSE(result.Refused);
    EXPECT_FALSE(result.Stopped);
    return state;
}

// Every pixel of column x in the band matches the direct computation, within one step of a colour
// channel (float FFT against extended-precision DFT). Returns how many pixels were compared.
int ExpectColumnMatches(const SpectrogramState& state, const SignalStore& store,
                        const SpectrogramSettings& settings, int32_t x, int channel, int32_t bandTop,
                        int32_t bandBins) {
    int compared = 0;
    for (const ExpectedPixel& expected : ExpectedColumn(store, settings, x, channel, bandTop, bandBins)) {
        if (NearRampBoundary(expected.Level)) continue;
        ++compared;
        EXPECT_LE(ChannelDistance(PixelAt(state, x, expected.Row), expected.Colour), 1)
            << "column " << x << " row " << expected.Row << " level " << expected.Level;
    }
    return compared;
}

void ExpectMarkerRow(const SpectrogramState& state, int32_t y, TColor32 oddColour, int32_t columns) {
    for (int32_t x = 0; x < columns; ++x)
        EXPECT_EQ(PixelAt(state, x, y), (x + y) % 2 == 1 ? oddColour : kBlack) << "x " << x << " y " << y;
}

} // namespace

TEST(SpectrogramPicture, SilenceIsBlackAboveACheckerboardMarker) {
    const SignalStore store = MakeStore(std::vector<int16_t>(200, 0));
    const SpectrogramState state = Compute(store, Settings(16, 1, kWindowNuttall, 8000));
    ASSERT_EQ(state.SpectrogramBitmap.Height(), 8);
    const int32_t width = state.SpectrogramBitmap.Width();
    for (int32_t x = 0; x < width; ++x)
        for (int32_t y = 0; y < 7; ++y) ASSERT_EQ(PixelAt(state, x, y), kBlack) << x << "," << y;
    ExpectMarkerRow(state, 7, kDarkBlue, width);
    EXPECT_EQ(PixelAt(state, 0, 7), kDarkBlue);
    EXPECT_EQ(PixelAt(state, 1, 7), kBlack);
}

TEST(SpectrogramPicture, ToneLandsInItsRowWithTheColourOfADirectDFT) {
    // 48000 Hz, N = 64: bin k is k x 750 Hz; 6000 Hz is bin 8, row 32 - 1 - 8 = 23.
    const SignalStore store = MakeStore(Tone(1000, 6000, 48000, 12000));
    for (const int32_t gain : {1, 100, 8000}) {
        const SpectrogramSettings settings = Settings(64, 2, kWindowHann, gain);
        const SpectrogramState state = Compute(store, settings);
        EXPECT_EQ(PeakRow(ExpectedColumn(store, settings, 10, -1, 0, 32)), 23);
        int compared = 0;
        for (const int32_t x : {0, 1, 2, 10, 31, state.SpectrogramBitmap.Width() - 1})
            compared += ExpectColumnMatches(state, store, settings, x, -1, 0, 32);
        EXPECT_GT(compared, 150) << "gain " << gain;
        ExpectMarkerRow(state, 31, kDarkBlue, state.SpectrogramBitmap.Width());
    }
    // The gain scales the levels: the tone's level (about 2300 x gain / 1) is in the blue ramp at gain 1
    // and in the yellow-to-red ramp at gain 100.
    const TColor32 quiet = PixelAt(Compute(store, Settings(64, 2, kWindowHann, 1)), 10, 23);
    EXPECT_EQ(RedOf(quiet), 0);
    EXPECT_EQ(GreenOf(quiet), 0);
    EXPECT_GT(BlueOf(quiet), 0);
    EXPECT_EQ(RedOf(PixelAt(Compute(store, Settings(64, 2, kWindowHann, 100)), 10, 23)), 255);
}

TEST(SpectrogramPicture, NoiseMatchesTheDirectDFTForEveryWindow) {
    const SignalStore store = MakeStore(Noise(700, 3000));
    for (int window = 0; window <= 6; ++window) {
        const SpectrogramSettings settings = Settings(128, 4, window, 300);
        const SpectrogramState state = Compute(store, settings, 2);
        int compared = 0;
        for (const int32_t x : {0, 5, 13, 22})
            compared += ExpectColumnMatches(state, store, settings, x, -1, 0, 64);
        EXPECT_GT(compared, 200) << "window " << window;
    }
}

TEST(SpectrogramPicture, ColumnZeroIsTheFrameBeforeTheSignal) {
    const SignalStore store = MakeStore(Noise(5000, 20000));
    const SpectrogramState state = Compute(store, Settings(256, 1, kWindowNone, 8000));
    for (int32_t y = 0; y < 127; ++y) EXPECT_EQ(PixelAt(state, 0, y), kBlack) << y;
    EXPECT_EQ(PixelAt(state, 0, 127), kDarkBlue);
}

TEST(SpectrogramPicture, HopZeroRepeatsTheFrameBeforeTheSignal) {
    const SignalStore store = MakeStore(Noise(300, 20000));
    const SpectrogramState state = Compute(store, Settings(16, 32, kWindowNone, 8000));
    const int32_t width = state.SpectrogramBitmap.Width();
    EXPECT_GT(width, 32);
    for (int32_t x = 0; x < width; ++x)
        for (int32_t y = 0; y < 7; ++y) ASSERT_EQ(PixelAt(state, x, y), kBlack) << x << "," << y;
    ExpectMarkerRow(state, 7, kDarkBlue, width);
}

TEST(SpectrogramPicture, TwoChannelsGiveTwoBandsWithWhiteMarkers) {
    // Channel 1 a 6000 Hz tone, channel 2 silent. Each channel runs at 48000 Hz but holds every second
    // value of a frame, so with N = 64 bin k stands for k x 1500 Hz: 6000 Hz is bin 4, row 16 - 1 - 4.
    const SignalStore store =
        MakeStore(Interleave(Tone(600, 6000, 48000, 15000), std::vector<int16_t>(600, 0)), 2);
    const SpectrogramSettings settings = Settings(64, 1, kWindowHann, 100);
    const SpectrogramState state = Compute(store, settings);
    const int32_t width = state.SpectrogramBitmap.Width();
    ASSERT_EQ(state.SpectrogramBitmap.Height(), 32);

    EXPECT_EQ(PeakRow(ExpectedColumn(store, settings, 10, 0, 0, 16)), 11);
    int compared = 0;
    for (const int32_t x : {0, 3, 10, 18, width - 1})
        compared += ExpectColumnMatches(state, store, settings, x, 0, 0, 16);
    EXPECT_GT(compared, 50);
    EXPECT_NE(PixelAt(state, 10, 11) & 0xFFFFFF, 0u);
    ExpectMarkerRow(state, 15, kWhite, width);
    for (int32_t x = 0; x < width; ++x)
        for (int32_t y = 16; y < 31; ++y) ASSERT_EQ(PixelAt(state, x, y), kBlack) << x << "," << y;
    ExpectMarkerRow(state, 31, kWhite, width);
}

TEST(SpectrogramPicture, TwoChannelsOfSixteenPoints) {
    const SignalStore store = MakeStore(Noise(200, 30000), 2);
    const SpectrogramSettings settings = Settings(16, 1, kWindowHamming, 8000);
    const SpectrogramState state = Compute(store, settings);
    ASSERT_EQ(state.SpectrogramBitmap.Height(), 8);
    EXPECT_EQ(PixelAt(state, 0, 3), kWhite);
    EXPECT_EQ(PixelAt(state, 1, 3), kBlack);
    EXPECT_EQ(PixelAt(state, 0, 7), kWhite);
    EXPECT_EQ(PixelAt(state, 1, 7), kBlack);
    for (const int32_t x : {2, 5, 9}) {
        ExpectColumnMatches(state, store, settings, x, 0, 0, 4);
        ExpectColumnMatches(state, store, settings, x, 1, 4, 4);
    }
}

namespace {

// Bins around the tone and far from it against a direct DFT of the same frame.
void ExpectBinsMatch(const SpectrogramState& state, const SignalStore& store,
                     const SpectrogramSettings& settings, int32_t x, int channel, int32_t bandTop,
                     int32_t bandBins, std::initializer_list<int32_t> bins) {
    const std::vector<long double> frame = WindowedFrame(store, settings, x, channel);
    for (const int32_t k : bins) {
        const float level = DirectLevel(frame, k, settings.Gain);
        if (NearRampBoundary(level)) continue;
        EXPECT_LE(ChannelDistance(PixelAt(state, x, bandTop + bandBins - 1 - k), LevelToColor32(level)), 1)
            << "N " << settings.FFTSize << " bin " << k << " level " << level;
    }
}

} // namespace

TEST(SpectrogramPicture, LargeTransformShowsAToneAtTheSameRelativeRow) {
    // 1500 Hz at 48000 Hz: bin 512 of 16384 and bin 1024 of 32768.
    const SignalStore store = MakeStore(Tone(40000, 1500, 48000, 10000));
    for (const int32_t n : {16384, 32768}) {
        const SpectrogramSettings settings = Settings(n, 2, kWindowHann, 100);
        const SpectrogramState state = Compute(store, settings, 2);
        const int32_t height = n / 2;
        const int32_t toneBin = n / 32;
        const int32_t x = 2; // the frame of positions 0 .. N - 1, inside the signal for both sizes
        EXPECT_NE(PixelAt(state, x, height - 1 - toneBin) & 0xFFFFFF, 0u) << n;
        EXPECT_EQ(PixelAt(state, x, height - 1 - toneBin - 40) & 0xFFFFFF, 0u) << n;
        ExpectBinsMatch(state, store, settings, x, -1, 0, height,
                        {toneBin - 1, toneBin, toneBin + 1, toneBin + 40, toneBin + 300, 3, height - 1});
        EXPECT_EQ(PixelAt(state, x, height - 1), (x + height - 1) % 2 == 1 ? kDarkBlue : kBlack);
    }
}

TEST(SpectrogramPicture, LargeTransformTwoChannelsKeepTheToneInTheTopBand) {
    // Channel 1 a 3000 Hz tone, channel 2 silent; N = 32768 gives bin k = k x 2 x 48000 / 32768 Hz.
    const SignalStore store =
        MakeStore(Interleave(Tone(30000, 3000, 48000, 10000), std::vector<int16_t>(30000, 0)), 2);
    const SpectrogramSettings settings = Settings(32768, 2, kWindowHann, 100);
    const SpectrogramState state = Compute(store, settings, 2);
    const int32_t band = 8192;
    const int32_t toneBin = 1024; // 3000 Hz x 32768 / 96000
    const int32_t x = 3;
    EXPECT_NE(PixelAt(state, x, band - 1 - toneBin) & 0xFFFFFF, 0u);
    ExpectBinsMatch(state, store, settings, x, 0, 0, band, {toneBin - 1, toneBin, toneBin + 1, 5});
    for (int32_t y = band; y < 2 * band - 1; ++y) ASSERT_EQ(PixelAt(state, x, y), kBlack) << y;
    EXPECT_EQ(PixelAt(state, x, band - 1), (x + band - 1) % 2 == 1 ? kWhite : kBlack);
    EXPECT_EQ(PixelAt(state, x, 2 * band - 1), (x + 2 * band - 1) % 2 == 1 ? kWhite : kBlack);
}

// Two channels with a hop of one value (N / d = 1): every second column starts its frame at an odd
// position, so the channel of a frame element follows its position in the store, not its index in the
// frame. Every column against the direct computation.
TEST(SpectrogramPicture, TwoChannelsWithAnOddHopTakeEachChannelFromItsOwnPositions) {
    const SignalStore store =
        MakeStore(Interleave(Tone(160, 6000, 48000, 12000, 0.1), Noise(160, 9000, 5)), 2);
    for (const int32_t n : {16, 64, 256}) {
        const SpectrogramSettings settings = Settings(n, n, kWindowHann, 1000);
        const SpectrogramState state = Compute(store, settings, 2);
        const int32_t band = n / 4;
        // Every column of the small sizes; pairs of neighbours (one odd, one even start) of the largest.
        const int32_t width = state.SpectrogramBitmap.Width();
        std::vector<int32_t> columns;
        for (int32_t x = 0; x < width; ++x)
            if (n <= 64 || x % 50 < 2) columns.push_back(x);
        int compared = 0;
        for (const int32_t x : columns) {
            compared += ExpectColumnMatches(state, store, settings, x, 0, 0, band);
            compared += ExpectColumnMatches(state, store, settings, x, 1, band, band);
        }
        EXPECT_GT(compared, static_cast<int>(columns.size()) * (n / 2 - 2) * 9 / 10) << "N " << n;
    }
}

// Stores with few or no values: frames that start before the signal and run past its end, read 0
// outside it. Small and large transforms against the direct computation.
struct ShortStore {
    const char* Name;
    std::vector<int16_t> Values;
    uint16_t Channels;
};

class ShortStoreTest : public ::testing::TestWithParam<std::tuple<ShortStore, int32_t>> {};

TEST_P(ShortStoreTest, EveryColumnIsTheDirectComputationOfItsFrame) {
    const auto& [shape, n] = GetParam();
    const SignalStore store = MakeStore(shape.Values, shape.Channels);
    const SpectrogramSettings settings = Settings(n, 2, kWindowNone, 8000);
    const SpectrogramState state = Compute(store, settings, 2);
    const int32_t width = state.SpectrogramBitmap.Width();
    ASSERT_GE(width, 4);
    const bool two = shape.Channels == 2;
    const int32_t band = two ? n / 4 : n / 2;
    for (int32_t x = 0; x < width; ++x) {
        for (int channel = 0; channel < (two ? 2 : 1); ++channel) {
            const int32_t top = channel * band;
            if (n <= kLargestSinglePrecisionFFT) {
                ExpectColumnMatches(state, store, settings, x, two ? channel : -1, top, band);
            } else {
                ExpectBinsMatch(state, store, settings, x, two ? channel : -1, top, band,
                                {1, 2, 3, band / 2, band - 1});
            }
            EXPECT_EQ(PixelAt(state, x, top + band - 1),
                      MarkerPixel(two ? kWhite : kDarkBlue, x, top + band - 1));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    NoneOneOrFewValues, ShortStoreTest,
    ::testing::Combine(::testing::Values(ShortStore{"Empty", {}, 1}, ShortStore{"OneValue", {-20000}, 1},
                                         ShortStore{"ShorterThanN", Noise(50, 30000), 1},
                                         ShortStore{"TwoChannelsOddCount", Noise(7, 30000, 3), 2},
                                         ShortStore{"TwoChannelsEmpty", {}, 2}),
                       ::testing::Values(64, 32768)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).Name) + std::to_string(std::get<1>(info.param));
    });
