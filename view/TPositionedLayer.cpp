#include "view/TPositionedLayer.h"

void TPositionedLayer::SetLocation(const TFloatRect& location) {
    const TFloatRect& l = location_;
    if (l.Left == location.Left && l.Top == location.Top && l.Right == location.Right &&
        l.Bottom == location.Bottom)
        return;
    location_ = location;
    Changed();
}
