// The commands of the main window, the locking of the controls while a job runs, and the frame in
// which long jobs run on worker threads.
#include "app/ErrorReport.h"
#include "app/JobRunner.h"
#include "app/TMainForm.h"
#include "app/TRulerPaintBox.h"
#include "ops/SampleRateAdjust.h"
#include "signal/FileNames.h"
#include "signal/WavWriter.h"
#include "spectral/Palettes.h"
#include "view/ToolkitColor.h"
#include "view/qt/TG32_ProgressBar.h"
#include "view/qt/TGaugeBar.h"
#include "view/qt/TImgView32.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

void TMainForm::ConnectHandlers() {
    connect(mnuOpen, &QAction::triggered, this, &TMainForm::mnuOpenClick);
    connect(mnuSave, &QAction::triggered, this, &TMainForm::mnuSaveClick);
    connect(mnuSavewavAs, &QAction::triggered, this, &TMainForm::mnuSavewavAsClick);
    connect(mnuExit, &QAction::triggered, this, &TMainForm::mnuExitClick);
    connect(mnuFilterPanel, &QAction::triggered, this, &TMainForm::mnuFilterPanelClick);
    connect(mnuShiftPanel, &QAction::triggered, this, &TMainForm::mnuShiftPanelClick);
    connect(mnu1Channel, &QAction::triggered, this, &TMainForm::mnu1ChannelClick);
    connect(mnu2Channels, &QAction::triggered, this, &TMainForm::mnu2ChannelsClick);

    connect(sbReload, &QToolButton::clicked, this, &TMainForm::sbReloadClick);
    connect(sbSaveSignal, &QToolButton::clicked, this, &TMainForm::sbSaveSignalClick);
    connect(sbSavePicturea, &QToolButton::clicked, this, &TMainForm::sbSavePictureaClick);
    connect(sbStopLoad, &QToolButton::clicked, this, &TMainForm::sbStopLoadClick);
    connect(sbAntialiasing, &QToolButton::clicked, this, &TMainForm::sbAntialiasingClick);

    connect(ComboFFTSize, &QComboBox::activated, this, &TMainForm::ComboFFTSizeChange);
    connect(ComboXResolution, &QComboBox::activated, this, &TMainForm::ComboXResolutionChange);
    connect(ComboFFTWindow, &QComboBox::activated, this, &TMainForm::ComboFFTWindowChange);
    connect(ComboImageGain, &QComboBox::activated, this, &TMainForm::ComboImageGainChange);

    for (QAction* item : PaletteActions)
        connect(item, &QAction::triggered, this,
                [this, item] { Spectrum1Click(PaletteItem(item->data().toInt())); });
    connect(RulerPaintBox, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { SrcViewPopupMenu->popup(RulerPaintBox->mapToGlobal(at)); });
    connect(RulerPaintBox, &TRulerPaintBox::Click, this, &TMainForm::RulerPaintBoxClick);

    ConnectViewHandlers();
    ConnectEditHandlers();
    ConnectPlayback();
    ConnectExportHandlers();
}

void TMainForm::SetBusy(bool busy) {
    busy_ = busy;
    const bool unlocked = !busy;
    mnuFilterPanel->setEnabled(unlocked);
    if (!FilterPanel->isHidden()) sbLPFFilter->setEnabled(unlocked);
    for (QComboBox* list : {ComboFFTSize, ComboXResolution, ComboFFTWindow, ComboImageGain})
        list->setEnabled(unlocked);
    for (QToolButton* button :
         {sbFade, sbNormAmp, sbInvertSpectr, sbIQ2Real, sbGenSin, sbGenCos, sbReload, sbASR, sbFFTHiCut})
        button->setEnabled(unlocked);
    mnuFormatInterpretator->setEnabled(unlocked);
    const bool saveable = unlocked && Store.Loaded();
    sbSavePicturea->setEnabled(saveable);
    mnuExportPicture->setEnabled(saveable);
    sbSaveSignal->setEnabled(saveable);
    mnuSave->setEnabled(saveable);
    mnuSavewavAs->setEnabled(saveable);
}

bool TMainForm::RunLongJob(const std::function<void()>& work) {
    Job.SetProgress(0);
    try {
        RunJob(Job, work, [this](int percent) { SetProgressPosition(percent); });
        return true;
    } catch (...) {
        const std::exception_ptr failure = std::current_exception();
        RecoverFromFailedJob();
        ShowErrorReport(ExceptionMessage(failure));
        return false;
    }
}

void TMainForm::RecoverFromFailedJob() {
    // Panel 3 may still name the edit that failed; it goes back to the recording's channels and rate.
    if (Store.Loaded()) SetStatus(3, QString::fromStdString(ChannelRateText(Store)));
    sbStopLoad->setEnabled(false);
    SetProgressBackColor(clBtnShadow);
    SetProgressPosition(0);
    SetBusy(false);
}

void TMainForm::mnuOpenClick() {
    if (busy_) return;
    const QString fileName =
        AskOpenFileName
            ? AskOpenFileName()
            : QFileDialog::getOpenFileName(this, QString(), OpenDialogFolder(), "wav (*.wav);;Any File (*)");
    if (fileName.isEmpty()) return;
    RememberOpenFolder(fileName);
    LoadWavFile(fileName);
}

