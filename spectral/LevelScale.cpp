#include "spectral/LevelScale.h"

#include "spectral/LevelToColor.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Each stretch of the ramp moves one channel's byte b from 0 to 255 (down from 255 for a falling
// channel, counted as 255 - b) over level Base + Span * b / 255. The third stretch's blue falls over
// twice its levels' span, so it starts at half (the ramp jumps from cyan to half blue at 35000).
struct Stretch {
    double Base;
    double Span;
};
constexpr std::array<Stretch, 7> kStretches = {{{0, 10000},
                                                {10000, 25000},
                                                {10000, 50000},
                                                {60000, 30000},
                                                {90000, 360000},
                                                {450000, 2050000},
                                                {2500000, 2500000}}};
constexpr uint32_t kStepsPerStretch = 255;
// Where each stretch ends and the next begins.
constexpr std::array<double, 8> kCorners = {0, 10000, 35000, 60000, 90000, 450000, 2500000, kSaturationLevel};

} // namespace

std::vector<TColor32> SpectrumRampColours() {
    std::vector<TColor32> colours;
    colours.reserve(7 * kStepsPerStretch + 1);
    // Each stretch moves one channel by a byte per step: blue up, green up, blue down, red up, green
    // down, blue up, green up.
    for (uint32_t b = 0; b <= 255; ++b) colours.push_back(Color32(0, 0, uint8_t(b)));
    for (uint32_t g = 1; g <= 255; ++g) colours.push_back(Color32(0, uint8_t(g), 255));
    for (uint32_t b = 1; b <= 255; ++b) colours.push_back(Color32(0, 255, uint8_t(255 - b)));
    for (uint32_t r = 1; r <= 255; ++r) colours.push_back(Color32(uint8_t(r), 255, 0));
    for (uint32_t g = 1; g <= 255; ++g) colours.push_back(Color32(255, uint8_t(255 - g), 0));
    for (uint32_t b = 1; b <= 255; ++b) colours.push_back(Color32(255, 0, uint8_t(b)));
    for (uint32_t g = 1; g <= 255; ++g) colours.push_back(Color32(255, uint8_t(g), 255));
    return colours;
}

TLevelRanking RankingOfPalette(PaletteItem palette) {
    if (palette == PaletteItem::Spectrum)
        return TLevelRanking(SpectrumRampColours(), TRankFormula::SpectrumRamp);
    const TPalette32 entries = BuildPalette(palette);
    return TLevelRanking(std::vector<TColor32>(entries.begin(), entries.end()));
}

double SpectrumLevelOfRank(uint32_t rank) {
    if (rank == 0) return 0;
    // The top of the levels of stretch k that round to byte b, or nothing when none of its levels does.
    const auto top = [](uint32_t k, double b) {
        const Stretch& s = kStretches[k];
        const double t = std::min(kCorners[k + 1], s.Base + s.Span * (b + 0.5) / 255.0);
        return t >= kCorners[k] ? t : 0.0;
    };
    // Rank 255 k + b is byte b of stretch k; a rank that closes stretch k is also byte 0 of the next.
    const uint32_t k = std::min<uint32_t>((rank - 1) / kStepsPerStretch, 6);
    double level = top(k, double(rank - k * kStepsPerStretch));
    if (rank % kStepsPerStretch == 0 && k + 1 < kStretches.size()) level = std::max(level, top(k + 1, 0.0));
    return level;
}

TColor32 ShownColourOfLevel(double level, PaletteItem palette) {
    const TColor32 spectrum = LevelToColor32(float(level));
    if (palette == PaletteItem::Spectrum) return spectrum;
    return BuildPalette(palette)[WeightedIntensity(spectrum)];
}

double PictureLevelDbfs(double level, int32_t gain, double fullScale) {
    return MagnitudeDbfs(level * 100.0 / double(gain), fullScale);
}

double PictureLevelAtDbfs(double dbfs, int32_t gain, double fullScale) {
    return std::pow(10.0, dbfs / 20.0) * fullScale * double(gain) / 100.0;
}
