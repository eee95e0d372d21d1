#include "view/TCustomAffineLayer.h"

#include "view/TransformedDraw.h"

TCustomAffineLayer::TCustomAffineLayer(TLayerCollection& owner) : TCustomLayer(owner) {
    bitmap_.SetOnChange([this] { BitmapChanged(); });
}

TCustomAffineLayer::~TCustomAffineLayer() {
    bitmap_.SetOnChange(nullptr);
}

void TCustomAffineLayer::SetBitmap(const TBitmap32& source) {
    bitmap_.Assign(source);
}

void TCustomAffineLayer::BitmapChanged() {
    transformation_.SrcRect = bitmap_.BoundsRect();
    Changed();
}

void TCustomAffineLayer::Paint(TBitmap32& buffer) {
    UpdateTransform();
    DrawTransformed(buffer, bitmap_, transformation_);
}

void TCustomAffineLayer::UpdateTransform() {}
