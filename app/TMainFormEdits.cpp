// The edit commands: each ignores a click while a job runs, stops playback with a fade-out, runs its
// operation on the store under locked controls (the long ones as jobs with progress and stop), then
// has the spectrogram computed again, whose end unlocks the controls.
#include "app/ErrorReport.h"
#include "app/TMainForm.h"
#include "app/TRulerPaintBox.h"
#include "ops/FFTBandFilter.h"
#include "ops/FadeInOut.h"
#include "ops/FrequencyShift.h"
#include "ops/IQToReal.h"
#include "ops/InvertSpectrum.h"
#include "ops/LPFFilter.h"
#include "ops/NormalizePeak.h"
#include "ops/SampleRateAdjust.h"
#include "view/ToolkitColor.h"
#include "view/qt/TG32_ProgressBar.h"
#include "view/qt/TImgView32.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

namespace {

constexpr int16_t kNormalizeTarget = 25000;

std::string TextOf(const QLineEdit* edit) {
    return edit->text().toStdString();
}

} // namespace

void TMainForm::ConnectEditHandlers() {
    connect(sbFade, &QToolButton::clicked, this, &TMainForm::sbFadeClick);
    connect(sbNormAmp, &QToolButton::clicked, this, &TMainForm::sbNormAmpClick);
    connect(sbInvertSpectr, &QToolButton::clicked, this, &TMainForm::sbInvertSpectrClick);
    connect(mnuInvertChannel1L, &QAction::triggered, this, &TMainForm::mnuInvertChannel1LClick);
    connect(mnuInvertChannel2R, &QAction::triggered, this, &TMainForm::mnuInvertChannel2RClick);
    connect(sbIQ2Real, &QToolButton::clicked, this, &TMainForm::sbIQ2RealClick);
    connect(sbGenSin, &QToolButton::clicked, this, &TMainForm::sbGenSinClick);
    connect(sbGenCos, &QToolButton::clicked, this, &TMainForm::sbGenCosClick);
    connect(sbLPFFilter, &QToolButton::clicked, this, &TMainForm::sbLPFFilterClick);
    connect(sbFFTHiCut, &QToolButton::clicked, this, &TMainForm::sbFFTHiCutClick);
    connect(sbASR, &QToolButton::clicked, this, &TMainForm::sbASRClick);
}

// A short edit: no stop button and no job name, but it still runs off the user-interface thread, so
// that a recording of several hundred megabytes does not freeze the window.
void TMainForm::RunShortEdit(const std::function<void()>& operation) {
    SetBusy(true);
    if (!RunLongJob(operation)) return;
    busy_ = false;
    RecomputeSpectrogram();
}

// A long edit: its name in panel 3, the stop button, and the progress bar in `progressColour`.
bool TMainForm::RunLongEdit(const char* jobName, uint32_t progressColour,
                            const std::function<void()>& operation) {
    SetBusy(true);
    sbStopLoad->setEnabled(true);
    SetStatus(3, QString::fromUtf8(jobName));
    SetProgressBackColor(progressColour);
    if (!RunLongJob(operation)) return false;
    busy_ = false;
    return true;
}

// The handlers that read a typed number run under RunReported: a text that is not a number reaches the
// general error report and the handler ends there.

void TMainForm::sbFadeClick() {
    if (busy_) return;
    Player.StopPlayback(true);
    RunShortEdit([this] { FadeInOut(Store, Spectrogram.FadeCurve); });
}

void TMainForm::sbNormAmpClick() {
    if (busy_) return;
    Player.StopPlayback(true);
    RunShortEdit([this] { NormalizePeak(Store, kNormalizeTarget); });
}

void TMainForm::sbInvertSpectrClick() {
    if (busy_) return;
    Player.StopPlayback(true);
    if (!Store.Loaded()) return; // nothing to invert, and nothing locks the controls
    RunShortEdit([this] { InvertSpectrum(Store, Spectrogram.CurrentFFTSize); });
}

void TMainForm::mnuInvertChannel1LClick() {
    if (busy_) return;
    Player.StopPlayback(true);
    RunShortEdit([this] { InvertChannel(Store, 0); });
}

void TMainForm::mnuInvertChannel2RClick() {
    if (busy_) return;
    Player.StopPlayback(true);
    RunShortEdit([this] { InvertChannel(Store, 1); });
}

void TMainForm::sbIQ2RealClick() {
    if (busy_) return;
    Player.StopPlayback(true);
    const bool wasTwoChannels = Store.TwoChannels();
    if (!RunLongEdit(kIQToRealStatusText, clWhite, [this] { ConvertIQToReal(Store, Job); })) return;
    if (wasTwoChannels && !Store.TwoChannels()) {
        DrawRuler(float(Store.SampleRate));
        CheckChannelItem(Store.ChannelCount);
        RemoveCentreLine();
    }
    UpdateChannelControls();
    RecomputeSpectrogram();
}

void TMainForm::sbGenSinClick() {
    RunShift(kSinShiftStatusText, SinShift);
}

void TMainForm::sbGenCosClick() {
    RunShift(kCosShiftStatusText, CosShift);
}

// "Sin" and "Cos" differ only in their oscillator and their status text.
void TMainForm::RunShift(const char* jobName, void (*shift)(SignalStore&, double, JobControl&)) {
    if (busy_) return;
    Player.StopPlayback(true);
    RunReported([&] {
        const std::optional<double> frequency = ShiftFrequencyFromText(Store, TextOf(EditFrq));
        if (!frequency) return;
        if (RunLongEdit(jobName, clWhite, [this, shift, f = *frequency] { shift(Store, f, Job); }))
            RecomputeSpectrogram();
    });
}

void TMainForm::sbLPFFilterClick() {
    if (busy_) return;
    Player.StopPlayback(true);
    RunReported([this] {
        const std::optional<double> cutoff = LPFCutoffFromText(Store, TextOf(EditLPF));
        if (!cutoff) return;
        if (RunLongEdit(kLPFStatusText, clWhite, [this, fc = *cutoff] { LPFFilterStore(Store, fc, Job); }))
            RecomputeSpectrogram();
    });
}

void TMainForm::sbFFTHiCutClick() {
    if (busy_) return;
    Player.StopPlayback(true);
    RunReported([this] {
        const std::optional<FFTFilterRequest> request = FFTFilterRequestFromTexts(
            Store, TextOf(EditFFTHiCut), TextOf(EditFFTLoCut), cbFilterQuality->currentIndex());
        if (!request) return;
        const auto filter = [this, r = *request] { FFTBandFilter(Store, r.Hi, r.Lo, r.Passes, Job); };
        if (RunLongEdit(kFFTFilterStatusText, clRed, filter)) RecomputeSpectrogram();
    });
}

void TMainForm::sbASRClick() {
    if (busy_) return;
    Player.StopPlayback(true);
    RunReported([this] {
        if (!AdjustSampleRate(Store, TextOf(EditASR))) return;
        DrawRuler(float(Store.SampleRate));
        RulerPaintBox->repaint();
        SetStatus(3, QString::fromStdString(ChannelRateText(Store)));
        SrcImage->setFocus();
    });
}
