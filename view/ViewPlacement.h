// Where the image view draws its bitmap: the placement rectangle in view pixels, recomputed after
// every change of bitmap size, scale mode, scale, offset or view size, and the mapping of a view
// point back to the bitmap pixel under it.
#pragma once

#include <cstdint>

enum class TScaleMode { smStretch, smScale };

inline constexpr float kMinViewScale = 0.001f;

// What the placement depends on.
struct TPlacementInput {
    int32_t BitmapWidth = 0;
    int32_t BitmapHeight = 0;
    TScaleMode ScaleMode = TScaleMode::smStretch;
    float ScaleX = 1.0f; // each at least kMinViewScale
    float ScaleY = 1.0f;
    double OffsetX = 0; // origin of the picture in scale mode, view pixels (stretch: always 0, 0)
    double OffsetY = 0;
    int32_t ClientWidth = 0; // the view's client area without scroll bars
    int32_t ClientHeight = 0;
};

// The picture's rectangle in view pixels. Empty (all zero) when the bitmap is empty. Left/Top are
// the shift, Width/Height the drawn size; the factors are Width / BitmapWidth and Height /
// BitmapHeight.
struct TViewPlacement {
    int64_t Left = 0;
    int64_t Top = 0;
    int64_t Width = 0;
    int64_t Height = 0;
    int32_t BitmapWidth = 0;
    int32_t BitmapHeight = 0;

    bool Empty() const { return Width <= 0 || Height <= 0; }
    double FactorX() const { return BitmapWidth > 0 ? double(Width) / BitmapWidth : 0.0; }
    double FactorY() const { return BitmapHeight > 0 ? double(Height) / BitmapHeight : 0.0; }
};

struct TBitmapPoint {
    int32_t X = 0;
    int32_t Y = 0;
};

// A scale value as the view stores it: never below kMinViewScale (NaN also becomes the floor).
float ClampViewScale(float scale);

// The drawn size of one axis in scale mode: round(size * scale), ties to even; below 1 pixel it is 0.
int64_t ScaledExtent(int32_t size, float scale);

TViewPlacement ComputePlacement(const TPlacementInput& in);

// The bitmap pixel under view point (px, py): trunc((p - shift) * bitmap size / drawn size), toward
// zero. The result may lie outside the bitmap. An axis whose drawn size is 0 maps to -1 (outside).
TBitmapPoint ControlToBitmap(const TViewPlacement& placement, int32_t px, int32_t py);
