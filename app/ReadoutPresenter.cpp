#include "app/ReadoutPresenter.h"

#include "app/ReadoutText.h"
#include "app/TElidedPanel.h"
#include "app/TRulerPaintBox.h"
#include "spectral/SpectrogramPictureLayout.h"
#include "view/PeakShrink.h"
#include "view/TRubberbandLayer.h"
#include "view/qt/TImgView32.h"
#include "view/qt/TTimeScaleLayer.h"

namespace {

void ShowText(TElidedPanel* panel, const std::string& text) {
    panel->SetFullText(QString::fromStdString(text));
}

PictureRect RectOf(const TFloatRect& r) {
    return {r.Left, r.Top, r.Right, r.Bottom};
}

} // namespace

ReadoutPresenter::ReadoutPresenter(Parts parts, QObject* parent) : QObject(parent), parts_(std::move(parts)) {
    worker_ = std::make_unique<LevelReadoutWorker>([this](uint64_t request, std::optional<double> dbfs) {
        QMetaObject::invokeMethod(
            this, [this, request, dbfs] { ShowLevel(request, dbfs); }, Qt::QueuedConnection);
    });
    timeScale_ = parts_.View->Layers().Add<TTimeScaleLayer>();
    QFont font = parts_.View->font();
    font.setPixelSize(11);
    font.setBold(true);
    timeScale_->SetFont(font);
}

ReadoutPresenter::~ReadoutPresenter() = default;

uint64_t ReadoutPresenter::LevelsDelivered() const {
    return worker_->Delivered();
}

uint64_t ReadoutPresenter::LevelsAbandoned() const {
    return worker_->Abandoned();
}

// The axes hold only while the view shows the picture they were recorded for; the rate and centre
// frequency are those of the recording shown ("ASR" and "Centre Frequency..." change them without a
// new picture).
std::optional<PictureAxes> ReadoutPresenter::ShownAxes() const {
    if (!axes_ || !axes_->Valid()) return std::nullopt;
    const TBitmap32& shown = parts_.View->Bitmap();
    if (shown.Width() != axes_->Width || shown.Height() != axes_->Height) return std::nullopt;
    PictureAxes axes = *axes_;
    axes.SampleRate = parts_.Shown().SampleRate;
    axes.CentreHertz = parts_.Shown().CentreFrequency;
    return axes;
}

void ReadoutPresenter::PictureComputed(const PictureAxes& axes) {
    clicked_.reset();
    TRubberbandLayer* marker = parts_.Marker();
    if (marker && axes_) {
        const PictureRect moved = RemapPictureRect(RectOf(marker->Location()), *axes_, axes);
        marker->SetLocation({float(moved.Left), float(moved.Top), float(moved.Right), float(moved.Bottom)});
    }
    axes_ = axes;
}

void ReadoutPresenter::PictureCleared() {
    clicked_.reset();
    StopReadingSamples();
    axes_.reset();
}

void ReadoutPresenter::Follow() {
    const std::optional<PictureAxes> axes = ShownAxes();
    TRulerPaintBox* ruler = parts_.Ruler;
    if (axes && axes->Complex)
        ruler->SetPictureRows(1, axes->FFTSize);
    else if (axes)
        ruler->SetPictureRows(SpectrogramBandCount(axes->ChannelCount),
                              SpectrogramBandRows(axes->FFTSize, axes->ChannelCount));
    else
        ruler->SetPictureRows(1, 0);
    ruler->SetComplexScale(axes && axes->Complex, parts_.Shown().CentreFrequency);
    std::optional<TTimeScaleAxis> timeAxis;
    if (axes && SecondsPerColumn(*axes) > 0)
        timeAxis =
            TTimeScaleAxis{SecondsAtPictureX(*axes, 0), SecondsPerColumn(*axes), axes->Width, axes->Height};
    timeScale_->SetAxis(timeAxis);
    ShowMarker();
    if (pointerOver_)
        PointerAt(pointerX_, pointerY_);
    else
        ShowText(parts_.PointerPanel, {});
}

