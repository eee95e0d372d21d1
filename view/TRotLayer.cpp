#include "view/TRotLayer.h"

#include "view/TLayerCollection.h"

void TRotLayer::SetPosition(float x, float y) {
    position_x_ = x;
    position_y_ = y;
    Changed();
}

void TRotLayer::SetScaled(bool scaled) {
    scaled_ = scaled;
    Changed();
}

void TRotLayer::UpdateTransform() {
    TAffineTransformation& t = Transformation();
    t.Clear();
    t.Translate(position_x_, position_y_);
    if (!scaled_) return;
    const auto [sx, sy] = LayerCollection().ViewportScale();
    const auto [tx, ty] = LayerCollection().ViewportShift();
    t.Scale(sx, sy);
    t.Translate(tx, ty);
}
