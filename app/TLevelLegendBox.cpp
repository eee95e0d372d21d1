#include "app/TLevelLegendBox.h"

#include "app/WindowLook.h"
#include "view/TBitmap32.h"

#include <QImage>
#include <QPainter>

namespace {

constexpr int kLegendBoxWidth = 46;
constexpr int kInset = 3;

} // namespace

TLevelLegendBox::TLevelLegendBox(QWidget* parent) : QWidget(parent) {
    setFixedWidth(kLegendBoxWidth);
}

void TLevelLegendBox::SetLegend(TLegendBar legend) {
    legend_ = std::move(legend);
    update();
}

void TLevelLegendBox::paintEvent(QPaintEvent*) {
    if (width() <= 0 || height() <= 0) return;
    TBitmap32 canvas;
    canvas.SetSize(width(), height());
    const TColor32 background = kRulerBackground.rgb();
    canvas.Clear(background);
    const TPixelAccess pixels = canvas.WritablePixels();
    if (!legend_.Colours.empty())
        DrawLegendBar(pixels, {kInset, kInset, width() - 1, height() - kInset}, legend_, kOpaqueWhite,
                      background);
    const QImage image(reinterpret_cast<const uchar*>(pixels.Bits), pixels.Width, pixels.Height,
                       qsizetype(pixels.Width) * 4, QImage::Format_RGB32);
    QPainter(this).drawImage(0, 0, image);
}
