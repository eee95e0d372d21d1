// The window's steps around the engine: computing the spectrogram, showing it with a palette, and the
// ruler, channel items and overlays that depend on the recording's layout.
#include "app/ErrorReport.h"
#include "app/TMainForm.h"
#include "app/TRulerPaintBox.h"
#include "spectral/Palettes.h"
#include "spectral/RecomputeSpectrogram.h"
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
// the end of a sequence of jobs (a read, an edit), which it ends by unlocking the controls.
void TMainForm::RecomputeSpectrogram() {
    if (!Store.Loaded()) {
        if (busy_) ReturnToIdle();
        return;
    }
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
        QMetaObject::invokeMethod(
            this, [this, text = preparation.ImageSizeText] { SetStatus(1, ToQString(text)); },
            Qt::QueuedConnection);
    };
    SpectrogramResult result;
    const JobLook look{nullptr, clBlack, true};
    const bool finished = RunLongJob(
        [&] { result = ::RecomputeSpectrogram(Spectrogram, Store, settings, Job, options); }, look);
    computingPicture_ = false;
    if (!finished) {
        if (shownSpectrogram_.Empty()) shownSpectrogram_.Assign(Spectrogram.SpectrogramBitmap);
        return;
    }
    SetStatus(1, ToQString(result.ImageSizeText));
    if (!result.Refused) ShowPictureAxes(settings);
    CompleteSpectrogram(result);
}

void TMainForm::CompleteSpectrogram(const SpectrogramResult& result) {
    std::exception_ptr failure;
    try {
        SrcImage->SetBitmap(Spectrogram.SpectrogramBitmap);
        shownSpectrogram_.Assign(Spectrogram.SpectrogramBitmap);
    } catch (...) {
        failure = std::current_exception();
    }
    SetStatus(2, ToQString(result.TimeText));
    SetStatus(3, ToQString(result.ChannelRateText));
    sbAntialiasingClick();
    ReturnToIdle();
    if (failure) ShowErrorReport(ExceptionMessage(failure));
}

void TMainForm::ApplyPalette() {
    if (computingPicture_) return; // the new picture arrives in "Spectrum" colours at the end
    ::ApplyPalette(shownSpectrogram_, checkedPalette_, SrcImage->Bitmap());
    SrcImage->Changed();
}

void TMainForm::sbAntialiasingClick() {
    SrcImage->SetResamplerClassName(sbAntialiasing->isChecked() ? kLinearResamplerName
                                                                : kNearestResamplerName);
}

void TMainForm::DrawRuler(float rate) {
    RulerPaintBox->DrawRuler(rate);
}

void TMainForm::ShowRecordingLayout() {
    DrawRuler(float(Store.SampleRate));
    RulerPaintBox->update();
    CheckChannelItem(Store.ChannelCount);
    if (Store.TwoChannels())
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
