// The job frame of the window: the one writer of Busy and of the control locks, the worker thread of
// every job, the stop flag cleared before each job starts, and the way back to idle after a job, also
// after one that failed.
#include "app/ErrorReport.h"
#include "app/JobRunner.h"
#include "app/TMainForm.h"
#include "ops/SampleRateAdjust.h"
#include "view/ToolkitColor.h"
#include "view/qt/TG32_ProgressBar.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

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
    mnuUndoMemory->setEnabled(unlocked);
    mnuIQSpectrum->setEnabled(unlocked);
    UpdateHistoryItems(unlocked);
    // No worker runs while the locks change: the store can be read here.
    const bool saveable = unlocked && Store.Loaded();
    sbSavePicturea->setEnabled(saveable);
    mnuExportPicture->setEnabled(saveable);
    sbSaveSignal->setEnabled(saveable);
    mnuSave->setEnabled(saveable);
    mnuSavewavAs->setEnabled(saveable);
}

bool TMainForm::RunLongJob(const std::function<void()>& work, const JobLook& look,
                           const std::function<void()>& repair) {
    // No level of the readout is computed from the samples while the job may change them.
    StopReadingSamples();
    // A stop pressed during an earlier job, or refused by one, must not cut this one short.
    Job.ClearStop();
    Job.SetProgress(0);
    SetBusy(true);
    if (look.PanelText != nullptr) SetStatus(3, QString::fromUtf8(look.PanelText));
    if (look.ProgressColour) SetProgressBackColor(*look.ProgressColour);
    sbStopLoad->setEnabled(look.Stoppable);
    try {
        RunJob(Job, work, [this](int percent) { SetProgressPosition(percent); });
        sbStopLoad->setEnabled(false);
        return true;
    } catch (...) {
        const std::exception_ptr failure = std::current_exception();
        if (repair) repair();
        // Panel 3 may still name the job that failed; it goes back to the recording's channels and rate.
        if (Store.Loaded()) SetStatus(3, QString::fromStdString(ChannelRateText(Store)));
        ReturnToIdle();
        ShowErrorReport(ExceptionMessage(failure));
        return false;
    }
}

void TMainForm::ReturnToIdle() {
    sbStopLoad->setEnabled(false);
    SetProgressBackColor(clBtnShadow);
    SetProgressPosition(0);
    shown_ = ShownRecording{Store.FileName, Store.SampleRate, Store.ChannelCount, Centres.Of(Store.FileName)};
    SetBusy(false);
    FollowPictureAxes();
}

std::function<void(const std::string&)> TMainForm::StatusFromJob(int panel) {
    return [this, panel](const std::string& text) {
        QMetaObject::invokeMethod(
            this, [this, panel, text] { SetStatus(panel, QString::fromStdString(text)); },
            Qt::QueuedConnection);
    };
}

void TMainForm::sbStopLoadClick() {
    Job.RequestStop();
}
