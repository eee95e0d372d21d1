// A layer that draws its own bitmap into the view through an affine transformation whose source
// rectangle always equals the bitmap's bounds. Subclasses set the transformation in UpdateTransform,
// which runs before every paint.
#pragma once

#include "view/TAffineTransformation.h"
#include "view/TBitmap32.h"
#include "view/TCustomLayer.h"

class TCustomAffineLayer : public TCustomLayer {
public:
    explicit TCustomAffineLayer(TLayerCollection& owner);
    ~TCustomAffineLayer() override;

    TAffineTransformation& Transformation() { return transformation_; }
    const TAffineTransformation& Transformation() const { return transformation_; }
    // The layer's own picture; every change of it re-sets the source rectangle and repaints.
    TBitmap32& Bitmap() { return bitmap_; }
    const TBitmap32& Bitmap() const { return bitmap_; }
    // Copies contents and properties of `source` into the layer's own bitmap.
    void SetBitmap(const TBitmap32& source);

    void Paint(TBitmap32& buffer) override;

protected:
    // Sets the transformation for the next paint; nothing to do in this class.
    virtual void UpdateTransform();

private:
    void BitmapChanged();

    TAffineTransformation transformation_;
    TBitmap32 bitmap_;
};
