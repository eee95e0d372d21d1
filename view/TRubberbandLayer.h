// The marker rectangle the user draws over the picture with the right mouse button: a one-pixel
// frame along the edges of its location (both edges included), dashed white and black so that it
// shows on any colour. The window keeps it scaled: it lives in picture coordinates.
#pragma once

#include "view/TPositionedLayer.h"

class TRubberbandLayer : public TPositionedLayer {
public:
    using TPositionedLayer::TPositionedLayer;

    // Frame colour at step `i` along the outline.
    static TColor32 DashColor(int64_t i);

    void Paint(TBitmap32& buffer) override;
};
