// Peak-keeping shrink: where the picture is drawn smaller than its pixel size along an axis, each drawn
// pixel stands for a span of picture pixels and shows the strongest of the pixels it covers (by the
// rank of their colours, view/LevelRanking.h), never whichever one nearest sampling would pick. Along
// an axis drawn at its size or larger each drawn pixel keeps the one picture pixel under it.
#pragma once

#include "view/Color32.h"
#include "view/IntRect.h"
#include "view/ViewPlacement.h"

#include <cstdint>
#include <vector>

class TBitmap32;
class TLevelRanking;

// The picture pixels drawn pixel j covers when `source` pixels are drawn over `drawn` < `source`
// pixels: From .. To - 1, with From = floor(j * source / drawn) and To = floor((j + 1) * source /
// drawn). The spans of j = 0 .. drawn - 1 follow each other without gap or overlap.
struct TPixelSpan {
    int32_t From = 0;
    int32_t To = 0;
};
TPixelSpan ShrunkSpan(int64_t j, int32_t source, int64_t drawn);

// Whether the placement draws the picture smaller than its size along x, along y.
bool ShrinksX(const TViewPlacement& placement);
bool ShrinksY(const TViewPlacement& placement);

// The picture pixels view pixel (x, y) covers: its spans along the shrunk axes, the pixel under it
// (as ControlToBitmap finds it) along the others. Empty when the point is off the picture.
TIntRect CoveredPixels(const TViewPlacement& placement, int32_t x, int32_t y);

// The strongest pixel of `cells`, the first in row order among equally strong ones.
TBitmapPoint StrongestPixel(const TBitmap32& bitmap, const TLevelRanking& ranking, const TIntRect& cells);

// The part of a picture a view shows, reduced along the shrunk axes: pixel (c, r) is the strongest of
// the picture pixels view pixel (Visible.Left + c, Visible.Top + r) covers along a shrunk axis, and
// picture column SourceLeft + c (row SourceTop + r) along an axis that is not shrunk.
struct TPeakShrunkPicture {
    std::vector<TColor32> Pixels;
    int32_t Width = 0;
    int32_t Height = 0;
    TIntRect Visible; // view pixels
    bool ShrunkX = false;
    bool ShrunkY = false;
    int32_t SourceLeft = 0; // first picture column along an axis that is not shrunk
    int32_t SourceTop = 0;
};

// Reduces the picture for the view pixels `visible` (inside the placement) drawn with `placement`.
// Along an axis that is not shrunk it keeps the picture pixels sourceFrom .. sourceTo - 1 that the
// resampler reads for those view pixels.
void ShrinkToPeaks(const TBitmap32& bitmap, const TLevelRanking& ranking, const TViewPlacement& placement,
                   const TIntRect& visible, TPixelSpan sourceColumns, TPixelSpan sourceRows,
                   TPeakShrunkPicture& out);

// The reduced picture of the last draw, reused while the picture, the ranking, the placement and the
// visible part stay the same (a repaint for the play cursor or an overlay). The owner clears it when
// the picture's pixels change in place.
class TPeakShrinkCache {
public:
    void Clear() { valid_ = false; }
    // The picture kept for these, or null.
    const TPeakShrunkPicture* Find(const TColor32* bits, const TLevelRanking* ranking,
                                   const TViewPlacement& placement, const TIntRect& visible,
                                   bool linear) const;
    // The picture to fill for these; it is found from now on.
    TPeakShrunkPicture& Keep(const TColor32* bits, const TLevelRanking* ranking,
                             const TViewPlacement& placement, bool linear);

private:
    bool valid_ = false;
    bool linear_ = false; // the resampler reads more picture pixels along an axis that is not shrunk
    const TColor32* bits_ = nullptr;
    const TLevelRanking* ranking_ = nullptr;
    TViewPlacement placement_;
    TPeakShrunkPicture picture_;
};
