// The display palettes of the ruler's pop-up menu and their application to the view's copy of the
// spectrogram. "Spectrum" shows the spectrogram's own colours; the four others map each pixel's
// weighted intensity through a 256-entry palette built from hue, saturation and lightness ramps.
#pragma once

#include "view/Color32.h"

#include <array>
#include <optional>
#include <string_view>

class TBitmap32;

// The radio items of SrcViewPopupMenu; the value is the item's tag.
enum class PaletteItem : int { Spectrum = 0, Grayscale = 1, Greens = 2, Reds = 3, Rainbow = 4 };

inline constexpr std::array<std::string_view, 5> kPaletteItemTexts = {"Spectrum", "Grayscale", "Greens",
                                                                      "Reds", "Rainbow"};

// The item whose text is `name` (exact, case-sensitive), or nothing.
std::optional<PaletteItem> PaletteItemFromName(std::string_view name);

// The colour (alpha 255) of hue H, saturation S and lightness L, each 0 .. 1; H wraps.
TColor32 HslToColor(float H, float S, float L);

// The 256-entry palette of "Grayscale", "Greens", "Reds" or "Rainbow". "Spectrum" has no palette and
// throws std::invalid_argument.
TPalette32 BuildPalette(PaletteItem item);

// Recolours `viewBitmap` from `spectrogramBitmap` for the checked item. "Spectrum" makes the view's
// bitmap a copy (Assign, resampler included); the others set its size and pixels only, keeping its
// resampler. No item checked shows "Reds". `spectrogramBitmap` is not changed. An empty source
// gives an empty view bitmap.
void ApplyPalette(const TBitmap32& spectrogramBitmap, std::optional<PaletteItem> checked,
                  TBitmap32& viewBitmap);
