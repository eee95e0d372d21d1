// Row-wide linear blends of 32-bit pixels for the view's bilinear drawing. Every function gives
// exactly the result of LerpColor (view/PixelBlend.h) per pixel; on x86-64 four pixels go at a time.
#pragma once

#include "view/Color32.h"

#include <cstdint>

// out[i] = LerpColor(a[i], b[i], w), for one weight w (0 .. 256).
void LerpRow(const TColor32* a, const TColor32* b, uint32_t w, TColor32* out, int32_t n);

// Per-pixel weights of a horizontal blend, each repeated for the four channels (weights4[4 i ..
// 4 i + 3] = the weight of pixel i, 0 .. 256).
// out[i] = LerpColor(row[first[i]], row[second[i]], w_i) | orMask.
// `ahead`, when given, is a row whose pixels first[i] are requested from memory along the way (the
// row a following call will read), so that the fetches of a picture much wider than the view overlap
// the drawing; likewise `aheadA` and `aheadB` below.
void LerpGatherRow(const TColor32* row, const int32_t* first, const int32_t* second, const uint16_t* weights4,
                   TColor32* out, int32_t n, TColor32 orMask, const TColor32* ahead = nullptr);

// out[i] = LerpColor(h(a), h(b), wy) | orMask, where h(r) = LerpColor(r[first[i]], r[second[i]], w_i).
void LerpGatherRows(const TColor32* a, const TColor32* b, const int32_t* first, const int32_t* second,
                    const uint16_t* weights4, uint32_t wy, TColor32* out, int32_t n, TColor32 orMask,
                    const TColor32* aheadA = nullptr, const TColor32* aheadB = nullptr);
