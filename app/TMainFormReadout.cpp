// The readings of the window, all taken from the axes of the picture in the view: the time, frequency
// and level under the pointer (status panel 5), the extent of the marker rectangle (status panel 6),
// the ruler's bands and the time scale over the picture. The arithmetic is the core's
// (spectral/SpectrogramReadout.h); this file shows it. Levels are read from the samples only while no
// job runs: a job starts only once no level is being computed (StopReadingSamples).
#include "app/ReadoutState.h"
#include "app/ReadoutText.h"
#include "app/TElidedPanel.h"
#include "app/TMainForm.h"
#include "app/TRulerPaintBox.h"
#include "spectral/SpectrogramPictureLayout.h"
#include "view/TRubberbandLayer.h"
#include "view/qt/TImgView32.h"
#include "view/qt/TTimeScaleLayer.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>

#include <algorithm>

namespace {

// A status panel after the five fixed ones: it takes a share of the room left and never widens the bar.
TElidedPanel* AddStretchPanel(QStatusBar* bar, const char* name, int stretch) {
    auto* panel = new TElidedPanel(bar);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addWidget(panel, stretch);
    return panel;
}

void ShowText(TElidedPanel* panel, const std::string& text) {
    panel->SetFullText(QString::fromStdString(text));
}

} // namespace

void TMainForm::BuildReadoutControls() {
    readout_ = std::make_unique<ReadoutState>();
    readout_->Worker =
        std::make_unique<LevelReadoutWorker>([this](uint64_t request, std::optional<double> dbfs) {
            QMetaObject::invokeMethod(
                this, [this, request, dbfs] { ShowLevel(request, dbfs); }, Qt::QueuedConnection);
        });
    // The readout takes the width its texts ask for, the marker's extent the rest.
    ReadoutPanel = AddStretchPanel(statusBar(), "StatusPanel5", 0);
    MarkerPanel = AddStretchPanel(statusBar(), "StatusPanel6", 1);

    QMenu* options = menuBar()->findChild<QMenu*>("mnuOptions");
    mnuTimeScale = options->addAction("Time Scale");
    mnuTimeScale->setObjectName("mnuTimeScale");
    mnuTimeScale->setCheckable(true);
    mnuTimeScale->setChecked(true);

    readout_->TimeScale = SrcImage->Layers().Add<TTimeScaleLayer>();
    QFont font = SrcImage->font();
    font.setPixelSize(11);
    font.setBold(true);
    readout_->TimeScale->SetFont(font);

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
    connect(SrcImage, &TImgView32::MouseMove, this, [this](Qt::KeyboardModifiers, int x, int y) {
        ShowPointerReadout(x, y);
        ShowMarkerReadout();
    });
    connect(SrcImage, &TImgView32::MouseDown, this,
            [this](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
                ShowPointerReadout(x, y);
                ShowMarkerReadout();
            });
    connect(SrcImage, &TImgView32::MouseLeave, this, [this] {
        readout_->PointerOver = false;
        readout_->AwaitedLevel = 0;
        ShowText(ReadoutPanel, {});
    });
    connect(sbImageMode, &QToolButton::clicked, this, &TMainForm::ShowMarkerReadout);
    connect(RulerPaintBox, &TRulerPaintBox::Click, this, &TMainForm::ShowMarkerReadout);
    connect(mnuTimeScale, &QAction::triggered, this, &TMainForm::mnuTimeScaleClick);
}

void TMainForm::mnuTimeScaleClick() {
    readout_->TimeScale->SetVisible(mnuTimeScale->isChecked());
}

TTimeScaleLayer* TMainForm::TimeScale() const {
    return readout_->TimeScale;
}

uint64_t TMainForm::LevelsDelivered() const {
    return readout_->Worker->Delivered();
}

uint64_t TMainForm::LevelsAbandoned() const {
    return readout_->Worker->Abandoned();
}

// The axes hold only while the view shows the picture they were recorded for.
std::optional<PictureAxes> TMainForm::ShownAxes() const {
    if (!readout_ || !readout_->Axes || !readout_->Axes->Valid()) return std::nullopt;
    const TBitmap32& shown = SrcImage->Bitmap();
    if (shown.Width() != readout_->Axes->Width || shown.Height() != readout_->Axes->Height)
        return std::nullopt;
    return readout_->Axes;
}

void TMainForm::ShowPictureAxes(const SpectrogramSettings& settings) {
    const PictureAxes axes = AxesOfPicture(Spectrogram, Store, settings);
    if (rubberBand_ && readout_->Axes) {
        const TFloatRect r = rubberBand_->Location();
        const PictureRect moved = RemapPictureRect({r.Left, r.Top, r.Right, r.Bottom}, *readout_->Axes, axes);
        rubberBand_->SetLocation(
            {float(moved.Left), float(moved.Top), float(moved.Right), float(moved.Bottom)});
    }
    readout_->Axes = axes;
}

