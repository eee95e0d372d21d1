// Draws the visible part of a bitmap into a view-sized buffer at its placement, resampling at draw
// time with the bitmap's resampler (nearest or bilinear). Only the pixels inside the clip rectangle
// are written: the picture where it lies, the background elsewhere. The result is opaque (alpha 255).
// Given a ranking of the picture's colours, an axis along which the picture is drawn smaller than its
// size keeps the strongest pixel each view pixel covers (view/PeakShrink.h) instead of resampling;
// `cache`, when given, keeps that reduction for the next draw of the same view.
#pragma once

#include "view/Color32.h"
#include "view/IntRect.h"
#include "view/ViewPlacement.h"

class TBitmap32;
class TLevelRanking;
class TPeakShrinkCache;
struct TPixelAccess;

void RenderPicture(const TPixelAccess& target, const TBitmap32& bitmap, const TViewPlacement& placement,
                   const TIntRect& clip, TColor32 background, const TLevelRanking* ranking = nullptr,
                   TPeakShrinkCache* cache = nullptr);
