// One annotation over the image view: a rectangle framed in amber (apart from the marker's dashed
// white and black) with its label at its top-left corner inside it, both clipped to the picture. It
// lives in picture coordinates like the marker (TPositionedLayer, scaled), so that the view's scale
// and shift place both alike at every zoom and scroll.
#pragma once

#include "view/TPositionedLayer.h"

#include <QFont>
#include <QString>

class TAnnotationLayer : public TPositionedLayer {
public:
    explicit TAnnotationLayer(TLayerCollection& owner);

    static constexpr uint32_t kFrameColour = 0xFFFFB000; // amber, opaque

    void SetLabel(const QString& label);
    const QString& Label() const { return label_; }
    void SetFont(const QFont& font);
    // The picture's size in picture pixels: nothing is drawn outside it.
    void SetPictureSize(int32_t width, int32_t height);

    // The picture's rectangle in view pixels, where the drawing is clipped.
    TFloatRect PictureInView() const;

    void Paint(TBitmap32& buffer) override;

private:
    QString label_;
    QFont font_;
    int32_t pictureWidth_ = 0;
    int32_t pictureHeight_ = 0;
};
