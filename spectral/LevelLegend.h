// The level legend of a picture: which dBFS its colours stand for, for its window, N, channels and
// gain, by the readout's own formula (spectral/LevelScale.h). The bar runs over the top
// kLegendRangeDb decibels below saturation (white), with a tick at every 10 dBFS.
#pragma once

#include "spectral/LevelScale.h"
#include "view/LegendBar.h"

#include <vector>

inline constexpr double kLegendRangeDb = 70.0;

struct LevelLegend {
    double TopDbfs = 0;    // the level at which the colours saturate
    double BottomDbfs = 0; // TopDbfs - kLegendRangeDb
    double FullScale = 0;  // what a full-scale tone gives at a bin (BinFullScale)
    int32_t Gain = 100;
    PaletteItem Palette = PaletteItem::Spectrum;
    std::vector<double> TickDbfs; // the multiples of 10 from the bottom to the top
};

LevelLegend MakeLevelLegend(const PictureAxes& axes, int32_t gain, PaletteItem palette);

// The colour a level of `dbfs` is shown in.
TColor32 LegendColour(const LevelLegend& legend, double dbfs);

// The legend as a bar to draw: 256 colours from the bottom to the top, the ticks' values ("-40"),
// and "dBFS" above.
TLegendBar LegendBarOf(const LevelLegend& legend);
