#include "spectral/Palettes.h"
#include "view/TBitmap32.h"

#include <gtest/gtest.h>

namespace {

TColor32 Rgb(int r, int g, int b) {
    return Color32(static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b));
}

// A 4 × 2 "Spectrum" picture with known colours.
TBitmap32 SpectrumPicture() {
    TBitmap32 b;
    b.SetSize(4, 2);
    const TColor32 colours[8] = {Rgb(0, 0, 0),       Rgb(255, 0, 0),   Rgb(0, 255, 0), Rgb(0, 0, 255),
                                 Rgb(255, 255, 255), Rgb(255, 255, 0), Rgb(0, 0, 128), Rgb(255, 0, 255)};
    for (int i = 0; i < 8; ++i) b.SetPixelClipped(i % 4, i / 4, colours[i]);
    return b;
}

} // namespace

TEST(WeightedIntensity, PrimariesAndWhite) {
    EXPECT_EQ(WeightedIntensity(Rgb(255, 0, 0)), 60);
    EXPECT_EQ(WeightedIntensity(Rgb(0, 255, 0)), 173);
    EXPECT_EQ(WeightedIntensity(Rgb(0, 0, 255)), 20);
    EXPECT_EQ(WeightedIntensity(Rgb(255, 255, 255)), 255);
    EXPECT_EQ(WeightedIntensity(Rgb(0, 0, 0)), 0);
    EXPECT_EQ(WeightedIntensity(0x00FFFFFFu), 255); // alpha plays no part
}

TEST(HslToColor, GreysPrimariesAndWrappedHues) {
    EXPECT_EQ(HslToColor(0.3f, 0.0f, 0.5f), Rgb(128, 128, 128)); // 127.5 rounds to even
    EXPECT_EQ(HslToColor(0.0f, 0.0f, 1.0f), Rgb(255, 255, 255));
    EXPECT_EQ(HslToColor(0.0f, 1.0f, 0.5f), Rgb(255, 0, 0));
    EXPECT_EQ(HslToColor(1.0f / 3, 1.0f, 0.5f), Rgb(0, 255, 0));
    EXPECT_EQ(HslToColor(2.0f / 3, 1.0f, 0.5f), Rgb(0, 0, 255));
    EXPECT_EQ(HslToColor(0.5f, 1.0f, 0.25f), Rgb(0, 128, 128));
    EXPECT_EQ(HslToColor(0.0f, 1.0f, 0.75f), Rgb(255, 128, 128));
    // Hues outside [0, 1) wrap.
    EXPECT_EQ(HslToColor(1.5f, 1.0f, 0.5f), HslToColor(0.5f, 1.0f, 0.5f));
    EXPECT_EQ(HslToColor(-0.25f, 0.8f, 0.4f), HslToColor(0.75f, 0.8f, 0.4f));
    EXPECT_EQ(AlphaOf(HslToColor(0.1f, 0.2f, 0.3f)), 255);
    // Lightness beyond 0 .. 1 saturates instead of wrapping the byte.
    EXPECT_EQ(HslToColor(0.0f, 0.0f, 1.5f), Rgb(255, 255, 255));
    EXPECT_EQ(HslToColor(0.0f, 1.0f, -0.5f), Rgb(0, 0, 0));
}

TEST(Palettes, KnownEntries) {
    const TPalette32 grey = BuildPalette(PaletteItem::Grayscale);
    EXPECT_EQ(grey[0], Rgb(26, 26, 26));
    EXPECT_EQ(grey[128], Rgb(141, 141, 141));
    EXPECT_EQ(grey[255], Rgb(255, 255, 255));
    for (size_t i = 1; i < 256; ++i) ASSERT_GE(RedOf(grey[i]), RedOf(grey[i - 1])) << i;

    EXPECT_EQ(BuildPalette(PaletteItem::Greens)[255], Rgb(102, 204, 143));
    EXPECT_EQ(BuildPalette(PaletteItem::Reds)[0], Rgb(36, 8, 43));

    const TPalette32 rainbow = BuildPalette(PaletteItem::Rainbow);
    EXPECT_EQ(rainbow[0], Rgb(0, 8, 204));
    EXPECT_EQ(rainbow[255], Rgb(255, 153, 177));

    EXPECT_THROW(BuildPalette(PaletteItem::Spectrum), std::invalid_argument);
}

