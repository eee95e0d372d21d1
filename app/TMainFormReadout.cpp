// The readings' controls on the window: status panels 5 and 6, Options > "Time Scale", and the wiring
// of the view's pointer to the readout presenter (app/ReadoutPresenter.h), which holds what they show.
#include "app/ReadoutPresenter.h"
#include "app/TElidedPanel.h"
#include "app/TMainForm.h"
#include "app/TRulerPaintBox.h"
#include "view/qt/TImgView32.h"
#include "view/qt/TTimeScaleLayer.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int kReadoutLeastWidth = 300;
constexpr int kMarkerLeastWidth = 90;

// A status panel after the five fixed ones: it takes a share of the room left and never widens the bar.
TElidedPanel* AddStretchPanel(QStatusBar* bar, const char* name, int stretch) {
    auto* panel = new TElidedPanel(bar);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addWidget(panel, stretch);
    return panel;
}

} // namespace

void TMainForm::BuildReadoutControls() {
    // The readout takes the width its texts ask for, the marker's extent the rest. In a narrow window
    // the readout stays whole (up to a limit) and the marker keeps some room, while the other panels
    // give way; what is cut is in the tool tip.
    ReadoutPanel = AddStretchPanel(statusBar(), "StatusPanel5", 0);
    ReadoutPanel->SetShare(-kReadoutLeastWidth, 0);
    MarkerPanel = AddStretchPanel(statusBar(), "StatusPanel6", 1);
    MarkerPanel->SetShare(kMarkerLeastWidth, 0);

    QMenu* options = menuBar()->findChild<QMenu*>("mnuOptions");
    mnuTimeScale = options->addAction("&Time Scale");
    mnuTimeScale->setObjectName("mnuTimeScale");
    mnuTimeScale->setCheckable(true);
    mnuTimeScale->setChecked(true);

    ReadoutPresenter::Parts parts;
    parts.View = SrcImage;
    parts.Ruler = RulerPaintBox;
    parts.PointerPanel = ReadoutPanel;
    parts.MarkerPanel = MarkerPanel;
    parts.Marker = [this] { return rubberBand_; };
    parts.Shown = [this]() -> const ShownRecording& { return shown_; };
    // The samples are read only while no job may be changing them.
    parts.Samples = [this]() -> std::optional<SampleSpan> {
        if (busy_) return std::nullopt;
        const SignalStore& store = session_.Store();
        return SampleSpan{store.Samples.data(),
                          std::clamp<int64_t>(store.ValueCount, 0, int64_t(store.Samples.size()))};
    };
    readout_ = new ReadoutPresenter(std::move(parts), this);

    // The ruler's scales stand beside the picture itself, wherever the frames put the two widgets.
    RulerPaintBox->SetSpanProvider([this] {
        const TViewPlacement placement = SrcImage->Placement();
        if (placement.Empty()) return RulerSpan{0, double(RulerPaintBox->height())};
        const int viewTop = SrcImage->viewport()->mapTo(this, QPoint(0, 0)).y();
        const int rulerTop = RulerPaintBox->mapTo(this, QPoint(0, 0)).y();
        return RulerSpan{double(viewTop - rulerTop + placement.Top), double(placement.Height)};
    });
}

void TMainForm::ConnectReadoutHandlers() {
    // Connected after the mouse handlers of the view, so that they see the marker as those left it.
    const auto pointerAt = [this](int x, int y) {
        readout_->PointerAt(x, y);
        readout_->ShowMarker();
    };
    connect(SrcImage, &TImgView32::MouseMove, this,
            [pointerAt](Qt::KeyboardModifiers, int x, int y) { pointerAt(x, y); });
    connect(SrcImage, &TImgView32::MouseDown, this,
            [pointerAt](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) { pointerAt(x, y); });
    connect(SrcImage, &TImgView32::MouseLeave, readout_, &ReadoutPresenter::PointerLeft);
    connect(sbImageMode, &QToolButton::clicked, readout_, &ReadoutPresenter::ShowMarker);
    connect(RulerPaintBox, &TRulerPaintBox::Click, readout_, &ReadoutPresenter::ShowMarker);
    connect(mnuTimeScale, &QAction::triggered, this, &TMainForm::mnuTimeScaleClick);
}

void TMainForm::mnuTimeScaleClick() {
    readout_->TimeScale()->SetVisible(mnuTimeScale->isChecked());
}
