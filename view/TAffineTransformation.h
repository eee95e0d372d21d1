// A 2-D affine map from source (bitmap) coordinates to destination (view) coordinates, built up step
// by step: each Scale or Translate applies after the steps before it. SrcRect is the part of the
// source that transformed drawing uses.
#pragma once

#include "view/TBitmap32.h"

#include <optional>

struct TFloatPoint {
    double X = 0;
    double Y = 0;
};

class TAffineTransformation {
public:
    TAffineTransformation() { Clear(); }

    // Back to the identity.
    void Clear();
    void Scale(double sx, double sy);
    void Translate(double dx, double dy);

    TFloatRect SrcRect;

    TFloatPoint Transform(TFloatPoint p) const;
    // The source point that maps to p; empty when the map is singular (a zero scale).
    std::optional<TFloatPoint> ReverseTransform(TFloatPoint p) const;
    // The bounding box of SrcRect after the transformation.
    TFloatRect TransformedBounds() const;

private:
    // x' = a x + c y + e, y' = b x + d y + f
    double a_ = 1, b_ = 0, c_ = 0, d_ = 1, e_ = 0, f_ = 0;
};
