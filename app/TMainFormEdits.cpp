// The edit commands of the window. What each command reads, refuses, does and asks for afterwards is
// the core's (ops/EditCommand.h), shared with orvane-cli; the window reads the fields, runs the
// command as a job and shows what follows it.
#include "app/EditCommandLook.h"
#include "app/ErrorReport.h"
#include "app/JobSequence.h"
#include "app/TMainForm.h"
#include "ops/SampleRateAdjust.h"
#include "view/qt/TImgView32.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

namespace {

// The input of a command that reads one typed number.
EditCommandInput TypedNumber(const QLineEdit* edit) {
    EditCommandInput input;
    input.Text = edit->text().toStdString();
    return input;
}

JobLook JobLookOf(EditCommand command) {
    const char* text = EditCommandInfoOf(command).JobText;
    return JobLook{text, EditCommandLookOf(command).ProgressColour, text != nullptr};
}

// " LPF refused: the cut-off 30000 Hz is above the sample rate minus 1 (47999 Hz)."
QString RefusalText(EditCommand command, const std::string& reason) {
    const std::string_view caption = EditCommandInfoOf(command).Caption;
    return QStringLiteral(" %1 refused: %2.")
        .arg(QString::fromUtf8(caption.data(), qsizetype(caption.size())), QString::fromStdString(reason));
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
    connect(sbTune, &QToolButton::clicked, this, &TMainForm::sbTuneClick);
    connect(sbLPFFilter, &QToolButton::clicked, this, &TMainForm::sbLPFFilterClick);
    connect(sbFFTHiCut, &QToolButton::clicked, this, &TMainForm::sbFFTHiCutClick);
    connect(sbASR, &QToolButton::clicked, this, &TMainForm::sbASRClick);
}

void TMainForm::sbFadeClick() {
    RunEditCommand(EditCommand::Fade);
}

void TMainForm::sbNormAmpClick() {
    RunEditCommand(EditCommand::Amp);
}

void TMainForm::sbInvertSpectrClick() {
    RunEditCommand(EditCommand::Invert);
}

void TMainForm::mnuInvertChannel1LClick() {
    RunEditCommand(EditCommand::InvertChannel1);
}

void TMainForm::mnuInvertChannel2RClick() {
    RunEditCommand(EditCommand::InvertChannel2);
}

void TMainForm::sbIQ2RealClick() {
    RunEditCommand(EditCommand::IQToReal);
}

void TMainForm::sbGenSinClick() {
    RunEditCommand(EditCommand::SinShift, TypedNumber(EditFrq));
}

void TMainForm::sbGenCosClick() {
    RunEditCommand(EditCommand::CosShift, TypedNumber(EditFrq));
}

void TMainForm::sbTuneClick() {
    RunEditCommand(EditCommand::Tune, TypedNumber(EditFrq));
}

void TMainForm::sbLPFFilterClick() {
    RunEditCommand(EditCommand::LPF, TypedNumber(EditLPF));
}

void TMainForm::sbFFTHiCutClick() {
    EditCommandInput input;
    input.HiText = EditFFTHiCut->text().toStdString();
    input.LoText = EditFFTLoCut->text().toStdString();
    input.QualityIndex = cbFilterQuality->currentIndex();
    RunEditCommand(EditCommand::FFTFilter, input);
}

void TMainForm::sbASRClick() {
    RunEditCommand(EditCommand::ASR, TypedNumber(EditASR));
}

// A text that is not a number reaches the general error report and the command ends there; a command
// that refuses its input says why in panel 0 (the channel items, whose check marks already show the
// answer, say nothing). Both leave the window as it was.
void TMainForm::RunEditCommand(EditCommand command, const EditCommandInput& input) {
    if (busy_) return;
    if (EditCommandLookOf(command).StopsPlayback) Player.StopPlayback(true);
    RunReported([&] {
        const EditPreparation preparation = session_.Prepare(command, input);
        if (!preparation.Edit) {
            if (EditCommandInfoOf(command).RewritesValues || command == EditCommand::ASR)
                SetStatus(0, RefusalText(command, preparation.Refusal));
            return;
        }
        JobSequence sequence(*this);
        // The state before the edit is kept for Undo; when it cannot be, the user hears it first.
        const bool undoable = session_.UndoFits(*preparation.Edit);
        if (!undoable) SetStatus(0, QString::fromStdString(UndoImpossibleText(command)));
        AppliedEdit applied;
        if (!RunLongJob([&] { applied = session_.Apply(*preparation.Edit); }, JobLookOf(command))) return;
        if (undoable && !applied.Undoable) SetStatus(0, QString::fromStdString(UndoImpossibleText(command)));
        FollowEdit(command, applied);
    });
}

// After the command: a stopped edit says so, the ruler and channel items follow the store (the I/Q
// conversion, "ASR" and the channel items change what they show), and the picture is computed again;
// "ASR" only writes the new rate into panel 3.
void TMainForm::FollowEdit(EditCommand command, const AppliedEdit& applied) {
    if (applied.Stopped) {
        stoppedEditText_ = QString::fromStdString(EditStoppedText(command));
        SetStatus(0, stoppedEditText_);
    }
    // How many undo steps lie above the stopped edit whose text panel 0 may still show.
    if (applied.Stopped && applied.Undoable)
        stepsAboveStoppedEdit_ = 0;
    else if (stepsAboveStoppedEdit_ >= 0)
        stepsAboveStoppedEdit_ = applied.Undoable ? stepsAboveStoppedEdit_ + 1 : -1;
    ShowRecordingLayout();
    if (EditCommandInfoOf(command).RecomputesPicture) {
        RecomputeSpectrogram();
        return;
    }
    SetStatus(3, QString::fromStdString(ChannelRateText(session_.Store())));
    SrcImage->setFocus();
}