void ReadoutPresenter::PointerAt(int x, int y) {
    awaitedLevel_ = 0; // a level still being computed belongs to an earlier position
    pointerOver_ = true;
    pointerX_ = x;
    pointerY_ = y;
    const std::optional<PictureAxes> axes = ShownAxes();
    // Where the view shrinks the picture, the pixel it shows: the strongest of the rows and columns
    // under the pointer.
    const TBitmapPoint point = parts_.View->ShownPixel(x, y);
    coveredRows_ =
        parts_.View->LevelRanking() != nullptr ? CoveredPixels(parts_.View->Placement(), x, y).Height() : 1;
    const RowReading row = axes ? ReadRow(*axes, point.Y) : RowReading{};
    if (!row.Inside || point.X < 0 || point.X >= axes->Width) {
        ShowText(parts_.PointerPanel, {});
        return;
    }
    column_ = point.X;
    row_ = row;
    LevelState level = LevelState::AfterJob;
    std::optional<double> dbfs;
    if (const std::optional<SampleSpan> samples = parts_.Samples()) {
        if (axes->FFTSize <= kLongestInlineLevelFrame) {
            if (inlineWindow_.WindowIndex != axes->WindowIndex || inlineWindow_.FFTSize != axes->FFTSize)
                inlineWindow_ = MakeReadoutWindow(axes->WindowIndex, axes->FFTSize);
            dbfs = BinLevelDbfs(*samples, *axes, inlineWindow_, point.X, row);
            level = LevelState::Ready;
        } else {
            awaitedLevel_ = worker_->Post({*samples, *axes, point.X, row});
            level = LevelState::Computing;
        }
    }
    ShowText(parts_.PointerPanel,
             PointerReadoutText(*axes, point.X, row, level, dbfs) + StrongestOfText(coveredRows_));
}

void ReadoutPresenter::PointerLeft() {
    pointerOver_ = false;
    awaitedLevel_ = 0;
    ShowText(parts_.PointerPanel, {});
}

void ReadoutPresenter::ShowLevel(uint64_t request, std::optional<double> dbfs) {
    const std::optional<PictureAxes> axes = ShownAxes();
    if (request == 0 || request != awaitedLevel_ || !axes) return;
    awaitedLevel_ = 0;
    ShowText(parts_.PointerPanel, PointerReadoutText(*axes, column_, row_, LevelState::Ready, dbfs) +
                                      StrongestOfText(coveredRows_));
}

void ReadoutPresenter::StopReadingSamples() {
    worker_->CancelAndWait();
    const std::optional<PictureAxes> axes = ShownAxes();
    if (awaitedLevel_ == 0 || !axes) return;
    awaitedLevel_ = 0;
    ShowText(parts_.PointerPanel, PointerReadoutText(*axes, column_, row_, LevelState::AfterJob, {}) +
                                      StrongestOfText(coveredRows_));
}

// While the marker is visible (and more than the point a plain click leaves), panel 6 gives its extent.
std::optional<ExtractRequest> ReadoutPresenter::MarkedBand() const {
    const std::optional<PictureAxes> axes = ShownAxes();
    TRubberbandLayer* marker = parts_.Marker();
    if (!marker || !marker->Visible() || !axes) return std::nullopt;
    const MarkerReading m = ReadMarker(*axes, RectOf(marker->Location()));
    if (!m.OneBand || m.DeltaSeconds <= 0 || m.DeltaHertz == 0) return std::nullopt;
    return ExtractRequest{m.StartSeconds, m.StartSeconds + m.DeltaSeconds,
                          std::min(m.Low.Hertz, m.High.Hertz), std::max(m.Low.Hertz, m.High.Hertz)};
}

void ReadoutPresenter::Clicked(double x, double y) {
    const std::optional<PictureAxes> axes = ShownAxes();
    if (!axes) return;
    const MarkerReading m = ReadMarker(*axes, PictureRect{x, y, x, y});
    clicked_ = ListenTarget{m.StartSeconds, std::nullopt, m.Low.Hertz, m.Low.Hertz};
}

std::optional<ListenTarget> ReadoutPresenter::MarkedForListening() const {
    if (const std::optional<ExtractRequest> band = MarkedBand())
        return ListenTarget{band->FromSeconds, band->ToSeconds, band->LowHz, band->HighHz};
    if (!ShownAxes()) return std::nullopt;
    return clicked_;
}

std::optional<PlayTimes> ReadoutPresenter::MarkedForPlaying() const {
    const std::optional<PictureAxes> axes = ShownAxes();
    if (!axes) return std::nullopt;
    if (TRubberbandLayer* marker = parts_.Marker(); marker && marker->Visible()) {
        const MarkerReading m = ReadMarker(*axes, RectOf(marker->Location()));
        if (m.DeltaSeconds > 0) return PlayTimes{m.StartSeconds, m.StartSeconds + m.DeltaSeconds};
    }
    if (!clicked_) return std::nullopt;
    return PlayTimes{clicked_->FromSeconds, std::nullopt};
}

void ReadoutPresenter::ShowMarker() {
    const std::optional<PictureAxes> axes = ShownAxes();
    TRubberbandLayer* marker = parts_.Marker();
    if (!marker || !marker->Visible() || !axes) {
        ShowText(parts_.MarkerPanel, {});
        return;
    }
    const TFloatRect r = marker->Location();
    if (r.Left == r.Right && r.Top == r.Bottom) {
        ShowText(parts_.MarkerPanel, {});
        return;
    }
    ShowText(parts_.MarkerPanel, MarkerReadoutText(*axes, ReadMarker(*axes, RectOf(r))));
}
