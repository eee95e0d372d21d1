#include "view/qt/TAnnotationLayer.h"

#include "view/TBitmap32.h"
#include "view/TLayerCollection.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kLabelPadding = 2; // pixels between the frame and the label's text
constexpr int kLabelAlpha = 160; // of the black strip under the label

QRectF QRectOf(const TFloatRect& r) {
    return QRectF(QPointF(r.Left, r.Top), QPointF(r.Right, r.Bottom));
}

} // namespace

TAnnotationLayer::TAnnotationLayer(TLayerCollection& owner) : TPositionedLayer(owner) {
    SetScaled(true);
}

void TAnnotationLayer::SetLabel(const QString& label) {
    label_ = label;
    Changed();
}

void TAnnotationLayer::SetFont(const QFont& font) {
    font_ = font;
    Changed();
}

void TAnnotationLayer::SetPictureSize(int32_t width, int32_t height) {
    pictureWidth_ = width;
    pictureHeight_ = height;
    Changed();
}

TFloatRect TAnnotationLayer::PictureInView() const {
    const auto [sx, sy] = LayerCollection().ViewportScale();
    const auto [tx, ty] = LayerCollection().ViewportShift();
    return {float(tx), float(ty), float(tx + pictureWidth_ * sx), float(ty + pictureHeight_ * sy)};
}

void TAnnotationLayer::Paint(TBitmap32& buffer) {
    if (buffer.Empty() || pictureWidth_ <= 0 || pictureHeight_ <= 0) return;
    const QRectF clip = QRectOf(PictureInView()).intersected(QRectF(0, 0, buffer.Width(), buffer.Height()));
    // A stretch or band narrower than a pixel still shows as a line.
    QRectF frame = QRectOf(AdjustedLocation()).normalized();
    frame.setWidth(std::max(frame.width(), 1.0));
    frame.setHeight(std::max(frame.height(), 1.0));
    const QRectF shown = frame.intersected(clip);
    if (shown.isEmpty()) return;
    const TPixelAccess pixels = buffer.WritablePixels();
    QImage image(reinterpret_cast<uchar*>(pixels.Bits), pixels.Width, pixels.Height,
                 qsizetype(pixels.Width) * 4, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setClipRect(clip);
    const QColor colour = QColor::fromRgba(kFrameColour);
    painter.setPen(QPen(colour, 1));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    if (!label_.isEmpty()) {
        // The label stays at the top-left of the part of the rectangle in sight, inside it.
        painter.setClipRect(shown.adjusted(1, 1, -1, -1));
        painter.setFont(font_);
        const QFontMetrics metrics(font_);
        const QPointF corner = shown.topLeft() + QPointF(1 + kLabelPadding, 1);
        const QRectF text(corner,
                          QSizeF(metrics.horizontalAdvance(label_) + 2 * kLabelPadding, metrics.height()));
        painter.fillRect(text.adjusted(-kLabelPadding, 0, 0, 0), QColor(0, 0, 0, kLabelAlpha));
        painter.setPen(colour);
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, label_);
    }
    painter.end();
    buffer.Changed();
}
