#include "view/TCustomLayer.h"

#include "view/TLayerCollection.h"

void TCustomLayer::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    Changed();
}

void TCustomLayer::Changed() {
    owner_.Changed();
}

void TCustomLayer::Paint(TBitmap32&) {}
