// The levels the colours stand for: the ramp's strength order, the legend's dBFS against the
// readout's reading of the same bin, and Auto Gain's choice on a known tone.
#include "SpectrogramTestSupport.h"

#include "signal/JobControl.h"
#include "spectral/AutoGain.h"
#include "spectral/LevelLegend.h"
#include "spectral/LevelToColor.h"
#include "spectral/RecomputeSpectrogram.h"
#include "view/ViewPlacement.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace spectest;

struct Picture {
    SpectrogramState State;
    PictureAxes Axes;
    SignalStore Store;
};

Picture Compute(SignalStore store, int windowIndex, int32_t gain) {
    Picture picture;
    picture.Store = std::move(store);
    JobControl control;
    const SpectrogramSettings settings = Settings(1024, 1, windowIndex, gain);
    SpectrogramRunOptions options;
    options.Threads = 1;
    RecomputeSpectrogram(picture.State, picture.Store, settings, control, options);
    picture.Axes = AxesOfPicture(picture.State, picture.Store, settings);
    return picture;
}

// The pixel of the highest rank, marker rows left out.
TBitmapPoint StrongestPixelOf(const Picture& picture) {
    const TLevelRanking ranking = RankingOfPalette(PaletteItem::Spectrum);
    TBitmapPoint best{0, 0};
    int strongest = -1;
    for (int32_t y = 0; y < picture.Axes.Height; ++y) {
        if (ReadRow(picture.Axes, y).Bin == 0) continue;
        for (int32_t x = 0; x < picture.Axes.Width; ++x)
            if (ranking.Rank(PixelAt(picture.State, x, y)) > strongest) {
                strongest = ranking.Rank(PixelAt(picture.State, x, y));
                best = {x, y};
            }
    }
    return best;
}

// A tone at the middle of bin 100 of N = 1024 at 48000 Hz, two seconds.
SignalStore ToneStore(double amplitude, uint16_t channels) {
    const double hertz = 100 * 48000.0 / 1024;
    const std::vector<int16_t> tone = Tone(96000, hertz, 48000, amplitude);
    return channels == 1 ? MakeStore(tone) : MakeStore(Interleave(tone, tone), 2);
}

} // namespace

// Every colour of the ramp has one rank, the ranks rise with the level, and the level a rank stands
// for lies within one byte step of the level that gave it.
TEST(LevelScale, RampRanksRiseWithTheLevel) {
    const TLevelRanking ranking = RankingOfPalette(PaletteItem::Spectrum);
    EXPECT_EQ(ranking.Ranks(), 1786u);
    int previous = -1;
    for (double level = 0; level <= 5.2e6; level = level * 1.0005 + 1) {
        const int rank = ranking.Rank(LevelToColor32(float(level)));
        ASSERT_GE(rank, previous) << level;
        // a colour's levels reach at most a byte step of its stretch up, and of the next at its end
        const auto span = [](double l) {
            return l < 10000    ? 10000
                   : l < 35000  ? 25000
                   : l < 60000  ? 50000
                   : l < 90000  ? 30000
                   : l < 450000 ? 360000
                   : l < 2.5e6  ? 2050000
                                : 2500000;
        };
        const double reach = span(level) / 255 + span(level + span(level) / 255) / 255;
        const double top = SpectrumLevelOfRank(uint32_t(rank));
        if (rank > 0) { // black reads 0
            ASSERT_GE(top, std::min(level, kSaturationLevel)) << level;
        }
        ASSERT_LE(top, level + reach) << level;
        previous = rank;
    }
    EXPECT_EQ(previous, 1785);
    for (const PaletteItem item :
         {PaletteItem::Grayscale, PaletteItem::Greens, PaletteItem::Reds, PaletteItem::Rainbow}) {
        const TLevelRanking palette = RankingOfPalette(item);
        const TPalette32 entries = BuildPalette(item);
        for (size_t i = 1; i < entries.size(); ++i)
            ASSERT_GE(palette.Rank(entries[i]), palette.Rank(entries[i - 1])) << int(item) << " " << i;
    }
}

struct LegendCase {
    int WindowIndex;
    uint16_t Channels;
    int32_t Gain;
    double Amplitude;
};

class LegendAgainstReadout : public testing::TestWithParam<LegendCase> {};

