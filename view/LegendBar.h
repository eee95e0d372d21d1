// A level legend as drawn: a narrow bar of colours from the weakest (bottom) to the strongest (top),
// values at a few ticks beside it, the unit above. The window's legend and pictures with axes draw it
// with the same function and the built-in font.
#pragma once

#include "view/Color32.h"
#include "view/IntRect.h"

#include <string>
#include <vector>

struct TPixelAccess;

struct TLegendTick {
    double Fraction = 0; // 0 at the bar's bottom, 1 at its top
    std::string Text;
};

struct TLegendBar {
    std::vector<TColor32> Colours; // bottom first, spread evenly over the bar's height
    std::vector<TLegendTick> Ticks;
    std::string Unit;
};

inline constexpr int kLegendBarWidth = 10;

// The width the legend needs: the bar, its ticks and the widest text.
int LegendWidth(const TLegendBar& legend);

// Draws the legend into `area` on `background`: the unit on the first text line, the bar below it
// down to the area's bottom (less half a text line, so that the lowest value fits).
void DrawLegendBar(const TPixelAccess& target, const TIntRect& area, const TLegendBar& legend, TColor32 text,
                   TColor32 background);
