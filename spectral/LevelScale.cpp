#include "spectral/LevelScale.h"

#include "spectral/LevelToColor.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The ramp's corners: the levels where one of its seven stretches ends and the next begins.
constexpr std::array<double, 8> kCorners = {0, 10000, 35000, 60000, 90000, 450000, 2500000, kSaturationLevel};
constexpr uint32_t kStepsPerStretch = 255;

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
    if (palette == PaletteItem::Spectrum) return TLevelRanking(SpectrumRampColours());
    const TPalette32 entries = BuildPalette(palette);
    return TLevelRanking(std::vector<TColor32>(entries.begin(), entries.end()));
}

double SpectrumLevelOfRank(uint32_t rank) {
    const uint32_t stretch = std::min<uint32_t>(rank / kStepsPerStretch, 6);
    const double within = std::min(1.0, double(rank - stretch * kStepsPerStretch) / kStepsPerStretch);
    return kCorners[stretch] + within * (kCorners[stretch + 1] - kCorners[stretch]);
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