void TMainForm::FollowPictureAxes() {
    if (!readout_) return;
    if (readout_->Axes) {
        readout_->Axes->SampleRate = shown_.SampleRate;
        readout_->Axes->CentreHertz = shown_.CentreFrequency;
    }
    const std::optional<PictureAxes> axes = ShownAxes();
    if (axes && axes->Complex)
        RulerPaintBox->SetPictureRows(1, axes->FFTSize);
    else if (axes)
        RulerPaintBox->SetPictureRows(SpectrogramBandCount(axes->ChannelCount),
                                      SpectrogramBandRows(axes->FFTSize, axes->ChannelCount));
    else
        RulerPaintBox->SetPictureRows(1, 0);
    RulerPaintBox->SetComplexScale(axes && axes->Complex, shown_.CentreFrequency);
    std::optional<TTimeScaleAxis> timeAxis;
    if (axes && SecondsPerColumn(*axes) > 0)
        timeAxis =
            TTimeScaleAxis{SecondsAtPictureX(*axes, 0), SecondsPerColumn(*axes), axes->Width, axes->Height};
    readout_->TimeScale->SetAxis(timeAxis);
    ShowMarkerReadout();
    if (readout_->PointerOver)
        ShowPointerReadout(readout_->PointerX, readout_->PointerY);
    else
        ShowText(ReadoutPanel, {});
}

void TMainForm::ShowPointerReadout(int x, int y) {
    ReadoutState& state = *readout_;
    state.AwaitedLevel = 0; // a level still being computed belongs to an earlier position
    state.PointerOver = true;
    state.PointerX = x;
    state.PointerY = y;
    const std::optional<PictureAxes> axes = ShownAxes();
    const TBitmapPoint point = SrcImage->ControlToBitmap(x, y);
    const RowReading row = axes ? ReadRow(*axes, point.Y) : RowReading{};
    if (!row.Inside || point.X < 0 || point.X >= axes->Width) {
        ShowText(ReadoutPanel, {});
        return;
    }
    state.Column = point.X;
    state.Row = row;
    LevelState level = LevelState::AfterJob;
    std::optional<double> dbfs;
    if (!busy_) {
        const SampleSpan samples{Store.Samples.data(),
                                 std::clamp<int64_t>(Store.ValueCount, 0, int64_t(Store.Samples.size()))};
        if (axes->FFTSize <= kLongestInlineLevelFrame) {
            if (state.InlineWindow.WindowIndex != axes->WindowIndex ||
                state.InlineWindow.FFTSize != axes->FFTSize)
                state.InlineWindow = MakeReadoutWindow(axes->WindowIndex, axes->FFTSize);
            dbfs = BinLevelDbfs(samples, *axes, state.InlineWindow, point.X, row);
            level = LevelState::Ready;
        } else {
            state.AwaitedLevel = state.Worker->Post({samples, *axes, point.X, row});
            level = LevelState::Computing;
        }
    }
    ShowText(ReadoutPanel, PointerReadoutText(*axes, point.X, row, level, dbfs));
}

void TMainForm::ShowLevel(uint64_t request, std::optional<double> dbfs) {
    const std::optional<PictureAxes> axes = ShownAxes();
    if (request == 0 || request != readout_->AwaitedLevel || !axes) return;
    readout_->AwaitedLevel = 0;
    ShowText(ReadoutPanel,
             PointerReadoutText(*axes, readout_->Column, readout_->Row, LevelState::Ready, dbfs));
}

void TMainForm::StopReadingSamples() {
    if (!readout_) return;
    readout_->Worker->CancelAndWait();
    const std::optional<PictureAxes> axes = ShownAxes();
    if (readout_->AwaitedLevel == 0 || !axes) return;
    readout_->AwaitedLevel = 0;
    ShowText(ReadoutPanel,
             PointerReadoutText(*axes, readout_->Column, readout_->Row, LevelState::AfterJob, {}));
}

// While the marker is visible (and more than the point a plain click leaves), panel 6 gives its extent.
void TMainForm::ShowMarkerReadout() {
    const std::optional<PictureAxes> axes = ShownAxes();
    if (!rubberBand_ || !rubberBand_->Visible() || !axes) {
        ShowText(MarkerPanel, {});
        return;
    }
    const TFloatRect r = rubberBand_->Location();
    if (r.Left == r.Right && r.Top == r.Bottom) {
        ShowText(MarkerPanel, {});
        return;
    }
    ShowText(MarkerPanel, MarkerReadoutText(*axes, ReadMarker(*axes, {r.Left, r.Top, r.Right, r.Bottom})));
}
