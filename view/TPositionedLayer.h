// A layer placed at a rectangle. Unscaled, the rectangle is in view pixels. Scaled, it is in picture
// (bitmap) coordinates and the view's picture scale and shift place it, so that it stays over the same
// part of the picture when the view is resized, zoomed or scrolled.
#pragma once

#include "view/TBitmap32.h"
#include "view/TCustomLayer.h"

class TPositionedLayer : public TCustomLayer {
public:
    using TCustomLayer::TCustomLayer;

    // The rectangle (left, top, right, bottom) as set: view pixels, or picture coordinates when scaled.
    const TFloatRect& Location() const { return location_; }
    // Moves the layer and asks for a repaint.
    void SetLocation(const TFloatRect& location);

    bool Scaled() const { return scaled_; }
    // Switches the coordinates of Location; the rectangle keeps its numbers and asks for a repaint.
    void SetScaled(bool scaled);

    // The rectangle in view pixels, where it is drawn now.
    TFloatRect AdjustedLocation() const;
    // Moves the layer to a rectangle given in view pixels, whichever coordinates it keeps.
    void SetAdjustedLocation(const TFloatRect& viewLocation);

private:
    TFloatRect location_;
    bool scaled_ = false;
};
