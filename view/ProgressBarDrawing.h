// The drawing of the progress bar control into its 32-bit back buffer: a frame, a trough in the
// background colour with a darker inner edge, and a bar from Min to Position shaded top to bottom
// with a raised edge. Kept free of any toolkit so that the pixels can be checked one by one.
#pragma once

#include "view/Color32.h"
#include "view/IntRect.h"

#include <cstdint>

class TBitmap32;

// The properties the drawing reads, with the colours already resolved to pixels.
struct TProgressBarLook {
    TColor32 BackPixel = 0;  // background of the trough (BackColor)
    TColor32 BarPixel = 0;   // the bar (Color)
    TColor32 FramePixel = 0; // the frame and the separator (system colour 6, window frame)
    int32_t Contrast = 64;   // strength of the bar's vertical shading; 0: flat bar
    bool Framed = true;      // one-pixel frame and a separator after the bar's end
    int32_t Min = 0;
    int32_t Max = 100;
    int32_t Position = 0;
};

// The bar's rectangle inside a client area of width x height pixels.
TIntRect ProgressBarRect(const TProgressBarLook& look, int32_t width, int32_t height);

// Draws trough and bar over the whole of `buffer`.
void DrawProgressBar(TBitmap32& buffer, const TProgressBarLook& look);
