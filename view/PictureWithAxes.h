// A picture ready for a report: the spectrogram as shown (at its own pixel size, untouched) with a
// title line above it, its frequency ruler and level legend to its right and its time scale below,
// all drawn in the built-in font. The window's "With axes" export and orvane-cli render --axes both
// make it with PictureWithAxes.
#pragma once

#include "spectral/Palettes.h"
#include "spectral/SpectrogramReadout.h"
#include "view/FrequencyAxis.h"
#include "view/LegendBar.h"
#include "view/TBitmap32.h"
#include "view/TimeScaleTicks.h"

#include <string>
#include <vector>

// Where the picture's top-left pixel lands.
inline constexpr int32_t kAxesPictureLeft = 8;
inline constexpr int32_t kAxesPictureTop = 20;

// What is written around the picture, in picture pixels.
struct TAxesAnnotations {
    std::string Title;
    std::vector<RulerLabel> FrequencyLabels; // as the window's ruler places them beside the picture
    std::vector<TimeTick> TimeTicks;         // X: the picture column the tick stands at
    TLegendBar Legend;
};

// The picture at (kAxesPictureLeft, kAxesPictureTop) on white, with the annotations in black.
TBitmap32 ComposePictureWithAxes(const TBitmap32& picture, const TAxesAnnotations& annotations);

// What the title says besides the axes.
struct PictureDescription {
    std::string FileName; // shown without its folder
    int32_t Gain = 100;
    PaletteItem Palette = PaletteItem::Spectrum;
};

// The annotations of a picture with these axes: the title (file name, N, window, gain, centre
// frequency when known), the ruler's labels and the time scale's ticks from the window's own tick
// functions, and the level legend.
TAxesAnnotations AnnotationsOf(const PictureAxes& axes, const PictureDescription& description);

// ComposePictureWithAxes(shown, AnnotationsOf(axes, description)).
TBitmap32 PictureWithAxes(const TBitmap32& shown, const PictureAxes& axes,
                          const PictureDescription& description);