TEST(Palettes, Names) {
    EXPECT_EQ(PaletteItemFromName("Rainbow"), PaletteItem::Rainbow);
    EXPECT_EQ(PaletteItemFromName("Spectrum"), PaletteItem::Spectrum);
    EXPECT_EQ(PaletteItemFromName("rainbow"), std::nullopt);
    EXPECT_EQ(PaletteItemFromName(""), std::nullopt);
}

TEST(ApplyPalette, RecoloursThroughIntensityAndLeavesSourceAlone) {
    const TBitmap32 spectrum = SpectrumPicture();
    TBitmap32 view;
    view.SetResamplerClassName("TLinearResampler");
    int changes = 0;
    view.SetOnChange([&changes] { ++changes; });

    ApplyPalette(spectrum, PaletteItem::Grayscale, view);
    const TPalette32 grey = BuildPalette(PaletteItem::Grayscale);
    ASSERT_EQ(view.Width(), 4);
    ASSERT_EQ(view.Height(), 2);
    EXPECT_EQ(view.Pixel(0, 0), grey[0]);
    EXPECT_EQ(view.Pixel(1, 0), grey[60]);               // red
    EXPECT_EQ(view.Pixel(2, 0), grey[173]);              // green
    EXPECT_EQ(view.Pixel(0, 1), grey[255]);              // white
    EXPECT_EQ(view.Resampler(), TResamplerKind::Linear); // palettes keep the view's resampler
    EXPECT_GE(changes, 1);
    EXPECT_EQ(spectrum.Pixel(1, 0), Rgb(255, 0, 0));
    EXPECT_FALSE(view.SharesPixelsWith(spectrum));
}

TEST(ApplyPalette, SpectrumRestoresExactColoursAndNearestResampler) {
    const TBitmap32 spectrum = SpectrumPicture();
    TBitmap32 view;
    ApplyPalette(spectrum, PaletteItem::Greens, view);
    view.SetResamplerClassName("TLinearResampler");
    ApplyPalette(spectrum, PaletteItem::Spectrum, view);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(view.Pixel(x, y), spectrum.Pixel(x, y)) << x << "," << y;
    EXPECT_EQ(view.Resampler(), TResamplerKind::Nearest);
}

TEST(ApplyPalette, NoCheckedItemShowsReds) {
    const TBitmap32 spectrum = SpectrumPicture();
    TBitmap32 unchecked;
    TBitmap32 reds;
    ApplyPalette(spectrum, std::nullopt, unchecked);
    ApplyPalette(spectrum, PaletteItem::Reds, reds);
    const TPalette32 palette = BuildPalette(PaletteItem::Reds);
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(unchecked.Pixel(x, 1), reds.Pixel(x, 1));
        EXPECT_EQ(unchecked.Pixel(x, 1), palette[WeightedIntensity(spectrum.Pixel(x, 1))]);
    }
}

TEST(ApplyPalette, ViewSharingTheSourcePixelsDoesNotWriteIntoTheSource) {
    const TBitmap32 spectrum = SpectrumPicture();
    TBitmap32 view;
    view.Assign(spectrum);
    ASSERT_TRUE(view.SharesPixelsWith(spectrum));
    ApplyPalette(spectrum, PaletteItem::Rainbow, view);
    EXPECT_EQ(spectrum.Pixel(0, 0), Rgb(0, 0, 0));
    EXPECT_EQ(view.Pixel(0, 0), BuildPalette(PaletteItem::Rainbow)[0]);
}

TEST(ApplyPalette, EmptySourceGivesEmptyView) {
    const TBitmap32 empty;
    TBitmap32 view;
    view.SetSize(3, 3);
    ApplyPalette(empty, PaletteItem::Reds, view);
    EXPECT_TRUE(view.Empty());
    view.SetSize(3, 3);
    ApplyPalette(empty, PaletteItem::Spectrum, view);
    EXPECT_TRUE(view.Empty());
}
