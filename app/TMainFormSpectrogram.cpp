// The window's steps around the core: reading a file, computing the spectrogram, showing it with a
// palette, and the overlays that depend on the channel count.
#include "app/ErrorReport.h"
#include "app/TMainForm.h"
#include "app/TRulerPaintBox.h"
#include "signal/FileNames.h"
#include "signal/WavReader.h"
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

const QString kCaptionWithFile = QStringLiteral("  Orvane+  Demo version 02 - ");

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

SpectrogramSettings TMainForm::SelectedSpectrogramSettings() const {
    SpectrogramSettings settings;
    settings.FFTSize = ComboFFTSize->currentText().toInt();
    const int widthIndex = ComboXResolution->currentIndex();
    settings.Decimation = widthIndex >= 0 && widthIndex < ComboXResolution->count() ? 1 << widthIndex : 1;
    settings.WindowIndex = ComboFFTWindow->currentIndex() >= 0 ? ComboFFTWindow->currentIndex() : 255;
    settings.Gain = ComboImageGain->currentText().toInt();
    return settings;
}

void TMainForm::LoadWavFile(const QString& fileName) {
    const std::string previousFileName = Store.FileName;
    const int16_t* previousValues = Store.Samples.data();
    busy_ = true;
    SetStatus(0, " Read wav File...");
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    // The read runs as a job so that a large file does not freeze the window; its intermediate
    // texts reach panel 0 through the event queue.
    WavReadResult result;
    const bool read =
        RunLongJob([&] { result = ReadWavFile(Store, fileName.toStdString(), StatusFromJob(0)); });
    if (read && !result.StoreReplaced) {
        SetStatus(0, ToQString(result.Status));
        // The store still holds the previous recording, so "Save", "Reload" and "Save Bitmap" keep
        // referring to the file it came from rather than to the file that could not be read.
        Store.FileName = previousFileName;
        busy_ = false;
        return;
    }
    if (!read) ForgetUnreadRecording(previousFileName, previousValues);
    if (read) {
        DrawRuler(float(Store.SampleRate));
        CheckChannelItem(Store.ChannelCount);
        if (Store.TwoChannels())
            CreateCentreLine();
        else
            RemoveCentreLine();
        SetStatus(0, ToQString(result.Status));
        RecomputeSpectrogram();
    }
    UpdateChannelControls();
    setWindowTitle(kCaptionWithFile + ToQString(FileNameWithoutFolder(fileName.toStdString())));
    RulerPaintBox->repaint();
    SetProgressPosition(0);
}

// A read that failed on the way (memory ran out) may have let the previous recording go before the
// new one was had. A store that still holds the previous values keeps referring to its file; anything
// else belongs to no file and counts as nothing loaded, so that no save can write it over a file.
void TMainForm::ForgetUnreadRecording(const std::string& previousFileName, const int16_t* previousValues) {
    if (Store.Samples.data() == previousValues && previousValues != nullptr) {
        Store.FileName = previousFileName;
    } else {
        SampleArray().swap(Store.Samples);
        Store.ValueCount = 0;
        Store.FileName.clear();
    }
    SetBusy(false);
}

void TMainForm::RecomputeSpectrogram() {
    if (!Store.Loaded()) return;
    const SpectrogramSettings settings = SelectedSpectrogramSettings();
    SrcImage->setFocus();
    busy_ = true;
    SetBusy(true);
    Player.MarkCopyStale();
    // A palette's picture in the view is a copy of its own. The "Spectrum" picture it was made from is
    // then let go for the computation, so that the old picture, its recoloured copy and the new one
    // are never held at once; palette clicks meanwhile only set their check marks.
    computingPicture_ = true;
    if (!SrcImage->Bitmap().SharesPixelsWith(shownSpectrogram_)) shownSpectrogram_ = TBitmap32();

    // The whole computation, its preparation included (it allocates the image), runs as a job through
    // the engine's one entry point; the window only shows the image size and offers the stop button
    // once the image is prepared.
    SpectrogramRunOptions options;
    options.Prepared = [this](const SpectrogramPreparation& preparation) {
        QMetaObject::invokeMethod(
            this,
            [this, text = preparation.ImageSizeText, accepted = preparation.Hop >= 0] {
                SetStatus(1, ToQString(text));
                if (!accepted) return;
                SetProgressBackColor(clBlack);
                sbStopLoad->setEnabled(true);
            },
            Qt::QueuedConnection);
    };
    SpectrogramResult result;
    const bool finished =
        RunLongJob([&] { result = ::RecomputeSpectrogram(Spectrogram, Store, settings, Job, options); });
    computingPicture_ = false;
    if (!finished) {
        if (shownSpectrogram_.Empty()) shownSpectrogram_.Assign(Spectrogram.SpectrogramBitmap);
        return;
    }
    SetStatus(1, ToQString(result.ImageSizeText));
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
    sbStopLoad->setEnabled(false);
    SetProgressBackColor(clBtnShadow);
    SetProgressPosition(0);
    sbAntialiasingClick();
    SetBusy(false);
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
