// Undo and Redo in the window: the menu items named after the edit they act on, the exchange of the
// store's state as a job, and the memory the history may keep.
#include "app/JobSequence.h"
#include "app/SettingsKey.h"
#include "app/TMainForm.h"

#include <QAction>
#include <QInputDialog>

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

QString ItemCaption(const char* verb, const std::string& name) {
    return name.empty() ? QString(verb) : QString("%1 %2").arg(verb, QString::fromStdString(name));
}

} // namespace

void TMainForm::ConnectHistoryHandlers() {
    connect(mnuUndo, &QAction::triggered, this, &TMainForm::mnuUndoClick);
    connect(mnuRedo, &QAction::triggered, this, &TMainForm::mnuRedoClick);
    connect(mnuUndoMemory, &QAction::triggered, this, &TMainForm::mnuUndoMemoryClick);
}

void TMainForm::mnuUndoClick() {
    StepHistory(true);
}

void TMainForm::mnuRedoClick() {
    StepHistory(false);
}

void TMainForm::StepHistory(bool undo) {
    if (busy_) return;
    const EditHistory& history = session_.History();
    if ((undo ? history.UndoName() : history.RedoName()).empty()) return;
    if (undo ? history.UndoKeepsStore() : history.RedoKeepsStore()) {
        StepAnnotationHistory(undo);
        return;
    }
    Player.StopPlayback(true);
    JobSequence sequence(*this);
    if (!RunLongJob([&] { undo ? session_.Undo() : session_.Redo(); })) return;
    FollowStoppedEditText(undo);
    ShowRecordingLayout();
    RecomputeSpectrogram();
}

// Once Undo has taken back the stopped edit itself, panel 0 no longer says the recording is changed in
// part; an undo of a later edit leaves the text, since the part-changed recording is back.
void TMainForm::FollowStoppedEditText(bool undo) {
    if (stepsAboveStoppedEdit_ < 0) return;
    if (!undo) {
        ++stepsAboveStoppedEdit_;
        return;
    }
    if (stepsAboveStoppedEdit_-- > 0) return;
    if (StatusText(0) == stoppedEditText_) SetStatus(0, QString());
}

void TMainForm::UpdateHistoryItems(bool unlocked) {
    const EditHistory& history = session_.History();
    mnuUndo->setText(ItemCaption("&Undo", history.UndoName()));
    mnuRedo->setText(ItemCaption("&Redo", history.RedoName()));
    mnuUndo->setEnabled(unlocked && !history.UndoName().empty());
    mnuRedo->setEnabled(unlocked && !history.RedoName().empty());
}

void TMainForm::mnuUndoMemoryClick() {
    const int current = int(session_.History().Budget() / kMiB);
    std::optional<int> chosen;
    if (AskUndoMemory) {
        chosen = AskUndoMemory(current);
    } else {
        bool accepted = false;
        const int value = QInputDialog::getInt(this, "Undo Memory", "Memory kept for undo (MB):", current, 0,
                                               1 << 30, 64, &accepted);
        if (accepted) chosen = value;
    }
    if (!chosen || *chosen < 0) return;
    // Lowering the budget while an edit keeps its copy would race the job: the new value waits for
    // the job's end.
    if (busy_) return;
    session_.SetUndoBudget(std::size_t(*chosen) * kMiB);
    UpdateHistoryItems(true);
}
