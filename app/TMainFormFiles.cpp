// The file commands of the window: opening (menu, drop, command line), reading a file into the store,
// "Reload", and the saves of the recording and of the picture.
#include "app/TMainForm.h"
#include "app/TRulerPaintBox.h"
#include "signal/FileNames.h"
#include "signal/WavReader.h"
#include "signal/WavWriter.h"
#include "view/qt/TImgView32.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace {

const QString kCaption = QStringLiteral("  Orvane+  Demo version 02");
const QString kCaptionWithFile = QStringLiteral("  Orvane+  Demo version 02 - ");

// Panel 0 when a confirmed save or export meets a running job (the controls are locked then, but a
// dialog may have been confirmed just as a job started).
const QString kNotSavedWhileBusy = QStringLiteral(" ERROR: Not Saved, A Job Is Running.");

// Panel 0 after a read that failed on the way (the general error report says why).
const QString kNotRead = QStringLiteral(" ERROR: File Not Read.");

// What described the store before a read, to put it back when the read fails on the way.
struct StoreBefore {
    std::string FileName;
    int32_t ValueCount;
    uint16_t ChannelCount;
    int32_t SampleRate;
    uint16_t BitsPerSample;
    const int16_t* Values;
};

StoreBefore Describe(const SignalStore& store) {
    return {store.FileName,   store.ValueCount,    store.ChannelCount,
            store.SampleRate, store.BitsPerSample, store.Samples.data()};
}

// A read that failed on the way (memory ran out) may have let the previous recording go before the
// new one was had. A store that still holds the previous values gets their description back; anything
// else belongs to no file and counts as nothing loaded, so that no save can write it over a file.
// True when the previous recording is still there.
bool ForgetUnreadRecording(SignalStore& store, const StoreBefore& before) {
    if (before.Values != nullptr && store.Samples.data() == before.Values) {
        store.FileName = before.FileName;
        store.ValueCount = before.ValueCount;
        store.ChannelCount = before.ChannelCount;
        store.SampleRate = before.SampleRate;
        store.BitsPerSample = before.BitsPerSample;
        return true;
    }
    store = SignalStore{};
    return false;
}

} // namespace

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

// The read runs as a job like every other, with the controls locked, so that a large file does not
// freeze the window and nothing can save or edit a store that is being replaced.
void TMainForm::LoadWavFile(const QString& fileName) {
    const StoreBefore before = Describe(Store);
    // The states of the recording that is replaced are of no use any more, and their memory is
    // needed for the new one.
    History.Clear();
    SetStatus(0, " Read wav File...");
    WavReadResult result;
    bool previousKept = false;
    const int64_t largestFile = largestFile_; // the dialog may change the setting while the job runs
    const bool read = RunLongJob(
        [&] { result = ReadWavFile(Store, fileName.toStdString(), StatusFromJob(0), largestFile); },
        JobLook{}, [&] { previousKept = ForgetUnreadRecording(Store, before); });
    if (!read) {
        SetStatus(0, kNotRead);
        if (!previousKept) ShowNothingLoaded();
        return;
    }
    SetStatus(0, QString::fromStdString(result.Status));
    if (!result.StoreReplaced) {
        // The store still holds the previous recording, so "Save", "Reload" and "Save Bitmap" keep
        // referring to the file it came from rather than to the file that could not be read.
        Store.FileName = before.FileName;
        ReturnToIdle();
        return;
    }
    Centres.FileRead(Store.FileName, result.CentreFrequency);
    ShowRecordingLayout();
    setWindowTitle(kCaptionWithFile + QString::fromStdString(FileNameWithoutFolder(fileName.toStdString())));
    RecomputeSpectrogram();
    RulerPaintBox->repaint();
}

// Nothing is loaded after a failed read: no picture, no file in the caption, no channel and rate line,
// the ruler and the channel items of an empty store.
void TMainForm::ShowNothingLoaded() {
    Spectrogram.SpectrogramBitmap = TBitmap32();
    shownSpectrogram_ = TBitmap32();
    SrcImage->SetBitmap(TBitmap32());
    Player.MarkCopyStale();
    for (int panel : {1, 2, 3}) SetStatus(panel, QString());
    setWindowTitle(kCaption);
    ShowRecordingLayout();
    ReturnToIdle();
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

void TMainForm::OpenOnceShown(const QString& path) {
    const QUrl file = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    QTimer::singleShot(0, this, [this, file] { FilesDropped({file}); });
}

void TMainForm::OpenDroppedFile(const QString& path) {
    if (busy_) return;
    if (QFileInfo(path).isFile()) {
        Player.StopPlayback(true);
        LoadWavFile(path);
    } else {
        raise();
        activateWindow();
    }
}

void TMainForm::mnuSaveClick() {
    SaveSignal(QString::fromStdString(shown_.FileName));
}

void TMainForm::mnuSavewavAsClick() {
    const QString suggested = QString::fromStdString(FileNameWithoutFolder(shown_.FileName));
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

void TMainForm::SaveSignal(const QString& fileName) {
    RunWriteJob([this, name = fileName.toStdString()] {
        ::SaveSignal(Store, name, StartDirectory, StatusFromJob(0));
    });
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
    if (!RunLongJob(write)) return false;
    ReturnToIdle();
    return true;
}

void TMainForm::mnuExitClick() {
    close();
}
