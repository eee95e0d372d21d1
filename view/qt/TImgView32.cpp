#include "view/qt/TImgView32.h"

#include "view/PictureRenderer.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kWheelNotch = 120;
constexpr int kScrollStep = 16;

int ToScrollValue(double v) {
    return int(std::clamp(v, 0.0, double(std::numeric_limits<int>::max() / 2)));
}

} // namespace

TImgView32::TImgView32(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    SetScrollBarVisibility(TScrollBarVisibility::svHidden);
    bitmap_.SetOnChange([this] { BitmapChanged(); });
    layers_.SetOnChange([this] { viewport()->update(); });
    layers_.SetViewportScaleQuery([this] {
        const TViewPlacement p = Placement();
        return p.Empty() ? std::pair{1.0, 1.0} : std::pair{p.FactorX(), p.FactorY()};
    });
    layers_.SetViewportShiftQuery([this] {
        const TViewPlacement p = Placement();
        return std::pair{double(p.Left), double(p.Top)};
    });
}

TImgView32::~TImgView32() {
    bitmap_.SetOnChange(nullptr);
    layers_.SetOnChange(nullptr);
}

void TImgView32::SetBitmap(const TBitmap32& source) {
    bitmap_.Assign(source);
}

void TImgView32::SetResamplerClassName(std::string_view className) {
    bitmap_.SetResamplerClassName(className);
    viewport()->update();
}

void TImgView32::Changed() {
    peakCache_.Clear();
    Relayout();
}

void TImgView32::BitmapChanged() {
    peakCache_.Clear();
    Relayout();
}

void TImgView32::SetLevelRanking(std::shared_ptr<const TLevelRanking> ranking) {
    // The window hands over its ranking at the end of every job: the same one keeps the reduced
    // picture, whose making reads every pixel of the picture.
    if (ranking == ranking_) return;
    ranking_ = std::move(ranking);
    peakCache_.Clear();
    viewport()->update();
}

TBitmapPoint TImgView32::ShownPixel(int x, int y) const {
    const TViewPlacement placement = Placement();
    const TIntRect cells = CoveredPixels(placement, x, y);
    if (ranking_ == nullptr || cells.Empty() || bitmap_.Empty()) return ControlToBitmap(x, y);
    return StrongestPixel(bitmap_, *ranking_, cells);
}

void TImgView32::Relayout() {
    UpdateScrollBars();
    viewport()->update();
}

void TImgView32::SetScaleMode(TScaleMode mode) {
    if (mode == scaleMode_) return;
    scaleMode_ = mode;
    Relayout();
}

void TImgView32::ApplyScale(float value, bool horizontal) {
    value = ClampViewScale(value);
    float& scale = horizontal ? scaleX_ : scaleY_;
    if (value == scale) return;
    if (scaleMode_ == TScaleMode::smScale && !bitmap_.Empty()) {
        ZoomView zoom = Zoom();
        ZoomAxis& axis = horizontal ? zoom.X : zoom.Y;
        axis = axis.ScaledAbout(value, axis.View / 2.0, {kMinViewScale, value});
        return SetZoom(zoom);
    }
    scale = value;
    Relayout();
}

void TImgView32::SetScaleX(float scale) {
    ApplyScale(scale, true);
}

void TImgView32::SetScaleY(float scale) {
    ApplyScale(scale, false);
}

ZoomView TImgView32::Zoom() const {
    return {{bitmap_.Width(), viewport()->width(), scaleX_, offsetX_},
            {bitmap_.Height(), viewport()->height(), scaleY_, offsetY_}};
}

void TImgView32::SetZoom(const ZoomView& zoom) {
    scaleX_ = ClampViewScale(zoom.X.Scale);
    scaleY_ = ClampViewScale(zoom.Y.Scale);
    offsetX_ = zoom.X.Offset;
    offsetY_ = zoom.Y.Offset;
    Relayout();
}

void TImgView32::SetScrollBarVisibility(TScrollBarVisibility visibility) {
    scrollBars_ = visibility;
    const Qt::ScrollBarPolicy policy =
        visibility == TScrollBarVisibility::svAlways ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    setHorizontalScrollBarPolicy(policy);
    setVerticalScrollBarPolicy(policy);
    Relayout();
}

void TImgView32::SetOffset(double x, double y) {
    offsetX_ = x;
    offsetY_ = y;
    Relayout();
}

void TImgView32::SetBackgroundColor(TColor32 colour) {
    background_ = colour;
    viewport()->update();
}

TViewPlacement TImgView32::Placement() const {
    TPlacementInput in;
    in.BitmapWidth = bitmap_.Width();
    in.BitmapHeight = bitmap_.Height();
    in.ScaleMode = scaleMode_;
    in.ScaleX = scaleX_;
    in.ScaleY = scaleY_;
    in.OffsetX = offsetX_;
    in.OffsetY = offsetY_;
    in.ClientWidth = viewport()->width();
    in.ClientHeight = viewport()->height();
    return ComputePlacement(in);
}

TBitmapPoint TImgView32::ControlToBitmap(int x, int y) const {
    return ::ControlToBitmap(Placement(), x, y);
}

