// The window's steps around the engine: computing the spectrogram, showing it with a palette, and the
// ruler, channel items and overlays that depend on the recording's layout.
#include "app/JobSequence.h"
#include "app/TMainForm.h"
#include "app/TRulerPaintBox.h"
#include "spectral/Palettes.h"
#include "spectral/SpectrogramImageSize.h"
#include "spectral/SpectrogramReadout.h"
#include "spectral/StoppedPictureText.h"
#include "view/TRubberbandLayer.h"
#include "view/ToolkitColor.h"
#include "view/qt/TG32_ProgressBar.h"
#include "view/qt/TImgView32.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QToolButton>

namespace {

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

SpectrogramSettings TMainForm::SelectedSpectrogramSettings() const {
    SpectrogramSettings settings;
    settings.FFTSize = ComboFFTSize->currentText().toInt();
    SelectXResolutionItem(ComboXResolution->currentIndex(), settings);
    settings.IQSpectrum = mnuIQSpectrum->isChecked();
    settings.WindowIndex = ComboFFTWindow->currentIndex() >= 0 ? ComboFFTWindow->currentIndex() : 255;
    settings.Gain = ComboImageGain->currentText().toInt();
    return settings;
}

// The picture is computed again through the engine's one entry point, as a job that can be stopped;
// the window shows the image size once the image is prepared. Called idle (the drop-down lists) or at
// the end of a sequence of jobs (a read, an edit), which ends when the caller's sequence does.
void TMainForm::RecomputeSpectrogram() {
    JobSequence sequence(*this);
    if (!session_.Loaded()) return;
    const SpectrogramSettings settings = SelectedSpectrogramSettings();
    SrcImage->setFocus();
    Player.MarkCopyStale();
    // A palette's picture in the view is a copy of its own. The "Spectrum" picture it was made from is
    // then let go for the computation, so that the old picture, its recoloured copy and the new one
    // are never held at once; palette clicks meanwhile only set their check marks.
    computingPicture_ = true;
    if (!SrcImage->Bitmap().SharesPixelsWith(shownSpectrogram_)) shownSpectrogram_ = TBitmap32();

    SpectrogramRunOptions options;
    options.Prepared = [this](const SpectrogramPreparation& preparation) {
        jobStatusMail_.Post(1, preparation.ImageSizeText);
    };
    SpectrogramResult result;
    const JobLook look{nullptr, clBlack, true, true};
    const bool finished = RunLongJob([&] { result = session_.Recompute(settings, options); }, look);
    computingPicture_ = false;
    if (!finished) {
        if (shownSpectrogram_.Empty()) shownSpectrogram_.Assign(session_.Spectrogram().SpectrogramBitmap);
        return;
    }
    if (result.Refused) {
        ShowRefusedPicture(settings, result.ImageSizeText);
    } else {
        SetStatus(1, ToQString(result.ImageSizeText));
        readout_->PictureComputed(AxesOfPicture(session_.Spectrogram(), session_.Store(), settings));
    }
    CompleteSpectrogram(result);
    if (result.Stopped && !result.Refused) ShowWhereStopped(settings, result.TimeText);
}

// Panel 2 of a stopped picture says how far into the recording it got.
void TMainForm::ShowWhereStopped(const SpectrogramSettings& settings, const std::string& timeText) {
    const SignalStore& store = session_.Store();
    const PictureAxes axes = AxesOfPicture(session_.Spectrogram(), store, settings);
    const double positionsPerSecond = double(store.SampleRate) * std::max<int>(1, store.ChannelCount);
    const double totalSeconds = positionsPerSecond > 0 ? double(store.ValueCount) / positionsPerSecond : 0.0;
    const int64_t drawn = DrawnColumns(session_.Spectrogram().SpectrogramBitmap, axes);
    SetStatus(2, ToQString(StoppedPictureText(axes, drawn, totalSeconds, timeText)));
}

// A refused picture is not replaced by the one before it, which may belong to another recording or
// to the recording before an edit: the view, the ruler's bands and the readings show nothing. Panel 1
// and the empty view say why, and which image width fits when the size was the reason.
void TMainForm::ShowRefusedPicture(const SpectrogramSettings& settings, const std::string& sizeText) {
    readout_->PictureCleared();
    if (rubberBand_) rubberBand_->SetVisible(false); // the marker belonged to the picture that went
    const SignalStore& store = session_.Store();
    QString reason;
    if (!ComputeSpectrogramImageSize(store.ValueCount, settings, store.ChannelCount).Refused()) {
        reason = QStringLiteral("not enough memory for this picture");
    } else {
        const bool wideItems = ComboXResolution->count() > int(kXResolutionItems.size());
        const std::optional<int> fits =
            FittingXResolutionItem(store.ValueCount, settings, store.ChannelCount, wideItems);
        reason = fits ? QStringLiteral("\"%1\" fits").arg(ComboXResolution->itemText(*fits))
                      : QStringLiteral("no image width fits at this FFT size");
    }
    SetStatus(1, ToQString(sizeText) + QStringLiteral("; ") + reason + QStringLiteral("."));
    SrcImage->SetPlaceholderText(QStringLiteral("The picture is too large: ") + reason + QStringLiteral("."));
}

void TMainForm::CompleteSpectrogram(const SpectrogramResult& result) {
    try {
        const TBitmap32 none;
        const TBitmap32& picture = result.Refused ? none : session_.Spectrogram().SpectrogramBitmap;
        SrcImage->SetBitmap(picture);
        shownSpectrogram_.Assign(picture);
        // The new picture comes in "Spectrum" colours; the palette in use recolours it.
        if (!result.Refused && checkedPalette_ != PaletteItem::Spectrum) ApplyPalette();
        if (!result.Refused) SrcImage->SetPlaceholderText(QString());
    } catch (...) {
        jobFailure_ = std::current_exception();
    }
    SetStatus(2, ToQString(result.TimeText));
    SetStatus(3, ToQString(result.ChannelRateText));
    sbAntialiasingClick();
    shownGain_ = ComboImageGain->currentText().toInt();
    FollowLevels();
}

void TMainForm::ApplyPalette() {
    if (computingPicture_) return; // the new picture is recoloured when it arrives
    ::ApplyPalette(shownSpectrogram_, checkedPalette_, SrcImage->Bitmap());
    SrcImage->Changed();
    FollowLevels();
}

void TMainForm::sbAntialiasingClick() {
    SrcImage->SetResamplerClassName(sbAntialiasing->isChecked() ? kLinearResamplerName
                                                                : kNearestResamplerName);
}

void TMainForm::DrawRuler(float rate) {
    RulerPaintBox->DrawRuler(rate);
}

void TMainForm::ShowRecordingLayout() {
    const SignalStore& store = session_.Store();
    DrawRuler(float(store.SampleRate));
    RulerPaintBox->update();
    CheckChannelItem(store.ChannelCount);
    if (store.TwoChannels())
        CreateCentreLine();
    else
        RemoveCentreLine();
    UpdateChannelControls();
}

void TMainForm::CreateCentreLine() {
    SrcImage->CreateCentreLine();
    SrcImage->Overlays().SetCentreLineVisible(!ZoomMode());
}

void TMainForm::RemoveCentreLine() {
    SrcImage->RemoveCentreLine();
}

void TMainForm::SetProgressBackColor(uint32_t colour) {
    ProgressBar->SetBackColor(colour);
}

void TMainForm::SetProgressPosition(int percent) {
    ProgressBar->SetPosition(percent);
}
