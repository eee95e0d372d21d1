// Finding one's way in zoom mode: the wheel zooms the time axis about the pointer (with Ctrl the
// frequency axis, with Shift it scrolls), the picture's keys scroll, zoom and fit, and "Zoom to Marker"
// fills the view with the marker's rectangle. The geometry is the view's (view/ZoomView.h); here the
// window decides what each gesture asks of it, and the sliders and the ruler follow what it shows.
#include "app/PictureKeys.h"
#include "app/TMainForm.h"
#include "app/TRulerPaintBox.h"
#include "view/TRubberbandLayer.h"
#include "view/qt/TGaugeBar.h"
#include "view/qt/TImgView32.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>

#include <cmath>

namespace {

// One wheel notch or key press zooms by 10^(1/10), about 1.26: ten slider steps, so that the sliders
// keep whole positions, and ten notches make a factor of ten.
constexpr double kZoomStep = 1.2589254117941673;
// A scroll step is a tenth of the view.
constexpr double kScrollShare = 0.1;

// The slider position nearest a scale (position p stands for 10^(p/100)).
int GaugePosition(float scale) {
    return int(std::lround(100 * std::log10(double(scale))));
}

} // namespace

void TMainForm::BuildZoomNavigation() {
    QMenu* options = menuBar()->findChild<QMenu*>("mnuOptions");
    mnuZoomToMarker = options->addAction("&Zoom to Marker");
    mnuZoomToMarker->setObjectName("mnuZoomToMarker");
    mnuZoomToMarker->setEnabled(false);

    // In zoom mode the ruler labels the frequencies in sight, beside the view wherever the frames put it.
    RulerPaintBox->SetZoomProvider([this]() -> std::optional<ZoomedRulerPlace> {
        const TViewPlacement placement = SrcImage->Placement();
        if (!ZoomMode() || placement.Empty()) return std::nullopt;
        const int viewTop = SrcImage->viewport()->mapTo(this, QPoint(0, 0)).y();
        const double top = viewTop - RulerPaintBox->mapTo(this, QPoint(0, 0)).y();
        return ZoomedRulerPlace{{top + double(placement.Top), double(placement.Height)},
                                top,
                                top + SrcImage->viewport()->height()};
    });
}

void TMainForm::ConnectZoomNavigation() {
    connect(mnuZoomToMarker, &QAction::triggered, this, &TMainForm::mnuZoomToMarkerClick);
    connect(menuBar()->findChild<QMenu*>("mnuOptions"), &QMenu::aboutToShow, this,
            &TMainForm::UpdateZoomToMarkerItem);
    new PictureKeys(SrcImage, [this](PictureKeyCommand command) { return PictureKeyPressed(command); });
    // Every scroll, by the bars or by the commands here, moves the ruler's labels.
    for (QScrollBar* bar : {SrcImage->verticalScrollBar(), SrcImage->horizontalScrollBar()}) {
        connect(bar, &QScrollBar::valueChanged, RulerPaintBox, qOverload<>(&QWidget::update));
        connect(bar, &QScrollBar::rangeChanged, RulerPaintBox, qOverload<>(&QWidget::update));
    }
}

void TMainForm::ShowZoom(const ZoomView& zoom) {
    SrcImage->SetZoom(zoom);
    // The sliders show the scales without setting them again: a scale between two positions stays.
    const QSignalBlocker blockX(gbPositionX);
    const QSignalBlocker blockY(gbPositionY);
    gbPositionX->SetPosition(GaugePosition(SrcImage->ScaleX()));
    gbPositionY->SetPosition(GaugePosition(SrcImage->ScaleY()));
    RulerPaintBox->update();
}

void TMainForm::SrcImageMouseWheelDown(Qt::KeyboardModifiers shift, QPoint at) {
    WheelOverPicture(shift, at, -1);
}

void TMainForm::SrcImageMouseWheelUp(Qt::KeyboardModifiers shift, QPoint at) {
    WheelOverPicture(shift, at, 1);
}

