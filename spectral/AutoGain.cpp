#include "spectral/AutoGain.h"

#include "spectral/LevelScale.h"
#include "spectral/SpectrogramSettings.h"

#include <charconv>

namespace {

int32_t GainOfItem(size_t index) {
    const std::string_view text = kImageGainItems[index];
    int32_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

} // namespace

double StrongestPictureLevel(const TBitmap32& spectrumPicture, const PictureAxes& axes) {
    static const TLevelRanking ranking = RankingOfPalette(PaletteItem::Spectrum);
    uint16_t strongest = 0;
    for (int32_t y = 0; y < spectrumPicture.Height(); ++y) {
        if (ReadRow(axes, y).Bin == 0) continue;
        const TColor32* row = spectrumPicture.Bits() + size_t(y) * size_t(spectrumPicture.Width());
        for (int32_t x = 0; x < spectrumPicture.Width(); ++x)
            strongest = std::max(strongest, ranking.Rank(row[x]));
    }
    return SpectrumLevelOfRank(strongest);
}

int AutoGainItem(double strongestLevel, int32_t gain) {
    const double magnitude = strongestLevel * 100.0 / double(gain);
    if (!(magnitude > 0)) {
        for (size_t i = 0; i < kImageGainItems.size(); ++i)
            if (GainOfItem(i) == gain) return int(i);
        return kDefaultImageGainIndex;
    }
    for (size_t i = 0; i < kImageGainItems.size(); ++i)
        if (magnitude * GainOfItem(i) / 100.0 <= kAutoGainHeadroom * kSaturationLevel) return int(i);
    return int(kImageGainItems.size()) - 1;
}
