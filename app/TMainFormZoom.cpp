// Zoom mode and the zoom sliders, the marker rectangle drawn with the right mouse button (in both
// modes), and the frequency a click on the picture writes into EditFrq. The wheel and the keys are in
// TMainFormZoomNavigation.cpp.
#include "app/TMainForm.h"
#include "app/TRulerPaintBox.h"
#include "spectral/SpectrogramReadout.h"
#include "view/TRubberbandLayer.h"
#include "view/qt/TGaugeBar.h"
#include "view/qt/TImgView32.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace {

// Gauge position p gives the scale 10^(p/100): -100 -> 0.1, 0 -> 1, 100 -> 10.
float GaugeScale(int position) {
    return static_cast<float>(std::pow(10.0L, static_cast<long double>(position) / 100));
}

} // namespace

void TMainForm::ConnectViewHandlers() {
    connect(sbImageMode, &QToolButton::clicked, this, &TMainForm::sbImageModeClick);
    connect(sbResetZoom, &QToolButton::clicked, this, &TMainForm::sbResetZoomClick);
    connect(gbPositionX, &TGaugeBar::Change, this, &TMainForm::gbPositionXChange);
    connect(gbPositionY, &TGaugeBar::Change, this, &TMainForm::gbPositionYChange);
    connect(SrcImage, &TImgView32::MouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                SrcImageMouseDown(button, x, y);
            });
    connect(SrcImage, &TImgView32::MouseMove, this,
            [this](Qt::KeyboardModifiers, int x, int y) { SrcImageMouseMove(x, y); });
    connect(SrcImage, &TImgView32::MouseUp, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, int, int) { SrcImageMouseUp(button); });
    connect(SrcImage, &TImgView32::MouseWheelDown, this, &TMainForm::SrcImageMouseWheelDown);
    connect(SrcImage, &TImgView32::MouseWheelUp, this, &TMainForm::SrcImageMouseWheelUp);
    ConnectZoomNavigation();
}

bool TMainForm::ZoomMode() const {
    return sbImageMode->isChecked();
}

void TMainForm::sbImageModeClick() {
    const bool zoom = ZoomMode();
    SrcImage->SetScaleMode(zoom ? TScaleMode::smScale : TScaleMode::smStretch);
    SrcImage->SetScrollBarVisibility(zoom ? TScrollBarVisibility::svAlways : TScrollBarVisibility::svHidden);
    RulerPaintBox->update(); // its labels follow the part in sight in zoom mode
    TOverlays& overlays = SrcImage->Overlays();
    overlays.SetPlayCursorVisible(!zoom && !Player.PlaybackIdle());
    overlays.SetCentreLineVisible(!zoom);
    for (QWidget* zoomControl : {static_cast<QWidget*>(gbPositionX), static_cast<QWidget*>(gbPositionY),
                                 static_cast<QWidget*>(sbResetZoom), static_cast<QWidget*>(LabelXZoom),
                                 static_cast<QWidget*>(LabelYZoom)})
        zoomControl->setEnabled(zoom);
}

void TMainForm::gbPositionXChange() {
    SrcImage->SetScaleX(GaugeScale(gbPositionX->Position()));
}

void TMainForm::gbPositionYChange() {
    SrcImage->SetScaleY(GaugeScale(gbPositionY->Position()));
}

void TMainForm::sbResetZoomClick() {
    gbPositionX->SetPosition(0);
    gbPositionY->SetPosition(0);
}

// A click on the picture writes the centre frequency of the bin its row shows, within the band (the
// channel) of that row, rounded to whole hertz; a click beside the picture writes nothing.
void TMainForm::SrcImageMouseDown(Qt::MouseButton button, int x, int y) {
    const TBitmapPoint point = SrcImage->ControlToBitmap(x, y);
    if (const std::optional<PictureAxes> axes = ShownAxes()) {
        const RowReading row = ReadRow(*axes, point.Y);
        if (row.Inside && point.X >= 0 && point.X < axes->Width) {
            EditFrq->setText(QString::number(std::llrint(row.Hertz)));
            readout_->Clicked(point.X, point.Y);
        }
    }
    // The rectangle lives in picture coordinates: it stays on the same part of the signal whatever
    // happens to the view's size, zoom or scroll.
    if (!rubberBand_) {
        rubberBand_ = SrcImage->Layers().Add<TRubberbandLayer>();
        rubberBand_->SetScaled(true);
        rubberBand_->SetAdjustedLocation({float(x), float(y), float(x), float(y)});
    }
    anchorX_ = x;
    anchorY_ = y;
    if (button == Qt::RightButton) {
        dragging_ = true;
        rubberBand_->SetAdjustedLocation({float(x), float(y), float(x), float(y)});
    }
    rubberBand_->SetVisible(true);
}

void TMainForm::SrcImageMouseMove(int x, int y) {
    if (!dragging_ || !rubberBand_) return;
    rubberBand_->SetAdjustedLocation({float(std::min(x, anchorX_)), float(std::min(y, anchorY_)),
                                      float(std::max(x, anchorX_)), float(std::max(y, anchorY_))});
}

void TMainForm::SrcImageMouseUp(Qt::MouseButton button) {
    if (button == Qt::RightButton) dragging_ = false;
    UpdateZoomToMarkerItem();
}

void TMainForm::RulerPaintBoxClick() {
    if (rubberBand_) rubberBand_->SetVisible(false);
    UpdateZoomToMarkerItem();
}
