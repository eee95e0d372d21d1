// The job frame of the window: the one writer of Busy and of the control locks, the worker thread of
// every job, the stop flag cleared before each job starts, and the way back to idle after a sequence
// of jobs, also after one that failed.
#include "app/ErrorReport.h"
#include "app/JobRunner.h"
#include "app/JobSequence.h"
#include "app/TMainForm.h"
#include "ops/SampleRateAdjust.h"
#include "view/ToolkitColor.h"
#include "view/qt/TG32_ProgressBar.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

JobSequence::JobSequence(TMainForm& form) : form_(form) {
    ++form_.sequences_;
}

JobSequence::~JobSequence() {
    if (--form_.sequences_ > 0 || !form_.busy_) return;
    try {
        form_.ReturnToIdle();
    } catch (...) {
        // The window is idle; a failure to show the report must not escape a destructor.
    }
}

void TMainForm::SetBusy(bool busy) {
    busy_ = busy;
    const bool unlocked = !busy;
    mnuFilterPanel->setEnabled(unlocked);
    if (!FilterPanel->isHidden()) sbLPFFilter->setEnabled(unlocked);
    for (QComboBox* list : {ComboFFTSize, ComboXResolution, ComboFFTWindow, ComboImageGain})
        list->setEnabled(unlocked);
    for (QToolButton* button : {sbFade, sbNormAmp, sbInvertSpectr, sbIQ2Real, sbGenSin, sbGenCos, sbReload,
                                sbASR, sbFFTHiCut, sbListen})
        button->setEnabled(unlocked);
    mnuFormatInterpretator->setEnabled(unlocked);
    mnuUndoMemory->setEnabled(unlocked);
    mnuIQSpectrum->setEnabled(unlocked);
    UpdateChannelControls();
    UpdateHistoryItems(unlocked);
    // No worker runs while the locks change: the session can be read here.
    const bool saveable = unlocked && session_.Loaded();
    sbSavePicturea->setEnabled(saveable);
    mnuExportPicture->setEnabled(saveable);
    sbSaveSignal->setEnabled(saveable);
    mnuSave->setEnabled(saveable);
    mnuSavewavAs->setEnabled(saveable);
}

bool TMainForm::RunLongJob(const std::function<void()>& work, const JobLook& look) {
    // No level of the readout is computed from the samples while the job may change them, and no
    // Listen demodulates them.
    readout_->StopReadingSamples();
    if (!look.ReadsOnly) HaltListening();
    JobControl& job = session_.Job();
    // A stop pressed during an earlier job, or refused by one, must not cut this one short.
    job.ClearStop();
    job.SetProgress(0);
    SetBusy(true);
    if (look.PanelText != nullptr) SetStatus(3, QString::fromUtf8(look.PanelText));
    if (look.ProgressColour) SetProgressBackColor(*look.ProgressColour);
    sbStopLoad->setEnabled(look.Stoppable);
    try {
        RunJob(job, work, [this](int percent) {
            SetProgressPosition(percent);
            for (const JobStatusMail::Text& text : jobStatusMail_.Take())
                SetStatus(text.Panel, QString::fromStdString(text.Value));
        });
        sbStopLoad->setEnabled(false);
        return true;
    } catch (...) {
        jobFailure_ = std::current_exception();
        // Panel 3 may still name the job that failed; it goes back to the recording's channels and rate.
        if (session_.Loaded()) SetStatus(3, QString::fromStdString(ChannelRateText(session_.Store())));
        return false;
    }
}

void TMainForm::ReturnToIdle() {
    sbStopLoad->setEnabled(false);
    SetProgressBackColor(clBtnShadow);
    SetProgressPosition(0);
    SetBusy(false);
    FollowSession();
    if (const std::exception_ptr failure = std::exchange(jobFailure_, nullptr))
        ShowErrorReport(ExceptionMessage(failure));
}

// The one writer of what the window shows of the recording: called only while no job runs.
void TMainForm::FollowSession() {
    const RecordingDescription& description = session_.Description();
    shown_ = ShownRecording{description.FileName, session_.Store().SampleRate, session_.Store().ChannelCount,
                            description.CentreFrequency};
    ShowCaption();
    readout_->Follow();
    ShowAnnotations();
    FollowLevels();
}

std::function<void(const std::string&)> TMainForm::StatusFromJob(int panel) {
    return [this, panel](const std::string& text) { jobStatusMail_.Post(panel, text); };
}

void TMainForm::sbStopLoadClick() {
    session_.Job().RequestStop();
}
