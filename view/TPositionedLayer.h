// A layer placed at a rectangle of view pixels.
#pragma once

#include "view/TBitmap32.h"
#include "view/TCustomLayer.h"

class TPositionedLayer : public TCustomLayer {
public:
    using TCustomLayer::TCustomLayer;

    const TFloatRect& Location() const { return location_; }
    // Moves the layer (left, top, right, bottom in view pixels) and asks for a repaint.
    void SetLocation(const TFloatRect& location);

private:
    TFloatRect location_;
};
