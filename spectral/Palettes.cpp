#include "spectral/Palettes.h"

#include "view/TBitmap32.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// round(255 × value), ties to even, held to a byte for arguments outside 0 .. 1.
uint8_t ByteOf(long double value) {
    return static_cast<uint8_t>(std::clamp(std::lrint(255.0L * value), 0L, 255L));
}

// One channel of an HSL colour: h is wrapped into [0, 1) as a 32-bit float, then the piecewise
// ramp between M1 and M2 is taken.
uint8_t HueByte(float m1, float m2, float h) {
    const auto wrapped = static_cast<float>(h - std::floor(h));
    long double v = m1;
    if (6 * wrapped < 1)
        v = m1 + static_cast<long double>(m2 - m1) * wrapped * 6;
    else if (2 * wrapped < 1)
        v = m2;
    else if (3 * wrapped < 2)
        v = m1 + static_cast<long double>(m2 - m1) * (2.0L / 3 - wrapped) * 6;
    return ByteOf(v);
}

// The H, S, L arguments of one palette entry, each formed in extended precision and rounded to a
// 32-bit float, with f = i / 255.
struct Hsl {
    float H;
    float S;
    float L;
};

Hsl PaletteEntryHsl(PaletteItem item, float f) {
    const long double x = f;
    switch (item) {
    case PaletteItem::Grayscale:
        return {0.0f, 0.0f, static_cast<float>(0.9L * x + 0.1L)};
    case PaletteItem::Greens:
        return {static_cast<float>(0.4L * x), 0.5f, static_cast<float>(0.4L * x + 0.2L)};
    case PaletteItem::Reds:
        return {static_cast<float>(0.3L * x + 0.8L), static_cast<float>(0.3L * x + 0.7L),
                static_cast<float>(0.85L * x + 0.1L)};
    case PaletteItem::Rainbow:
        return {static_cast<float>(0.66L - 0.7L * x), 1.0f, static_cast<float>(0.4L * x + 0.4L)};
    case PaletteItem::Spectrum:
        break;
    }
    throw std::invalid_argument("\"Spectrum\" has no palette");
}

} // namespace

std::optional<PaletteItem> PaletteItemFromName(std::string_view name) {
    for (size_t i = 0; i < kPaletteItemTexts.size(); ++i)
        if (kPaletteItemTexts[i] == name) return static_cast<PaletteItem>(i);
    return std::nullopt;
}

TColor32 HslToColor(float H, float S, float L) {
    if (S == 0) {
        const uint8_t grey = ByteOf(L);
        return Color32(grey, grey, grey);
    }
    const auto m2 =
        static_cast<float>(L <= 0.5f ? static_cast<long double>(L) * (1 + static_cast<long double>(S))
                                     : static_cast<long double>(L) + S - static_cast<long double>(L) * S);
    const auto m1 = static_cast<float>(2 * static_cast<long double>(L) - m2);
    const long double third = 1.0L / 3;
    return Color32(HueByte(m1, m2, static_cast<float>(H + third)), HueByte(m1, m2, H),
                   HueByte(m1, m2, static_cast<float>(H - third)));
}

TPalette32 BuildPalette(PaletteItem item) {
    TPalette32 palette{};
    for (int i = 0; i < 256; ++i) {
        const Hsl hsl = PaletteEntryHsl(item, static_cast<float>(i) / 255.0f);
        palette[static_cast<size_t>(i)] = HslToColor(hsl.H, hsl.S, hsl.L);
    }
    return palette;
}

void ApplyPalette(const TBitmap32& spectrogramBitmap, std::optional<PaletteItem> checked,
                  TBitmap32& viewBitmap) {
    if (checked == PaletteItem::Spectrum) {
        viewBitmap.Assign(spectrogramBitmap);
        return;
    }
    const PaletteItem shown = checked.value_or(PaletteItem::Reds);
    const TPalette32 palette = BuildPalette(shown);
    // Each pixel's intensity goes straight to its palette colour, as a byte map read from the picture
    // and written through the palette would give, without holding a map of the whole picture (a
    // quarter of its size) on top of the two pictures.
    const TPixelAccess pixels =
        viewBitmap.ResizeForOverwrite(spectrogramBitmap.Width(), spectrogramBitmap.Height());
    const TColor32* source = spectrogramBitmap.Bits();
    std::transform(source, source + spectrogramBitmap.PixelCount(), pixels.Bits,
                   [&palette](TColor32 colour) { return palette[WeightedIntensity(colour)]; });
    viewBitmap.Changed();
}
