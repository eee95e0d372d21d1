// Draws the visible part of a bitmap into a view-sized buffer at its placement, resampling at draw
// time with the bitmap's resampler (nearest or bilinear). Only the pixels inside the clip rectangle
// are written: the picture where it lies, the background elsewhere. The result is opaque (alpha 255).
#pragma once

#include "view/Color32.h"
#include "view/IntRect.h"
#include "view/ViewPlacement.h"

class TBitmap32;
struct TPixelAccess;

void RenderPicture(const TPixelAccess& target, const TBitmap32& bitmap, const TViewPlacement& placement,
                   const TIntRect& clip, TColor32 background);
