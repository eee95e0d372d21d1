// The complex picture of two channels: tones I + jQ at positive and negative offsets and at the band
// edges land in the rows that read their signed frequency and level; every column against a direct DFT
// of the complex frame centred where the two-band frame is; the two views' times and frequencies map
// onto each other; orvane-cli renders the same picture.
#include "../cli/CliRun.h"
#include "../signal/WavBytes.h"
#include "SpectrogramTestSupport.h"

#include "signal/WavReader.h"
#include "spectral/RecomputeSpectrogram.h"
#include "spectral/SpectrogramImageSize.h"
#include "spectral/SpectrogramReadout.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace spectest;

namespace {

constexpr TColor32 kWhite = 0xFFFFFFFFu;

SpectrogramSettings ComplexSettings(int32_t n, int32_t decimation, int window, int32_t gain = 100) {
    SpectrogramSettings settings = Settings(n, decimation, window, gain);
    settings.IQSpectrum = true;
    return settings;
}

struct Picture {
    SpectrogramState State;
    PictureAxes Axes;
};

Picture Compute(const SignalStore& store, const SpectrogramSettings& settings) {
    Picture picture;
    JobControl control;
    SpectrogramRunOptions options;
    options.Threads = 2;
    const SpectrogramResult result = RecomputeSpectrogram(picture.State, store, settings, control, options);
    EXPECT_FALSE(result.Refused);
    EXPECT_FALSE(result.Stopped);
    picture.Axes = AxesOfPicture(picture.State, store, settings);
    return picture;
}

// count samples of amplitude * e^(i 2 pi bin n / n), I at the even positions and Q at the odd ones.
std::vector<int16_t> ComplexTone(int64_t count, int64_t bin, int32_t n, double amplitude) {
    std::vector<int16_t> values;
    for (int64_t t = 0; t < count; ++t) {
        const double angle = 2 * std::numbers::pi * double((bin * t) % n) / n;
        values.push_back(int16_t(std::lround(amplitude * std::cos(angle))));
        values.push_back(int16_t(std::lround(amplitude * std::sin(angle))));
    }
    return values;
}

bool Lit(TColor32 colour) {
    return std::max({(colour >> 16) & 0xFFu, (colour >> 8) & 0xFFu, colour & 0xFFu}) >= 128;
}

struct ToneCase {
    int32_t FFTSize;
    int64_t Bin; // signed
    int Window;
};

class ComplexToneTest : public ::testing::TestWithParam<ToneCase> {};

TEST_P(ComplexToneTest, TheToneLightsTheRowOfItsSignedFrequencyAndReadsItsLevel) {
    const ToneCase c = GetParam();
    const int32_t rate = 48000;
    const double amplitude = 8000;
    const SignalStore store =
        MakeStore(ComplexTone(8 * int64_t{c.FFTSize}, c.Bin, c.FFTSize, amplitude), 2, rate);
    const SpectrogramSettings settings = ComplexSettings(c.FFTSize, 1, c.Window);
    const Picture picture = Compute(store, settings);
    ASSERT_TRUE(picture.Axes.Valid());
    ASSERT_TRUE(picture.Axes.Complex);
    EXPECT_EQ(picture.Axes.Height, c.FFTSize);
    SpectrogramSettings bands = settings;
    bands.IQSpectrum = false;
    EXPECT_EQ(picture.Axes.Width, ComputeSpectrogramImageSize(store.ValueCount, bands, 2).Width);

    // The tone's row is lit, and no row outside the window's main lobe around it.
    const int32_t middle = picture.Axes.Width / 2;
    const int32_t zeroRow = c.FFTSize / 2 - 1;
    const int32_t toneRow = int32_t(c.FFTSize / 2 - 1 - c.Bin);
    EXPECT_TRUE(Lit(PixelAt(picture.State, middle, toneRow)));
    for (int32_t y = 0; y < picture.Axes.Height; ++y)
        if (y != zeroRow && std::abs(y - toneRow) > 2) {
            EXPECT_FALSE(Lit(PixelAt(picture.State, middle, y))) << y;
        }

    const RowReading row = ReadRow(picture.Axes, toneRow);
    EXPECT_EQ(row.Bin, c.Bin);
    EXPECT_EQ(row.Channel, -1);
    EXPECT_DOUBLE_EQ(row.Hertz, double(c.Bin) * rate / c.FFTSize);
    const SampleSpan samples{store.Samples.data(), store.ValueCount};
    const std::optional<double> dbfs =
        BinLevelDbfs(samples, picture.Axes, MakeReadoutWindow(c.Window, c.FFTSize), middle, row);
    ASSERT_TRUE(dbfs.has_value());
    EXPECT_NEAR(*dbfs, 20 * std::log10(amplitude / 32767), 0.02);

    for (const int32_t x : {0, middle, picture.Axes.Width - 1})
        EXPECT_EQ(PixelAt(picture.State, x, zeroRow), MarkerPixel(kWhite, x, zeroRow)) << "x " << x;
}

INSTANTIATE_TEST_SUITE_P(
    OffsetsAndEdges, ComplexToneTest,
    ::testing::Values(ToneCase{16, 3, kWindowNone}, ToneCase{16, -3, kWindowHann},
                      ToneCase{16, 7, kWindowNone}, ToneCase{16, -8, kWindowNone},
                      ToneCase{64, 1, kWindowNuttall}, ToneCase{64, -1, kWindowNuttall},
                      ToneCase{1024, -200, kWindowBlackman}, ToneCase{32768, 1000, kWindowHann},
                      ToneCase{32768, -16384, kWindowNone}, ToneCase{32768, 16383, kWindowNone}),
    [](const auto& info) {
        const ToneCase& c = info.param;
        return std::to_string(c.FFTSize) + (c.Bin < 0 ? "Minus" : "Plus") + std::to_string(std::abs(c.Bin));
    });

// The complex frame of column x, straight from its definition: N samples centred on the centre of the
// two-band frame of column x (position x * hop - N/2), starting at an even position; outside the
// signal 0.
std::vector<std::complex<long double>> ComplexFrame(const SignalStore& store,
                                                    const SpectrogramSettings& settings, int64_t x) {
    const int32_t n = settings.FFTSize;
    TWindowTable window;
    BuildWindowTable(uint8_t(settings.WindowIndex), n, window);
    int64_t first = x * (n / settings.Decimation) - n / 2 - n;
    if (first % 2 != 0) --first;
    const auto value = [&](int64_t p) {
        return p >= 0 && p < store.ValueCount ? (long double)store.Samples[size_t(p)] : 0.0L;
    };
    std::vector<std::complex<long double>> frame;
    for (int32_t i = 0; i < n; ++i) {
        const int64_t p = first + 2 * int64_t{i};
        frame.emplace_back(value(p) * window[size_t(i)], value(p + 1) * window[size_t(i)]);
    }
    return frame;
}

float DirectComplexLevel(const std::vector<std::complex<long double>>& frame, int64_t bin, int32_t gain) {
    const auto n = int64_t(frame.size());
    std::complex<long double> sum = 0;
    for (int64_t j = 0; j < n; ++j) {
        const long double angle = -2.0L * std::numbers::pi_v<long double> * (((j * bin) % n + n) % n) / n;
        sum += frame[size_t(j)] * std::complex<long double>(std::cos(angle), std::sin(angle));
    }
    double m = double(std::fabs(sum.real()) + std::fabs(sum.imag()));
    if (m == 0.0) m = 0.001;
    return float(m * (gain / 100.0));
}

// Noise with an odd value count (the last sample has no Q), hop 1 (every other column starts at an odd
// position of the two-band frame) and hop N: every pixel of the small transform's columns, and chosen
// rows of the large one's, against the direct DFT.
TEST(ComplexPicture, EveryColumnIsTheDirectTransformOfItsCentredComplexFrame) {
    for (const auto& [n, decimation, rows] : {std::tuple<int32_t, int32_t, std::vector<int32_t>>{16, 16, {}},
                                              {64, 1, {}},
                                              {64, 64, {}},
                                              {32768, 1, {0, 1, 16382, 16384, 16385, 32767}}}) {
        const SignalStore store = MakeStore(Noise(2 * n + 201, 20000, 7), 2);
        const SpectrogramSettings settings = ComplexSettings(n, decimation, kWindowHann, 20);
        const Picture picture = Compute(store, settings);
        std::vector<int32_t> checked = rows;
        if (checked.empty())
            for (int32_t y = 0; y < n; ++y)
                if (y != n / 2 - 1) checked.push_back(y);
        int compared = 0;
        for (int32_t x = 0; x < picture.Axes.Width; ++x) {
            const auto frame = ComplexFrame(store, settings, x);
            for (const int32_t y : checked) {
                const float level = DirectComplexLevel(frame, n / 2 - 1 - y, settings.Gain);
                if (NearRampBoundary(level)) continue;
                ++compared;
                EXPECT_LE(ChannelDistance(PixelAt(picture.State, x, y), LevelToColor32(level)), 1)
                    << "N " << n << " column " << x << " row " << y;
            }
        }
        EXPECT_GT(compared, picture.Axes.Width * int(checked.size()) * 9 / 10) << "N " << n;
    }
}

// A column of the complex picture stands for the same time as that column of the two bands (to within
// half a sample), and a marker at +f and -f goes to the two-band picture at |f| in its top band or
// at 0 Hz, and back to the same frequency.
TEST(ComplexPicture, TimesAndFrequenciesMapBetweenTheTwoViews) {
    const SignalStore store = MakeStore(Noise(20000, 1000), 2, 8000);
    SpectrogramSettings settings = ComplexSettings(256, 4, kWindowHann);
    const Picture complex = Compute(store, settings);
    settings.IQSpectrum = false;
    const Picture bands = Compute(store, settings);
    ASSERT_EQ(complex.Axes.Width, bands.Axes.Width);
    EXPECT_DOUBLE_EQ(BinHertz(complex.Axes), 8000.0 / 256);
    for (const int64_t x : {0, 1, 7, 100})
        EXPECT_NEAR(ColumnSeconds(complex.Axes, x), ColumnSeconds(bands.Axes, x), 0.5 / 8000) << x;

    // Rows 10.5 and 200.5: bins +117 and -73 of 31.25 Hz.
    const PictureRect rect{3.5, 10.5, 9.5, 200.5};
    const PictureRect inBands = RemapPictureRect(rect, complex.Axes, bands.Axes);
    EXPECT_DOUBLE_EQ(inBands.Top, 64.0 - 0.5 - 117.0 / 2);
    EXPECT_DOUBLE_EQ(inBands.Bottom, 64.0); // negative frequencies stop at the band's 0 Hz edge
    const PictureRect back = RemapPictureRect(inBands, bands.Axes, complex.Axes);
    EXPECT_NEAR(back.Left, rect.Left, 1e-9);
    EXPECT_NEAR(back.Top, rect.Top, 1e-9);
    const MarkerReading marker = ReadMarker(complex.Axes, rect);
    EXPECT_DOUBLE_EQ(marker.High.Hertz, 117 * 31.25);
    EXPECT_DOUBLE_EQ(marker.Low.Hertz, -73 * 31.25);
    EXPECT_DOUBLE_EQ(marker.DeltaHertz, 190 * 31.25);
}

// One store, two pictures: the complex one is refused where it would reach the picture limit even
// though the two bands are not; the view has no effect on one channel.
TEST(ComplexPicture, TwiceTheRowsCountAgainstThePictureLimit) {
    SpectrogramSettings settings = ComplexSettings(8388608, 16, kWindowHann);
    EXPECT_TRUE(ComputeSpectrogramImageSize(100, settings, 2).Refused());
    EXPECT_EQ(ComputeSpectrogramImageSize(100, settings, 2).Height, 8388608);
    EXPECT_EQ(ComputeSpectrogramImageSize(100, settings, 1).Height, 4194304);
    settings.IQSpectrum = false;
    EXPECT_FALSE(ComputeSpectrogramImageSize(100, settings, 2).Refused());
}

TEST(ComplexPicture, OrvaneCliRendersTheSamePicture) {
    wavtest::TempDir dir;
    wavtest::Fmt fmt;
    const SignalStore store = MakeStore(ComplexTone(6000, -40, 512, 9000), 2, 48000);
    const std::string input = dir.Write(
        "iq.wav", wavtest::Canonical(fmt, wavtest::Values({store.Samples.begin(), store.Samples.end()})));
    const std::string out = dir.File("iq.bmp");
    const clitest::CliRun run =
        clitest::RunCli("render " + clitest::Quote(input) + " " + clitest::Quote(out) +
                            " --fft 512 --image-width 2 --view iq --quiet",
                        dir.File("stderr.txt"));
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const Picture picture = Compute(store, ComplexSettings(512, 2, kWindowNuttall));
    const auto pixels = picture.State.SpectrogramBitmap.PixelCount();
    EXPECT_EQ(run.Out.rfind("image: " + std::to_string(picture.Axes.Width) + "x512 - ", 0), 0u) << run.Out;
    const wavtest::Bytes bmp = wavtest::ReadFile(out);
    ASSERT_EQ(bmp.size(), 54 + pixels * 4);
    EXPECT_EQ(std::memcmp(bmp.data() + 54, picture.State.SpectrogramBitmap.Bits(), pixels * 4), 0);
}

} // namespace