// The legend's dBFS of the strongest pixel's level reads as the readout reads that bin from the
// samples, up to the 3 dB that |Re| + |Im| may stand above |X| and the colour's quantisation; its
// colours are those the picture shows for those levels.
TEST_P(LegendAgainstReadout, LevelsReadAsTheReadout) {
    const LegendCase c = GetParam();
    const Picture picture = Compute(ToneStore(c.Amplitude, c.Channels), c.WindowIndex, c.Gain);
    const TBitmapPoint at = StrongestPixelOf(picture);
    const TColor32 colour = PixelAt(picture.State, at.X, at.Y);
    const TLevelRanking ranking = RankingOfPalette(PaletteItem::Spectrum);
    const LevelLegend legend = MakeLevelLegend(picture.Axes, c.Gain, PaletteItem::Spectrum);
    const double legendDbfs =
        PictureLevelDbfs(SpectrumLevelOfRank(ranking.Rank(colour)), c.Gain, legend.FullScale);
    const SampleSpan samples{picture.Store.Samples.data(), picture.Store.ValueCount};
    const std::optional<double> readout = BinLevelDbfs(
        samples, picture.Axes, MakeReadoutWindow(c.WindowIndex, 1024), at.X, ReadRow(picture.Axes, at.Y));
    ASSERT_TRUE(readout.has_value());
    EXPECT_NEAR(*readout, 20 * std::log10(c.Amplitude / 32767), 0.1);
    EXPECT_GE(legendDbfs, *readout - 0.2);
    EXPECT_LE(legendDbfs, *readout + 3.2);
    EXPECT_LT(legendDbfs, legend.TopDbfs);
    EXPECT_GT(legendDbfs, legend.BottomDbfs);
    // The legend shows the pixel's colour at its dBFS (give or take the colour's own span).
    const int shown = ranking.Rank(LegendColour(legend, legendDbfs - 0.01));
    EXPECT_NEAR(shown, ranking.Rank(colour), 1);
    ASSERT_FALSE(legend.TickDbfs.empty());
    for (const double tick : legend.TickDbfs) EXPECT_EQ(std::fmod(tick, 10.0), 0.0);
}

INSTANTIATE_TEST_SUITE_P(Settings, LegendAgainstReadout,
                         testing::Values(LegendCase{5, 1, 100, 8000}, LegendCase{0, 1, 20, 30000},
                                         LegendCase{3, 2, 500, 2000}, LegendCase{4, 2, 8000, 300}));

class AutoGain : public testing::TestWithParam<double> {};

// A tone of a known amplitude: the item chosen brings its strongest pixel to at most the headroom
// below saturation, and the next greater gain would go above it.
TEST_P(AutoGain, PutsTheStrongestToneJustBelowSaturation) {
    const double amplitude = GetParam();
    const Picture first = Compute(ToneStore(amplitude, 1), 5, 100);
    const int item = AutoGainItem(StrongestPictureLevel(first.State.SpectrogramBitmap, first.Axes), 100);
    const auto gainOf = [](int index) { return std::stoi(std::string(kImageGainItems[size_t(index)])); };
    const Picture chosen = Compute(ToneStore(amplitude, 1), 5, gainOf(item));
    const double strongest = StrongestPictureLevel(chosen.State.SpectrogramBitmap, chosen.Axes);
    const double limit = kAutoGainHeadroom * kSaturationLevel;
    const double rampStep = 2500000.0 / 255; // the colours' resolution near the top
    EXPECT_LE(strongest, limit + rampStep);
    if (item > 0) {
        EXPECT_GT(strongest * gainOf(item - 1) / gainOf(item), limit - rampStep);
    }
}

INSTANTIATE_TEST_SUITE_P(Amplitudes, AutoGain, testing::Values(50.0, 700.0, 4000.0, 12000.0));

TEST(AutoGainItem, SaturatedPictureLowersTheGainSilentKeepsIt) {
    EXPECT_GT(AutoGainItem(kSaturationLevel, 100), kDefaultImageGainIndex);
    EXPECT_EQ(AutoGainItem(0, 250), 6);
    EXPECT_EQ(AutoGainItem(kSaturationLevel * 100, 1), int(kImageGainItems.size()) - 1);
}
