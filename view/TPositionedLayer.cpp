#include "view/TPositionedLayer.h"

#include "view/TLayerCollection.h"

void TPositionedLayer::SetLocation(const TFloatRect& location) {
    const TFloatRect& l = location_;
    if (l.Left == location.Left && l.Top == location.Top && l.Right == location.Right &&
        l.Bottom == location.Bottom)
        return;
    location_ = location;
    Changed();
}

void TPositionedLayer::SetScaled(bool scaled) {
    if (scaled_ == scaled) return;
    scaled_ = scaled;
    Changed();
}

TFloatRect TPositionedLayer::AdjustedLocation() const {
    if (!scaled_) return location_;
    const auto [sx, sy] = LayerCollection().ViewportScale();
    const auto [tx, ty] = LayerCollection().ViewportShift();
    return {float(location_.Left * sx + tx), float(location_.Top * sy + ty), float(location_.Right * sx + tx),
            float(location_.Bottom * sy + ty)};
}

void TPositionedLayer::SetAdjustedLocation(const TFloatRect& viewLocation) {
    if (!scaled_) {
        SetLocation(viewLocation);
        return;
    }
    const auto [sx, sy] = LayerCollection().ViewportScale();
    const auto [tx, ty] = LayerCollection().ViewportShift();
    if (sx <= 0 || sy <= 0) return; // the view shows no picture to place it on
    SetLocation({float((viewLocation.Left - tx) / sx), float((viewLocation.Top - ty) / sy),
                 float((viewLocation.Right - tx) / sx), float((viewLocation.Bottom - ty) / sy)});
}