// Up zooms in (or, with Shift, scrolls towards the start).
void TMainForm::WheelOverPicture(Qt::KeyboardModifiers shift, QPoint at, int notches) {
    if (!ZoomMode()) return;
    ZoomView zoom = SrcImage->Zoom();
    const double factor = std::pow(kZoomStep, notches);
    if (shift & Qt::ShiftModifier)
        zoom.X = zoom.X.ScrolledBy(-notches * kScrollShare * zoom.X.View);
    else if (shift & Qt::ControlModifier)
        zoom.Y = zoom.Y.ZoomedAbout(factor, at.y(), WindowZoomLimits(zoom.Y));
    else
        zoom.X = zoom.X.ZoomedAbout(factor, at.x(), WindowZoomLimits(zoom.X));
    ShowZoom(zoom);
}

bool TMainForm::PictureKeyPressed(PictureKeyCommand command) {
    if (command == PictureKeyCommand::ForgetPlayStart) {
        ForgetPlayStart();
        return true;
    }
    if (!ZoomMode()) return false;
    ZoomView zoom = SrcImage->Zoom();
    const double stepX = kScrollShare * zoom.X.View;
    const double stepY = kScrollShare * zoom.Y.View;
    switch (command) {
    case PictureKeyCommand::ScrollLeft:
        zoom.X = zoom.X.ScrolledBy(-stepX);
        break;
    case PictureKeyCommand::ScrollRight:
        zoom.X = zoom.X.ScrolledBy(stepX);
        break;
    case PictureKeyCommand::ScrollUp:
        zoom.Y = zoom.Y.ScrolledBy(-stepY);
        break;
    case PictureKeyCommand::ScrollDown:
        zoom.Y = zoom.Y.ScrolledBy(stepY);
        break;
    case PictureKeyCommand::ZoomInTime:
    case PictureKeyCommand::ZoomOutTime:
        zoom.X = zoom.X.ZoomedAbout(command == PictureKeyCommand::ZoomInTime ? kZoomStep : 1 / kZoomStep,
                                    zoom.X.View / 2.0, WindowZoomLimits(zoom.X));
        break;
    case PictureKeyCommand::ZoomInFrequency:
    case PictureKeyCommand::ZoomOutFrequency:
        zoom.Y = zoom.Y.ZoomedAbout(command == PictureKeyCommand::ZoomInFrequency ? kZoomStep : 1 / kZoomStep,
                                    zoom.Y.View / 2.0, WindowZoomLimits(zoom.Y));
        break;
    case PictureKeyCommand::Fit:
        zoom.X = zoom.X.Fitted(WindowZoomLimits(zoom.X));
        zoom.Y = zoom.Y.Fitted(WindowZoomLimits(zoom.Y));
        break;
    default:
        return false;
    }
    ShowZoom(zoom);
    return true;
}

std::optional<ZoomVisibleRect> TMainForm::MarkerRectangle() const {
    if (!rubberBand_ || !rubberBand_->Visible() || !readout_->ShownAxes()) return std::nullopt;
    const TFloatRect r = rubberBand_->Location();
    if (r.Left == r.Right && r.Top == r.Bottom) return std::nullopt;
    return ZoomVisibleRect{r.Left, r.Top, r.Right, r.Bottom};
}

void TMainForm::UpdateZoomToMarkerItem() {
    mnuZoomToMarker->setEnabled(MarkerRectangle().has_value());
}

void TMainForm::mnuZoomToMarkerClick() {
    const std::optional<ZoomVisibleRect> marker = MarkerRectangle();
    if (!marker) return;
    if (!ZoomMode()) sbImageMode->click();
    ZoomView zoom = SrcImage->Zoom();
    zoom.X = zoom.X.Showing(marker->Left, marker->Right, WindowZoomLimits(zoom.X));
    zoom.Y = zoom.Y.Showing(marker->Top, marker->Bottom, WindowZoomLimits(zoom.Y));
    ShowZoom(zoom);
}

void TMainForm::ForgetPlayStart() {
    readout_->ForgetClick();
    if (rubberBand_) rubberBand_->SetVisible(false);
    readout_->ShowMarker();
    UpdateZoomToMarkerItem();
}