void TMainForm::sbReloadClick() {
    if (busy_) return;
    Player.StopPlayback(true);
    ReloadFile();
}

void TMainForm::ReloadFile() {
    if (busy_) return;
    Player.StopPlayback(true);
    Spectrogram.CurrentFFTSize = ComboFFTSize->currentText().toInt();
    if (Store.Loaded()) LoadWavFile(QString::fromStdString(Store.FileName));
}

void TMainForm::mnuSaveClick() {
    SaveSignal(QString::fromStdString(Store.FileName));
}

void TMainForm::mnuSavewavAsClick() {
    const QString suggested = QString::fromStdString(FileNameWithoutFolder(Store.FileName));
    QString target;
    if (AskSaveFileName) {
        target = AskSaveFileName(suggested);
    } else {
        QFileDialog dialog(this);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter("wav (*.wav)");
        dialog.setDefaultSuffix("wav");
        dialog.selectFile(suggested);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
        dialog.setSizeGripEnabled(true);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            target = dialog.selectedFiles().first();
    }
    if (!target.isEmpty()) SaveSignal(target);
}

void TMainForm::sbSaveSignalClick() {
    SaveSignal(QString());
}

// A save while the store is being read or rewritten is ignored: the save controls are locked during
// every job but the file read.
void TMainForm::SaveSignal(const QString& fileName) {
    if (busy_) return;
    RunWriteJob([&] { ::SaveSignal(Store, fileName.toStdString(), StartDirectory, StatusFromJob(0)); });
}

// A file of several hundred megabytes takes seconds to write: it is written as a job, so the window
// stays live, while Busy keeps away every command that could change what is being written. The
// controls stay as they are. A failure reaches the general error report.
bool TMainForm::RunWriteJob(const std::function<void()>& write) {
    busy_ = true;
    const bool written = RunLongJob(write);
    if (written) busy_ = false; // a failed job has already returned the window to idle
    return written;
}

std::function<void(const std::string&)> TMainForm::StatusFromJob(int panel) {
    return [this, panel](const std::string& text) {
        QMetaObject::invokeMethod(
            this, [this, panel, text] { SetStatus(panel, QString::fromStdString(text)); },
            Qt::QueuedConnection);
    };
}

void TMainForm::mnuExitClick() {
    close();
}

void TMainForm::mnuFilterPanelClick() {
    FilterPanel->setVisible(mnuFilterPanel->isChecked());
}

void TMainForm::mnuShiftPanelClick() {
    ShiftPanel->setVisible(mnuShiftPanel->isChecked());
}

void TMainForm::sbStopLoadClick() {
    Job.RequestStop();
}

void TMainForm::sbSavePictureaClick() {
    if (busy_) return;
    // The picture as shown now: a palette click during the write recolours the view, not this copy.
    TBitmap32 picture;
    picture.Assign(SrcImage->Bitmap());
    const std::string target = SpectrogramPictureFileName().toStdString();
    WritePictureFile(picture, target);
}

QString TMainForm::SpectrogramPictureFileName() const {
    return QString::fromStdString(StartDirectory + "/Spectr_" + FileNameWithoutFolder(Store.FileName) +
                                  ".bmp");
}

void TMainForm::ComboFFTSizeChange() {
    if (!busy_) RecomputeSpectrogram();
}

void TMainForm::ComboXResolutionChange() {
    if (!busy_) RecomputeSpectrogram();
}

void TMainForm::ComboFFTWindowChange() {
    if (!busy_) RecomputeSpectrogram();
}

void TMainForm::ComboImageGainChange() {
    if (!busy_) RecomputeSpectrogram();
}

// The two radio items are checkable actions, which the click has already toggled; each handler first
// puts the check mark back as it was and then decides.
void TMainForm::mnu1ChannelClick() {
    const bool wasChecked = !mnu1Channel->isChecked();
    mnu1Channel->setChecked(wasChecked);
    if ((Store.ChannelCount == 1 && wasChecked) || busy_) return;
    Store.ChannelCount = 1;
    CheckChannelItem(1);
    RemoveCentreLine();
    UpdateChannelControls();
    RecomputeSpectrogram();
}

void TMainForm::mnu2ChannelsClick() {
    const bool wasChecked = !mnu2Channels->isChecked();
    mnu2Channels->setChecked(wasChecked);
    if ((Store.ChannelCount == 2 && wasChecked) || busy_) return;
    Store.ChannelCount = 2;
    CheckChannelItem(2);
    CreateCentreLine();
    UpdateChannelControls();
    RecomputeSpectrogram();
}

void TMainForm::CheckChannelItem(uint16_t channelCount) {
    mnu2Channels->setChecked(channelCount == 2);
    mnu1Channel->setChecked(channelCount != 2);
}

void TMainForm::UpdateChannelControls() {
    mnuInvertChannel1L->setEnabled(Store.ChannelCount == 2);
    mnuInvertChannel2R->setEnabled(Store.ChannelCount == 2);
}

void TMainForm::Spectrum1Click(PaletteItem item) {
    checkedPalette_ = ToggledPaletteCheck(checkedPalette_, item);
    for (QAction* action : PaletteActions)
        action->setChecked(checkedPalette_ && int(*checkedPalette_) == action->data().toInt());
    ApplyPalette();
}
