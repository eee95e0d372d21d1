#include "view/qt/TTimeScaleLayer.h"

#include "view/TBitmap32.h"
#include "view/TLayerCollection.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTickLength = 4;
constexpr int kTextGap = 2;       // between a tick and its label
constexpr int kLabelSpacing = 14; // free pixels between neighbouring labels at the least
constexpr int kStripAlpha = 150;  // of the black strip under the labels

} // namespace

TTimeScaleLayer::TTimeScaleLayer(TLayerCollection& owner) : TCustomLayer(owner) {}

void TTimeScaleLayer::SetAxis(const std::optional<TTimeScaleAxis>& axis) {
    axis_ = axis;
    Changed();
}

void TTimeScaleLayer::SetFont(const QFont& font) {
    font_ = font;
    Changed();
}

TimeAxisPlacement TTimeScaleLayer::Placement() const {
    TimeAxisPlacement placement;
    if (!axis_ || !(axis_->SecondsPerColumn > 0)) return placement;
    const double scaleX = LayerCollection().ViewportScale().first;
    const double shiftX = LayerCollection().ViewportShift().first;
    placement.PixelsPerSecond = scaleX / axis_->SecondsPerColumn;
    placement.OriginX = shiftX - scaleX * axis_->SecondsAtLeft / axis_->SecondsPerColumn;
    return placement;
}

TTimeScaleLayer::Strip TTimeScaleLayer::StripIn(int bufferHeight) const {
    if (!axis_ || axis_->PictureHeight <= 0 || !(axis_->SecondsPerColumn > 0)) return {};
    const double scaleY = LayerCollection().ViewportScale().second;
    const double top = LayerCollection().ViewportShift().second;
    // The strip ends where the picture's last row (its marker line) begins, or at the view's bottom.
    const double markerTop = top + (axis_->PictureHeight - 1) * scaleY;
    const int bottom = int(std::min(std::floor(markerTop), double(bufferHeight)));
    const int height = QFontMetrics(font_).height() + kTickLength;
    const int stripTop = bottom - height;
    if (stripTop < std::max(0.0, std::ceil(top))) return {};
    return {stripTop, bottom};
}

std::vector<TimeTick> TTimeScaleLayer::TicksIn(int bufferWidth) const {
    const TimeAxisPlacement placement = Placement();
    if (!(placement.PixelsPerSecond > 0)) return {};
    const double scaleX = LayerCollection().ViewportScale().first;
    const double shiftX = LayerCollection().ViewportShift().first;
    const double left = std::max(0.0, shiftX);
    const double right = std::min(double(bufferWidth), shiftX + scaleX * axis_->PictureWidth);
    const double endSeconds = axis_->SecondsAtLeft + axis_->PictureWidth * axis_->SecondsPerColumn;
    // Room for the widest label the axis can carry, found with the step such a label asks for.
    const QFontMetrics metrics(font_);
    double step = TimeScaleStep(placement.PixelsPerSecond, 40);
    for (int pass = 0; pass < 2 && step > 0; ++pass) {
        const int widest = metrics.horizontalAdvance(QString::fromStdString(TimeTickText(endSeconds, step)));
        step = TimeScaleStep(placement.PixelsPerSecond, widest + kTextGap + kLabelSpacing);
    }
    return TimeScaleTicks(placement, step, left, right, 0.0);
}

void TTimeScaleLayer::Paint(TBitmap32& buffer) {
    const Strip strip = StripIn(buffer.Height());
    if (buffer.Empty() || strip.Empty()) return;
    const std::vector<TimeTick> ticks = TicksIn(buffer.Width());
    const TPixelAccess pixels = buffer.WritablePixels();
    QImage image(reinterpret_cast<uchar*>(pixels.Bits), pixels.Width, pixels.Height,
                 qsizetype(pixels.Width) * 4, QImage::Format_RGB32);
    QPainter painter(&image);
    const double scaleX = LayerCollection().ViewportScale().first;
    const double shiftX = LayerCollection().ViewportShift().first;
    const int left = int(std::max(0.0, std::floor(shiftX)));
    const int right = int(std::min(double(pixels.Width), std::ceil(shiftX + scaleX * axis_->PictureWidth)));
    painter.fillRect(QRect(left, strip.Top, right - left, strip.Bottom - strip.Top),
                     QColor(0, 0, 0, kStripAlpha));
    painter.setFont(font_);
    painter.setPen(Qt::white);
    const int textTop = strip.Top + kTickLength;
    const QFontMetrics metrics(font_);
    for (const TimeTick& tick : ticks) {
        const int x = int(std::floor(tick.X));
        painter.drawLine(x, strip.Top, x, strip.Top + kTickLength - 1);
        // A label that would run past the picture's right edge is left out; its tick stays.
        const QString text = QString::fromStdString(tick.Text);
        if (x + kTextGap + metrics.horizontalAdvance(text) > right) continue;
        painter.drawText(QRect(x + kTextGap, textTop, right - x, strip.Bottom - textTop),
                         Qt::AlignLeft | Qt::AlignVCenter, text);
    }
    painter.end();
    buffer.Changed();
}
