// The scrollable, zoomable image view (the main window's SrcImage). It owns its bitmap, a copy
// independent of every other surface, and shows it either stretched over the view (smStretch) or at
// separate horizontal and vertical scales (smScale) with scroll bars that pan over the whole scaled
// picture. Scaling and resampling (nearest or bilinear, per the bitmap's resampler) happen only at
// paint time and only for the visible pixels. Over the picture it paints its layer collection in
// creation order; the play cursor and the centre line live there (see view/Overlays.h).
//
// Mouse, wheel and resize events are forwarded as signals carrying view pixels, for the window's
// handlers (SrcImageMouseDown, ...). Everything here belongs to the user-interface thread, except
// the Post... operations, which any thread (the playback thread) may call.
#pragma once

#include "view/LevelRanking.h"
#include "view/Overlays.h"
#include "view/PeakShrink.h"
#include "view/TBitmap32.h"
#include "view/TLayerCollection.h"
#include "view/ViewPlacement.h"
#include "view/ZoomView.h"

#include <QAbstractScrollArea>

#include <memory>

#include <cstdint>
#include <string_view>

enum class TScrollBarVisibility { svAlways, svHidden };

class TImgView32 : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TImgView32(QWidget* parent = nullptr);
    ~TImgView32() override;

    // The view's own bitmap. Changes of size or pixels made through it repaint the view; after
    // changing only a drawing property directly, call Changed().
    TBitmap32& Bitmap() { return bitmap_; }
    const TBitmap32& Bitmap() const { return bitmap_; }
    // The view's bitmap becomes a copy of `source` (later changes of the source do not reach it).
    void SetBitmap(const TBitmap32& source);
    // A text drawn in the middle of the view while it shows no picture (e.g. why there is none).
    void SetPlaceholderText(const QString& text);
    const QString& PlaceholderText() const { return placeholder_; }
    // Sets the bitmap's resampler by class name ("TNearestResampler", "TLinearResampler") and repaints.
    void SetResamplerClassName(std::string_view className);
    // Re-lays the picture and repaints.
    void Changed();

    TScaleMode ScaleMode() const { return scaleMode_; }
    void SetScaleMode(TScaleMode mode);
    float ScaleX() const { return scaleX_; }
    float ScaleY() const { return scaleY_; }
    // Below 0.001 becomes 0.001; the current value changes nothing. In scale mode the point at the
    // centre of the view stays put.
    void SetScaleX(float scale);
    void SetScaleY(float scale);
    TScrollBarVisibility ScrollBarVisibility() const { return scrollBars_; }
    void SetScrollBarVisibility(TScrollBarVisibility visibility);

    // The scales and origin with the picture's and the viewport's sizes, and all of them set at once
    // (the origin clamped as the scroll bars keep it); the view's size and picture stay as they are.
    ZoomView Zoom() const;
    void SetZoom(const ZoomView& zoom);

    // The picture's origin in scale mode, view pixels (0, 0 initially; the scroll bars move it).
    QPointF Offset() const { return {offsetX_, offsetY_}; }
    void SetOffset(double x, double y);

    // Background drawn around the picture (opaque colour value).
    void SetBackgroundColor(TColor32 colour);

    // The strength order of the bitmap's colours. With one, an axis along which the picture is drawn
    // smaller than its size shows the strongest pixel each view pixel covers; without (the default) it
    // is resampled.
    void SetLevelRanking(std::shared_ptr<const TLevelRanking> ranking);
    const TLevelRanking* LevelRanking() const { return ranking_.get(); }
    // The bitmap pixel view pixel (x, y) shows: the strongest it covers along shrunk axes when there is
    // a ranking, else the one under it. May lie outside the bitmap.
    TBitmapPoint ShownPixel(int x, int y) const;

    // The picture's rectangle in view pixels.
    TViewPlacement Placement() const;
    // The bitmap pixel under view point (x, y); may lie outside the bitmap.
    TBitmapPoint ControlToBitmap(int x, int y) const;

    TLayerCollection& Layers() { return layers_; }
    TOverlays& Overlays() { return overlays_; }
    // The overlays, sized for the screen the view is on.
    void CreatePlayCursor();
    void CreateCentreLine();
    void RemoveCentreLine() { overlays_.RemoveCentreLine(); }

    // Safe from any thread: applied on the user-interface thread, in call order.
    void PostPlayCursorPosition(int64_t position, int64_t copySize);
    void PostPlayCursorVisible(bool visible);

signals:
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    // One signal per wheel notch, at the pointer's view position.
    void MouseWheelDown(Qt::KeyboardModifiers shift, QPoint position);
    void MouseWheelUp(Qt::KeyboardModifiers shift, QPoint position);
    void Resize();
    // The pointer has left the picture's area (the viewport).
    void MouseLeave();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void BitmapChanged();
    void Relayout();
    void UpdateScrollBars();
    void ClampOffset();
    // Changes one scale keeping the view's centre on the same bitmap point.
    void ApplyScale(float value, bool horizontal);
    void EnsureBackBuffer();
    QSize ScreenSize() const;

    TBitmap32 bitmap_;
    TBitmap32 backBuffer_; // the view's drawing buffer, viewport-sized
    std::shared_ptr<const TLevelRanking> ranking_;
    TPeakShrinkCache peakCache_; // the last shrunk drawing, reused by repaints
    TLayerCollection layers_;
    TOverlays overlays_{layers_};
    TScaleMode scaleMode_ = TScaleMode::smStretch;
    float scaleX_ = 1.0f;
    float scaleY_ = 1.0f;
    double offsetX_ = 0;
    double offsetY_ = 0;
    TScrollBarVisibility scrollBars_ = TScrollBarVisibility::svHidden;
    TColor32 background_ = Color32(108, 108, 108);
    QString placeholder_;
    bool updatingScrollBars_ = false;
    int wheelRemainder_ = 0;
};
