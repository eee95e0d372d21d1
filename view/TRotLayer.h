// An affine layer placed by a translation in view pixels. When Scaled is set, the view's own picture
// scale and shift apply after the translation, so the layer moves with the zoomed picture.
#pragma once

#include "view/TCustomAffineLayer.h"

class TRotLayer : public TCustomAffineLayer {
public:
    using TCustomAffineLayer::TCustomAffineLayer;

    TFloatPoint Position() const { return {position_x_, position_y_}; }
    void SetPosition(float x, float y);
    bool Scaled() const { return scaled_; }
    void SetScaled(bool scaled);

protected:
    void UpdateTransform() override;

private:
    float position_x_ = 0;
    float position_y_ = 0;
    bool scaled_ = false;
};
