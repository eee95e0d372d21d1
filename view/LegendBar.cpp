#include "view/LegendBar.h"

#include "view/BitmapFont.h"
#include "view/TBitmap32.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTickLength = 3;
constexpr int kTextGap = 2;

} // namespace

int LegendWidth(const TLegendBar& legend) {
    int widest = TextWidth(legend.Unit);
    for (const TLegendTick& tick : legend.Ticks) widest = std::max(widest, TextWidth(tick.Text));
    return std::max(kLegendBarWidth + kTickLength + kTextGap + widest, TextWidth(legend.Unit));
}

void DrawLegendBar(const TPixelAccess& target, const TIntRect& area, const TLegendBar& legend, TColor32 text,
                   TColor32 background) {
    for (int32_t y = area.Top; y < area.Bottom; ++y)
        for (int32_t x = area.Left; x < area.Right; ++x) target.SetPixelClipped(x, y, background);
    DrawText(target, area.Left, area.Top, legend.Unit, text);
    const int top = area.Top + kGlyphCellHeight + kGlyphCellHeight / 2;
    const int bottom = area.Bottom - kGlyphCellHeight / 2;
    const int height = bottom - top;
    if (height <= 0 || legend.Colours.empty()) return;
    const size_t count = legend.Colours.size();
    for (int y = top; y < bottom; ++y) {
        // the bar's row y shows the colour at its middle's fraction of the height
        const double fraction = (double(bottom - y) - 0.5) / height;
        const TColor32 colour = legend.Colours[std::min(count - 1, size_t(fraction * double(count)))];
        for (int x = 0; x < kLegendBarWidth; ++x)
            target.SetPixelClipped(area.Left + x, y, colour | 0xFF000000u);
    }
    for (const TLegendTick& tick : legend.Ticks) {
        const int y = bottom - int(std::lround(tick.Fraction * height));
        for (int x = 0; x < kTickLength; ++x)
            target.SetPixelClipped(area.Left + kLegendBarWidth + x, y, text);
        // the text's middle (the dots' fourth row) on the tick
        DrawText(target, area.Left + kLegendBarWidth + kTickLength + kTextGap, y - kGlyphTopGap - 3,
                 tick.Text, text);
    }
}
