// The file commands of the window: opening (menu, drop, command line), reading a file into the store,
// "Reload", and the saves of the recording and of the picture.
#include "app/ErrorReport.h"
#include "app/JobSequence.h"
#include "app/OpenDialogFilter.h"
#include "app/TMainForm.h"
#include "app/TRulerPaintBox.h"
#include "signal/CaptureType.h"
#include "signal/FileNames.h"
#include "signal/WavReader.h"
#include "signal/WavWriter.h"
#include "view/qt/TImgView32.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <cstdio>

namespace {

const QString kCaption = QStringLiteral("  Orvane+  Demo version 02");
const QString kCaptionWithFile = QStringLiteral("  Orvane+  Demo version 02 - ");

// Panel 0 when a confirmed save or export meets a running job (the controls are locked then, but a
// dialog may have been confirmed just as a job started).
const QString kNotSavedWhileBusy = QStringLiteral(" ERROR: Not Saved, A Job Is Running.");

// Panel 0 after a read that failed on the way (the general error report says why).
const QString kNotRead = QStringLiteral(" ERROR: File Not Read.");

// The file dialogs' entry for SigMF recordings: either file of the pair names it.
const QString kSigMFFilter = QStringLiteral("SigMF recording (*.sigmf-meta *.sigmf-data)");

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

void TMainForm::mnuOpenClick() {
    if (busy_) return;
    const QString fileName =
        AskOpenFileName
            ? AskOpenFileName()
            : QFileDialog::getOpenFileName(this, QString(), OpenDialogFolder(), OpenDialogFilter());
    if (fileName.isEmpty()) return;
    RememberOpenFolder(fileName);
    if (!ConfirmUnsavedChanges()) return;
    LoadWavFile(fileName);
}

void TMainForm::sbReloadClick() {
    if (busy_ || !ConfirmUnsavedChanges()) return;
    Player.StopPlayback(true);
    ReloadFile();
}

// Reads the file again with the FFT size the list shows; every edit since the last read is dropped
// (sbReloadClick asks first).
void TMainForm::ReloadFile() {
    if (busy_) return;
    Player.StopPlayback(true);
    session_.SelectFFTSize(ComboFFTSize->currentText().toInt());
    if (session_.Loaded()) LoadWavFile(ToQString(session_.Description().FileName));
}

// The read runs as a job like every other, with the controls locked, so that a large file does not
// freeze the window and nothing can save or edit a store that is being replaced. A file that cannot
// be read leaves the recording, its picture and its history as they were. A capture's rate is asked
// for first (once per file in a run); Cancel opens nothing and changes nothing.
ReadOutcome TMainForm::LoadWavFile(const QString& fileName) {
    ReadOptions options{largestFile_}; // the dialog may change the setting while the job runs
    if (IsCaptureName(fileName.toStdString())) {
        options.Capture = CaptureOptionsFor(fileName);
        if (!options.Capture) return {};
    }
    JobSequence sequence(*this);
    SetStatus(0, " Read wav File...");
    ReadOutcome outcome;
    if (!RunLongJob([&] { outcome = session_.Open(fileName.toStdString(), options, StatusFromJob(0)); })) {
        SetStatus(0, kNotRead);
        outcome.Reason = kNotRead.trimmed().toStdString();
        return outcome;
    }
    SetStatus(0, ToQString(outcome.Status));
    if (!outcome.Opened) return outcome;
    RememberRecentFile(fileName);
    ShowRecordingLayout();
    ShowCaption();
    RecomputeSpectrogram();
    RulerPaintBox->repaint();
    // A WAV file read as raw data because its samples are not decoded: the report says which they were.
    if (!outcome.Reason.empty()) ShowErrorReport(ToQString(outcome.Reason));
    return outcome;
}

void TMainForm::ShowCaption() {
    const std::string& file = session_.Description().FileName;
    if (file.empty()) {
        setWindowTitle(kCaption);
        return;
    }
    const QString mark = session_.Modified() ? QStringLiteral("*") : QString();
    setWindowTitle(kCaptionWithFile + mark + ToQString(FileNameWithoutFolder(file)));
}

bool TMainForm::ConfirmUnsavedChanges() {
    if (!session_.Modified()) return true;
    UnsavedChoice choice = UnsavedChoice::Cancel;
    if (AskUnsavedChanges) {
        choice = AskUnsavedChanges();
    } else {
        const QString name = ToQString(FileNameWithoutFolder(session_.Description().FileName));
        const auto answer = QMessageBox::question(
            this, QStringLiteral("Orvane+"),
            QStringLiteral("The recording \"%1\" has changes that are not saved.\nSave them first?")
                .arg(name),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        choice = answer == QMessageBox::Save      ? UnsavedChoice::Save
                 : answer == QMessageBox::Discard ? UnsavedChoice::Discard
                                                  : UnsavedChoice::Cancel;
    }
    switch (choice) {
    case UnsavedChoice::Save:
        return SaveSignal(ToQString(session_.Description().FileName));
    case UnsavedChoice::Discard:
        return true;
    case UnsavedChoice::Cancel:
        break;
    }
    return false;
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    FilesDropped(event->mimeData()->urls());
}

void TMainForm::FilesDropped(const QList<QUrl>& urls) {
    if (busy_) return;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        OpenDroppedFile(url.toLocalFile());
        return;
    }
}

// The window says on standard error, as well as in panel 0, why a file named on its command line
// could not be read: it was started from a shell, where the user looks for that.
void TMainForm::OpenOnceShown(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QTimer::singleShot(0, this, [this, path, absolute] {
        if (busy_) return;
        const ReadOutcome outcome = LoadWavFile(absolute);
        // A reason is always given for a failed read; a capture's question cancelled gives none.
        if (!outcome.Opened && !outcome.Reason.empty())
            std::fprintf(stderr, "orvane: %s: %s\n", path.toLocal8Bit().constData(), outcome.Reason.c_str());
    });
}

void TMainForm::OpenDroppedFile(const QString& path) {
    if (busy_) return;
    if (QFileInfo(path).isFile()) {
        if (!ConfirmUnsavedChanges()) return;
        Player.StopPlayback(true);
        LoadWavFile(path);
    } else {
        raise();
        activateWindow();
    }
}

void TMainForm::mnuSaveClick() {
    SaveSignal(ToQString(shown_.FileName));
}

void TMainForm::mnuSavewavAsClick() {
    const QString suggested = ToQString(FileNameWithoutFolder(shown_.FileName));
    QString target;
    if (AskSaveFileName) {
        target = AskSaveFileName(suggested);
    } else {
        QFileDialog dialog(this);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // The WAV entry stays first, the default; a name of a SigMF file saves the pair.
        dialog.setNameFilters({"wav (*.wav)", kSigMFFilter});
        dialog.setDefaultSuffix("wav");
        connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
            dialog.setDefaultSuffix(filter == kSigMFFilter ? "sigmf-meta" : "wav");
        });
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

bool TMainForm::SaveSignal(const QString& fileName) {
    SaveOutcome saved;
    const std::string name = fileName.toStdString();
    if (!RunWriteJob([&] { saved = session_.Save(name, StatusFromJob(0), StartDirectory); })) return false;
    if (saved.FormatNote) SetStatus(0, ToQString(*saved.FormatNote));
    return saved.Result == kWavWriteOk;
}

void TMainForm::sbSavePictureaClick() {
    // The picture as shown now: a palette click during the write recolours the view, not this copy.
    TBitmap32 picture;
    picture.Assign(SrcImage->Bitmap());
    WritePictureFile(picture, SpectrogramPictureFileName().toStdString());
}

QString TMainForm::SpectrogramPictureFileName() const {
    return QString::fromStdString(StartDirectory + "/Spectr_" + FileNameWithoutFolder(shown_.FileName) +
                                  ".bmp");
}

// A file of several hundred megabytes takes seconds to write: it is written as a job, so the window
// stays live while the controls are locked. A failure reaches the general error report.
bool TMainForm::RunWriteJob(const std::function<void()>& write) {
    if (busy_) {
        SetStatus(0, kNotSavedWhileBusy);
        return false;
    }
    JobSequence sequence(*this);
    JobLook look;
    look.ReadsOnly = true;
    return RunLongJob(write, look);
}

void TMainForm::mnuExitClick() {
    close();
}