// Keeps the scaled picture covering as much of the view as it can: a picture larger than the view
// never leaves a gap at its far edge, a smaller one sits at the top-left corner.
void TImgView32::ClampOffset() {
    if (scaleMode_ != TScaleMode::smScale || bitmap_.Empty()) return;
    const ZoomView zoom = Zoom();
    offsetX_ = zoom.X.Clamped().Offset;
    offsetY_ = zoom.Y.Clamped().Offset;
}

void TImgView32::UpdateScrollBars() {
    if (updatingScrollBars_) return;
    updatingScrollBars_ = true;
    ClampOffset();
    const TViewPlacement p = Placement();
    const bool scaled = scaleMode_ == TScaleMode::smScale && !p.Empty();
    const auto setBar = [scaled](QScrollBar* bar, int64_t extent, int view, double offset) {
        const int range = scaled ? ToScrollValue(double(extent) - view) : 0;
        bar->setRange(0, range);
        bar->setPageStep(std::max(view, 1));
        bar->setSingleStep(kScrollStep);
        bar->setValue(scaled ? ToScrollValue(-offset) : 0);
    };
    setBar(horizontalScrollBar(), p.Width, viewport()->width(), offsetX_);
    setBar(verticalScrollBar(), p.Height, viewport()->height(), offsetY_);
    updatingScrollBars_ = false;
}

void TImgView32::scrollContentsBy(int, int) {
    if (updatingScrollBars_ || scaleMode_ != TScaleMode::smScale) return;
    offsetX_ = -double(horizontalScrollBar()->value());
    offsetY_ = -double(verticalScrollBar()->value());
    viewport()->update();
}

void TImgView32::EnsureBackBuffer() {
    const QSize size = viewport()->size();
    if (backBuffer_.Width() != size.width() || backBuffer_.Height() != size.height())
        backBuffer_.ResizeForOverwrite(size.width(), size.height());
}

void TImgView32::paintEvent(QPaintEvent* event) {
    EnsureBackBuffer();
    if (backBuffer_.Empty()) return;
    const QRect area = event->rect().intersected(viewport()->rect());
    const TPixelAccess pixels = backBuffer_.WritablePixels();
    RenderPicture(pixels, bitmap_, Placement(),
                  {area.left(), area.top(), area.right() + 1, area.bottom() + 1}, background_, ranking_.get(),
                  &peakCache_);
    layers_.Paint(backBuffer_);
    const TPixelAccess drawn = backBuffer_.WritablePixels();
    const QImage image(reinterpret_cast<const uchar*>(drawn.Bits), drawn.Width, drawn.Height,
                       qsizetype(drawn.Width) * 4, QImage::Format_RGB32);
    QPainter painter(viewport());
    painter.drawImage(area.topLeft(), image, area);
    if (bitmap_.Empty() && !placeholder_.isEmpty()) {
        painter.setPen(Qt::white);
        // In the upper half, clear of the centre line of two channels.
        const QRect upperHalf = viewport()->rect().adjusted(8, 8, -8, -viewport()->height() / 2);
        painter.drawText(upperHalf, Qt::AlignCenter | Qt::TextWordWrap, placeholder_);
    }
}

void TImgView32::SetPlaceholderText(const QString& text) {
    if (text == placeholder_) return;
    placeholder_ = text;
    viewport()->update();
}

void TImgView32::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    overlays_.PlaceCentreLine(height());
    emit Resize();
}

void TImgView32::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit MouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void TImgView32::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit MouseMove(event->modifiers(), p.x(), p.y());
}

void TImgView32::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit MouseUp(event->button(), event->modifiers(), p.x(), p.y());
}

bool TImgView32::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave) emit MouseLeave();
    return QAbstractScrollArea::viewportEvent(event);
}

void TImgView32::wheelEvent(QWheelEvent* event) {
    // A wheel turned with Shift may arrive as a horizontal one; its notches count the same.
    const QPoint delta = event->angleDelta();
    wheelRemainder_ += delta.y() != 0 ? delta.y() : delta.x();
    const QPoint p = event->position().toPoint();
    while (wheelRemainder_ >= kWheelNotch) {
        wheelRemainder_ -= kWheelNotch;
        emit MouseWheelUp(event->modifiers(), p);
    }
    while (wheelRemainder_ <= -kWheelNotch) {
        wheelRemainder_ += kWheelNotch;
        emit MouseWheelDown(event->modifiers(), p);
    }
    event->accept();
}

QSize TImgView32::ScreenSize() const {
    const QScreen* s = screen();
    return s != nullptr ? s->geometry().size() : QSize(1920, 1080);
}

void TImgView32::CreatePlayCursor() {
    overlays_.CreatePlayCursor(ScreenSize().height());
}

void TImgView32::CreateCentreLine() {
    overlays_.CreateCentreLine(ScreenSize().width(), height());
}

void TImgView32::PostPlayCursorPosition(int64_t position, int64_t copySize) {
    QMetaObject::invokeMethod(
        this, [this, position, copySize] { overlays_.MovePlayCursor(position, copySize, width()); },
        Qt::AutoConnection);
}

void TImgView32::PostPlayCursorVisible(bool visible) {
    QMetaObject::invokeMethod(
        this, [this, visible] { overlays_.SetPlayCursorVisible(visible); }, Qt::AutoConnection);
}
