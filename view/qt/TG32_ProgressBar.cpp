#include "view/qt/TG32_ProgressBar.h"

#include <QEvent>
#include <QImage>
#include <QPainter>

namespace {

TColor ToPlainColor(const QColor& c) {
    return TColor(c.red()) | (TColor(c.green()) << 8) | (TColor(c.blue()) << 16);
}

} // namespace

TG32_ProgressBar::TG32_ProgressBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
    resize(sizeHint());
}

TColor TG32_ProgressBar::SystemColor(uint32_t index) const {
    const QPalette& p = palette();
    switch (index) {
    case 6:
        return ToPlainColor(p.color(QPalette::Shadow)); // window frame
    case 16:
        return ToPlainColor(p.color(QPalette::Dark)); // button shadow
    case 15:
        return ToPlainColor(p.color(QPalette::Button)); // button face
    case 20:
        return ToPlainColor(p.color(QPalette::Light)); // button highlight
    case 5:
        return ToPlainColor(p.color(QPalette::Base)); // window
    case 8:
        return ToPlainColor(p.color(QPalette::WindowText)); // window text
    case 13:
        return ToPlainColor(p.color(QPalette::Highlight)); // highlight
    default:
        return clBlack;
    }
}

void TG32_ProgressBar::Invalidate() {
    bufferValid_ = false;
    update();
}

void TG32_ProgressBar::SetBackColor(TColor colour) {
    backColor_ = colour;
    Invalidate();
}

void TG32_ProgressBar::SetBorderStyle(TBorderStyle style) {
    borderStyle_ = style;
    Invalidate();
}

void TG32_ProgressBar::SetContrast(int contrast) {
    look_.Contrast = contrast;
    Invalidate();
}

void TG32_ProgressBar::SetFramed(bool framed) {
    look_.Framed = framed;
    Invalidate();
}

void TG32_ProgressBar::SetMax(int max) {
    look_.Max = max;
    Invalidate();
}

void TG32_ProgressBar::SetMin(int min) {
    look_.Min = min;
    Invalidate();
}

void TG32_ProgressBar::SetColor(TColor colour) {
    color_ = colour;
    Invalidate();
}

void TG32_ProgressBar::SetPosition(int position) {
    if (position == look_.Position) return;
    look_.Position = position;
    PaintBuffer();
    repaint();
}

void TG32_ProgressBar::PaintBuffer() {
    if (buffer_.Width() != width() || buffer_.Height() != height())
        buffer_.ResizeForOverwrite(width(), height());
    const SystemColorLookup system = [this](uint32_t index) { return SystemColor(index); };
    TProgressBarLook look = look_;
    look.BackPixel = ColorToPixel(backColor_, system);
    look.BarPixel = ColorToPixel(color_, system);
    look.FramePixel = ColorToPixel(clWindowFrame, system);
    DrawProgressBar(buffer_, look);
    bufferValid_ = true;
    ++bufferPaints_;
}

const TBitmap32& TG32_ProgressBar::Buffer() {
    if (!bufferValid_) PaintBuffer();
    return buffer_;
}

void TG32_ProgressBar::paintEvent(QPaintEvent*) {
    if (!bufferValid_) PaintBuffer();
    if (buffer_.Empty()) return;
    const QImage image(reinterpret_cast<const uchar*>(buffer_.Bits()), buffer_.Width(), buffer_.Height(),
                       qsizetype(buffer_.Width()) * 4, QImage::Format_RGB32);
    QPainter(this).drawImage(0, 0, image);
}

void TG32_ProgressBar::resizeEvent(QResizeEvent*) {
    bufferValid_ = false;
}

void TG32_ProgressBar::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) Invalidate();
    QWidget::changeEvent(event);
}
